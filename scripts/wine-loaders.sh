#!/usr/bin/env bash
# Says which Wine loaders to start Windows programs with, as shell assignments
# for eval:
#
#   eval "$(scripts/wine-loaders.sh)"   # sets LUMARO_WINE_LOADERS, the folder
#                                       # holding wine64 and wine (32-bit)
#
# Where the kernel runs 32-bit code that is Wine's own folder. Where it does not,
# 32-bit Wine runs under qemu-i386, and the folder is build/wine-loaders: Wine
# starts a program's process with the loader of its architecture from the folder
# of the running loader (not through WINELOADER), so both loaders must stand in
# one folder of ours, wine64 as a copy (its folder is where it runs from) and
# wine as a script that starts the 32-bit loader's copy under qemu, naming itself
# as the program. Their library and data folders are reached relative to the
# loaders, so links to the installed ones stand beside them.
set -euo pipefail

wine_dir=/usr/lib/wine
if [ ! -x "$wine_dir/wine64" ]; then
  echo "wine-loaders.sh: $wine_dir/wine64 is missing; run scripts/setup.sh" >&2
  exit 2
fi
if "$wine_dir/wine" --version >/dev/null 2>&1 || ! command -v qemu-i386 >/dev/null; then
  # Natively, or with no way to run 32-bit code at all (the i686 tests say so).
  echo "LUMARO_WINE_LOADERS=$wine_dir"
  exit 0
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shim="$root/build/wine-loaders"
if ! cmp -s "$shim/lib/wine/wine64" "$wine_dir/wine64" || ! cmp -s "$shim/lib/wine/wine.elf" "$wine_dir/wine"; then
  mkdir -p "$root/build"
  new=$(mktemp -d "$root/build/.wine-loaders.XXXXXX")
  mkdir -p "$new/lib/wine" "$new/lib/i386-linux-gnu" "$new/lib/x86_64-linux-gnu" "$new/share"
  cp "$wine_dir/wine64" "$new/lib/wine/wine64"
  cp "$wine_dir/wine" "$new/lib/wine/wine.elf"
  ln -s "$wine_dir/wineserver" "$new/lib/wine/wineserver"
  ln -s /usr/lib/i386-linux-gnu/wine "$new/lib/i386-linux-gnu/wine"
  ln -s /usr/lib/x86_64-linux-gnu/wine "$new/lib/x86_64-linux-gnu/wine"
  ln -s /usr/share/wine "$new/share/wine"
  cat >"$new/lib/wine/wine" <<'SCRIPT'
#!/bin/sh
here=$(dirname "$0")
exec qemu-i386 -0 "$here/wine" "$here/wine.elf" "$@"
SCRIPT
  chmod +x "$new/lib/wine/wine"
  # Tests start in parallel: the first complete folder wins; one left from
  # another Wine is replaced.
  if ! mv -T "$new" "$shim" 2>/dev/null; then
    if ! cmp -s "$shim/lib/wine/wine64" "$wine_dir/wine64"; then
      rm -rf "$shim" && mv -T "$new" "$shim"
    fi
    rm -rf "$new"
  fi
fi
echo "LUMARO_WINE_LOADERS=$shim/lib/wine"
# The 32-bit loader must not start itself again through the preloader, which
# qemu cannot run.
echo "export WINELOADERNOEXEC=1"
