#!/bin/sh
# Latency of normal clients while many others send their requests slowly:
# 500 connections (SLOW) trickling a request head one byte a second, reopened
# whenever closed, and meanwhile wrk asking for a catalogue reply with
# --latency. Four runs: the service alone and nginx in front of it
# (deploy/nginx-cache.conf as written, ports changed), each without and
# with the slow clients (sent to whichever wrk asks).
#
#   bench/server/slow-clients.sh [BUILD_DIR]
#
# SLOW (default 500), DURATION (default 10s), CONNECTIONS (default 16).
set -eu
cd "$(dirname "$0")/../.."
. bench/server/lib.sh

SLOW=${SLOW:-500}
DURATION=${DURATION:-10s}
CONNECTIONS=${CONNECTIONS:-16}
SECONDS_=${DURATION%s}
ulimit -n 8192 2>/dev/null || true

need_tools wrk nginx curl python3
start_service "${1:-}"
start_nginx deploy/nginx-cache.conf
CATALOGUE="/service/catalogue?p=1&x00=x4444"

measure() { # LABEL URL [SLOW_PORT]
    if [ -n "${3:-}" ]; then
        python3 bench/server/slowloris.py 127.0.0.1 "$3" "$SLOW" $((SECONDS_ + 4)) \
            >"$WORK/slow.out" 2>&1 &
        slow_pid=$!
        sleep 2 # all open, and past the service's first cut-off
    fi
    wrk -t2 -c"$CONNECTIONS" -d"$DURATION" --latency "$2" >"$WORK/wrk.out"
    if [ -n "${3:-}" ]; then
        wait "$slow_pid" || true
        closed=$(sed -n 's/.*: \([0-9]*\) connections closed.*/\1/p' "$WORK/slow.out")
    else
        closed="-"
    fi
    errors=$(sed -n 's/^ *Socket errors: *//p' "$WORK/wrk.out" | tr -d ',')
    printf '%-30s %10s %9s %9s %9s %8s  %s\n' "$1" \
        "$(sed -n 's/^Requests\/sec: *//p' "$WORK/wrk.out")" \
        "$(awk '$1 == "50%" { print $2 }' "$WORK/wrk.out")" \
        "$(awk '$1 == "99%" { print $2 }' "$WORK/wrk.out")" \
        "$(awk '$1 == "Latency" { print $4; exit }' "$WORK/wrk.out")" "$closed" "${errors:-}"
}

echo "wrk -t2 -c$CONNECTIONS -d$DURATION --latency $CATALOGUE; $SLOW slow clients; loopback, $(nproc) cores"
printf '%-30s %10s %9s %9s %9s %8s\n' "run" "requests/s" "p50" "p99" "max" "cut-offs"
SERVICE_PORT=${SERVICE_AUTHORITY##*:}
NGINX_PORT=${NGINX_URL##*:}
measure "service alone" "$SERVICE_URL$CATALOGUE"
measure "service alone + slow clients" "$SERVICE_URL$CATALOGUE" "$SERVICE_PORT"
measure "nginx front" "$NGINX_URL$CATALOGUE"
measure "nginx front + slow clients" "$NGINX_URL$CATALOGUE" "$NGINX_PORT"
