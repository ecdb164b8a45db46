#!/usr/bin/env bash
# A long fuzzing run, beyond the few seconds per target that `make test` gives: every fuzzer of the
# libFuzzer build runs SECONDS (default 600) each, two at a time; what they find stays in
# build/fuzz/corpus for the next run.
#
#   scripts/fuzz.sh [SECONDS]      (or: make fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
# The preset sets the short run again at its next configure (make test).
cmake --preset fuzz -DQV_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
ctest --preset fuzz -j 2 --timeout $((seconds + 300))
