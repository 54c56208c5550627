#!/bin/bash
# CPU the running show takes once its slides are loaded, in per cent of one
# core, for three selections:
#   stills    four still maps (JPEG and PNG), one slide every 8 s;
#   loop      a radar loop as catalogued (timing code "200": it plays for
#             four slide intervals);
#   loop-held the same loop with its timing code cleared, so it plays full
#             screen for the whole slide interval.
#
#   bench/show/show-cpu.sh [BUILD_DIR] [WINDOW_S] [RUNS]
#   SCREEN=3840x2160 PIN_CORE=0 XVFB=1 bench/show/show-cpu.sh   (a 4K panel, one core)
#
# The real program runs on a 1920 x 1080 screen (SCREEN=WxH for another size)
# against the bundled catalogue service: offscreen, or under Xvfb with XVFB=1
# (the X server's own work is not counted). PIN_CORE=N pins the program and
# everything under it to core N (taskset), as on a one-core board. After its first slide and a settling pause, the user and
# system time of the program and of every process under it (utime + stime,
# children included) is read from /proc over WINDOW_S seconds (default 30).
# Beside each figure stands the whole machine's busy share over the same
# window (from /proc/stat), since other work on the machine disturbs it.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build}
WINDOW_S=${2:-30}
RUNS=${3:-1}
SETTLE_S=${SETTLE_S:-5}
CATALOGUE=server/catalogue.tsv
SCENARIOS=${SCENARIOS:-"stills loop loop-held"}
SCREEN=${SCREEN:-1920x1080}
PIN_CORE=${PIN_CORE:-}
XVFB=${XVFB:-}

. bench/show/lib.sh

TICKS=$(getconf CLK_TCK)
write_screen "$SCREEN"

# The radar loop is row 2; the held variant serves a catalogue whose row 2
# has no timing code.
LOOP_ROW=2
awk -F'\t' -v OFS='\t' -v row=$LOOP_ROW '
    /^#/ { print; next }
    n++ == row { split($4, f, "-"); $4 = f[1] "-" f[2] "--" f[4] "-" f[5] }
    { print }' "$CATALOGUE" >"$WORK/held.tsv"

# utime + stime (+ reaped children's) of a process tree, in clock ticks.
cpu_ticks() {
    local sum=0 pid stat
    for pid in $(descendants "$1"); do
        stat=$(cat /proc/"$pid"/stat 2>/dev/null) || continue
        stat=${stat##*) }
        read -r -a f <<<"$stat"
        # After the name: state is field 3, utime 14 ... cstime 17.
        sum=$((sum + f[11] + f[12] + f[13] + f[14]))
    done
    echo "$sum"
}

now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# Busy and total jiffies of the whole machine.
machine_jiffies() {
    local user nice system idle iowait rest
    read -r _ user nice system idle iowait rest </proc/stat
    echo "$((user + nice + system)) $((user + nice + system + idle + iowait))"
}

# Per cent of one core a process tree used over the window, and the machine's
# busy share meanwhile.
measure() {
    local pid=$1 t0 c0 t1 c1 m0 m1
    t0=$(now_ms)
    c0=$(cpu_ticks "$pid")
    m0=$(machine_jiffies)
    sleep "$WINDOW_S"
    t1=$(now_ms)
    c1=$(cpu_ticks "$pid")
    m1=$(machine_jiffies)
    awk -v c=$((c1 - c0)) -v hz="$TICKS" -v ms=$((t1 - t0)) -v m0="$m0" -v m1="$m1" '
        BEGIN { split(m0, a, " "); split(m1, b, " ")
                printf "%.2f %% of one core (machine %.0f %% busy)",
                       100 * (c / hz) / (ms / 1000), 100 * (b[1] - a[1]) / (b[2] - a[2]) }'
}

run_scenario() {
    local name=$1 run=$2 selection catalogue=$CATALOGUE
    case $name in
    stills) selection="0 1,1 2,8 9,12 13" ;;
    loop) selection="$LOOP_ROW 3" ;;
    loop-held)
        selection="$LOOP_ROW 3"
        catalogue=$WORK/held.tsv
        ;;
    esac
    local home="$WORK/$name$run" out="$WORK/$name$run.out"
    scripts/seed-demo-home.sh "$home"
    {
        IFS=, read -r -a pairs <<<"$selection"
        for pair in "${pairs[@]}"; do printf '%s\r\n%s\r\n' "${pair% *}" "${pair#* }"; done
        printf '\r\n\r\n'
    } >"$home/Skyglance7_Work/Skyglance7_Picture_List.dat"

    start_service "$WORK/service.out" --catalogue "$catalogue" --db "$WORK/$name$run.db"

    local platform="offscreen:configfile=$WORK/screen.json" pin=()
    if [ -n "$XVFB" ]; then
        platform=xcb
    fi
    if [ -n "$PIN_CORE" ]; then
        pin=(taskset -c "$PIN_CORE")
    fi
    HOME="$home" SKYGLANCE_SITE="$SITE" SKYGLANCE_PRINT_SLIDES=1 \
        QT_QPA_PLATFORM="$platform" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "${pin[@]}" "$APP" >"$out" \
        2>"$WORK/$name$run.err" &
    APP_PID=$!
    for _ in $(seq 1 1200); do
        grep -q '^slide 0 ' "$out" && break
        sleep 0.1
    done
    grep -q '^slide 0 ' "$out" || { echo "show-cpu: $name shows no slide" >&2; exit 1; }
    sleep "$SETTLE_S"
    local before after result
    before=$(wc -l <"$out")
    result=$(measure "$APP_PID")
    after=$(wc -l <"$out")
    stop_run
    echo "$name run $run: $result over ${WINDOW_S} s," \
        "$((after - before)) slide ticks; $(sed -n 's/ |.*//p' "$out" | head -n 1)"
}

if [ -n "$XVFB" ]; then
    # A display of its own at the screen's size; the program finds it by DISPLAY.
    XVFB_DISPLAY=:$((90 + RANDOM % 9))
    Xvfb "$XVFB_DISPLAY" -screen 0 "${SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'kill "$XVFB_PID" 2>/dev/null || true; cleanup' EXIT INT TERM
    export DISPLAY=$XVFB_DISPLAY
    sleep 1
fi
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg);" \
    "screen $SCREEN${XVFB:+ (Xvfb)}${PIN_CORE:+, pinned to core $PIN_CORE}"
for run in $(seq 1 "$RUNS"); do
    for name in $SCENARIOS; do
        run_scenario "$name" "$run"
    done
done
