#!/usr/bin/env bash
# One real-host test of Quorvalent.so in Ardour 7, headless: ardour7-lua runs a session script on
# the Dummy backend, and hostcheck compares what Ardour rendered with the test host's render.
#
#   ardour-test.sh scan PLUGIN HOSTCHECK WORK
#   ardour-test.sh export PLUGIN HOSTCHECK WORK RATE BLOCK TEMPO METER PROGRAM...
#   ardour-test.sh session PLUGIN HOSTCHECK WORK
#   ardour-test.sh notes PLUGIN HOSTCHECK WORK PROGRAM FIRST SPACING
set -euo pipefail
test=$1 plugin=$2 hostcheck=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
scanner=/usr/lib/ardour7/ardour-vst-scanner
for tool in ardour7-lua "$scanner"; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs Ardour)"; exit 1; }
done

# A home of Ardour's own (configuration, plug-in cache, the test source script and the export
# preset) and a plug-in folder holding only Quorvalent.
rm -rf "$work"
config=$work/home/.config/ardour7
mkdir -p "$config/scripts" "$config/export" "$work/home/.cache" "$work/plugins"
cp "$here/qv_test_source.lua" "$config/scripts/"
cp "$here/qv-float.preset" "$config/export/"
so=$work/plugins/$(basename "$plugin")
cp "$plugin" "$so"
# The scanner's cache compares whole-second times: a library changed in the second of its scan
# counts as changed, and Ardour would not take it.
touch -d '-5 seconds' "$so"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export LXVST_PATH=$work/plugins
LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -q "$so"

# Runs a session script. Ardour 7.3's export can corrupt its own heap, with or without any plug-in
# on the bus (in up to one run of four on a busy machine), and it then dies by a signal: such a
# run is tried again, four times at most, and says so. A script that fails, or a host that dies
# every time, fails the test.
session() {
  local attempt status
  for attempt in 1 2 3 4 5; do
    status=0
    (cd "$work" && ardour7-lua "$here/$1" "$here" "$work" "${@:2}") || status=$?
    [ "$status" -le 128 ] && return "$status"
    echo "NOTE: ardour7-lua died by signal $((status - 128)) (attempt $attempt of 5)"
  done
  return "$status"
}

case $test in
scan)
  session scan.lua
  ;;
export)
  rate=$1 block=$2 tempo=$3 meter=$4
  shift 4
  # Ardour rounds its song position to 1/1920 of a beat; a step start may move by that and two
  # samples more.
  tolerance=$(awk "BEGIN { print int($rate * 60 / $tempo / 1920) + 3 }")
  status=0
  for program in "$@"; do
    session export.lua "$rate" "$block" "$tempo" "${meter%/*}" "${meter#*/}" "$program"
    echo "== program $program: step starts on the grid of $tempo BPM, $meter, $rate Hz"
    "$hostcheck" compare "$plugin" "$work/program-$program.wav" --grid "$tolerance" \
      --tempo "$tempo" --meter "$meter" --program "$program" || status=1
  done
  exit $status
  ;;
session)
  session session.lua save
  session session.lua reopen
  "$hostcheck" same "$work/saved.wav" "$work/reopened.wav"
  ;;
notes)
  session notes.lua "$@"
  "$hostcheck" compare "$plugin" "$work/notes.wav" --restarts --program "$1" --param 36=1 \
    --notes "$2:$3"
  ;;
*)
  echo "FAIL: unknown test $test"
  exit 1
  ;;
esac
