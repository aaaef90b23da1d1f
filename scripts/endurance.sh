#!/usr/bin/env bash
# Endurance, as README "Endurance" reports it: the release build's bin/lumaro_endurance,
# 1,000 document cycles (open, Find, Activate, Activate All, deactivate, close) and
# 1,000 unload/reload cycles of the plug-in in one host session, with the plug-in's
# host blocks, the live BSTRs and automation proxies, and the resident memory taken
# at the start and the end of each.
#
#   scripts/endurance.sh [ARGS...]   ARGS go to lumaro_endurance (--cycles N,
#                                    --rss-tolerance-kib K, ...)
#
# Prints the machine, the date and a Markdown table; exits as lumaro_endurance does
# (1 when a count moved or the resident memory grew beyond the tolerance).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target lumaro_endurance -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo
exec build/release/bin/lumaro_endurance "$@"
