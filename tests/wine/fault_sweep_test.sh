#!/usr/bin/env bash
# The fault sweep against a Windows edition under Wine, every STRIDE-th point.
#   fault_sweep_test.sh MAKE_SAMPLES ARCH STRIDE
set -euo pipefail
make_samples=$1 arch=$2 stride=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SAMPLES="$work/samples" DEMO="$work/demo"
mkdir -p "$DEMO"
"$make_samples" "$SAMPLES" >/dev/null
exec bash "$(dirname "$0")/../../scripts/fault-sweep-windows.sh" "$arch" --stride "$stride" --jobs 2
