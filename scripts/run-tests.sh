#!/usr/bin/env bash
# Builds both targets, and the native release build of the benchmarks so that they never rot,
# then runs every test: the native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (with the fuzz seeds replayed), the ThreadSanitizer runs, the fuzzers for a short while, the
# release plug-in in Ardour, and the Windows tests under wine64 in an Xvfb display (MrsWatson
# among them).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

for preset in native win64 tsan fuzz native-release; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

status=0
echo "== tests: native (ASan, UBSan)"
ctest --preset native -j "$jobs" || status=1
echo "== tests: ThreadSanitizer"
ctest --preset tsan || status=1
echo "== tests: fuzzers"
ctest --preset fuzz -j "$jobs" || status=1
echo "== tests: real hosts (Ardour)"
ctest --preset hosts || status=1

echo "== tests: win64 under wine"
scripts/test-env.sh start build/win64
trap 'scripts/test-env.sh stop build/win64' EXIT
ctest --preset win64 -j "$jobs" || status=1
exit $status
