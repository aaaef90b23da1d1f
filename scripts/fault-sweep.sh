#!/usr/bin/env bash
# The fault sweep: the bundled scenarios (the demo first) run once per fault point
# (every allocation, host-suite call, host-string call and automation call the
# plug-in makes in them), each in a session of its own, under the sanitizers.
#
#   scripts/fault-sweep.sh [--stride N] [--preset sanitize|release] [--no-build]
#                          [fault-sweep's own options: --jobs N, --scenario NAME,
#                           --kind KIND, --log DIR, --count, ...]
#
# --stride N runs every N-th fault point only. The build is made first unless
# --no-build. With --windows i686|x86-64 first, the sweep runs that Windows
# edition of the host and module under Wine instead (scripts/fault-sweep-windows.sh). A failing point is printed with the fault command that replays it
# at the head of its scenario; the last line is "N fault points, F failures", and
# the status is 0 only when F is 0.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --windows ]; then
  shift
  exec bash scripts/fault-sweep-windows.sh "$@"
fi

preset=sanitize
build=1
args=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --preset) preset="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) args+=("$1"); shift ;;
  esac
done
case "$preset" in
  sanitize | release) ;;
  *) echo "fault-sweep.sh: --preset is sanitize or release, not $preset" >&2; exit 2 ;;
esac

if [ "$build" -eq 1 ]; then
  bash scripts/setup.sh
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc 2>/dev/null || echo 2)" --target fault-sweep
fi
program="build/$preset/bin/fault-sweep"
if [ ! -x "$program" ]; then
  echo "fault-sweep.sh: $program is missing; run without --no-build" >&2
  exit 2
fi

# Every core: the points run in child processes, a batch at a time.
jobs=(--jobs "$(nproc 2>/dev/null || echo 2)")
for a in "${args[@]}"; do [ "$a" = --jobs ] && jobs=(); done
exec "$program" "${jobs[@]}" "${args[@]}"
