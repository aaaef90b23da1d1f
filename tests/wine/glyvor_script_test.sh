#!/usr/bin/env bash
# A script client that no one here wrote, Wine's own cscript running VBScript,
# drives glyvor.exe through COM: a machine of one font, indexed and registered
# for all users; the script's output is compared with the expected one.
#   glyvor_script_test.sh SCRIPT.vbs EXPECTED.txt
# Environment: WINEPREFIX, LUMARO_WINE_RUN, LUMARO_WINDOWS_BIN (see LumaroWine.cmake).
set -euo pipefail
script="$1"
expected="$2"
run="$LUMARO_WINE_RUN"
glyvor="$LUMARO_WINDOWS_BIN/glyvor.exe"
work="$(mktemp -d)"
machine="$work/machine"
registered=no
cleanup() {
  if [ "$registered" = yes ]; then
    "$run" "$glyvor" unregister --machine "$machine" --all-users >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/fonts"
cp /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf "$work/fonts/"
"$run" "$glyvor" index --out "$machine/Glyvor/catalog.txt" --group "Fonts=$work/fonts" >/dev/null
registered=yes
"$run" "$glyvor" register --machine "$machine" --all-users >/dev/null

# cscript reads options from arguments that start with "/": the script goes by
# its drive Z: name.
windows_script="Z:$(realpath "$script" | tr / '\\')"
"$run" cscript.exe //nologo "$windows_script" | tr -d '\r' >"$work/output.txt"
diff -u "$expected" "$work/output.txt"
echo "the script's output is as expected"
