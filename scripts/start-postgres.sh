#!/bin/sh
# A PostgreSQL of its own for tests and benchmarks: Debian's server binaries,
# a fresh cluster in a temporary folder, listening on a free loopback port
# only, trusting its loopback clients.
#
#   scripts/start-postgres.sh             starts one; prints its address
#                                         (postgresql://...) and its folder
#   scripts/start-postgres.sh pause DIR   stops it, keeping its data
#   scripts/start-postgres.sh resume DIR  starts it again on the same port
#   scripts/start-postgres.sh stop DIR    stops it and removes its folder
#
# PostgreSQL refuses to run as root. Started by root (as in CI), the cluster
# belongs to the postgres user of Debian's package and runs as that user
# through runuser. PG_BIN names the server's binaries (default: the newest
# /usr/lib/postgresql/*/bin); PG_SETTINGS adds lines to postgresql.conf.
# Exits 2 when the binaries are missing.
set -eu

PG_BIN=${PG_BIN:-$(find /usr/lib/postgresql -mindepth 2 -maxdepth 2 -name bin 2>/dev/null |
    sort -V | tail -n 1)}
if [ -z "$PG_BIN" ] || [ ! -x "$PG_BIN/initdb" ] || [ ! -x "$PG_BIN/pg_ctl" ]; then
    echo "$0: PostgreSQL's server binaries are missing (scripts/install-deps.sh installs them)" >&2
    exit 2
fi
MARK=skyglance-postgres

# Runs a command as the cluster's owner: the caller, or the postgres user
# when the caller is root.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$OWNER" -- "$@"
    else
        "$@"
    fi
}

owner_of() {
    OWNER=$(id -un)
    if [ "$(id -u)" -eq 0 ]; then
        OWNER=postgres
        id -u "$OWNER" >/dev/null 2>&1 || OWNER=nobody
    fi
}

pg_ctl_in() {
    dir=$1
    shift
    as_owner "$PG_BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 "$@" >/dev/null
}

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

known_folder() {
    if [ -z "${1:-}" ] || [ ! -f "$1/$MARK" ]; then
        echo "$0: ${1:-(none)} is not a folder this script started" >&2
        exit 1
    fi
}

# Sets the port in the cluster's settings and starts it; another port when
# someone took the free one in between.
start_on_free_port() {
    dir=$1
    for _ in 1 2 3 4 5; do
        PORT=$(free_port)
        cat >"$dir/data/postgresql.auto.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $PORT
unix_socket_directories = '$dir'
max_connections = 200
${PG_SETTINGS:-}
CONF
        if pg_ctl_in "$dir" start; then
            return 0
        fi
    done
    cat "$dir/server.log" >&2
    return 1
}

start_new() {
    owner_of
    base=${TMPDIR:-/tmp}
    [ "$(id -u)" -eq 0 ] && base=/tmp
    dir=$(mktemp -d "$base/skyglance-pg.XXXXXX")
    touch "$dir/$MARK"
    [ "$(id -u)" -eq 0 ] && chown "$OWNER" "$dir"
    chmod 700 "$dir"
    if ! as_owner "$PG_BIN/initdb" -D "$dir/data" -U skyglance --auth=trust -E UTF8 \
        --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        exit 1
    fi
    if ! start_on_free_port "$dir"; then
        rm -rf "$dir"
        exit 1
    fi
    "$PG_BIN/createdb" -h 127.0.0.1 -p "$PORT" -U skyglance skyglance
    echo "postgresql://skyglance@127.0.0.1:$PORT/skyglance"
    echo "$dir"
}

case "${1:-}" in
"")
    start_new
    ;;
pause)
    known_folder "${2:-}"
    owner_of
    pg_ctl_in "$2" -m fast stop
    ;;
resume)
    known_folder "${2:-}"
    owner_of
    pg_ctl_in "$2" start
    ;;
stop)
    known_folder "${2:-}"
    owner_of
    pg_ctl_in "$2" -m fast stop 2>/dev/null || true
    rm -rf "$2"
    ;;
*)
    echo "usage: $0 [pause|resume|stop DIR]" >&2
    exit 64
    ;;
esac
