#!/usr/bin/env bash
# Runs Windows programs under Wine for the tests labelled "wine", in the one
# Wine prefix the test run shares ($WINEPREFIX), and for scripts/run-windows.sh.
#
#   run-wine.sh setup            a fresh prefix: null display driver, no debugger
#                                on crashes, web addresses opening nothing, and $LUMARO_WINDOWS_BIN/wine_keeper.exe
#                                holding its services up until "stop"
#   run-wine.sh stop             stops whatever still runs in the prefix
#   run-wine.sh PROGRAM [ARGS]   runs PROGRAM (a .exe path, or a Wine builtin such
#                                as reg) and exits with its status
#
# Between two programs Wine shuts the prefix's services down, and a program
# that starts meanwhile can make no window and reaches no COM service
# (RPC_S_SERVER_UNAVAILABLE, after minutes). The keeper program started by
# setup runs for the whole test run, so that gap never opens.
#
# The prefix is 64-bit, where 32- and 64-bit programs both run, unless
# LUMARO_WINE_ARCH is win32 (a 32-bit prefix, as on 32-bit Windows). The
# loaders come from scripts/wine-loaders.sh (under qemu where the kernel runs
# no 32-bit code); LUMARO_WINE64 names another 64-bit loader.
set -euo pipefail

if [ -z "${WINEPREFIX:-}" ]; then
  echo "run-wine.sh: WINEPREFIX must name the test run's Wine prefix" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"

loaders=$(bash "$(dirname "$0")/../../scripts/wine-loaders.sh") || exit 2
eval "$loaders"
wine="${LUMARO_WINE64:-$LUMARO_WINE_LOADERS/wine64}"
if [ ! -x "$wine" ]; then
  echo "run-wine.sh: wine64 not found; install it (scripts/setup.sh installs wine64)" >&2
  exit 2
fi
if [ "${LUMARO_WINE_ARCH:-win64}" = win32 ]; then
  export WINEARCH=win32
  wine="$(dirname "$wine")/wine"
fi
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

# Marks a prefix as ours, so that setup never empties a folder it did not make.
marker="$WINEPREFIX/.lumaro-test-prefix"

case "${1:-}" in
  setup)
    keeper="${LUMARO_WINDOWS_BIN:-}/wine_keeper.exe"
    if [ ! -f "$keeper" ]; then
      echo "run-wine.sh: $keeper is missing; build the Windows programs first:" >&2
      echo "  cmake --preset mingw64 && cmake --build --preset mingw64" >&2
      exit 2
    fi
    if [ -e "$WINEPREFIX" ] && [ ! -e "$marker" ] && [ -n "$(ls -A "$WINEPREFIX")" ]; then
      echo "run-wine.sh: $WINEPREFIX exists and is not a test prefix; not touching it" >&2
      exit 2
    fi
    if [ -n "$wineserver" ]; then "$wineserver" -k 2>/dev/null || true; fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    touch "$marker"
    # No Mono or Gecko: nothing here needs them, and their installers would ask.
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    # A crashing program ends with its exception code instead of waiting in a debugger.
    "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /f >/dev/null 2>&1 || true
    # Web addresses open nothing by default (Wine would hand them to the Linux
    # side's browser); the Help test registers a handler of its own.
    "$wine" reg add 'HKLM\Software\Classes\https\shell\open\command' /ve \
      /d 'cmd.exe /c rem "%1"' /f >/dev/null
    # The desktop that wineboot started chose its display driver before the
    # null driver was set: let everything end, so that the next one starts afresh.
    if [ -n "$wineserver" ]; then "$wineserver" -w; fi
    # Detached, so that whoever runs setup does not wait for it.
    setsid "$wine" "$keeper" 3600 </dev/null >/dev/null 2>&1 &
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  stop)
    if [ -n "$wineserver" ]; then "$wineserver" -k 2>/dev/null || true; fi
    ;;
  "")
    echo "usage: run-wine.sh setup | stop | PROGRAM [ARGS...]" >&2
    exit 2
    ;;
  *)
    program="$1"
    shift
    if [[ "$program" == */* ]] && [ ! -f "$program" ]; then
      echo "run-wine.sh: $program is missing; build the Windows programs first:" >&2
      echo "  cmake --preset mingw64 && cmake --build --preset mingw64" >&2
      exit 2
    fi
    if [ ! -f "$marker" ]; then
      echo "run-wine.sh: $WINEPREFIX is not set up; run 'run-wine.sh setup' first" >&2
      exit 2
    fi
    exec "$wine" "$program" "$@"
    ;;
esac
