#!/bin/bash
# Memory of the running show, as PSS (proportional set size: shared pages
# split among the processes sharing them) of the program and every process
# under it (the browser engine's helpers), for two selections:
#   stills-loops  still maps and a radar loop, no page capture;
#   captures      the same with two forecast pages captured in each cycle.
#
#   bench/show/show-memory.sh [BUILD_DIR] [PLAY_S]
#
# The real program runs offscreen on a 1920 x 1080 screen against the bundled
# catalogue service. PSS is sampled every half second from
# /proc/PID/smaps_rollup. Per selection it prints the peak during the first
# download cycle (launch to the first slide) and, over PLAY_S seconds of play
# after it (default 60), the median, the peak and the growth from the first
# to the last ten seconds.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${1:-build}
PLAY_S=${2:-60}
SCENARIOS=${SCENARIOS:-"stills-loops captures"}

. bench/show/lib.sh

write_screen

# PSS of a process tree in kB.
tree_pss_kb() {
    local sum=0 pid kb
    for pid in $(descendants "$1"); do
        kb=$(awk '/^Pss:/ { print $2; exit }' /proc/"$pid"/smaps_rollup 2>/dev/null) || continue
        sum=$((sum + ${kb:-0}))
    done
    echo "$sum"
}

# median, peak and growth (last ten seconds' mean minus the first ten's) of
# samples in kB, printed in MB.
summarise() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        printf "median %.0f MB, peak %.0f MB", v[int((NR + 1) / 2)] / 1024, v[NR] / 1024 }'
    awk -v n=20 '{ v[NR] = $1 } END {
        for (i = 1; i <= n && i <= NR; ++i) { a += v[i]; b += v[NR - i + 1] }
        k = (NR < n ? NR : n); printf ", growth %+.0f MB", (b - a) / k / 1024 }' "$2"
}

run_scenario() {
    local name=$1 selection
    case $name in
    stills-loops) selection="0 1,1 2,2 3,8 9" ;;
    captures) selection="0 1,1 2,2 3,8 9,4 5,26 27" ;;
    esac
    local home="$WORK/$name" out="$WORK/$name.out" samples="$WORK/$name.pss"
    scripts/seed-demo-home.sh "$home"
    {
        IFS=, read -r -a pairs <<<"$selection"
        for pair in "${pairs[@]}"; do printf '%s\r\n%s\r\n' "${pair% *}" "${pair#* }"; done
        printf '\r\n\r\n'
    } >"$home/Skyglance7_Work/Skyglance7_Picture_List.dat"
    start_service "$WORK/service.out" --db "$WORK/$name.db"

    HOME="$home" SKYGLANCE_SITE="$SITE" SKYGLANCE_PRINT_SLIDES=1 \
        QT_QPA_PLATFORM="offscreen:configfile=$WORK/screen.json" QTWEBENGINE_DISABLE_SANDBOX=1 \
        QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "$APP" >"$out" 2>"$WORK/$name.err" &
    APP_PID=$!
    local first=0
    for _ in $(seq 1 2400); do
        first=$(( $(tree_pss_kb "$APP_PID") > first ? $(tree_pss_kb "$APP_PID") : first ))
        grep -q '^slide 0 ' "$out" && break
        sleep 0.5
    done
    grep -q '^slide 0 ' "$out" || { echo "show-memory: $name shows no slide" >&2; exit 1; }
    : >"$samples"
    for _ in $(seq 1 $((PLAY_S * 2))); do
        tree_pss_kb "$APP_PID" >>"$samples"
        sleep 0.5
    done
    local processes
    processes=$(descendants "$APP_PID" | wc -l)
    stop_run
    printf '%s: first cycle peak %.0f MB; playing %s s: %s; %d processes\n' "$name" \
        "$(echo "$first / 1024" | bc -l)" "$PLAY_S" "$(summarise "$samples" "$samples")" "$processes"
}

echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
for name in $SCENARIOS; do
    run_scenario "$name"
done
