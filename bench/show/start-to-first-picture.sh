#!/bin/bash
# Start to first picture on a screen that kept pictures of an earlier run,
# for one build or several side by side (the same machine, the same run):
#
#   bench/show/start-to-first-picture.sh [BUILD_DIR...]
#
# A first run of the first build (at timing knob 0.05) fills a demo home and
# keeps its pictures; every build then restarts RUNS times (default 3) from a
# copy of that home, at knob 1, against the bundled catalogue service (up),
# offscreen at 1920 x 1080. Per run it prints
#   picture = launch -> the first picture on the screen, kept or live
#             (the first "kept slide" or "slide" line on stdout)
#   live    = launch -> the first live slide ("slide 0")
# The kept pictures should come within 2 s whatever the service does; the
# live slides follow the first pass as before. NETWORK=stall (the catalogue
# answers, its pictures and pages stall: a slow first pass) or NETWORK=away
# (nothing listens) time the first picture only.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILDS=("$@")
[ ${#BUILDS[@]} -gt 0 ] || BUILDS=(build)
RUNS=${RUNS:-3}
NETWORK=${NETWORK:-up}
LIMIT_S=${LIMIT_S:-180}
BUILD_DIR=${BUILDS[0]}

. bench/show/lib.sh

write_screen

now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# launch APP HOME SCALE OUT: starts the program with its slide lines in OUT.
launch() {
    HOME="$2" SKYGLANCE_SITE="$SITE" SKYGLANCE_PRINT_SLIDES=1 SKYGLANCE_TIME_SCALE="$3" \
        QT_QPA_PLATFORM="offscreen:configfile=$WORK/screen.json" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "$1" >"$4" 2>"$4.err" &
    APP_PID=$!
}

# The kept set: written by a thread of its own once the first slide shows.
SEEDED="$WORK/seeded"
scripts/seed-demo-home.sh "$SEEDED"
start_service "$WORK/service0.out" --db "$WORK/catalogue0.db"
launch "$APP" "$SEEDED" 0.05 "$WORK/seed.out"
for _ in $(seq 1 $((LIMIT_S * 10))); do
    grep -qs '^slide 0 ' "$WORK/seed.out" && [ -f "$SEEDED/Skyglance7_Work/LastGood/slides.txt" ] &&
        break
    sleep 0.1
done
sleep 1
stop_run
kept=$(grep -c . "$SEEDED/Skyglance7_Work/LastGood/slides.txt" || true)
[ "$kept" -gt 1 ] || { echo "no kept set after the first run" >&2; exit 1; }
echo "kept set: $((kept - 1)) pictures"

for build in "${BUILDS[@]}"; do
    app="$build/src/app/skyglance"
    for run in $(seq 1 "$RUNS"); do
        home="$WORK/home-$run"
        rm -rf "$home"
        cp -a "$SEEDED" "$home"
        faults=()
        [ "$NETWORK" = stall ] && faults=(--faults "stall@0+3600")
        start_service "$WORK/service$run.out" --db "$WORK/catalogue$run.db" "${faults[@]}"
        if [ "$NETWORK" = away ]; then
            kill "$SERVICE_PID"
            wait "$SERVICE_PID" 2>/dev/null || true
            SERVICE_PID=""
        fi
        FIFO="$WORK/slides$run"
        rm -f "$FIFO"
        mkfifo "$FIFO"
        launched=$(now_ms)
        launch "$app" "$home" 1 "$FIFO"
        picture=""
        live=""
        while IFS= read -r -t "$LIMIT_S" line; do
            if [[ -z $picture && ($line == "kept slide "* || $line == "slide "*) ]]; then
                picture=$(($(now_ms) - launched))
                [ "$NETWORK" = up ] || break
            fi
            if [[ $line == "slide 0 "* ]]; then
                live=$(($(now_ms) - launched))
                break
            fi
        done <"$FIFO"
        stop_run
        if [ "$NETWORK" != up ]; then
            echo "$build run $run ($NETWORK): picture ${picture:-none} ms"
            continue
        fi
        if [ -z "$live" ]; then
            echo "$build run $run: no slide within $LIMIT_S s" >&2
            tail -n 5 "$FIFO.err" >&2
            exit 1
        fi
        echo "$build run $run: picture $picture ms, live $live ms"
    done
done
