#!/usr/bin/env bash
# Packs a built module into the release archive OUT/Lumaro-VERSION-win32.zip:
# the module stripped, the user guide and its pictures, the notices of what the
# module links statically, and SHA256SUMS of them. The same inputs give the
# same bytes: every time in the archive is the commit's (or SOURCE_DATE_EPOCH),
# entries go in a fixed order, without owners or extra attributes.
#   scripts/package-release.sh MODULE OUT
# STRIP and OBJDUMP name the tools for PE32 (defaults: the i686 mingw-w64 ones).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
module="$1"
out="$2"
strip_tool="${STRIP:-i686-w64-mingw32-strip}"
version="$(head -n 1 "$root/VERSION")"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null)"; then
    echo "package-release.sh: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2
    exit 2
  fi
fi

name="Lumaro-$version-win32"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
dir="$stage/$name"
mkdir -p "$dir/images"

# strip stamps the PE header with the current time unless SOURCE_DATE_EPOCH
# names one: zero, as the linker left it.
SOURCE_DATE_EPOCH=0 "$strip_tool" --strip-all -o "$dir/Lumaro.aip" "$module"
bash "$root/scripts/check-module.sh" "$dir/Lumaro.aip" "$root" >/dev/null

cp "$root/docs/user-guide.md" "$dir/user-guide.md"
cp "$root"/docs/images/*.png "$dir/images/"

notice() {  # notice PACKAGE WHAT
  local copyright="/usr/share/doc/$1/copyright"
  if [ ! -f "$copyright" ]; then
    echo "package-release.sh: $copyright is missing; install $1 (scripts/setup.sh)" >&2
    exit 2
  fi
  printf '%s\n\n%s (Debian package %s %s):\n\n' "$(printf '=%.0s' {1..78})" "$2" "$1" \
    "$(dpkg-query -W -f='${Version}' "$1")"
  cat "$copyright"
  printf '\n'
}
{
  echo "Third-party software in Lumaro.aip"
  echo
  echo "Lumaro.aip carries these libraries inside itself (linked statically), so that"
  echo "it needs no runtime DLL beside it. Their copyright and licence statements"
  echo "follow, as the packages of the toolchain that built it give them."
  echo
  echo "- libstdc++ and libgcc, the GCC runtime libraries: GPL 3 with the GCC Runtime"
  echo "  Library Exception, which allows them in a program under any licence."
  echo "- The mingw-w64 runtime (start-up code, C runtime support) and winpthreads:"
  echo "  ZPL 2.1, MIT and public-domain terms, as listed per file."
  echo
  notice gcc-mingw-w64-i686-posix-runtime "libstdc++ and libgcc"
  notice mingw-w64-i686-dev "The mingw-w64 runtime and winpthreads"
} >"$dir/THIRD-PARTY-NOTICES.txt"

(cd "$dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >"$stage/SHA256SUMS")
mv "$stage/SHA256SUMS" "$dir/SHA256SUMS"

find "$dir" -type d -exec chmod 755 {} +
find "$dir" -type f -exec chmod 644 {} +
find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# -X: no owners or extended times; -D: no folder entries; the names from stdin, sorted.
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q "$name.zip" -@)

mkdir -p "$out"
mv "$stage/$name.zip" "$out/$name.zip"
echo "$out/$name.zip: $(stat -c %s "$out/$name.zip") bytes; Lumaro.aip $(stat -c %s "$module") bytes built, $(stat -c %s "$dir/Lumaro.aip") stripped"
