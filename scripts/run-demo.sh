#!/usr/bin/env bash
# The main job: set-up, a build, and the simulated host running Lumaro through
# the bundled demo (samples/scenarios/demo.txt). Pictures of the panel at each
# step go to build/demo/. With arguments, runs lumaro-host with them instead
# (e.g. scripts/run-demo.sh --help, or no scenario for the console).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target lumaro-host glyvor make-samples

if [ "$#" -gt 0 ]; then
  exec build/release/bin/lumaro-host "$@"
fi

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
build/release/bin/make-samples "$demo/samples" >/dev/null
export SAMPLES="$PWD/$demo/samples" DEMO="$PWD/$demo"
status=0
build/release/bin/lumaro-host samples/scenarios/demo.txt | tee "$demo/transcript.txt" || status=$?
echo
echo "transcript: $demo/transcript.txt"
echo "pictures of the panel:"
ls "$demo"/*.png | sed 's/^/  /'
exit "$status"
