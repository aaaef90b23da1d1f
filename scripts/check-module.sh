#!/usr/bin/env bash
# Checks a shipped module as Windows and the host will take it: a 32-bit DLL
# (PE32, i386) that imports only Windows system DLLs (no C++ or GCC runtime
# DLL: those are linked in), exports PluginMain alone, is marked for address
# space layout randomisation and data execution prevention (DYNAMIC_BASE,
# NX_COMPAT), carries no link time and no path of the tree it was built from.
#   scripts/check-module.sh MODULE [SOURCE_DIR]
# OBJDUMP names the objdump for PE32 (default i686-w64-mingw32-objdump).
set -euo pipefail
module="$1"
source_dir="${2:-}"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"

headers="$(TZ=UTC "$objdump" -p "$module")" || {
  echo "check-module: $module: cannot read it as a PE32 module" >&2
  exit 1
}
failures=0
problem() {
  echo "check-module: $module: $*" >&2
  failures=$((failures + 1))
}

grep -q "file format pei-i386" <<<"$headers" || problem "not a 32-bit Windows module (PE32, i386)"

system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll shell32.dll msvcrt.dll "
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
[ -n "$imports" ] || problem "imports nothing: not the module's import table"
for dll in $imports; do
  [[ "$system_dlls" == *" ${dll,,} "* ]] || problem "imports $dll, which is not a Windows system DLL"
done

exports="$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' <<<"$headers" |
  LC_ALL=C sort -u | tr '\n' ' ')"
[ "$exports" = "PluginMain " ] || problem "exports '${exports% }', not PluginMain alone"

for flag in DYNAMIC_BASE NX_COMPAT; do
  grep -qE "^[[:space:]]+$flag\$" <<<"$headers" || problem "is not marked $flag"
done

grep -qE '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$headers" ||
  problem "carries a link time ($(sed -n 's/^Time\/Date[[:space:]]*//p' <<<"$headers" | head -n 1))"

if [ -n "$source_dir" ] && grep -qF "$source_dir" "$module"; then
  problem "holds the build's path $source_dir"
fi

if [ "$failures" -gt 0 ]; then exit 1; fi
echo "check-module: $module: PE32 DLL; imports $(tr '\n' ' ' <<<"$imports"); exports PluginMain; DYNAMIC_BASE, NX_COMPAT; no link time"
