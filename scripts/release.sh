#!/usr/bin/env bash
# Makes the release, dist/Lumaro-VERSION-win32.zip (VERSION: the file VERSION),
# from the shipped module: the mingw preset's 32-bit Lumaro.aip. Two runs on
# the same commit, in any checkout, make the same bytes.
#   scripts/release.sh [--no-setup]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --no-setup ]; then bash scripts/setup.sh; fi
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "${JOBS:-2}" --target release
