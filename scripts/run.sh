#!/usr/bin/env bash
# Starts the application server on the demo database and opens the shell on it, logged in as
# the demo operator. Without a display the shell starts a private VNC display (loopback only,
# one-time password) and says how to connect. The server stops when the shell exits.
set -euo pipefail
build=${1:-build}
server=$build/bin/fyn-appserver
shell=$build/bin/fyn-shell
if [[ ! -x $shell ]]; then
    echo "make run: $shell is not built." >&2
    exit 1
fi

answers() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

port=""
for candidate in $(seq 8180 8280); do
    if ! answers "$candidate"; then port=$candidate; break; fi
done
if [[ -z $port ]]; then
    echo "make run: no free port between 8180 and 8280." >&2
    exit 1
fi

server_pid=""
stop_server() {
    if [[ -n $server_pid ]] && kill -0 "$server_pid" 2>/dev/null; then
        kill -TERM "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
}
trap stop_server EXIT

if [[ -x $server ]]; then
    log=$build/appserver.log
    "$server" --demo --db "$build/demo.sqlite" --listen "127.0.0.1:$port" >"$log" 2>&1 &
    server_pid=$!
    for _ in $(seq 1 150); do
        answers "$port" && break
        if ! kill -0 "$server_pid" 2>/dev/null; then
            echo "make run: the application server stopped; its log ($log) says:" >&2
            tail -n 20 "$log" >&2
            exit 1
        fi
        sleep 0.2
    done
    if ! answers "$port"; then
        echo "make run: the application server did not answer on port $port within 30 s." >&2
        exit 1
    fi
    echo "make run: application server on 127.0.0.1:$port (log: $log)"
else
    echo "make run: $server is not built; the shell will report the server as unreachable." >&2
fi

# Settings of this run stay in the build folder, away from the operator's own. The password goes
# through the environment: on the command line every local user would read it.
FYN_PASSWORD=demo "$shell" --config "$build/shell.ini" --server "127.0.0.1:$port" \
    --operator demo --open FYN10000
