#!/usr/bin/env bash
# The user guide's table of messages lists exactly the texts the panel can show:
# every text of the panel's messages (a literal with words; "%i" is "N" in the
# guide, line breaks and trailing blanks left out), and nothing else.
#   user_guide_messages_test.sh GUIDE MESSAGES_SOURCE...
set -euo pipefail
guide="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

grep -ohE 'L?"([^"\\]|\\.)*"' "$@" | sed -E 's/^L?"//; s/"$//; s/\\r|\\n//g; s/%i/N/g; s/ +$//' |
  grep -E ' ' | grep -E '[A-Za-z].*[A-Za-z].*[A-Za-z]' | LC_ALL=C sort -u >"$work/panel.txt"

# The first column of the table under "## Every message the panel shows".
sed -n '/^## Every message the panel shows/,/^## /p' "$guide" |
  sed -nE 's/^\| `([^`]*)` \|.*/\1/p' | LC_ALL=C sort -u >"$work/guide.txt"

[ -s "$work/panel.txt" ] || { echo "no message found in $*"; exit 1; }
if ! diff -u --label "the panel's texts" --label "the guide's list" "$work/panel.txt" "$work/guide.txt"; then
  echo "the user guide's messages differ from what the panel shows (- missing from the guide, + not a text of the panel)"
  exit 1
fi
echo "the guide explains all $(wc -l <"$work/panel.txt") texts of the panel"
