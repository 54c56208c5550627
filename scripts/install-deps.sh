#!/bin/sh
# Brings every Debian package Skyglance needs onto a Debian 12 machine.
# Idempotent: packages already present are skipped; apt-get update runs
# only when something must be installed.
set -eu

PACKAGES="
build-essential cmake ninja-build pkg-config git curl ca-certificates
clang clang-format libclang-rt-14-dev
qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libqt6svg6 qt6-svg-dev
qt6-tools-dev qt6-l10n-tools
qt6-webengine-dev
xvfb xauth fonts-dejavu-core
weston qt6-wayland
libcpp-httplib-dev libsqlite3-dev sqlite3 libssl-dev
libgif-dev libbenchmark-dev
libpq-dev postgresql
libzip-dev zlib1g-dev libbrotli-dev
tinyproxy nginx-light wrk zip unzip
dpkg-dev file desktop-file-utils systemd
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
# The proxy, web server and database packages start system services we do
# not want; tests start their own instances in the foreground.
for svc in tinyproxy nginx postgresql; do
    $SUDO sh -c "command -v systemctl >/dev/null && systemctl disable --now $svc" >/dev/null 2>&1 || true
    $SUDO sh -c "command -v service >/dev/null && service $svc stop" >/dev/null 2>&1 || true
done
echo "install-deps: done"
