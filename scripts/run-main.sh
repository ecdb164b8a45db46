#!/usr/bin/env bash
# The main job: build Quorvalent.dll and the test host for Windows, show what the host reads from
# the plug-in under wine (identity, parameters, programs), then render demo audio through it.
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
