#!/usr/bin/env bash
# The main job: build Quorvalent.dll and the test host for Windows, show what the host reads from
# the plug-in under wine (identity, parameters, programs), render demo audio through it, and draw
# a picture of its editor beside the audio.
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
picture=$build/demo/editor.png
"$build/wine-run" "$build/tools/editor_picture/editor_picture.exe" "$picture"
echo "Editor picture (a new instance: steps 1, 2 and 6 on, the first step's lamp lit) written to" \
  "$(cd "$(dirname "$picture")" && pwd)/$(basename "$picture")"
