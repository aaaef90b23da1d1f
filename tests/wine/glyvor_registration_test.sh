#!/usr/bin/env bash
# glyvor.exe register / unregister under Wine, for one user and for all users:
# the registry gains exactly the expected keys and values and loses nothing,
# and unregistering gives back the registry as it was, byte for byte.
#   glyvor_registration_test.sh EXPECTED_DIR
# Environment: WINEPREFIX, LUMARO_WINE_RUN, LUMARO_WINDOWS_BIN (see LumaroWine.cmake).
set -euo pipefail
expected_dir="$1"
run="$LUMARO_WINE_RUN"
glyvor="$LUMARO_WINDOWS_BIN/glyvor.exe"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
machine="$work/machine"
failures=0

fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# Both class hives, one line per key and per value ("[KEY] NAME=VALUE"), sorted.
snapshot() {
  local out="$1" hive file
  : >"$out.raw"
  for hive in HKCU HKLM; do
    file="$work/$hive.reg"
    rm -f "$file"
    # A fresh user has no Software\Classes: nothing to export is an empty hive.
    if "$run" reg export "$hive\\Software\\Classes" "$(dos "$file")" /y >/dev/null 2>&1; then
      iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' >>"$out.raw"
    fi
  done
  awk '/^Windows Registry Editor/ { next }
       /^\[/ { key = $0; print key; next }
       /^$/ { next }
       { print key " " $0 }' "$out.raw" | LC_ALL=C sort >"$out"
}

# The DOS path Wine gives a Linux path, and that path as reg files spell it
# (backslashes doubled).
dos() { printf 'Z:%s' "${1//\//\\}"; }
reg_spelling() { printf 'Z:%s' "${1//\//\\\\}"; }

# Paths stand as names in the expectation (replaced as text, not as patterns).
name_paths() {
  MACHINE="$(reg_spelling "$machine")" GLYVOR="$(reg_spelling "$glyvor")" awk '
    function swap(line, from, to,   at) {
      while ((at = index(line, from)) > 0)
        line = substr(line, 1, at - 1) to substr(line, at + length(from))
      return line
    }
    { print swap(swap($0, ENVIRON["GLYVOR"], "<GLYVOR_EXE>"), ENVIRON["MACHINE"], "<MACHINE>") }'
}

before="$work/before"
check_scope() {
  local scope="$1" flag="$2"
  local after="$work/after-$scope"
  if ! "$run" "$glyvor" register --machine "$machine" $flag >"$work/out" 2>&1; then
    fail "$scope: register failed: $(cat "$work/out")"
    return
  fi
  snapshot "$after"
  LC_ALL=C comm -13 "$before" "$after" | name_paths >"$work/added-$scope"
  if ! diff -u "$expected_dir/registration-$scope.txt" "$work/added-$scope"; then
    fail "$scope: register wrote other keys or values than these"
  else
    echo "ok   $scope: register writes exactly the expected keys and values"
  fi
  if [ -n "$(LC_ALL=C comm -23 "$before" "$after")" ]; then
    fail "$scope: register changed or removed what was there:"
    LC_ALL=C comm -23 "$before" "$after"
  fi
  for file in registration.txt Glyvor.tlb; do
    [ -f "$machine/Glyvor/$file" ] || fail "$scope: register wrote no $file"
  done

  "$run" "$glyvor" unregister --machine "$machine" $flag >"$work/out" 2>&1 ||
    fail "$scope: unregister failed: $(cat "$work/out")"
  grep -q "unregistered from" "$work/out" || fail "$scope: unregister said: $(cat "$work/out")"
  snapshot "$after"
  if cmp -s "$before" "$after"; then
    echo "ok   $scope: unregister leaves the registry as it was"
  else
    fail "$scope: unregister left the registry changed:"
    diff "$before" "$after" || true
  fi
  for file in registration.txt Glyvor.tlb; do
    [ ! -e "$machine/Glyvor/$file" ] || fail "$scope: unregister left $file"
  done
  "$run" "$glyvor" unregister --machine "$machine" $flag >"$work/out" 2>&1 ||
    fail "$scope: a second unregister failed"
  grep -q "was not registered" "$work/out" || fail "$scope: a second unregister said: $(cat "$work/out")"
}

# Scenarios earlier in the run may have left a registration of their own
# machine folder: start from none, in both scopes.
"$run" "$glyvor" unregister --machine "$machine" >/dev/null 2>&1 || true
"$run" "$glyvor" unregister --machine "$machine" --all-users >/dev/null 2>&1 || true
snapshot "$before"
check_scope current-user ""
check_scope all-users --all-users
echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
