#!/usr/bin/env bash
# Every test, as CI runs them: set-up, the sanitizer build and its tests,
# then the Windows module.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# The same sources for 32-bit Windows.
cmake --preset mingw
cmake --build --preset mingw -j "$jobs"
