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

# The browser engine will not start its sandbox as root and would end the
# program; a root run is a trial run, so the sandbox is left off (the program
# warns). As a user the sandbox stays on.
if [ "$(id -u)" = 0 ] && [ -z "${QTWEBENGINE_DISABLE_SANDBOX:-}" ]; then
    QTWEBENGINE_DISABLE_SANDBOX=1
    export QTWEBENGINE_DISABLE_SANDBOX
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # No screen to ask anything on: a demo home with English, a direct
    # connection, the default town and a sample selection, and snapshots of
    # every slide to look at instead of the screen.
    DEMO_HOME="$(pwd)/$BUILD_DIR/demo-home"
    if [ ! -f "$DEMO_HOME/Skyglance7_Work/Skyglance7_Picture_List.dat" ]; then
        ./scripts/seed-demo-home.sh "$DEMO_HOME"
    fi
    SKYGLANCE_SNAPSHOT=${SKYGLANCE_SNAPSHOT:-$(pwd)/$BUILD_DIR/snapshots}
    export SKYGLANCE_SNAPSHOT
    export SKYGLANCE_PRINT_SLIDES=1
    echo "no display: running under Xvfb at 1920 x 1080, home $DEMO_HOME"
    echo "snapshots of every slide: $SKYGLANCE_SNAPSHOT/latest.png"
    # Xvfb has no GPU: the browser engine renders pages in software.
    QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}
    export QTWEBENGINE_CHROMIUM_FLAGS
    set -- xvfb-run -a -s "-screen 0 1920x1080x24" env HOME="$DEMO_HOME" \
        "$BUILD_DIR/src/app/skyglance" "$@"
else
    # A Wayland session: Qt's own Wayland support, unless the caller chose
    # a platform.
    if [ -n "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        QT_QPA_PLATFORM=wayland
        export QT_QPA_PLATFORM
    fi
    set -- "$BUILD_DIR/src/app/skyglance" "$@"
fi
# Not exec: the trap above must still stop the service afterwards.
if [ -n "${SKYGLANCE_RUN_FOR:-}" ]; then
    timeout --signal=TERM "$SKYGLANCE_RUN_FOR" "$@" || true
else
    "$@"
fi
