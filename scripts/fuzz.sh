#!/usr/bin/env bash
# Builds the fuzz preset and runs its libFuzzer targets, one after another,
# each from its committed seed corpus (tests/fuzz/corpus/NAME).
#
#   scripts/fuzz.sh [--seconds N | --runs N] [--no-build] [TARGET...]
#
# TARGET is a name such as "documents": the program bin/fuzz_documents, given
# the words of tests/fuzz/documents.dict where there is such a file. None means
# every target. --seconds bounds each target's time (default 60), --runs its
# executions instead. Inputs that add coverage go to build/fuzz/fuzz-corpus/NAME,
# never into the committed seeds; a finding (crash, leak, time-out) goes to
# build/fuzz/fuzz-findings/NAME/ and makes the script fail. Each target's last
# lines, libFuzzer's own figures, are kept in build/fuzz/fuzz-logs/NAME.log.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
runs=""
build=1
targets=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

out=build/fuzz
if [ "$build" -eq 1 ]; then
  bash scripts/setup.sh
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
fi

if [ "${#targets[@]}" -eq 0 ]; then
  for program in "$out"/bin/fuzz_*; do targets+=("$(basename "$program" | sed 's/^fuzz_//')"); done
fi

limit=(-max_total_time="$seconds")
if [ -n "$runs" ]; then limit=(-runs="$runs"); fi

status=0
mkdir -p "$out/fuzz-logs"
for name in "${targets[@]}"; do
  program="$out/bin/fuzz_$name"
  seeds="tests/fuzz/corpus/$name"
  if [ ! -x "$program" ] || [ ! -d "$seeds" ]; then
    echo "fuzz.sh: no target \"$name\" (needs $program and $seeds)" >&2
    status=2
    continue
  fi
  mkdir -p "$out/fuzz-corpus/$name" "$out/fuzz-findings/$name"
  log="$out/fuzz-logs/$name.log"
  dictionary=()
  if [ -f "tests/fuzz/$name.dict" ]; then dictionary=(-dict="tests/fuzz/$name.dict"); fi
  if [ -n "$runs" ]; then echo "== fuzz_$name: $runs runs"; else echo "== fuzz_$name: $seconds s"; fi
  if "$program" "${limit[@]}" -timeout=60 "${dictionary[@]}" -print_final_stats=1 \
       -artifact_prefix="$out/fuzz-findings/$name/" "$out/fuzz-corpus/$name" "$seeds" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)|^#[0-9]+[[:space:]]+DONE' "$log" || true
  else
    status=1
    echo "fuzz_$name found something; its input is in $out/fuzz-findings/$name/:" >&2
    tail -n 40 "$log" >&2
  fi
done
exit "$status"
