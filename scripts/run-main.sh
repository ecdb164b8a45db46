#!/usr/bin/env bash
# The main job: build Quorvalent.dll and the test host for Windows, show what the host reads from
# the plug-in under wine (identity, parameters, programs), render demo audio through it, and take
# a picture of its editor, opened in a real window, beside the audio.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win64
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" >/dev/null

scripts/test-env.sh start "$build"
trap 'scripts/test-env.sh stop "$build"' EXIT
plugin=$build/effect/Quorvalent.dll
echo "== What a host sees in $plugin"
"$build/wine-run" "$build/tools/vsthost/vsthost.exe" info "$plugin"
echo
echo "== Demo audio"
QV_DISPLAY=${QV_DISPLAY:-:99} scripts/demo-audio.sh "$build"
echo
echo "== The editor"
# The editor in a real window of the test host, after half a bar and a little more of the transport
# ran through the plug-in: the sequencer's lamp stands on the step it reached.
picture=$build/demo/editor.png
"$build/wine-run" "$build/tools/vsthost/vsthost.exe" editor "$plugin" "$picture" --seconds 0.7 \
  --tempo 120 >/dev/null
echo "Editor window (a new instance, the transport run 0.7 s at 120 BPM: step 6 lit) written to" \
  "$(cd "$(dirname "$picture")" && pwd)/$(basename "$picture")"
