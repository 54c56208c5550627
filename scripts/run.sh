#!/bin/sh
# Builds Skyglance, starts the bundled catalogue service on a free loopback
# port and runs the slide show against it. Installs what is missing first.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

BUILD_DIR=${SKYGLANCE_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYGLANCE_TESTS=OFF
cmake --build "$BUILD_DIR" -j "$(nproc)"

SERVICE_PID=""
cleanup() {
    if [ -n "$SERVICE_PID" ]; then
        kill "$SERVICE_PID" 2>/dev/null || true
    fi
}
trap cleanup EXIT INT TERM

if [ -z "${SKYGLANCE_SITE:-}" ] && [ -x "$BUILD_DIR/server/skyglance-catalogue" ]; then
    LOG=$(mktemp)
    "$BUILD_DIR/server/skyglance-catalogue" --port 0 >"$LOG" 2>&1 &
    SERVICE_PID=$!
    for _ in $(seq 1 100); do
        if grep -q '^site: ' "$LOG"; then
            break
        fi
        sleep 0.1
    done
    SKYGLANCE_SITE=$(sed -n 's/^site: //p' "$LOG" | head -n 1)
    export SKYGLANCE_SITE
    echo "catalogue service at $SKYGLANCE_SITE"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "no display: running under Xvfb"
    # Xvfb has no GPU: the browser engine renders pages in software.
    QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}
    export QTWEBENGINE_CHROMIUM_FLAGS
    # Not exec: the trap above must still stop the service afterwards.
    xvfb-run -a -s "-screen 0 1920x1080x24" "$BUILD_DIR/src/app/skyglance" "$@"
else
    "$BUILD_DIR/src/app/skyglance" "$@"
fi
