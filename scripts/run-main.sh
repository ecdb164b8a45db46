#!/usr/bin/env bash
# The main job: build the Windows target and show what the test host reads from the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)"
echo "Built into build/win64."
