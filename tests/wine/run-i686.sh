#!/usr/bin/env bash
# Runs a wine test (the command after this script's name) against the i686
# build of the Windows programs. Where Wine cannot start 32-bit programs the
# test is skipped (status 77) and says why, or fails where LUMARO_REQUIRE_WINE=1
# (as in scripts/run-tests.sh, whose set-up makes them run everywhere).
# Environment: as for every wine test, and LUMARO_WINDOWS_BIN_I686.
set -euo pipefail
bin="${LUMARO_WINDOWS_BIN_I686:?LUMARO_WINDOWS_BIN_I686 must name the folder of the i686 programs}"
if [ ! -f "$bin/glyvor.exe" ]; then
  echo "run-i686.sh: $bin/glyvor.exe is missing; build the i686 programs first:" >&2
  echo "  cmake --preset mingw && cmake --build --preset mingw" >&2
  exit 2
fi
# Without 32-bit support Wine ends such a program silently with status 0, so
# the probe asks for the program's own answer: its usage, with status 2.
status=0
answer="$("$LUMARO_WINE_RUN" "$bin/glyvor.exe" 2>&1 >/dev/null)" || status=$?
if [ "$status" -ne 2 ] || [[ "$answer" != *"glyvor: no command"* ]]; then
  echo "Wine here cannot start 32-bit programs (this kernel runs no 32-bit code and" \
    "qemu-i386 is missing, or Wine lacks its 32-bit part); scripts/setup.sh installs them"
  [ -n "$answer" ] && echo "glyvor.exe said: $answer"
  if [ "${LUMARO_REQUIRE_WINE:-0}" = 1 ]; then exit 1; fi
  echo "skipped"
  exit 77
fi
LUMARO_WINDOWS_BIN="$bin" exec "$@"
