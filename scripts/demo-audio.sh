#!/usr/bin/env bash
# Demo audio: a built-in test signal through several factory presets of Quorvalent.dll, at 120 BPM
# with the host's transport running, rendered by the test host under wine into WAV files.
#
#   scripts/demo-audio.sh [BUILD_DIR [OUT_DIR]]     (defaults: build/win64, BUILD_DIR/demo)
#
# The Windows build must exist (cmake --build --preset win64).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
out=${2:-$build/demo}
host=$build/tools/vsthost/vsthost.exe
plugin=$build/effect/Quorvalent.dll
for f in "$host" "$plugin" "$build/wine-run"; do
  if [ ! -e "$f" ]; then
    echo "demo-audio: $f is missing; build the win64 preset first" >&2
    exit 1
  fi
done

# The wine display and server: started here, and stopped afterwards only when nothing else had
# them running before.
display=${QV_DISPLAY:-:99}
running=false
[ -e "/tmp/.X${display#:}-lock" ] && running=true
scripts/test-env.sh start "$build"
$running || trap 'scripts/test-env.sh stop "$build"' EXIT
mkdir -p "$out"

# program number and file name; the signal is a noise bed (the gate and filter steps show best on
# a broadband signal), then a low sine for the pitched presets.
presets=(
  "0 falling-drops noise:0.4"
  "1 tranceizer noise:0.4"
  "4 electro-resonance sine:110:0.4"
  "8 syncopated noise:0.4"
  "13 tekchopat noise:0.4"
  "16 echo-and-vup sine:110:0.4"
  "21 chill noise:0.4"
  "26 xox noise:0.4"
)
for entry in "${presets[@]}"; do
  read -r program name signal <<<"$entry"
  file=$(printf '%s/%02d-%s.wav' "$out" "$program" "$name")
  "$build/wine-run" "$host" render "$plugin" "$file" --signal "$signal" --seconds 8 --rate 44100 \
    --tempo 120 --program "$program" --format pcm16 >/dev/null
  echo "  $file"
done
echo "Demo audio (8 s each, 44.1 kHz, 120 BPM) written to $(cd "$out" && pwd)"
