#!/usr/bin/env bash
# Runs a scenario with the Windows edition of lumaro-host under Wine and
# compares its transcript with the expected one.
#
#   run-scenario.sh MAKE_SAMPLES SCENARIO EXPECTED STATUS [OPTION...]
#
# EXPECTED is the native transcript where Windows shows the same, or a variant
# beside this script whose comment lines ("//") name each platform difference;
# STATUS is the exit status expected; the OPTIONs go to lumaro-host before
# the scenario.
#
# The host is $LUMARO_WINDOWS_BIN/lumaro-host.exe, of either architecture; its
# plug-ins folder is found as the Linux host finds its own. The program runs in the test run's shared Wine
# prefix through run-wine.sh (WINEPREFIX, LUMARO_WINE_RUN: see LumaroWine.cmake).
# LUMARO_UPDATE_EXPECTED=1 writes the transcript to a variant EXPECTED (keeping
# its comments) instead of comparing.
set -euo pipefail

make_samples=$1 scenario=$2 expected=$3 expected_status=$4
shift 4
exe="${LUMARO_WINDOWS_BIN:?LUMARO_WINDOWS_BIN must name the folder of the Windows programs}/lumaro-host.exe"
run="${LUMARO_WINE_RUN:?LUMARO_WINE_RUN must name run-wine.sh}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SAMPLES="$work/samples" DEMO="$work/demo"
mkdir -p "$DEMO"
"$make_samples" "$SAMPLES" >/dev/null

# The font manager's program, when not the one beside the host, as Windows sees it.
if [[ "${GLYVOR_SERVER_MODULE:-}" == /* ]]; then
  GLYVOR_SERVER_MODULE=$("$run" winepath -w "$GLYVOR_SERVER_MODULE" | tr -d '\r')
  export GLYVOR_SERVER_MODULE
fi

status=0
"$run" "$exe" "$@" "$scenario" </dev/null >"$work/transcript.txt" 2>"$work/stderr.txt" || status=$?
# Wine ends lines as Windows does.
tr -d '\r' <"$work/transcript.txt" >"$work/actual.txt"

if [ "${LUMARO_UPDATE_EXPECTED:-0}" = 1 ]; then
  case "$expected" in
    */tests/wine/expected/*) ;;
    *) echo "write a variant under tests/wine/expected/, not $expected" >&2; exit 1 ;;
  esac
  # The comment lines at the top of an expected transcript say why it differs
  # from the native one; they are kept.
  { grep '^//' "$expected" 2>/dev/null || true; cat "$work/actual.txt"; } >"$work/new.txt"
  cp "$work/new.txt" "$expected"
  echo "wrote $expected"
  exit 0
fi
failed=0
diff -u <(grep -v '^//' "$expected") "$work/actual.txt" || failed=1
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status" >&2
  failed=1
fi
if [ "$failed" = 1 ]; then
  echo "--- standard error:" >&2
  cat "$work/stderr.txt" >&2
  exit 1
fi
