# Shared by the bench/server scripts: the service and nginx on loopback, in
# a scratch folder removed on exit. Sourced, not run.

need_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || {
            echo "$0: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
    done
}

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

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# service_exe [BUILD_DIR]: the service executable of BUILD_DIR, else of the
# first build folder that has one; exits when there is none.
service_exe() {
    build_dir=${1:-}
    if [ -z "$build_dir" ]; then
        for d in build-server build build-test; do
            if [ -x "$d/server/skyglance-catalogue" ]; then build_dir=$d; break; fi
        done
    fi
    exe="${build_dir:-build}/server/skyglance-catalogue"
    [ -x "$exe" ] || { echo "$0: build $exe first" >&2; exit 1; }
    echo "$exe"
}

# start_service [BUILD_DIR] [options...]: sets SERVICE_URL (the site),
# SERVICE_AUTHORITY and SERVICE_ENDPOINT (the catalogue query address).
start_service() {
    exe=$(service_exe "${1:-}") || exit 1
    [ $# -gt 0 ] && shift
    "$exe" --port 0 --db "$WORK/catalogue.sqlite" "$@" >"$WORK/service.out" 2>"$WORK/service.err" &
    SERVICE_PID=$!
    for _ in $(seq 1 100); do
        grep -q '^site: ' "$WORK/service.out" && break
        sleep 0.1
    done
    SERVICE_URL=$(sed -n 's/^site: //p' "$WORK/service.out" | head -n 1)
    [ -n "$SERVICE_URL" ] || { cat "$WORK/service.err" >&2; exit 1; }
    SERVICE_AUTHORITY=${SERVICE_URL#http://}
    SERVICE_ENDPOINT=$(sed -n 's/^service: //p' "$WORK/service.out" | head -n 1)
}

# start_nginx CONF: runs a deploy/ config as written, with the service's
# address, a loopback port and a cache folder of its own; sets NGINX_URL.
start_nginx() {
    port=$(free_port)
    mkdir -p "$WORK/nginx/logs" "$WORK/nginx/cache"
    sed -e "s|127.0.0.1:8080|$SERVICE_AUTHORITY|" \
        -e "s|listen 80;|listen 127.0.0.1:$port;|" \
        -e "s|/var/cache/nginx/skyglance|$WORK/nginx/cache|" "$1" >"$WORK/nginx/site.conf"
    run_nginx "$port" /currentversion.html
}

# run_nginx PORT PATH: nginx in the foreground with $WORK/nginx/site.conf as
# its server, listening on PORT; returns once PATH answers there.
run_nginx() {
    mkdir -p "$WORK/nginx/logs"
    user_line=""
    [ "$(id -u)" -eq 0 ] && user_line="user root;"
    cat >"$WORK/nginx/nginx.conf" <<CONF
$user_line
worker_processes auto;
daemon off;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/logs/error.log warn;
events { worker_connections 4096; }
http {
    access_log off;
    client_body_temp_path $WORK/nginx/body;
    proxy_temp_path $WORK/nginx/proxy;
    fastcgi_temp_path $WORK/nginx/fastcgi;
    uwsgi_temp_path $WORK/nginx/uwsgi;
    scgi_temp_path $WORK/nginx/scgi;
    include $WORK/nginx/site.conf;
}
CONF
    nginx_exe=$(command -v nginx || echo /usr/sbin/nginx)
    "$nginx_exe" -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" &
    NGINX_PID=$!
    NGINX_URL="http://127.0.0.1:$1"
    for _ in $(seq 1 100); do
        curl -fsS -g -o /dev/null "$NGINX_URL$2" 2>/dev/null && return 0
        sleep 0.1
    done
    cat "$WORK/nginx/logs/error.log" >&2
    exit 1
}
