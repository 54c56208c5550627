#!/bin/bash
# Memory and UI stalls of the running show when a cycle brings hostile
# pictures: small files that decode huge.
#
#   bench/show/hostile-pictures.sh [BUILD_DIR]
#
# Scenarios (SCENARIOS, default "bomb loop series"):
#   bomb    one animated GIF of 15 frames of 8000 x 8000 pixels (about 0.7 MB);
#   loop    one animated GIF of 60 frames of 1400 x 1400 pixels, which the
#           player may take (118 MB of frames);
#   series  one numbered series of 60 PNGs of 4000 x 4000 pixels (53 KB each);
#   page    a forecast page whose script never ends (its capture waits out its
#           limit, then the renderer is ended);
#   sample  for comparison, three pictures of the bundled catalogue (a JPEG
#           map, a PNG map, the radar loop), not run by default.
# The pictures are written by hostile_pictures.py into a copy of the bundled
# site, which the real catalogue service serves with a catalogue of these rows.
# The real program runs offscreen on a 1920 x 1080 screen at time scale
# TIME_SCALE (default 0.5) until it has shown SLIDES slides (default 3) after
# its cycle, then SETTLE_S more seconds (PICTURE_OPTIONS go to
# hostile_pictures.py, e.g. "--loop-frames 10"). Per scenario it prints the
# program's peak resident memory (VmHWM), its PSS at the end, and the longest
# time its UI thread kept a 10 ms timer waiting (SKYGLANCE_STALL_PROBE); the
# browser engine's own processes are not counted.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build}
TIME_SCALE=${TIME_SCALE:-0.5}
SLIDES=${SLIDES:-3}
SETTLE_S=${SETTLE_S:-3}
LIMIT_S=${LIMIT_S:-300}
SCENARIOS=${SCENARIOS:-"bomb loop series page"}
SITE_DATA="$BUILD_DIR/server/catalogue-data/site"

. bench/show/lib.sh

write_screen

cp -r "$SITE_DATA" "$WORK/site"
python3 bench/show/hostile_pictures.py "$WORK/site/site/hostile" ${PICTURE_OPTIONS:-}
printf '<html><body><h1>Busy</h1><script>for (;;) {}</script></body></html>\n' \
    >"$WORK/site/site/hostile/busy.html"
TAB=$'\t'
cat >"$WORK/catalogue.tsv" <<EOF
# Hostile pictures for the benchmark.
4ttp://{HOST}/site/hostile/bomb.gif${TAB}1${TAB}Bomb GIFBOMB animated GIF of huge frames${TAB}RAD-(c) bench-200-GIF bomb-
5ttp://{HOST}/site/hostile/big_*.png,1,1,60,2${TAB}2${TAB}Series BIG60 sixty PNGs of 4000 x 4000${TAB}SER-(c) bench--Big series-
4ttp://{HOST}/site/hostile/loop.gif${TAB}3${TAB}Loop GIFLOOP animated GIF of many large frames${TAB}RAD-(c) bench-200-Large loop-
EOF
# The first three rows of the bundled catalogue, as IDs 4 to 6.
grep -v '^#' server/catalogue.tsv | head -n 3 |
    awk -F'\t' -v OFS='\t' '{ $2 = NR + 3; print }' >>"$WORK/catalogue.tsv"
echo "2ttp://{HOST}/site/hostile/busy.html${TAB}7${TAB}Busy BUSYPAGE page whose script never ends${TAB}WEB-(c) bench-200-Busy page-" \
    >>"$WORK/catalogue.tsv"

mib() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

run_scenario() {
    local name=$1 selection
    case $name in
    bomb) selection="0 1" ;;
    series) selection="1 2" ;;
    loop) selection="2 3" ;;
    sample) selection="3 4,4 5,5 6" ;;
    page) selection="6 7,3 4" ;;
    *) echo "hostile-pictures: no scenario $name" >&2; exit 1 ;;
    esac
    local home="$WORK/home-$name" out="$WORK/$name.out" err="$WORK/$name.err"
    scripts/seed-demo-home.sh "$home"
    {
        IFS=, read -r -a pairs <<<"$selection"
        for pair in "${pairs[@]}"; do printf '%s\r\n%s\r\n' "${pair% *}" "${pair#* }"; done
        printf '\r\n\r\n'
    } >"$home/Skyglance7_Work/Skyglance7_Picture_List.dat"

    start_service "$WORK/service.out" --catalogue "$WORK/catalogue.tsv" --site "$WORK/site" \
        --db "$WORK/$name.db"

    HOME="$home" SKYGLANCE_SITE="$SITE" SKYGLANCE_PRINT_SLIDES=1 SKYGLANCE_STALL_PROBE=1 \
        SKYGLANCE_TIME_SCALE="$TIME_SCALE" \
        QT_QPA_PLATFORM="offscreen:configfile=$WORK/screen.json" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "$APP" >"$out" 2>"$err" &
    APP_PID=$!
    local started=$SECONDS
    while (($(grep -c '^slide ' "$out") < SLIDES)); do
        if ((SECONDS - started > LIMIT_S)) || ! kill -0 "$APP_PID" 2>/dev/null; then
            echo "$name: not $SLIDES slides within $((SECONDS - started)) s" >&2
            break
        fi
        sleep 0.2
    done
    sleep "$SETTLE_S"
    local hwm pss stall
    hwm=$(awk '/^VmHWM:/ { print $2 }' /proc/"$APP_PID"/status 2>/dev/null || echo 0)
    pss=$(awk '/^Pss:/ { print $2 }' /proc/"$APP_PID"/smaps_rollup 2>/dev/null || echo 0)
    stop_run
    stall=$(sed -n 's/^skyglance: longest UI stall \([0-9]*\) ms$/\1/p' "$err" | tail -n 1)
    echo "$name: peak $(mib "${hwm:-0}") MiB (VmHWM), PSS at end $(mib "${pss:-0}") MiB," \
        "longest UI stall ${stall:-<50} ms, $(grep -c '^slide ' "$out") slides shown" \
        "in $((SECONDS - started)) s"
    grep '^slide ' "$out" | head -n "$SLIDES" | sed 's/^/    /'
}

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for name in $SCENARIOS; do
    run_scenario "$name"
done
