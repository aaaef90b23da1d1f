#!/usr/bin/env bash
# The main job: set-up, a build, and the simulated host running Lumaro.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset release
cmake --build --preset release -j "$jobs"

build/release/bin/lumaro-host "$@"
