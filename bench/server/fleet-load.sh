#!/bin/sh
# A fleet of 10,000 screens reporting every 60 s to two catalogue service
# instances behind deploy/nginx-fleet.conf, sharing one PostgreSQL (started
# by scripts/start-postgres.sh), while /fleet.json is read every second. The
# catalogue reply and a radar picture are timed through nginx before the
# fleet reports and while it does.
#
#   bench/server/fleet-load.sh [BUILD_DIR]
#
# BUILD_DIR holds server/skyglance-catalogue and, for adding the screens in
# bulk, bench/server/bench_fleet_store (configured with -DSKYGLANCE_BENCH=ON;
# without it each screen is added by its own skyglance-catalogue
# --add-screen, which takes minutes for 10,000). SCREENS (default 10000),
# INTERVAL (60 s), DURATION (120 s: every screen reports twice) and
# CONNECTIONS (32, the fleet's kept-alive connections to nginx) change the
# run. /fleet.json is read every second twice over: plain, as scripts read
# it, and compressed, as the fleet page in a browser does. Prints reports
# sent, stored and refused, and the percentiles.
set -eu
cd "$(dirname "$0")/../.."
. bench/server/lib.sh

SCREENS=${SCREENS:-10000}
INTERVAL=${INTERVAL:-60}
DURATION=${DURATION:-120}
CONNECTIONS=${CONNECTIONS:-32}
CATALOGUE="/service/catalogue?p=1&x00=x4444"
PICTURE=/site/radar/alps.gif

need_tools nginx curl python3
EXE=$(service_exe "${1:-}") || exit 1
BUILD=$(dirname "$(dirname "$EXE")")
"$EXE" --help 2>&1 | grep -q -- --fleet-db || { echo "$0: $EXE has no fleet" >&2; exit 1; }

PG_DIR=""
INSTANCE_PIDS=""
fleet_cleanup() {
    for pid in $INSTANCE_PIDS; do kill "$pid" 2>/dev/null || true; done
    [ -n "$PG_DIR" ] && scripts/start-postgres.sh stop "$PG_DIR"
    cleanup
}
trap fleet_cleanup EXIT INT TERM

scripts/start-postgres.sh >"$WORK/postgres"
PG_URL=$(sed -n 1p "$WORK/postgres")
PG_DIR=$(sed -n 2p "$WORK/postgres")
echo secret >"$WORK/password"

# start_instance N: a service instance on a free port; sets AUTHORITY.
start_instance() {
    "$EXE" --port 0 --db "$WORK/catalogue-$1.sqlite" --fleet --fleet-db "$PG_URL" \
        --fleet-password-file "$WORK/password" >"$WORK/service-$1.out" 2>"$WORK/service-$1.err" &
    INSTANCE_PIDS="$INSTANCE_PIDS $!"
    for _ in $(seq 1 100); do
        grep -qs '^site: ' "$WORK/service-$1.out" && break
        sleep 0.1
    done
    AUTHORITY=$(sed -n 's|^site: http://||p' "$WORK/service-$1.out" | head -n 1)
    [ -n "$AUTHORITY" ] || { cat "$WORK/service-$1.err" >&2; exit 1; }
}
start_instance 1
ONE=$AUTHORITY
start_instance 2
TWO=$AUTHORITY

# The screens and their tokens, in bulk through the store itself.
STARTED=$(date +%s.%N)
if [ -x "${BUILD:-build}/bench/server/bench_fleet_store" ]; then
    "${BUILD:-build}/bench/server/bench_fleet_store" "$PG_URL" add "$SCREENS" screen \
        >"$WORK/tokens" 2>/dev/null
else
    for i in $(seq 1 "$SCREENS"); do
        echo "screen-$i $("$EXE" --add-screen "screen-$i" --fleet-db "$PG_URL")" >>"$WORK/tokens"
    done
fi
echo "added $SCREENS screens in $(python3 -c "import time; print('%.1f' % (time.time() - $STARTED))") s"

if [ -x "${BUILD:-build}/bench/server/bench_fleet_store" ]; then
    "${BUILD:-build}/bench/server/bench_fleet_store" jpeg "$WORK/screen.jpg"
else
    # A JPEG of the site, as a report's thumbnail must be one.
    curl -fsS -o "$WORK/screen.jpg" "http://$ONE/site/maps/europe_pressure.jpg"
fi

PORT=$(free_port)
mkdir -p "$WORK/nginx"
sed -e "s|127.0.0.1:8081|$ONE|" -e "s|127.0.0.1:8082|$TWO|" \
    -e "s|listen 80;|listen 127.0.0.1:$PORT;|" deploy/nginx-fleet.conf >"$WORK/nginx/site.conf"
run_nginx "$PORT" /currentversion.html

echo "$(nproc) cores; two instances behind nginx, one PostgreSQL, all on loopback"
# The picture is drawn on its first request: drawn before the timing.
curl -fsS -g -o /dev/null "$NGINX_URL$PICTURE"
curl -fsS -g -o /dev/null "$NGINX_URL$CATALOGUE"
echo "before the fleet reports, 200 requests each one after the other:"
python3 bench/server/fleet_load.py --url "$NGINX_URL" --probe "$CATALOGUE" --probe "$PICTURE" \
    --probe-only 200
echo "while it reports (the same requests every 0.2 s):"
python3 bench/server/fleet_load.py --url "$NGINX_URL" --tokens "$WORK/tokens" \
    --jpeg "$WORK/screen.jpg" --password secret --duration "$DURATION" --interval "$INTERVAL" \
    --connections "$CONNECTIONS" --probe "$CATALOGUE" --probe "$PICTURE"
