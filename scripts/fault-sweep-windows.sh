#!/usr/bin/env bash
# The fault sweep against a Windows edition of the host and module under Wine:
#
#   scripts/fault-sweep-windows.sh i686|x86-64 [--stride N] [--jobs N]
#                                  [--scenario NAME]... [--kind KIND]... [--log DIR]
#                                  [--timeout SECONDS]
#
# A run without faults counts each scenario's fault points of every kind the
# Windows host can fail (allocation, suite-call, host-string: the automation
# calls go to the real font manager there); then every N-th point gets a session
# of its own, with "fault KIND N" at the head of its scenario and the panel shown
# after every command. Each session must end as the native sweep's do:
#   - no crash: the host reaches its closing report, with status 0 or 1;
#   - nothing left: "0 block(s) left", and no [problem] the host reports (a
#     suite, host string or block left, a bad call), a refused start-up aside;
#   - an outcome the user can see: where the panel then differs from the run
#     without faults, the step brought an alert, a message that failed, or a
#     status that does not claim success.
# A failing point is printed with the fault command that replays it; the last
# line is "N fault points, F failures" and the status is 0 only when F is 0.
# Jobs run in prefixes of their own (build/wine-prefix-ARCH-sweepJ), since each
# session registers the font manager.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  sed -n '2,5p' "$0" >&2
  exit 2
}
[ "$#" -ge 1 ] || usage
arch=$1
shift
case "$arch" in i686 | x86-64) ;; *) usage ;; esac

stride=1 jobs=$(nproc 2>/dev/null || echo 2) log="" timeout=180
scenarios=() kinds=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --stride) stride=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --scenario) scenarios+=("$2"); shift 2 ;;
    --kind) kinds+=("$2"); shift 2 ;;
    --log) log=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ "${#scenarios[@]}" -gt 0 ] ||
  scenarios=(demo-eps-svg panel-closed unload-reload plugin-object codepage-932 glyvor-crash)
[ "${#kinds[@]}" -gt 0 ] || kinds=(allocation suite-call host-string)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -z "$log" ] || mkdir -p "$log"

options_of() { [ "$1" = codepage-932 ] && echo "--codepage 932" || true; }

# The scenario as the sweep runs it: an optional fault first, the panel shown at
# start-up and after every command, comments and the closing quit left out.
sweep_scenario() {
  local name=$1 fault=$2 tail=$3
  {
    [ -z "$fault" ] || echo "$fault"
    echo panel
    awk '/^[[:space:]]*(#|$)/ { next } /^quit([[:space:]]|$)/ { next } { print; print "panel" }' \
      "$root/samples/scenarios/$name.txt"
    [ -z "$tail" ] || echo "$tail"
  }
}

run_host() { # job scenario-file options... > transcript; stderr to $work/stderr.$job
  local job=$1 file=$2
  shift 2
  local status
  {
    status=0
    LUMARO_WINDOWS_PREFIX="$root/build/wine-prefix-$arch-sweep$job" timeout "$timeout" \
      "$root/scripts/run-windows.sh" "$arch" "$@" "$file" </dev/null 2>"$work/stderr.$job" ||
      status=$?
    echo "$status" >"$work/status.$job"
  } | tr -d '\r'
  status=$(cat "$work/status.$job")
  if [ "$status" = 124 ]; then
    echo "the session did not end within $timeout seconds" >>"$work/stderr.$job"
    # What a hung session left running in the prefix goes with it.
    WINEPREFIX="$root/build/wine-prefix-$arch-sweep$job" "$root/tests/wine/run-wine.sh" stop || true
  fi
  return "$status"
}

# Each step of a transcript, a line each: its number, whether it told the user
# something (an alert, a message that failed), the status and the content of the
# panel shown in it (status lines and list rows), and its command; then the step
# in which the fault fired.
steps_of() {
  awk '
    /^> fault / { next }  # the armed fault, which the run without faults lacks
    /^> / { step++; command[step] = substr($0, 3); next }
    /^  \[alert\]/ || (/^  \[message\]/ && $NF != "0") { told[step] = 1 }
    /^  \[fault\]/ && fired == "" { fired = step }
    { t = $0; sub(/^[ \t]+/, "", t) }
    t ~ /^(status |list |\[[ x]\] )/ { content[step] = content[step] t "|" }
    t ~ /^status / { status[step] = substr(t, 8) }
    END {
      for (i = 0; i <= step; i++)
        printf "%d\t%d\t%s\t%s\t%s\n", i, told[i] + 0, status[i], content[i], command[i]
      print "fired\t" (fired == "" ? -1 : fired)
    }' "$1"
}

# Checks one faulted session against the run without faults; prints the failures.
check_point() {
  local transcript=$1 status=$2 baseline=$3 stderr=$4
  local last
  last=$(grep -v '^[[:space:]]*$' "$transcript" | tail -n 1 || true)
  if ! [[ "$last" =~ ^(clean|NOT\ clean),\ [0-9]+\ command\(s\)\ failed$ ]] || [ "$status" -gt 1 ]; then
    if [ "$status" = 124 ]; then
      echo "hung: $(tail -n 1 "$stderr"), after \"$(grep '^> ' "$transcript" | tail -n 1 | cut -c3-)\""
    else
      echo "crashed or ended early (status $status): $(grep -m1 -iE 'unhandled|exception' "$stderr" || tail -n 1 "$stderr")"
    fi
    return
  fi
  grep -q '^  Lumaro: 0 block(s) left$' "$transcript" ||
    grep -m1 "Lumaro: .* block(s) left" "$transcript" | sed "s/^ *Lumaro: //"
  # A start-up that answers an error is the outcome the host reports.
  grep '^  \[problem\]' "$transcript" | grep -v '"\?start-up failed' | sed 's/^ */host problem: /' || true
  grep -q '^  \[fault\]' "$transcript" || { echo "not fired"; return; }
  # A narrow name the host will not give stays empty and unreported, as the scan
  # means it to (the native sweep passes it by too).
  grep -q '^  \[fault\] .*"AI Font Suite GetFontName failed' "$transcript" && return
  # The panel shown next after the step where the fault fired: where it differs
  # from the run without faults, the user must have been told.
  awk -F'\t' -v success='^"([0-9]+ missing font\\(s\\) in opened documents|No missing fonts in opened documents|[0-9]+ fonts have been found|1 font has been found|No appropriate fonts were found|[0-9]+ fonts have been activated or installed|1 font has been activated or installed)"$' '
    FNR == 1 { file++ }
    $1 == "fired" { if (file == 2) fired = $2; next }
    file == 1 { bstatus[$1] = $3; bcontent[$1] = $4; next }
    { told[$1] = $2; status[$1] = $3; content[$1] = $4; command[$1] = $5; last = $1 }
    END {
      if (fired < 0) exit
      for (p = fired; p <= last && command[p] != "panel"; p++) {}
      if (p > last) exit
      for (i = fired; i <= p; i++) if (told[i]) exit
      if (content[p] == bcontent[p]) exit
      if (status[p] != bstatus[p] && status[p] !~ success) exit
      printf "silent after \"%s\": the panel then differs from the run without faults and the user was told nothing\n", command[fired]
    }' <(steps_of "$baseline") <(steps_of "$transcript")
}

# Counting: one run of each scenario without faults.
jobs_file="$work/jobs"
: >"$jobs_file"
for name in "${scenarios[@]}"; do
  # The count comes last: the steps before it are the run the faulted ones are held to.
  sweep_scenario "$name" "" "fault points" >"$work/$name.baseline.txt"
  status=0
  # shellcheck disable=SC2046
  run_host 1 "$work/$name.baseline.txt" $(options_of "$name") >"$work/$name.baseline" || status=$?
  counts=$(sed -n 's/^  fault points so far: //p' "$work/$name.baseline")
  if [ -z "$counts" ]; then
    echo "$name: the run without faults ended before counting (status $status)" >&2
    exit 1
  fi
  echo "$name: $counts"
  for kind in "${kinds[@]}"; do
    total=$(printf '%s\n' "$counts" | tr ',' '\n' | sed -n "s/^ *\([0-9]*\) $kind\$/\1/p")
    for ((n = 1; n <= ${total:-0}; n += stride)); do echo "$name $kind $n" >>"$jobs_file"; done
  done
done

# Each job takes every jobs-th point, in a prefix of its own.
sweep_job() {
  local job=$1
  local line=0 name kind n status failures
  while read -r name kind n; do
    line=$((line + 1))
    [ $(((line - 1) % jobs)) -eq $((job - 1)) ] || continue
    local file="$work/$name.$kind.$n.txt" out="$work/$name.$kind.$n.out"
    sweep_scenario "$name" "fault $kind $n" "" >"$file"
    status=0
    # shellcheck disable=SC2046
    run_host "$job" "$file" $(options_of "$name") >"$out" || status=$?
    if [ "$status" = 124 ]; then
      # Under load Wine's COM now and then leaves a session waiting on a font
      # manager that is ending; such a point is run again, and said so.
      echo "hung once: $name fault $kind $n, after \"$(grep '^> ' "$out" | tail -n 1 | cut -c3-)\""
      status=0
      # shellcheck disable=SC2046
      run_host "$job" "$file" $(options_of "$name") >"$out" || status=$?
    fi
    failures=$(check_point "$out" "$status" "$work/$name.baseline" "$work/stderr.$job")
    echo "point"
    if [ "$failures" = "not fired" ]; then
      echo "unfired"
    elif [ -n "$failures" ]; then
      echo "failed"
      printf '%s\n' "$failures" | sed "s/^/FAIL $name: fault $kind $n: /"
      [ -z "$log" ] || cp "$out" "$log/$name.$kind.$n.txt"
    fi
  done <"$jobs_file"
}

for ((j = 1; j <= jobs; j++)); do sweep_job "$j" >"$work/results.$j" & done
wait
# Nothing of the sweep stays running (its prefixes stay for the next one).
for ((j = 1; j <= jobs; j++)); do
  WINEPREFIX="$root/build/wine-prefix-$arch-sweep$j" "$root/tests/wine/run-wine.sh" stop || true
done

cat "$work"/results.* >"$work/results"
grep -E '^(FAIL|hung once)' "$work/results" || true
echo "$(grep -c '^unfired$' "$work/results" || true) point(s) did not fire in their own run"
failed=$(grep -c '^failed$' "$work/results" || true)
echo "$(grep -c '^point$' "$work/results" || true) fault points, $failed failures"
[ "$failed" -eq 0 ]
