#!/usr/bin/env bash
# Help under Wine: the panel's Help button opens its address through the shell,
# and the program registered for https addresses gets it. For this test that
# program is record_address.exe, which writes the address to a file; the
# address must be the one the native transcript of the same scenario shows.
#
#   help_handler_test.sh MAKE_SAMPLES SCENARIO NATIVE_TRANSCRIPT
#
# The prefix's own handler (cmd.exe /c rem "%1", see run-wine.sh) is put back
# at the end, whatever happened.
set -euo pipefail

make_samples=$1 scenario=$2 native=$3
run="${LUMARO_WINE_RUN:?LUMARO_WINE_RUN must name run-wine.sh}"
recorder="${LUMARO_WINDOWS_BIN:?}/record_address.exe"
exe="$LUMARO_WINDOWS_BIN/lumaro-host.exe"
key='HKLM\Software\Classes\https\shell\open\command'

work=$(mktemp -d)
restore() {
  "$run" reg add "$key" /ve /d 'cmd.exe /c rem "%1"' /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap restore EXIT
export SAMPLES="$work/samples" DEMO="$work/demo"
"$make_samples" "$SAMPLES" >/dev/null

expected=$(sed -n 's/^  \[shell\] open //p' "$native")
if [ -z "$expected" ]; then
  echo "no [shell] line in $native" >&2
  exit 1
fi

record="$work/address.txt"
windows_path() { "$run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
"$run" reg add "$key" /ve /f \
  /d "\"$(windows_path "$recorder")\" \"$(windows_path "$record")\" \"%1\"" >/dev/null

status=0
"$run" "$exe" "$scenario" </dev/null >"$work/transcript.txt" 2>"$work/stderr.txt" || status=$?
if [ "$status" != 0 ]; then
  echo "lumaro-host.exe ended with $status" >&2
  tr -d '\r' <"$work/transcript.txt" >&2
  cat "$work/stderr.txt" >&2
  exit 1
fi
# The shell starts the handler and returns; give it a moment to write.
for _ in $(seq 1 100); do
  [ -f "$record" ] && break
  sleep 0.1
done
if [ ! -f "$record" ]; then
  echo "the https handler never ran: nothing recorded" >&2
  tr -d '\r' <"$work/transcript.txt" >&2
  exit 1
fi
actual=$(cat "$record")
if [ "$actual" != "$expected" ]; then
  echo "the handler got \"$actual\", the panel's Help address is \"$expected\"" >&2
  exit 1
fi
echo "the https handler got $actual"
