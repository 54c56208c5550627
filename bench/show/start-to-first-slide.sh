#!/bin/bash
# Start to first weather slide, and the download cycle inside it, each next to
# the fixed waits the program is built from (measured in the same run):
#
#   bench/show/start-to-first-slide.sh [BUILD_DIR] [RUNS]
#
# Runs the real program offscreen (1920 x 1080) against the bundled catalogue
# service on a seeded demo home, at timing knob 1. SELECTION ("ROW ID,ROW
# ID,...", default the seeded sample selection) picks other catalogue rows.
# Per run it prints
#   start  = launch -> first "slide 0" line on stdout
#   cycle  = reply to the ticked addresses -> the copyright request after the
#            cycle (the service's access log brackets the cycle)
# with their fixed waits and the overhead beyond them, in per cent.
#
# Fixed waits at knob 1 (what the program would take with zero work):
#   start: general clock 0.5 s to send the first request + 0.5 s to see the
#          reply, utility timer 0.3 s, logo pause 2 s, utility timer 1 s,
#          pan control 1 s, slide clock 0.5 s = 5.8 s, then the cycle;
#   cycle: 2 s + 1 s per entry + 7 s per captured page + 3 s notice + 0.1 s.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build}
RUNS=${2:-3}
CATALOGUE=server/catalogue.tsv
START_WAITS_MS=5800
LIMIT_S=${LIMIT_S:-180}

. bench/show/lib.sh

# The screen of a typical display, as run.sh gives Xvfb.
write_screen

# Milliseconds since the epoch from EPOCHREALTIME or an ISO time of the log.
now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }
iso_ms() { local s; s=$(date -u -d "$1" +%s%3N); echo "$s"; }

# By default the selection the demo home is seeded with.
if [ -z "${SELECTION:-}" ]; then
    scripts/seed-demo-home.sh "$WORK/probe"
    SELECTION=$(tr -d '\r' <"$WORK/probe/Skyglance7_Work/Skyglance7_Picture_List.dat" |
        awk 'NF { v[n++] = $0 }
            END { for (i = 0; i + 1 < n; i += 2) printf "%s%s %s", (i ? "," : ""), v[i], v[i+1] }')
fi

# The selection's entries and how many of them are captured pages (codes 2
# and 3 in place of the "h" of the address).
entries=0
captures=0
IFS=, read -r -a pairs <<<"$SELECTION"
for pair in "${pairs[@]}"; do
    row=${pair%% *}
    code=$(grep -v '^#' "$CATALOGUE" | sed -n "$((row + 1))p" | cut -c1)
    entries=$((entries + 1))
    case $code in 2 | 3) captures=$((captures + 1)) ;; esac
done
CYCLE_WAITS_MS=$((2000 + 1000 * entries + 7000 * captures + 3000 + 100))
echo "selection: $SELECTION ($entries entries, $captures captured pages)"
echo "fixed waits: start $((START_WAITS_MS + CYCLE_WAITS_MS)) ms, cycle $CYCLE_WAITS_MS ms"

percent() { awk -v m="$1" -v w="$2" 'BEGIN { printf "%.1f", 100 * (m - w) / w }'; }

for run in $(seq 1 "$RUNS"); do
    HOME_DIR="$WORK/home$run"
    scripts/seed-demo-home.sh "$HOME_DIR"
    {
        IFS=, read -r -a pairs <<<"$SELECTION"
        for pair in "${pairs[@]}"; do printf '%s\r\n%s\r\n' "${pair% *}" "${pair#* }"; done
        printf '\r\n\r\n'
    } >"$HOME_DIR/Skyglance7_Work/Skyglance7_Picture_List.dat"

    LOG="$WORK/access$run.log"
    start_service "$WORK/service$run.out" --access-log "$LOG" --db "$WORK/catalogue$run.db"

    FIFO="$WORK/slides$run"
    mkfifo "$FIFO"
    launched=$(now_ms)
    HOME="$HOME_DIR" SKYGLANCE_SITE="$SITE" SKYGLANCE_PRINT_SLIDES=1 SKYGLANCE_TIME_SCALE=1 \
        QT_QPA_PLATFORM="offscreen:configfile=$WORK/screen.json" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "$APP" >"$FIFO" 2>"$WORK/app$run.err" &
    APP_PID=$!
    first=""
    while IFS= read -r -t "$LIMIT_S" line; do
        if [[ $line == "slide 0 "* ]]; then
            first=$(now_ms)
            break
        fi
    done <"$FIFO"
    stop_run
    if [ -z "$first" ]; then
        echo "run $run: no slide within $LIMIT_S s" >&2
        exit 1
    fi

    # Fields: time, client, method, target, status, bytes, ms taken.
    ticked=$(grep ' GET /service/catalogue?[^ ]*x00=y2222' "$LOG" | tail -n 1)
    after=$(grep ' GET /service/catalogue?[^ ]*x00=x9999' "$LOG" | tail -n 1)
    cycle_start=$(($(iso_ms "$(cut -d' ' -f1 <<<"$ticked")") + $(cut -d' ' -f7 <<<"$ticked")))
    cycle_end=$(iso_ms "$(cut -d' ' -f1 <<<"$after")")
    start_ms=$((first - launched))
    cycle_ms=$((cycle_end - cycle_start))
    start_waits=$((START_WAITS_MS + CYCLE_WAITS_MS))
    # Time the service itself took for the pictures and pages of the cycle.
    served=$(awk '$4 !~ /^\/service\// { sum += $7 } END { print sum + 0 }' "$LOG")
    echo "run $run: start $start_ms ms (waits $start_waits, overhead" \
        "$((start_ms - start_waits)) ms = $(percent $start_ms $start_waits) %);" \
        "cycle $cycle_ms ms (waits $CYCLE_WAITS_MS, overhead" \
        "$((cycle_ms - CYCLE_WAITS_MS)) ms = $(percent $cycle_ms $CYCLE_WAITS_MS) %," \
        "of which $served ms in the service)"
    if [ -n "${KEEP_LOGS:-}" ]; then
        mkdir -p "$KEEP_LOGS" && cp "$LOG" "$KEEP_LOGS/access$run.log"
        echo "launched $launched first $first" >"$KEEP_LOGS/times$run"
    fi
done
