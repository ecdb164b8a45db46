#!/usr/bin/env bash
# One real-host test of Quorvalent.dll in MrsWatson 0.9.6 under wine; hostcheck (a Windows program
# too) compares MrsWatson's render with the test host's render of the same transport.
#
#   mrswatson-test.sh info|render|fxp WINE_RUN MRSWATSON PLUGIN HOSTCHECK WORK MAKE_FXP
#
# MrsWatson starts its song position at 1.0 (a quarter note into the bar), reports its first block
# as not playing, and writes 16-bit files; its --tempo option has no effect in this version (120).
set -euo pipefail
test=$1 wine=$2 mrswatson=$3 plugin=$4 hostcheck=$5 work=$6 makefxp=$7
[ -f "$mrswatson" ] || { echo "FAIL: $mrswatson is missing (scripts/setup.sh installs it)"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
win() { echo "Z:$1" | tr / '\\'; }

case $test in
info)
  # It prints what it reads from the plug-in, then stops for want of an input: the exit status
  # says nothing, the lines do.
  out=$("$wine" "$mrswatson" --display-info -p "$(win "$plugin")" 2>&1 || true)
  echo "$out"
  status=0
  for line in "Vendor: Orvyn" "Unique ID: Ipef" "Version: 10001" "I/O: 2/2" "Parameters (42 total)" \
    "Programs (30 total)" "0: 'Falling Drops'" "0: 'Amplitude Attack'" "41: 'Dry Wet'"; do
    grep -qF -- "$line" <<<"$out" || { echo "FAIL: no \"$line\""; status=1; }
  done
  exit $status
  ;;
render)
  # 4 bars of the constant source at 44.1 kHz in blocks of 512.
  "$wine" "$hostcheck" source "$(win "$work/source.wav")" --rate 44100 --frames 352800
  "$wine" "$mrswatson" -q -p "$(win "$plugin")" -i "$(win "$work/source.wav")" \
    -o "$(win "$work/render.wav")" -b 512
  echo "== every sample within one 16-bit step of the test host's render of the same transport"
  "$wine" "$hostcheck" compare "$(win "$plugin")" "$(win "$work/render.wav")" \
    --samples 0.0000306 --block 512 --start-ppq 1 --idle-blocks 1
  echo "== from the second block on, the step starts of a transport that ran from the bar line"
  "$wine" "$hostcheck" compare "$(win "$plugin")" "$(win "$work/render.wav")" \
    --steps 0 --block 512 --start-ppq 0 --lead-in 22050 --from 512
  ;;
fxp)
  # The framework's program file of "Chill" with Step On Off on, loaded by MrsWatson with the
  # plug-in: the notes of a MIDI file must restart the envelopes where the test host's do.
  "$wine" "$makefxp" "$(win "$work/notes.fxp")" 21
  "$wine" "$hostcheck" source "$(win "$work/source.wav")" --rate 44100 --frames 88200
  "$wine" "$hostcheck" midi "$(win "$work/notes.mid")" --notes 1000:10007 --frames 88200
  "$wine" "$mrswatson" -q -p "$(win "$plugin"),$(win "$work/notes.fxp")" \
    -i "$(win "$work/source.wav")" -m "$(win "$work/notes.mid")" -o "$(win "$work/render.wav")" -b 512
  "$wine" "$hostcheck" compare "$(win "$plugin")" "$(win "$work/render.wav")" --restarts \
    --block 512 --start-ppq 1 --idle-blocks 1 --program 21 --param 36=1 --notes 1000:10007
  ;;
*)
  echo "FAIL: unknown test $test"
  exit 1
  ;;
esac
