#!/usr/bin/env bash
# The suite as continuous integration runs it on a fresh Debian machine: warnings as errors,
# then AddressSanitizer with UndefinedBehaviorSanitizer, the server, store and net tests under
# ThreadSanitizer, and the decoders' fuzz targets on libFuzzer.
# `scripts/ci-stages.sh asan` (or ci, tsan, fuzz) runs one stage alone.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

stage() {
    local preset=$1
    echo "== $preset: $(date -u +%H:%M:%S)"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs" --timeout 600
}

stages=("${@:-ci asan tsan fuzz}")
for preset in ${stages[*]}; do
    stage "$preset"
done
echo "== done: $(date -u +%H:%M:%S)"
