#!/usr/bin/env bash
# Runs every benchmark of bench/ and prints its "bench: name: value unit" lines.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
ran=0
for b in "$build"/bin/bench-*; do
    echo "== $(basename "$b")"
    "$b"
    ran=1
done
[[ $ran == 1 ]] || echo "make bench: no benchmark is built yet."
