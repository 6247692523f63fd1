#!/usr/bin/env bash
# Starts the application server on the demo database and opens the shell on it.
set -euo pipefail
build=${1:-build}
if [[ ! -x $build/bin/fyn-appserver || ! -x $build/bin/fyn-shell ]]; then
    echo "make run: the application server and the shell are not built yet." >&2
    exit 1
fi
exec "$build/bin/fyn-run-demo"
