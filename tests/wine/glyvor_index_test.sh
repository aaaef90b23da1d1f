#!/usr/bin/env bash
# glyvor.exe index, list and match under Wine against the Linux glyvor on the
# same folder: DirectWrite and FreeType catalogue the same faces under the same
# names, paths given as Linux paths work (Wine's drive Z:), and a Type 1 file is
# refused with a clear message.
#   glyvor_index_test.sh LINUX_GLYVOR
# Environment: WINEPREFIX, LUMARO_WINE_RUN, LUMARO_WINDOWS_BIN (see LumaroWine.cmake).
set -euo pipefail
linux="$1"
run="$LUMARO_WINE_RUN"
glyvor="$LUMARO_WINDOWS_BIN/glyvor.exe"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # check WHAT COMMAND...: passes when the command succeeds
  local what="$1"
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}

# From drive C:, so that no Linux path reaches its file through the current drive.
cd "$WINEPREFIX/drive_c"

fonts="$work/fonts"
mkdir -p "$fonts/nested"
cp /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf \
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
  /usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf "$fonts/"
# Typographic names (DejaVu), a Japanese name beside the English one (IPA), a folder below.
cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf \
  /usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf "$fonts/nested/"
cp /usr/share/fonts/type1/urw-base35/C059-Roman.t1 "$fonts/"

"$linux" index --out "$work/linux.txt" --group "Fonts=$fonts" >"$work/linux-index.out"
"$linux" list "$work/linux.txt" >"$work/linux-list.out"

status=0
"$run" "$glyvor" index --out "$work/windows.txt" --group "Fonts=$fonts" \
  >"$work/index.out" 2>"$work/index.err" || status=$?
check "index succeeds with Linux paths" test "$status" -eq 0
check "index counts the Type 1 file as skipped" \
  test "$(cat "$work/index.out")" = "$(printf 'Fonts\t5 fonts\t1 skipped')"
check "index says why it refused the Type 1 file" \
  test "$(cat "$work/index.err")" = \
  "glyvor: Fonts: C059-Roman.t1: a Type 1 font; the Windows edition reads TrueType and OpenType fonts only"
check "the catalogue records the folder as Wine's drive Z: path" \
  grep -qF "$(printf 'group\tFonts\tZ:%s' "${fonts//\//\\\\}")" "$work/windows.txt"

"$run" "$glyvor" list "$work/windows.txt" >"$work/windows-list.out" || true
grep -v $'\tt1\t' "$work/linux-list.out" >"$work/linux-list-no-t1.out"
check "DirectWrite lists the same faces and names as FreeType" \
  diff -u "$work/linux-list-no-t1.out" "$work/windows-list.out"

for name in "Liberation Sans Bold" "DejaVu Sans" "NimbusSans-Regular" "Liberation Serif,Italic"; do
  check "match '$name' answers as on Linux" \
    test "$("$run" "$glyvor" match "$work/windows.txt" "$name")" = \
    "$("$linux" match "$work/linux.txt" "$name")"
done
status=0
"$run" "$glyvor" match "$work/windows.txt" "No Such Font" >"$work/none.out" || status=$?
check "match without a match exits 1 and prints nothing" \
  test "$status" -eq 1 -a ! -s "$work/none.out"

# A catalogue written on Linux names its folder by a Linux path.
"$run" "$glyvor" list "$work/linux.txt" >"$work/linux-catalogue.out" || true
check "a catalogue written on Linux is read, Type 1 entries included" \
  diff -u "$work/linux-list.out" "$work/linux-catalogue.out"

status=0
"$run" "$glyvor" match "$work/windows.txt" >/dev/null 2>"$work/usage.err" || status=$?
check "bad usage exits 2 with the usage" \
  test "$status" -eq 2 && grep -q "match takes CATALOG NAME" "$work/usage.err"

echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
