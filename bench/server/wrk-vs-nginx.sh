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

DURATION=${DURATION:-10s}
CONNECTIONS=${CONNECTIONS:-16}
THREADS=${THREADS:-2}
QUERY=${QUERY:-p=1&x00=x4444}

. bench/server/lib.sh
need_tools wrk nginx curl python3
start_service "${1:-}"

# nginx serving the reply the service gives for QUERY as a file at the same
# path.
mkdir -p "$WORK/www" "$WORK/nginx"
curl -fsS -g "$SERVICE_ENDPOINT$QUERY" -o "$WORK/www/reply.html"
NGINX_PORT=$(free_port)
cat >"$WORK/nginx/site.conf" <<CONF
server {
    listen 127.0.0.1:$NGINX_PORT;
    keepalive_requests 100;
    location = /service/catalogue {
        default_type "text/html; charset=utf-8";
        alias $WORK/www/reply.html;
    }
}
CONF
run_nginx "$NGINX_PORT" "/service/catalogue?$QUERY"
NGINX_URL="$NGINX_URL/service/catalogue?$QUERY"
curl -fsS -g -o "$WORK/nginx.reply" "$NGINX_URL"
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
wrk -t"$THREADS" -c"$CONNECTIONS" -d2s "$SERVICE_ENDPOINT$QUERY" >/dev/null
SERVICE_RATE=$(rate "$SERVICE_ENDPOINT$QUERY")
NGINX_RATE=$(rate "$NGINX_URL")
echo "skyglance-catalogue: $SERVICE_RATE requests/s"
echo "nginx (static file): $NGINX_RATE requests/s"
python3 -c "print('ratio service/nginx: %.2f' % ($SERVICE_RATE / $NGINX_RATE))"
