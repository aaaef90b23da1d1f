#!/usr/bin/env bash
# The font manager as a real out-of-process automation server under Wine: a
# machine indexed and registered for all users (the registration Wine's COM
# reads), then the Windows client's checks. For by-com the Linux edition
# indexes the machine: both editions share the machine folder. For script,
# Wine's own cscript runs SCRIPT.vbs, whose output must be EXPECTED.
#   glyvor_server_test.sh by-com|by-hand|without-catalogue|control LINUX_GLYVOR
#   glyvor_server_test.sh script LINUX_GLYVOR SCRIPT.vbs EXPECTED.txt
# Environment: WINEPREFIX, LUMARO_WINE_RUN, LUMARO_WINDOWS_BIN (see LumaroWine.cmake).
set -euo pipefail
mode="$1"
linux="$2"
run="$LUMARO_WINE_RUN"
glyvor="$LUMARO_WINDOWS_BIN/glyvor.exe"
client="$LUMARO_WINDOWS_BIN/glyvor_client.exe"
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
cp /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf \
  /usr/share/fonts/truetype/liberation/LiberationSerif-Italic.ttf \
  /usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf \
  /usr/share/fonts/type1/urw-base35/C059-Roman.t1 "$work/fonts/"

case "$mode" in
  by-com) "$linux" index --out "$machine/Glyvor/catalog.txt" --group "Fonts=$work/fonts" ;;
  by-hand | script) "$run" "$glyvor" index --out "$machine/Glyvor/catalog.txt" --group "Fonts=$work/fonts" ;;
esac
registered=yes
if [ "$mode" != control ]; then
  "$run" "$glyvor" register --machine "$machine" --all-users
fi
case "$mode" in
  by-hand) "$run" "$client" by-hand "$machine" "$glyvor" ;;
  # Sets up and registers the machine itself, as a host would.
  control) "$run" "$LUMARO_WINDOWS_BIN/glyvor_control_check.exe" "$machine" "$work/fonts" ;;
  # cscript takes arguments starting with "/" for options: the script goes by its Z: name.
  script)
    "$run" cscript.exe //nologo "Z:$(realpath "$3" | tr / '\\')" | tr -d '\r' >"$work/output.txt"
    diff -u "$4" "$work/output.txt"
    ;;
  *) "$run" "$client" "$mode" "$machine" ;;
esac
