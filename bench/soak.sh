#!/bin/sh
# Days of show in minutes: the real program against the real catalogue
# service, which plays every network fault it knows on a repeating schedule,
# with the timing knob turned so that a simulated hour passes in a minute or
# less.
#
#   bench/soak.sh HOURS [BUILD_DIR]
#
# BUILD_DIR (default build) holds src/app/skyglance and
# server/skyglance-catalogue. Every simulated hour one CSV row records the
# program's resident memory, open descriptors, threads and the slides shown so
# far, and the memory of the browser engine's processes below it (soak.csv in
# SKYGLANCE_SOAK_OUT, default a new folder under /tmp). At the end it checks
# that the program was alive all along, that its memory and descriptors stayed
# flat (the mean of the last third of the hours within 5 % of the mean of the
# first third; the first hour is warm-up and left out), that the slide count
# grew every hour, and that every settings file of the work folder is still
# whole. Exits 1 when a check fails. The engine's memory is only reported: its
# garbage collector swings it by a hundred megabytes or more within minutes.
#
# SKYGLANCE_SOAK_MEMORY=0 leaves the memory check out (sanitizer builds,
# whose allocator keeps freed memory in quarantine, and runs too short for
# thirds). Without a display the program runs offscreen; under xvfb-run it
# uses the X server.
set -eu
cd "$(dirname "$0")/.."

HOURS=${1:-}
BUILD_DIR=${2:-build}
case "$HOURS" in
'' | *[!0-9]* | 0)
    echo "usage: bench/soak.sh HOURS [BUILD_DIR]" >&2
    exit 2
    ;;
esac
PROGRAM="$BUILD_DIR/src/app/skyglance"
SERVICE="$BUILD_DIR/server/skyglance-catalogue"
for exe in "$PROGRAM" "$SERVICE"; do
    [ -x "$exe" ] || {
        echo "soak: build $exe first" >&2
        exit 2
    }
done

# At least 60 times faster than life, faster still where the run would
# otherwise pass 25 minutes.
SPEEDUP=$(awk -v h="$HOURS" 'BEGIN { s = h * 3600 / 1500; s = s < 60 ? 60 : s; printf "%d", s + 0.999 }')
HOUR_S=$(awk -v s="$SPEEDUP" 'BEGIN { printf "%.3f", 3600 / s }')
TIME_SCALE=$(awk -v s="$SPEEDUP" 'BEGIN { printf "%.6f", 1 / s }')

OUT=${SKYGLANCE_SOAK_OUT:-$(mktemp -d /tmp/skyglance-soak.XXXXXX)}
mkdir -p "$OUT"
SOAK_HOME="$OUT/home"
rm -rf "$SOAK_HOME" "$OUT/settings-at-start" "$OUT/access.log"
./scripts/seed-demo-home.sh "$SOAK_HOME"
WORK="$SOAK_HOME/Skyglance7_Work"
cp -R "$WORK" "$OUT/settings-at-start"

# One window per fault kind in every period of three simulated hours (the
# whole run when shorter), each long enough to meet at least one download
# cycle (every 15 simulated minutes), the dead service last so that the first
# catalogue pass finds it alive.
fault_schedule() {
    awk -v hours="$HOURS" -v hour="$HOUR_S" 'BEGIN {
        n = split("404,truncate,stall,type,oversize,redirect,dead", kinds, ",")
        period = (hours < 3 ? hours : 3) * hour
        slot = period / n
        active = 16 * hour / 60
        if (active < 0.7 * slot) active = 0.7 * slot
        if (active > slot) active = slot
        schedule = ""
        for (i = 1; i <= n; i++) {
            start = int((i - 1) * slot + slot - active)
            length_ = int(active + 0.999)
            schedule = schedule kinds[i] "@" start "+" length_ ","
        }
        printf "%srepeat=%d", schedule, int(period + 0.5)
    }'
}
FAULTS=$(fault_schedule)

SERVICE_PID=""
PROGRAM_PID=""
stop() {
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null || true
    [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null || true
}
trap stop EXIT
trap 'exit 130' INT TERM

"$SERVICE" --port 0 --db "$OUT/catalogue.sqlite" --access-log "$OUT/access.log" \
    --faults "$FAULTS" >"$OUT/service.log" 2>&1 &
SERVICE_PID=$!
SITE=""
for _ in $(seq 1 100); do
    SITE=$(sed -n 's/^site: //p' "$OUT/service.log" | head -n 1)
    [ -n "$SITE" ] && break
    sleep 0.1
done
[ -n "$SITE" ] || {
    echo "soak: the catalogue service did not start:" >&2
    cat "$OUT/service.log" >&2
    exit 1
}

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
# The browser engine is not instrumented; see scripts/test.sh.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:new_delete_type_mismatch=0:alloc_dealloc_mismatch=0}"

echo "soak: $HOURS simulated hours, $SPEEDUP x faster (an hour every $HOUR_S s, SKYGLANCE_TIME_SCALE=$TIME_SCALE)"
echo "soak: service $SITE, faults $FAULTS"
echo "soak: output in $OUT"
HOME="$SOAK_HOME" SKYGLANCE_SITE="$SITE" SKYGLANCE_TIME_SCALE="$TIME_SCALE" \
    SKYGLANCE_PRINT_SLIDES=1 "$PROGRAM" >"$OUT/slides.log" 2>"$OUT/program.log" &
PROGRAM_PID=$!
STARTED=$(date +%s.%N)

CSV="$OUT/soak.csv"
echo "hour,seconds,rss_kb,fds,threads,slides,engine_rss_kb,tree_pss_kb" >"$CSV"

status_field() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$PROGRAM_PID/status"; }
slides_so_far() { grep -c '^slide ' "$OUT/slides.log" || true; }
# The processes below the program: the browser engine's, which render pages.
engine_pids() {
    ps -e -o pid=,ppid= | awk -v root="$PROGRAM_PID" '
        { parent[$1] = $2 }
        END {
            for (p in parent) {
                q = parent[p]
                while (q in parent && q != root) q = parent[q]
                if (q == root) print p
            }
        }'
}
# Sums a field of /proc/PID/FILE over the pids on standard input, in kB.
sum_field() {
    while read -r pid; do
        awk -v f="$2:" '$1 == f { print $2; exit }' "/proc/$pid/$1" 2>/dev/null || true
    done | awk '{ s += $1 } END { print s + 0 }'
}
engine_rss() { engine_pids | sum_field status VmRSS; }
# Shared pages counted once: the program and its engine as one footprint.
tree_pss() { { echo "$PROGRAM_PID"; engine_pids; } | sum_field smaps_rollup Pss; }

ALIVE=1
EXIT_STATUS=""
hour=1
while [ "$hour" -le "$HOURS" ]; do
    wake=$(awk -v t0="$STARTED" -v h="$hour" -v len="$HOUR_S" 'BEGIN { printf "%.3f", t0 + h * len }')
    now=$(date +%s.%N)
    left=$(awk -v a="$wake" -v b="$now" 'BEGIN { d = a - b; printf "%.3f", (d > 0 ? d : 0) }')
    sleep "$left"
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
        ALIVE=0
        break
    fi
    rss=$(status_field VmRSS)
    threads=$(status_field Threads)
    fds=$(ls "/proc/$PROGRAM_PID/fd" | wc -l)
    seconds=$(awk -v a="$(date +%s.%N)" -v b="$STARTED" 'BEGIN { printf "%.0f", a - b }')
    echo "$hour,$seconds,$rss,$fds,$threads,$(slides_so_far),$(engine_rss),$(tree_pss)" >>"$CSV"
    hour=$((hour + 1))
done

if [ "$ALIVE" = 0 ]; then
    set +e
    wait "$PROGRAM_PID"
    EXIT_STATUS=$?
    set -e
fi

# A settings file still whole: byte for byte as at the start, or rewritten in
# its own format.
settings_file_whole() {
    before=$1
    after=$2
    cmp -s "$before" "$after" && return 0
    [ -s "$after" ] || return 1
    case "$(basename "$after")" in
    Skyglance7_Config.dat)
        tr -d '\r' <"$after" | awk 'NR == 1 && !/^[0-9]+$/ { bad = 1 }
            NR == 2 && !/^[0-9]+$/ { bad = 1 }
            NR == 3 && !/^(Normal|Full_Screen)$/ { bad = 1 }
            END { exit bad || NR < 3 }' ;;
    Skyglance7_Picture_List.dat)
        tr -d '\r' <"$after" | awk '/^$/ { done = 1; next }
            !done && !/^-?[0-9]+$/ { bad = 1 } END { exit bad }' ;;
    Skyglance7_Language.dat) grep -qx ' [1-4]' "$after" ;;
    Skyglance7_Proxy.dat | Skyglance7_Proxy.bak)
        tr -d '\r' <"$after" | awk 'END { exit !(NR == 5 && ($0 == "0" || $0 == "1")) }' ;;
    Skyglance7_MyTown.dat) [ "$(tr -d '\r' <"$after" | wc -l)" -eq 18 ] ;;
    *) return 1 ;;
    esac
}

files_checked=0
files_broken=""
for before in "$OUT"/settings-at-start/*; do
    files_checked=$((files_checked + 1))
    settings_file_whole "$before" "$WORK/$(basename "$before")" ||
        files_broken="$files_broken $(basename "$before")"
done

# Mean of the first and the last third of the hours after the first.
third_means() {
    awk -F, -v col="$1" 'NR > 2 { v[++n] = $col }
        END {
            t = int(n / 3)
            if (t < 1) { print "- -"; exit }
            for (i = 1; i <= t; i++) { a += v[i]; b += v[n - t + i] }
            printf "%.1f %.1f\n", a / t, b / t
        }' "$CSV"
}
FAILED=0
fail() {
    echo "FAIL: $*"
    FAILED=1
}
# flat NAME COLUMN [report]: the thirds compared; "report" only prints them.
flat() {
    name=$1
    only=${3:-}
    set -- $(third_means "$2")
    if [ "$1" = - ]; then
        echo "$name: too few hours for thirds"
        return 0
    fi
    if verdict=$(awk -v a="$1" -v b="$2" 'BEGIN { d = (b - a) / a * 100; printf "%+.1f %%", d; exit (d > 5 || d < -5) }') ||
        [ "$only" = report ]; then
        echo "$name: first third $1, last third $2 ($verdict)${only:+, not checked}"
    else
        fail "$name not flat: first third $1, last third $2 ($verdict)"
    fi
}

echo
echo "soak summary ($HOURS simulated hours; hour 1 is warm-up, left out of the thirds)"
column -s, -t "$CSV" 2>/dev/null || cat "$CSV"
if [ "$ALIVE" = 1 ]; then
    echo "program: alive at every hour"
else
    fail "program ended before hour $hour, exit status $EXIT_STATUS (see $OUT/program.log)"
fi
if [ "${SKYGLANCE_SOAK_MEMORY:-1}" = 1 ]; then
    flat "resident memory (kB)" 3
    flat "browser engine memory (kB)" 7 report
    flat "program and engine, PSS (kB)" 8 report
else
    echo "resident memory: not checked (SKYGLANCE_SOAK_MEMORY=0)"
fi
flat "open descriptors" 4
if [ "$(awk -F, 'NR > 2 && $4 > first + 4 { grew = 1 } NR == 2 { first = $4 } END { print grew + 0 }' "$CSV")" = 1 ]; then
    fail "open descriptors grew by more than 4 over the run"
fi
if awk -F, 'NR > 1 && $6 <= last { bad = 1 } NR > 1 { last = $6 } END { exit bad }' "$CSV"; then
    echo "slides: more every hour ($(slides_so_far) in all)"
else
    fail "some hour showed no new slide"
fi
[ "$(($(wc -l <"$CSV") - 1))" -eq "$HOURS" ] || fail "only $(($(wc -l <"$CSV") - 1)) of $HOURS hours recorded"
if [ -z "$files_broken" ]; then
    echo "settings files: $files_checked whole"
else
    fail "settings files damaged:$files_broken"
fi
echo "service replies by status:" $(awk '{ print $5 }' "$OUT/access.log" | sort | uniq -c | awk '{ printf "%s x%s  ", $2, $1 }')
exit "$FAILED"
