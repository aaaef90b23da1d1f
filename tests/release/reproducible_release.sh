#!/usr/bin/env bash
# Two fresh clones of the commit checked out here, in different folders, each
# make the release; the archives must be the same bytes.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
commit="$(git -C "$root" rev-parse HEAD)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
zip="dist/Lumaro-$(head -n 1 "$root/VERSION")-win32.zip"
for clone in first second-clone; do
  git clone -q --no-checkout "$root" "$work/$clone"
  git -C "$work/$clone" checkout -q "$commit"
  (cd "$work/$clone" && bash scripts/release.sh --no-setup 2>&1 | tail -n 5)
done
if ! cmp "$work/first/$zip" "$work/second-clone/$zip"; then
  echo "two builds of $commit made different releases"
  exit 1
fi
echo "two clean builds of $commit made the same release: $(sha256sum <"$work/first/$zip" | cut -c1-64)"
