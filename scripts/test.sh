#!/bin/sh
# Builds Skyglance with its tests and runs them. Installs what is missing
# first. Usage: scripts/test.sh [extra cmake options]
# SKYGLANCE_BUILD_DIR picks the build folder (default build-test);
# SKYGLANCE_SANITIZE=1 builds with AddressSanitizer and UBSan (CI does).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

BUILD_DIR=${SKYGLANCE_BUILD_DIR:-build-test}
SANITIZE=OFF
if [ "${SKYGLANCE_SANITIZE:-0}" = "1" ]; then
    SANITIZE=ON
fi
JOBS=${SKYGLANCE_JOBS:-$(nproc)}

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKYGLANCE_SANITIZE="$SANITIZE" -DSKYGLANCE_WERROR=ON "$@"
cmake --build "$BUILD_DIR" -j "$JOBS"

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
# Qt and fontconfig keep caches that leak by design; report only our own.
# The browser engine's own code is not instrumented and frees some memory
# with another size or allocator than it took it with, which the sanitizer
# would stop at: those two checks are left off.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:new_delete_type_mismatch=0:alloc_dealloc_mismatch=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS"
