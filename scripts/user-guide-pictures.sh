#!/usr/bin/env bash
# Draws the user guide's pictures of the panel (docs/images/panel-*.png) with
# the simulated host: samples/scenarios/user-guide.txt.
#   scripts/user-guide-pictures.sh [BUILD_DIR]     (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
if [ ! -x "$build/bin/lumaro-host" ]; then
  echo "user-guide-pictures.sh: $build/bin/lumaro-host is missing; build it first:" >&2
  echo "  cmake --preset release && cmake --build --preset release" >&2
  exit 2
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/make-samples" "$work/samples" >/dev/null
mkdir -p docs/images
SAMPLES="$work/samples" PICTURES="$PWD/docs/images" \
  "$build/bin/lumaro-host" samples/scenarios/user-guide.txt
