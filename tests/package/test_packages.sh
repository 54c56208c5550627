#!/bin/sh
# Builds the two Debian packages from an already built tree, unpacks them into
# a scratch root and checks that what they install works from there, started
# as their units start them: the service as its system unit says, the program
# with its user unit's environment (the site settings in /etc/default), which
# must show a picture from that service with no other setting. A second
# program started by the autostart entry on the same home must end. The
# maintainer scripts run into the scratch root; lintian, where installed,
# must find no errors.
# Usage: test_packages.sh CPACK BUILD_DIR VERSION
set -eu
CPACK=$1
BUILD_DIR=$2
VERSION=$3

# The units name the service's fixed port, 8080: a network of its own keeps
# the test from meeting whatever else listens there on this machine.
if [ -z "${SKYGLANCE_PACKAGE_NETWORK:-}" ] && command -v ip >/dev/null &&
    unshare -rn true 2>/dev/null; then
    # shellcheck disable=SC2016 # the inner shell expands them
    SKYGLANCE_PACKAGE_NETWORK=own exec unshare -rn sh -c 'ip link set lo up && exec sh "$0" "$@"' \
        "$0" "$@"
fi

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

# What Debian asks of every package: a copyright file, a changelog, the
# site settings kept as a conffile, the service's maintainer scripts.
for package in skyglance skyglance-catalogue; do
    for file in copyright changelog.Debian.gz; do
        [ -s "$ROOT/usr/share/doc/$package/$file" ] || fail "$package has no $file"
    done
done
[ "$(dpkg-deb -I "$PROGRAM_DEB" conffiles)" = /etc/default/skyglance ] ||
    fail "/etc/default/skyglance is not a conffile"
mkdir -p "$SCRATCH/control"
dpkg-deb -e "$SERVICE_DEB" "$SCRATCH/control"
for script in postinst prerm postrm; do
    [ -x "$SCRATCH/control/$script" ] || fail "skyglance-catalogue has no $script"
done
# The scripts as dpkg runs them for an installation into another root: the
# service enabled on installation, and nothing of it left after a purge.
maintainer_script() {
    DPKG_MAINTSCRIPT_PACKAGE=skyglance-catalogue DPKG_ROOT=$ROOT \
        "$SCRATCH/control/$1" "$2" >/dev/null || fail "$1 $2"
}
if command -v deb-systemd-helper >/dev/null; then
    WANTS=$ROOT/etc/systemd/system/multi-user.target.wants/skyglance-catalogue.service
    maintainer_script postinst configure
    [ -L "$WANTS" ] || fail "installing skyglance-catalogue does not enable its service"
    mkdir -p "$ROOT/var/lib/private/skyglance-catalogue"
    ln -s private/skyglance-catalogue "$ROOT/var/lib/skyglance-catalogue"
    maintainer_script prerm remove
    maintainer_script postrm remove
    maintainer_script postrm purge
    if [ -L "$WANTS" ] || [ -e "$ROOT/var/lib/private/skyglance-catalogue" ] ||
        [ -L "$ROOT/var/lib/skyglance-catalogue" ]; then
        fail "purging skyglance-catalogue leaves its service enabled or its state"
    fi
fi
if command -v lintian >/dev/null; then
    lintian --fail-on error "$PROGRAM_DEB" "$SERVICE_DEB" >"$SCRATCH/lintian.out" 2>&1 ||
        { cat "$SCRATCH/lintian.out"; fail "lintian finds errors"; }
fi

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$ROOT/usr/share/applications/skyglance.desktop" \
        "$ROOT/usr/share/skyglance/skyglance-autostart.desktop" || fail "desktop entries"
fi
# The units start the packaged executables and name the packaged manual
# pages; verified against the scratch root's copies, since nothing is
# installed in /usr. Warnings count too.
verify_unit() {
    mode=$1
    unit=$2
    sed "s|^ExecStart=/usr/bin/|ExecStart=$ROOT/usr/bin/|" "$ROOT/$unit" >"$SCRATCH/units/${unit##*/}"
    grep -q "^ExecStart=$ROOT/usr/bin/" "$SCRATCH/units/${unit##*/}" ||
        fail "$unit does not start a program from /usr/bin"
    report=$(cd "$SCRATCH/units" && XDG_RUNTIME_DIR=$SCRATCH/units MANPATH=$ROOT/usr/share/man \
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
kill "$SERVICE_PID"
wait "$SERVICE_PID" 2>/dev/null || true
SERVICE_PID=""

# Every value a unit file gives a key, one a line.
unit_values() {
    sed -n "s/^$2=//p" "$ROOT/$1"
}
# The NAME=value lines of an environment file, comments left out.
environment_file() {
    grep -E '^[A-Za-z_][A-Za-z0-9_]*=' "$1" || true
}
SYSTEM_UNIT=usr/lib/systemd/system/skyglance-catalogue.service
USER_UNIT=usr/lib/systemd/user/skyglance.service
set -f # unit lines are split into words, never globbed

# ---- the service as its system unit starts it ----------------------------------

STATE_DIRECTORY=$SCRATCH/var/lib/$(unit_values $SYSTEM_UNIT StateDirectory)
mkdir -p "$STATE_DIRECTORY"
SERVICE_COMMAND=$(unit_values $SYSTEM_UNIT ExecStart |
    sed "s|^/usr/bin/|$ROOT/usr/bin/|; s|\${STATE_DIRECTORY}|$STATE_DIRECTORY|g")
# shellcheck disable=SC2046,SC2086
env $(unit_values $SYSTEM_UNIT Environment) $SERVICE_COMMAND \
    >"$SCRATCH/unit-service.out" 2>"$SCRATCH/unit-service.err" &
SERVICE_PID=$!
if ! wait_for 60 grep -q '^site: ' "$SCRATCH/unit-service.out"; then
    cat "$SCRATCH/unit-service.err"
    if [ -z "${SKYGLANCE_PACKAGE_NETWORK:-}" ] &&
        grep -q 'cannot listen' "$SCRATCH/unit-service.err"; then
        echo "SKIPPED: port 8080 is taken and no network of its own can be made" >&2
        exit 77
    fi
    fail "the service did not start as its unit starts it"
fi
[ -s "$STATE_DIRECTORY/catalogue.sqlite" ] || fail "the service's database is not in its state folder"


# The demo home (English, a direct connection) with one map, pictures
# downloaded again every minute, and an animated picture left from an earlier
# run, which the next download replaces by the placeholder first.
HOME_DIR=$SCRATCH/home
WORK=$HOME_DIR/Skyglance7_Work
sh "$(dirname "$0")/../../scripts/seed-demo-home.sh" "$HOME_DIR" 0 1
printf '%s\r\n' 1 8 Full_Screen "" "" >"$WORK/Skyglance7_Config.dat"
LEFT_OVER=$WORK/Skyglance7_Img_ANIGIF_1.gif
echo "an old loop" >"$LEFT_OVER"
PLACEHOLDER=$ROOT/usr/share/skyglance/pic_not_available.gif
# A lock file left by a program that died: it must not keep the next out.
echo 999999999 >"$WORK/Skyglance7.lock"

# ---- the program as its user unit starts it -------------------------------------

# The unit's Environment= first, then its EnvironmentFile=, which overrides
# it; a leading "-" only means the file may be missing.
ENVIRONMENT_FILE=$(unit_values $USER_UNIT EnvironmentFile | sed 's|^-||')
[ -n "$ENVIRONMENT_FILE" ] || fail "the user unit reads no environment file"
PROGRAM_COMMAND=$(unit_values $USER_UNIT ExecStart | sed "s|^/usr/bin/|$ROOT/usr/bin/|")
# The run's own settings last: quicker waits, slide lines and snapshots.
# shellcheck disable=SC2046,SC2086
env -u SKYGLANCE_SITE $(unit_values $USER_UNIT Environment) \
    $(environment_file "$ROOT$ENVIRONMENT_FILE") \
    HOME="$HOME_DIR" SKYGLANCE_PRINT_SLIDES=1 SKYGLANCE_TIME_SCALE=0.05 \
    SKYGLANCE_SNAPSHOT="$SCRATCH/shots" $PROGRAM_COMMAND \
    >"$SCRATCH/program.out" 2>"$SCRATCH/program.err" &
PROGRAM_PID=$!

show_program() {
    echo "--- program output" >&2
    cat "$SCRATCH/program.out" "$SCRATCH/program.err" >&2
}
wait_for 180 grep -q '^slide 0 ' "$SCRATCH/program.out" ||
    { show_program; fail "the installed program showed no slide"; }
grep -q '^slide 0 kind 1 http://127\.0\.0\.1:8080/site/maps/europe_pressure\.jpg ' \
    "$SCRATCH/program.out" || { show_program; fail "the first slide is not the service's map"; }
# The service's JPEG, not an error page, is what the slide was made from.
[ "$(od -An -tx1 -N3 "$WORK/Skyglance7_Img.jpg" 2>/dev/null | tr -d ' ')" = ffd8ff ] ||
    { show_program; fail "no picture came from the service"; }
wait_for 30 test -s "$SCRATCH/shots/latest.png" || { show_program; fail "no snapshot of the window"; }

# ---- a second program, from the autostart entry, on the same home ---------------

AUTOSTART_SCRIPT=$(sed -n 's/^Exec=sh -c "\(.*\)"$/\1/p' \
    "$ROOT/usr/share/skyglance/skyglance-autostart.desktop" |
    sed "s|/etc/default/|$ROOT/etc/default/|g; s|/usr/bin/|$ROOT/usr/bin/|g")
[ -n "$AUTOSTART_SCRIPT" ] || fail "the autostart entry does not start the program through sh"
SECOND_STATUS=0
env -u SKYGLANCE_SITE HOME="$HOME_DIR" sh -c "$AUTOSTART_SCRIPT" \
    >"$SCRATCH/second.out" 2>"$SCRATCH/second.err" || SECOND_STATUS=$?
if [ "$SECOND_STATUS" -ne 3 ] || ! grep -q "^skyglance: the work folder $WORK is in use by \
another Skyglance (process $PROGRAM_PID); this one ends\$" "$SCRATCH/second.err"; then
    cat "$SCRATCH/second.err"
    fail "the second program did not end (status $SECOND_STATUS)"
fi
kill -0 "$PROGRAM_PID" || { show_program; fail "the first program ended with the second"; }
wait_for 120 cmp -s "$LEFT_OVER" "$PLACEHOLDER" ||
    { show_program; fail "the installed placeholder was not put in place of the old loop"; }
echo "packages: $(basename "$PROGRAM_DEB") $(basename "$SERVICE_DEB") install and run"
