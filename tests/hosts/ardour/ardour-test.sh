#!/usr/bin/env bash
# One real-host test of Quorvalent.so in Ardour 7, headless: ardour7-lua runs a session script on
# the Dummy backend, and hostcheck compares what Ardour rendered with the test host's render.
#
#   ardour-test.sh scan PLUGIN HOSTCHECK WORK
#   ardour-test.sh export PLUGIN HOSTCHECK WORK RATE BLOCK TEMPO METER PROGRAM...
#   ardour-test.sh session PLUGIN HOSTCHECK WORK
#   ardour-test.sh notes PLUGIN HOSTCHECK WORK PROGRAM FIRST SPACING
#
# QV_HOST_UNDER_GDB=1 runs the host under gdb even where the kernel would write a core file.
set -euo pipefail
test=$1 plugin=$2 hostcheck=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
scanner=/usr/lib/ardour7/ardour-vst-scanner
luasession=/usr/lib/ardour7/luasession # what the ardour7-lua wrapper runs
for tool in ardour7-lua "$scanner" "$luasession" gdb; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is missing (scripts/setup.sh installs it)"
    exit 1
  fi
done

# A plug-in folder holding only Quorvalent, and a home of Ardour's own (configuration, the plug-in
# cache, the test source script and the export preset) that every run of the host gets a copy of.
rm -rf "$work"
clean=$work/home
config=$clean/.config/ardour7
mkdir -p "$config/scripts" "$config/export" "$clean/.cache" "$work/plugins"
cp "$here/qv_test_source.lua" "$config/scripts/"
cp "$here/qv-float.preset" "$config/export/"
so=$work/plugins/$(basename "$plugin")
cp "$plugin" "$so"
# The scanner's cache compares whole-second times: a library changed in the second of its scan
# counts as changed, and Ardour would not take it.
touch -d '-5 seconds' "$so"
HOME=$clean XDG_CONFIG_HOME=$clean/.config XDG_CACHE_HOME=$clean/.cache LXVST_PATH=$work/plugins \
  LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -q "$so"

# A host that dies by a signal leaves a core in its (empty) working folder where the kernel writes
# cores by a plain name; elsewhere it runs under gdb, which costs under a second a run.
pattern=$(cat /proc/sys/kernel/core_pattern 2>/dev/null || echo '|')
under_gdb=${QV_HOST_UNDER_GDB:-0}
case $pattern in "|"* | */*) under_gdb=1 ;; esac
[ "$(ulimit -Hc)" = unlimited ] || under_gdb=1
gdb=(gdb -q -batch -nx -iex "set debuginfod enabled off" -x "$here/../crash_trace.py")
export QV_PLUGIN=$so

# One run of the host on a session script, in a folder of its own ($try) with a fresh copy of the
# home: the script's files then replace those of the same name in $work. The names in $inputs are
# copied in from $work first. After a death by a signal, $try/trace.txt holds the backtraces.
try=$work/try
inputs=()
run() {
  local status=0 core
  rm -rf "$try"
  mkdir -p "$try/cwd"
  cp -a "$clean" "$try/home"
  for name in "${inputs[@]}"; do cp -a "$work/$name" "$try/"; done
  export HOME=$try/home XDG_CONFIG_HOME=$try/home/.config XDG_CACHE_HOME=$try/home/.cache
  export LXVST_PATH=$work/plugins QV_TRACE=$try/trace.txt
  if [ "$under_gdb" = 1 ]; then
    (cd "$try/cwd" && "${gdb[@]}" -ex "python run_and_trace()" \
      --args /bin/sh "$(command -v ardour7-lua)" "$here/$1" "$here" "$try" "${@:2}") || status=$?
  else
    (cd "$try/cwd" && ulimit -c unlimited && exec ardour7-lua "$here/$1" "$here" "$try" "${@:2}") ||
      status=$?
    core=$(find "$try/cwd" -maxdepth 1 -type f | head -n 1)
    if [ "$status" -gt 128 ] && [ -n "$core" ]; then
      timeout 300 "${gdb[@]}" -ex "python trace($((status - 128)))" "$luasession" "$core" \
        >"$try/gdb.txt" 2>&1 || true
    fi
    rm -f "$core"
  fi
  [ "$status" -ne 0 ] && return "$status"
  for path in "$try"/*; do
    case ${path##*/} in home | cwd) continue ;; esac
    rm -rf "${work:?}/${path##*/}"
    mv "$path" "$work/"
  done
  rm -rf "$try"
}

# Runs a session script. Ardour 7.3's export has been seen to corrupt its own heap on a busy
# machine, with or without any plug-in on the bus, and die by a signal. A death whose crashing
# thread ran code of Quorvalent fails the test at once; one wholly inside the host is tried again
# from a clean state, eight attempts at most, and says so. A script that fails, or a host that dies
# every time, fails the test.
session() {
  local attempt status frames attempts=8
  for attempt in $(seq "$attempts"); do
    status=0
    run "$@" || status=$?
    [ "$status" -le 128 ] && return "$status"
    echo "NOTE: ardour7-lua died by signal $((status - 128)) (attempt $attempt of $attempts)"
    frames=$(sed -n 's/^plug-in frames on the crashing thread: //p' "$try/trace.txt" 2>/dev/null || true)
    if [ -z "$frames" ]; then
      echo "NOTE: no backtrace of it (see $try); the next attempts run the host under gdb"
      under_gdb=1
      continue
    fi
    echo "== backtraces of ardour7-lua"
    cat "$try/trace.txt"
    if [ "$frames" != none ]; then
      echo "FAIL: the crash is the plug-in's: signal $((status - 128)) hit a thread running" \
        "$(basename "$so") (frames $frames)"
      exit 1
    fi
    if [ "$attempt" -lt "$attempts" ]; then
      echo "NOTE: the crash is wholly inside the host: a new attempt from a clean state"
    fi
  done
  echo "FAIL: ardour7-lua died by a signal in all $attempts attempts"
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
  inputs=(session params.txt)
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
