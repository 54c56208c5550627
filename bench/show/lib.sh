# Shared by the bench/show scripts: the program and the catalogue service of
# one build (BUILD_DIR, set before sourcing), run against each other in a
# scratch folder removed on exit. Sourced, not run.

APP="$BUILD_DIR/src/app/skyglance"
SERVICE="$BUILD_DIR/server/skyglance-catalogue"
for exe in "$APP" "$SERVICE"; do
    [ -x "$exe" ] || { echo "$(basename "$0" .sh): build $exe first" >&2; exit 1; }
done

WORK=$(mktemp -d)
SERVICE_PID=""
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# start_service OUT [options...]: starts the service with its output in OUT
# and sets SITE once it says where it serves.
start_service() {
    local out=$1
    shift
    "$SERVICE" --port 0 "$@" >"$out" 2>&1 &
    SERVICE_PID=$!
    for _ in $(seq 1 100); do
        grep -q '^site: ' "$out" && break
        sleep 0.1
    done
    SITE=$(sed -n 's/^site: //p' "$out" | head -n 1)
}

# stop_run: ends the program and the service of one run.
stop_run() {
    kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
    kill "$SERVICE_PID" 2>/dev/null || true
    wait "$SERVICE_PID" 2>/dev/null || true
    SERVICE_PID=""
}

# write_screen [WxH]: the screen the offscreen runs see ($WORK/screen.json),
# 1920 x 1080 unless given.
write_screen() {
    local size=${1:-1920x1080}
    cat >"$WORK/screen.json" <<EOF
{ "screens": [ { "name": "bench", "x": 0, "y": 0, "width": ${size%x*}, "height": ${size#*x},
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
EOF
}

# descendants PID: the process and every process under it, one a line.
descendants() {
    local pid=$1 child
    echo "$pid"
    for child in $(cat /proc/"$pid"/task/*/children 2>/dev/null); do
        descendants "$child"
    done
}
