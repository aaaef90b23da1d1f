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

# The same sources for 32-bit Windows, and that module's resources read back
# the way the host reads them.
cmake --preset mingw
cmake --build --preset mingw -j "$jobs"
LUMARO_WINDOWS_MODULE="$PWD/build/mingw/plugins/Lumaro.aip" \
  build/sanitize/bin/frame_tests --gtest_filter='*Windows*:*WindowsModule*' --gtest_brief=1
