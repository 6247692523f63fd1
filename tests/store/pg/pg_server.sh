#!/usr/bin/env bash
# Starts or stops a private PostgreSQL 15 for the tests.
#   pg_server.sh start <dir>   initdb + start on a free loopback port; writes <dir>/url
#   pg_server.sh stop <dir>    stops it and removes its data
# The server never runs as root: under root it runs as the system user fyntest (created when
# missing). Only 127.0.0.1 is listened on, with trust authentication; there is no socket file.
set -euo pipefail

action=${1:-}
dir=${2:-}
if [[ -z $action || -z $dir ]]; then
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
fi

# The server's programs sit beside the client library's version, wherever the system puts them.
bin=$(pg_config --bindir 2>/dev/null || true)
if [[ ! -x $bin/initdb || ! -x $bin/pg_ctl ]]; then
    echo "$0: no PostgreSQL server programs in '${bin}' (pg_config --bindir); install postgresql" >&2
    exit 1
fi
user=fyntest

as_server_user() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u "$user" -- "$@"
    else
        "$@"
    fi
}

stop_server() {
    [[ -f $dir/datadir ]] || return 0
    local data
    data=$(cat "$dir/datadir")
    if [[ -d $data/data ]]; then
        as_server_user "$bin/pg_ctl" -D "$data/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$data"
    rm -f "$dir/datadir" "$dir/url"
}

case $action in
start)
    mkdir -p "$dir"
    stop_server # a server left over by an interrupted run
    if [[ $(id -u) -eq 0 ]] && ! id "$user" >/dev/null 2>&1; then
        useradd -r -M -d /nonexistent -s /usr/sbin/nologin "$user"
    fi
    # The data lives outside the build tree so that the server user can reach it whatever
    # the permissions of the tree.
    data=$(mktemp -d /tmp/fyn-pg.XXXXXX)
    echo "$data" >"$dir/datadir"
    [[ $(id -u) -eq 0 ]] && chown "$user" "$data"
    as_server_user "$bin/initdb" -D "$data/data" -U "$user" -A trust -E UTF8 \
        --locale=C.UTF-8 --no-sync >"$data/initdb.log" 2>&1 || {
        cat "$data/initdb.log" >&2
        exit 1
    }
    as_server_user tee "$data/data/pg_hba.conf" >/dev/null <<HBA
host all all 127.0.0.1/32 trust
HBA
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        opts="-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories= \
-c fsync=off -c full_page_writes=off -c max_connections=300 -c shared_buffers=64MB"
        if as_server_user "$bin/pg_ctl" -D "$data/data" -l "$data/server.log" -o "$opts" \
            -w -t 60 start >/dev/null 2>&1; then
            echo "postgresql://$user@127.0.0.1:$port/postgres" >"$dir/url"
            echo "PostgreSQL started on 127.0.0.1:$port ($data)"
            exit 0
        fi
        # Most likely the port was taken: try another one.
        tail -n 3 "$data/server.log" >&2 || true
    done
    echo "could not start PostgreSQL" >&2
    exit 1
    ;;
stop)
    stop_server
    echo "PostgreSQL stopped"
    ;;
*)
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
    ;;
esac
