#!/bin/sh
# Throughput of the catalogue service next to nginx serving the very same
# reply as a static file, both on loopback, both measured with wrk.
#
#   bench/server/wrk-vs-nginx.sh [BUILD_DIR]
#
# BUILD_DIR holds server/skyglance-catalogue (default: build-server, then
# build). DURATION (default 10s), CONNECTIONS (default 16), THREADS (wrk
# threads, default 2) and QUERY (default p=1&x00=x4444, the whole URL column)
# change the run. Prints both rates and the ratio service/nginx.
set -eu
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-}
if [ -z "$BUILD_DIR" ]; then
    for d in build-server build build-test; do
        if [ -x "$d/server/skyglance-catalogue" ]; then BUILD_DIR=$d; break; fi
    done
fi
SERVICE_EXE="${BUILD_DIR:-build}/server/skyglance-catalogue"
DURATION=${DURATION:-10s}
CONNECTIONS=${CONNECTIONS:-16}
THREADS=${THREADS:-2}
QUERY=${QUERY:-p=1&x00=x4444}

for tool in wrk nginx curl python3; do
    command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || {
        echo "wrk-vs-nginx: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
[ -x "$SERVICE_EXE" ] || { echo "wrk-vs-nginx: build $SERVICE_EXE first" >&2; exit 1; }
NGINX=$(command -v nginx || echo /usr/sbin/nginx)

WORK=$(mktemp -d)
SERVICE_PID=""
NGINX_PID=""
cleanup() {
    [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
    [ -n "$NGINX_PID" ] && kill "$NGINX_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# The service on a free loopback port, with a database of its own.
"$SERVICE_EXE" --port 0 --db "$WORK/catalogue.sqlite" >"$WORK/service.out" 2>"$WORK/service.err" &
SERVICE_PID=$!
for _ in $(seq 1 100); do
    grep -q '^site: ' "$WORK/service.out" && break
    sleep 0.1
done
SERVICE_URL=$(sed -n 's/^service: //p' "$WORK/service.out" | head -n 1)
[ -n "$SERVICE_URL" ] || { cat "$WORK/service.err" >&2; exit 1; }

# nginx in the foreground with a config of its own, serving the reply the
# service gives for QUERY as a file at the same path.
mkdir -p "$WORK/www" "$WORK/nginx/logs"
curl -fsS -g "$SERVICE_URL$QUERY" -o "$WORK/www/reply.html"
NGINX_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
USER_LINE=""
[ "$(id -u)" -eq 0 ] && USER_LINE="user root;"
cat >"$WORK/nginx/nginx.conf" <<CONF
$USER_LINE
worker_processes auto;
daemon off;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/logs/error.log warn;
events { worker_connections 1024; }
http {
    access_log off;
    client_body_temp_path $WORK/nginx/body;
    proxy_temp_path $WORK/nginx/proxy;
    fastcgi_temp_path $WORK/nginx/fastcgi;
    uwsgi_temp_path $WORK/nginx/uwsgi;
    scgi_temp_path $WORK/nginx/scgi;
    keepalive_requests 100;
    server {
        listen 127.0.0.1:$NGINX_PORT;
        location = /service/catalogue {
            default_type "text/html; charset=utf-8";
            alias $WORK/www/reply.html;
        }
    }
}
CONF
"$NGINX" -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" &
NGINX_PID=$!
NGINX_URL="http://127.0.0.1:$NGINX_PORT/service/catalogue?$QUERY"
for _ in $(seq 1 100); do
    curl -fsS -g -o "$WORK/nginx.reply" "$NGINX_URL" 2>/dev/null && break
    sleep 0.1
done
cmp -s "$WORK/www/reply.html" "$WORK/nginx.reply" || { echo "nginx does not serve the reply" >&2; exit 1; }

rate() {
    wrk -t"$THREADS" -c"$CONNECTIONS" -d"$DURATION" "$1" >"$WORK/wrk.out"
    if grep -q 'Non-2xx\|Socket errors' "$WORK/wrk.out"; then
        grep 'Non-2xx\|Socket errors' "$WORK/wrk.out" >&2
    fi
    sed -n 's/^Requests\/sec: *//p' "$WORK/wrk.out"
}

BYTES=$(wc -c <"$WORK/www/reply.html")
echo "reply: $QUERY, $BYTES bytes; wrk -t$THREADS -c$CONNECTIONS -d$DURATION, loopback, $(nproc) cores"
wrk -t"$THREADS" -c"$CONNECTIONS" -d2s "$NGINX_URL" >/dev/null # warm-up
wrk -t"$THREADS" -c"$CONNECTIONS" -d2s "$SERVICE_URL$QUERY" >/dev/null
SERVICE_RATE=$(rate "$SERVICE_URL$QUERY")
NGINX_RATE=$(rate "$NGINX_URL")
echo "skyglance-catalogue: $SERVICE_RATE requests/s"
echo "nginx (static file): $NGINX_RATE requests/s"
python3 -c "print('ratio service/nginx: %.2f' % ($SERVICE_RATE / $NGINX_RATE))"
