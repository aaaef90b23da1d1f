#!/usr/bin/env bash
# Every test, as CI runs them: set-up, the sanitizer build, the Windows builds
# (the shipped i686 one and x86-64, both run under Wine), then all tests, the
# wine ones included; then the benchmark check (instruction counts of the
# release build); then the fuzz build and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"

# The same sources for 32-bit Windows; the tests read that module's resources
# back the way the host reads them.
cmake --preset mingw
cmake --build --preset mingw -j "$jobs"
export LUMARO_WINDOWS_MODULE="$PWD/build/mingw/plugins/Lumaro.aip"

# The release archive, made twice from two fresh clones of this commit: the
# same bytes, the module in it checked (imports, export, flags, no link time).
bash tests/release/reproducible_release.sh

# The x86-64 build of the Windows programs; the wine tests run both builds and
# none may be skipped here (the set-up installs what runs 32-bit programs).
cmake --preset mingw64
cmake --build --preset mingw64 -j "$jobs"
export LUMARO_REQUIRE_WINE=1

ctest --preset sanitize -j "$jobs"

# The plug-in's cost beside the bare host calls, in instructions (callgrind): the
# release build of the benchmark, and a check that fails on a regression.
cmake --preset release
cmake --build --preset release -j "$jobs" --target lumaro_bench
bash scripts/bench-check.sh

# The fuzz targets (clang, libFuzzer), each run briefly from its seed corpus.
# The long runs are scripts/fuzz.sh.
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"
