#!/usr/bin/env bash
# Runs the host's Windows edition under Wine:
#
#   scripts/run-windows.sh i686|x86-64 [HOST OPTION...] [SCENARIO]
#
# i686 is the shipped build (preset mingw: build/mingw/bin/lumaro-host.exe with
# build/mingw/plugins/Lumaro.aip) in a 32-bit prefix, build/wine-prefix-i686;
# x86-64 is preset mingw64 in a 64-bit prefix, build/wine-prefix-x86-64. The
# preset is built when its programs are missing, the prefix made on first use
# and kept, with the keeper program that holds its services up (restarted when
# it has ended); LUMARO_WINDOWS_PREFIX names another prefix. $SAMPLES and $DEMO,
# which the bundled scenarios name, default to build/windows-demo/. Exits with
# the host's status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

case "${1:-}" in
  i686) preset=mingw arch=win32 ;;
  x86-64) preset=mingw64 arch=win64 ;;
  *)
    echo "usage: scripts/run-windows.sh i686|x86-64 [HOST OPTION...] [SCENARIO]" >&2
    exit 2
    ;;
esac
machine=$1
shift

bin="$root/build/$preset/bin"
for built in "$bin/lumaro-host.exe" "$bin/wine_keeper.exe" "$bin/glyvor.exe" \
  "$root/build/$preset/plugins/Lumaro.aip"; do
  if [ ! -f "$built" ]; then
    echo "run-windows.sh: building preset $preset ($built is missing)" >&2
    (cd "$root" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset") >&2
    break
  fi
done

if [ -z "${SAMPLES:-}" ]; then
  export SAMPLES="$root/build/windows-demo/samples"
  if [ ! -d "$SAMPLES" ]; then
    make_samples="$root/build/release/bin/make-samples"
    if [ ! -x "$make_samples" ]; then
      (cd "$root" && cmake --preset release >/dev/null &&
        cmake --build --preset release --target make-samples) >&2
    fi
    "$make_samples" "$SAMPLES" >/dev/null
  fi
fi
export DEMO="${DEMO:-$root/build/windows-demo}"
mkdir -p "$DEMO"

export WINEPREFIX="${LUMARO_WINDOWS_PREFIX:-$root/build/wine-prefix-$machine}" LUMARO_WINE_ARCH=$arch
export LUMARO_WINDOWS_BIN="$bin"
run="$root/tests/wine/run-wine.sh"

keeper_running() {
  local pid
  for pid in $(pgrep -f wine_keeper.exe 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      return 0
    fi
  done
  return 1
}

if [ ! -f "$WINEPREFIX/.lumaro-test-prefix" ]; then
  "$run" setup >&2
elif ! keeper_running; then
  eval "$(bash "$root/scripts/wine-loaders.sh")"
  loader="$LUMARO_WINE_LOADERS/wine64"
  [ "$arch" = win32 ] && loader="$LUMARO_WINE_LOADERS/wine"
  setsid "$loader" "$bin/wine_keeper.exe" 3600 </dev/null >/dev/null 2>&1 &
fi

exec "$run" "$bin/lumaro-host.exe" "$@"
