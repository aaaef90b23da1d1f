#!/usr/bin/env bash
# The plug-in's own cost, as README "Performance" reports it: the release build's
# bin/lumaro_bench, each panel command through the loaded module beside a baseline
# of the bare host and font-manager calls, and the ratio of the two.
#
#   scripts/bench.sh               medians of repeated runs (REPS, default 9), CPU time
#   scripts/bench.sh --callgrind   instructions of one timed run each under valgrind:
#                                  the same on a loaded machine as on an idle one
#
# Prints the machine, the date and a Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=time
case "${1:-}" in
  "") ;;
  --callgrind) mode=callgrind ;;
  *) echo "usage: $0 [--callgrind]" >&2; exit 2 ;;
esac
reps=${REPS:-9}

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target lumaro_bench -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
bench=build/release/bin/lumaro_bench

pairs=(
  "BM_Refresh/1000 BM_RefreshBaseline/1000 1.25"
  "BM_Refresh/10000 BM_RefreshBaseline/10000 1.25"
  "BM_Refresh/100000 BM_RefreshBaseline/100000 1.25"
  "BM_Find/100 BM_FindBaseline/100 1.10"
  "BM_Find/1000 BM_FindBaseline/1000 1.10"
  "BM_Find/10000 BM_FindBaseline/10000 1.10"
  "BM_ActivateAll/1000 BM_ActivateAllBaseline/1000 1.10"
)

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo

# name -> figure, one "name value" per line.
declare -A figure
declare -A counter

if [ "$mode" = time ]; then
  echo "Medians of $reps runs, CPU time (wall time is at the mercy of the machine's load)."
  echo
  csv=$(mktemp)
  memory=$(mktemp)
  trap 'rm -f "$csv" "$memory"' EXIT
  # Two runs: the CSV report takes the counters of a run's first benchmark only.
  run() {
    "$bench" --benchmark_filter="$1" --benchmark_repetitions="$reps" \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null
  }
  run '^BM_(Refresh|RefreshBaseline|Find|FindBaseline|ActivateAll|ActivateAllBaseline)/' >"$csv"
  run '^BM_RefreshMemory/' >"$memory"
  # Medians in milliseconds, and the memory benchmark's counters.
  while IFS=$'\t' read -r name value; do figure[$name]=$value; done < <(
    awk -F, 'NR == 1 { next }
      $1 ~ /_median"$/ {
        name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
        t = $4; u = $5
        if (u == "ns") t /= 1e6; else if (u == "us") t /= 1e3; else if (u == "s") t *= 1e3
        printf "%s\t%.4f\n", name, t
      }' "$csv")
  while IFS=$'\t' read -r name value; do counter[$name]=$value; done < <(
    awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) { h = $i; gsub(/"/, "", h); col[h] = i } next }
      $1 ~ /BM_RefreshMemory.*_median"$/ {
        for (h in col) if (h ~ /per_|name_/ && $col[h] != "") printf "%s\t%s\n", h, $col[h]
      }' "$memory")
  unit="ms"
else
  echo "Instructions of one timed run (valgrind --tool=callgrind, collecting in bench::Timed* only)."
  echo
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
  for pair in "${pairs[@]}"; do
    read -r plugin baseline _ <<<"$pair"
    for name in "$plugin" "$baseline"; do
      file="$out/$(echo "$name" | tr '/' '_')"
      iterations=$(valgrind --tool=callgrind --callgrind-out-file="$file" \
        --toggle-collect='bench::Timed*' "$bench" --benchmark_filter="^$name\$" \
        --benchmark_min_time=0 --benchmark_format=csv 2>/dev/null |
        awk -F, 'NR > 1 { print $2 }')
      total=$(callgrind_annotate "$file" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(/,/, "", $1); print $1 }')
      figure[$name]=$(awk -v t="$total" -v n="$iterations" 'BEGIN { printf "%.0f", t / n / 1e3 }')
    done
  done
  unit="k instructions"
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v g="$2" 'BEGIN { print (r <= g ? "met" : "missed") }'; }

echo "| benchmark | plug-in ($unit) | baseline ($unit) | ratio | goal | |"
echo "|---|---:|---:|---:|---:|---|"
for pair in "${pairs[@]}"; do
  read -r plugin baseline goal <<<"$pair"
  r=$(ratio "${figure[$plugin]}" "${figure[$baseline]}")
  echo "| $plugin | ${figure[$plugin]} | ${figure[$baseline]} | $r | ≤ $goal | $(verdict "$r" "$goal") |"
done
growth=$(ratio "${figure[BM_Refresh/100000]}" "${figure[BM_Refresh/10000]}")
baseGrowth=$(ratio "${figure[BM_RefreshBaseline/100000]}" "${figure[BM_RefreshBaseline/10000]}")
echo "| Refresh 100,000 / 10,000 | $growth | $baseGrowth | | ≤ 11 | $(verdict "$growth" 11) |"
if [ "$mode" = time ]; then
  m=${counter[bytes_per_name_byte]}
  echo "| BM_RefreshMemory/100000: bytes per name byte | $(printf '%.2f' "$m") | | | ≤ 2.0 | $(verdict "$m" 2.0) |"
  echo
  printf 'Memory after a refresh of 100,000 missing fonts: %.0f bytes and %.2f blocks a font, ' \
    "${counter[bytes_per_font]}" "${counter[blocks_per_font]}"
  printf 'for names of %.1f characters (%.0f bytes a font: the narrow name and seven UTF-16 names).\n' \
    "${counter[name_length]}" "${counter[name_bytes_per_font]}"
fi
