#!/bin/sh
# The service alone next to the service behind deploy/nginx-cache.conf (run
# as written, ports and cache folder changed), both on loopback, measured
# with wrk: a catalogue reply (no-cache: nginx keeps it a second, then
# revalidates), a radar picture (max-age) and a help page.
#
#   bench/server/nginx-cache.sh [BUILD_DIR]
#
# DURATION (default 10s), CONNECTIONS (default 16) and THREADS (default 2)
# change the wrk runs. Checks first that nginx stores, revalidates and
# answers 304 itself.
set -eu
cd "$(dirname "$0")/../.."
. bench/server/lib.sh

DURATION=${DURATION:-10s}
CONNECTIONS=${CONNECTIONS:-16}
THREADS=${THREADS:-2}

need_tools wrk nginx curl python3
start_service "${1:-}"
start_nginx deploy/nginx-cache.conf

CATALOGUE="/service/catalogue?p=1&x00=x4444"
# nginx stores the reply, serves it, and revalidates it when it has aged.
status() { curl -s -o /dev/null -D - "$@" | sed -n 's/^X-Cache-Status: *//Ip' | tr -d '\r'; }
FIRST=$(status "$NGINX_URL$CATALOGUE")
SECOND=$(status "$NGINX_URL$CATALOGUE")
sleep 2.1
THIRD=$(status "$NGINX_URL$CATALOGUE")
ETAG=$(curl -s -o /dev/null -D - "$NGINX_URL$CATALOGUE" | sed -n 's/^ETag: *//Ip' | tr -d '\r')
NOT_MODIFIED=$(curl -s -o /dev/null -w '%{http_code}' -H "If-None-Match: $ETAG" "$NGINX_URL$CATALOGUE")
echo "nginx cache: $FIRST, then $SECOND, after 2 s $THIRD; If-None-Match $ETAG -> $NOT_MODIFIED"

service_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$SERVICE_PID/stat"; }

rate() { # URL -> "requests/s service-CPU-ms-per-1000-requests"
    before=$(service_cpu_ticks)
    wrk -t"$THREADS" -c"$CONNECTIONS" -d"$DURATION" "$1" >"$WORK/wrk.out"
    after=$(service_cpu_ticks)
    grep 'Non-2xx\|Socket errors' "$WORK/wrk.out" >&2 || true
    requests=$(sed -n 's/^ *\([0-9]*\) requests in.*/\1/p' "$WORK/wrk.out")
    printf '%s %s' "$(sed -n 's/^Requests\/sec: *//p' "$WORK/wrk.out")" \
        "$(python3 -c "print('%.1f' % (($after - $before) * 1000 / $(getconf CLK_TCK) * 1000 / max($requests, 1)))")"
}

echo "wrk -t$THREADS -c$CONNECTIONS -d$DURATION, loopback, $(nproc) cores"
echo "requests/s, and the service's CPU ms per 1000 requests, alone and behind nginx:"
printf '%-34s %10s %7s %12s %7s\n' "request" "alone/s" "cpu" "nginx/s" "cpu"
for target in "$CATALOGUE" /site/radar/alps.gif /eng_help1.asp; do
    wrk -t"$THREADS" -c"$CONNECTIONS" -d2s "$SERVICE_URL$target" >/dev/null # warm-up
    wrk -t"$THREADS" -c"$CONNECTIONS" -d2s "$NGINX_URL$target" >/dev/null
    printf '%-34s %10s %7s %12s %7s\n' "$target" $(rate "$SERVICE_URL$target") $(rate "$NGINX_URL$target")
done
