#!/usr/bin/env bash
# The plug-in's cost, held: counts the instructions (valgrind --tool=callgrind, the
# same on a loaded machine as on an idle one) of one timed run of Refresh over 1,000
# fonts and of Find over 100 fonts, each beside its baseline, and fails when a ratio
# exceeds its limit: 10% above its goal, or 10% above the figure it holds where the
# goal is out of reach (README "Performance" says why). The last line gives the ratios.
#
#   scripts/bench-check.sh [BENCH]   BENCH: the release build's lumaro_bench
#                                    (default build/release/bin/lumaro_bench)
set -euo pipefail
cd "$(dirname "$0")/.."

bench=${1:-build/release/bin/lumaro_bench}
if [ ! -x "$bench" ]; then
  echo "bench-check: $bench is missing; build it first:" >&2
  echo "  cmake --preset release && cmake --build --preset release --target lumaro_bench" >&2
  exit 2
fi

# plug-in benchmark, its baseline, the goal, the ratio held where the goal is missed
checks=(
  "BM_Refresh/1000 BM_RefreshBaseline/1000 1.25 1.65"
  "BM_Find/100 BM_FindBaseline/100 1.10 1.18"
)

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Thousands of instructions per iteration of the timed work.
instructions() {
  local name=$1 file iterations total
  file="$out/$(echo "$name" | tr '/' '_')"
  iterations=$(valgrind --tool=callgrind --callgrind-out-file="$file" \
    --toggle-collect='bench::Timed*' "$bench" --benchmark_filter="^$name\$" \
    --benchmark_min_time=0 --benchmark_format=csv 2>/dev/null | awk -F, 'NR > 1 { print $2 }')
  total=$(callgrind_annotate "$file" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(/,/, "", $1); print $1 }')
  if [ -z "$iterations" ] || [ -z "$total" ]; then
    echo "bench-check: $name did not run" >&2
    return 1
  fi
  awk -v t="$total" -v n="$iterations" 'BEGIN { printf "%.0f", t / n / 1e3 }'
}

failed=0
summary=()
for check in "${checks[@]}"; do
  read -r plugin baseline goal held <<<"$check"
  # The two side by side: the machine has two cores.
  instructions "$plugin" >"$out/plugin" &
  instructions "$baseline" >"$out/baseline" || failed=1
  wait $! || failed=1
  p=$(cat "$out/plugin") b=$(cat "$out/baseline")
  if [ -z "$p" ] || [ -z "$b" ]; then
    summary+=("${plugin%%/*} ${plugin#*/} not measured")
    continue
  fi
  read -r ratio limit verdict < <(awk -v p="$p" -v b="$b" -v g="$goal" -v h="$held" 'BEGIN {
    r = p / b; l = 1.10 * (h > g ? h : g)
    printf "%.3f %.3f %s\n", r, l, (r <= l ? "ok" : "REGRESSED") }')
  echo "$plugin: $p k instructions, $baseline: $b k, ratio $ratio (goal $goal, limit $limit) $verdict"
  [ "$verdict" = ok ] || failed=1
  summary+=("${plugin%%/*} ${plugin#*/} $ratio (limit $limit)")
done

line="bench-check ratios:"
for s in "${summary[@]}"; do line+=" $s;"; done
if [ "$failed" = 1 ]; then
  echo "${line%;} FAILED"
  exit 1
fi
echo "${line%;} passed"
