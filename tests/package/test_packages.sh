#!/bin/sh
# Builds the two Debian packages from an already built tree, unpacks them into
# a scratch root and checks that what they install works from there: the
# program answers --version, the service serves its installed sample, and the
# program shows its first slide and finds its installed GIF placeholder.
# Usage: test_packages.sh CPACK BUILD_DIR VERSION
set -eu
CPACK=$1
BUILD_DIR=$2
VERSION=$3

SCRATCH=$(mktemp -d)
ROOT=$SCRATCH/root
SERVICE_PID=""
PROGRAM_PID=""
cleanup() {
    for pid in $PROGRAM_PID $SERVICE_PID; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$SCRATCH"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    seconds=$1
    shift
    tries=$((seconds * 5))
    while [ "$tries" -gt 0 ]; do
        if "$@"; then
            return 0
        fi
        tries=$((tries - 1))
        sleep 0.2
    done
    return 1
}

# ---- build and unpack --------------------------------------------------------

"$CPACK" -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$SCRATCH/debs" >"$SCRATCH/cpack.log" 2>&1 ||
    { cat "$SCRATCH/cpack.log"; fail "cpack"; }
PROGRAM_DEB=$(ls "$SCRATCH"/debs/skyglance_"$VERSION"-*.deb)
SERVICE_DEB=$(ls "$SCRATCH"/debs/skyglance-catalogue_"$VERSION"-*.deb)

# Dependencies come from the libraries the executables link.
dpkg-deb -f "$PROGRAM_DEB" Depends | grep -q 'libqt6webenginewidgets6' ||
    fail "skyglance does not depend on Qt WebEngine"
dpkg-deb -f "$SERVICE_DEB" Depends | grep -q 'libsqlite3-0' ||
    fail "skyglance-catalogue does not depend on SQLite"

mkdir -p "$ROOT"
dpkg -x "$PROGRAM_DEB" "$ROOT"
dpkg -x "$SERVICE_DEB" "$ROOT"

for file in \
    usr/bin/skyglance \
    usr/share/skyglance/pic_not_available.gif \
    usr/share/skyglance/Skyglance.html \
    usr/share/skyglance/skyglance-autostart.desktop \
    usr/share/applications/skyglance.desktop \
    usr/share/icons/hicolor/48x48/apps/skyglance.png \
    usr/share/icons/hicolor/64x64/apps/skyglance.png \
    usr/share/icons/hicolor/128x128/apps/skyglance.png \
    usr/share/icons/hicolor/256x256/apps/skyglance.png \
    usr/share/icons/hicolor/scalable/apps/skyglance.svg \
    usr/share/man/man1/skyglance.1.gz \
    usr/lib/systemd/user/skyglance.service \
    usr/bin/skyglance-catalogue \
    usr/share/skyglance-catalogue/catalogue.tsv \
    usr/share/skyglance-catalogue/site/index.html \
    usr/share/man/man1/skyglance-catalogue.1.gz \
    usr/lib/systemd/system/skyglance-catalogue.service; do
    [ -s "$ROOT/$file" ] || fail "$file is not in the packages"
done
# Each package owns its own files: nothing of the service in the program's.
if dpkg-deb -c "$PROGRAM_DEB" | grep -q 'skyglance-catalogue'; then
    fail "skyglance carries files of skyglance-catalogue"
fi

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$ROOT/usr/share/applications/skyglance.desktop" \
        "$ROOT/usr/share/skyglance/skyglance-autostart.desktop" || fail "desktop entries"
fi
# The units start the packaged executables; verified against the scratch
# root's copies, since nothing is installed in /usr/bin. Warnings count too.
verify_unit() {
    mode=$1
    unit=$2
    sed "s|^ExecStart=/usr/bin/|ExecStart=$ROOT/usr/bin/|" "$ROOT/$unit" >"$SCRATCH/units/${unit##*/}"
    grep -q "^ExecStart=$ROOT/usr/bin/" "$SCRATCH/units/${unit##*/}" ||
        fail "$unit does not start a program from /usr/bin"
    report=$(cd "$SCRATCH/units" && XDG_RUNTIME_DIR=$SCRATCH/units \
        systemd-analyze "$mode" verify "./${unit##*/}" 2>&1) || fail "$unit: $report"
    [ -z "$report" ] || fail "$unit: $report"
}
if command -v systemd-analyze >/dev/null; then
    mkdir -p "$SCRATCH/units"
    verify_unit --system usr/lib/systemd/system/skyglance-catalogue.service
    verify_unit --user usr/lib/systemd/user/skyglance.service
fi

# ---- run what was installed --------------------------------------------------

[ "$("$ROOT/usr/bin/skyglance" --version)" = "skyglance $VERSION" ] || fail "skyglance --version"

# Started as root would start it, without --db: the database must go to the
# cache, not into the package's data folder.
XDG_CACHE_HOME=$SCRATCH/cache "$ROOT/usr/bin/skyglance-catalogue" --port 0 \
    >"$SCRATCH/service.out" 2>"$SCRATCH/service.err" &
SERVICE_PID=$!
wait_for 60 grep -q '^site: ' "$SCRATCH/service.out" ||
    { cat "$SCRATCH/service.err"; fail "the installed service did not start"; }
grep -q "share/skyglance-catalogue/catalogue.tsv" "$SCRATCH/service.err" ||
    { cat "$SCRATCH/service.err"; fail "the service did not take its installed catalogue"; }
if [ ! -s "$SCRATCH/cache/skyglance/catalogue.sqlite" ] ||
    ls "$ROOT"/usr/share/skyglance-catalogue/*.sqlite* >/dev/null 2>&1; then
    cat "$SCRATCH/service.err"
    fail "the service did not keep its database in the cache"
fi
SITE=$(sed -n 's/^site: //p' "$SCRATCH/service.out")

# A home as the program leaves it: English, a direct connection, one map,
# pictures downloaded again every minute, and an animated picture left from an
# earlier run, which the next download replaces by the placeholder first.
HOME_DIR=$SCRATCH/home
WORK=$HOME_DIR/Skyglance7_Work
mkdir -p "$WORK"
crlf() { printf '%s\r\n' "$@"; }
crlf 1 8 Full_Screen "" "" >"$WORK/Skyglance7_Config.dat"
crlf 0 1 "" "" >"$WORK/Skyglance7_Picture_List.dat"
printf ' 1' >"$WORK/Skyglance7_Language.dat"
crlf "" "" "" "" 0 >"$WORK/Skyglance7_Proxy.dat"
cp "$WORK/Skyglance7_Proxy.dat" "$WORK/Skyglance7_Proxy.bak"
crlf Courmayeur New+York ny us Naples Italy OPTION1 OPTION2 OPTION3 OPTION4 \
    OPTION5 OPTION6 OPTION7 OPTION8 F " " " " " " >"$WORK/Skyglance7_MyTown.dat"
LEFT_OVER=$WORK/Skyglance7_Img_ANIGIF_1.gif
echo "an old loop" >"$LEFT_OVER"
PLACEHOLDER=$ROOT/usr/share/skyglance/pic_not_available.gif

HOME=$HOME_DIR SKYGLANCE_SITE=$SITE SKYGLANCE_PRINT_SLIDES=1 SKYGLANCE_TIME_SCALE=0.05 \
    SKYGLANCE_SNAPSHOT=$SCRATCH/shots "$ROOT/usr/bin/skyglance" \
    >"$SCRATCH/program.out" 2>"$SCRATCH/program.err" &
PROGRAM_PID=$!

show_program() {
    echo "--- program output" >&2
    cat "$SCRATCH/program.out" "$SCRATCH/program.err" >&2
}
wait_for 180 grep -q '^slide 0 ' "$SCRATCH/program.out" ||
    { show_program; fail "the installed program showed no slide"; }
wait_for 30 test -s "$SCRATCH/shots/latest.png" || { show_program; fail "no snapshot of the window"; }
wait_for 120 cmp -s "$LEFT_OVER" "$PLACEHOLDER" ||
    { show_program; fail "the installed placeholder was not put in place of the old loop"; }
echo "packages: $(basename "$PROGRAM_DEB") $(basename "$SERVICE_DEB") install and run"
