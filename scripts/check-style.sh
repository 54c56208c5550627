#!/bin/sh
# The house rules a machine can check: no include or link points up a layer,
# and every C++ file is as clang-format (the repository's .clang-format)
# writes it.
set -eu
cd "$(dirname "$0")/.."
./scripts/check-layers.sh
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "check-style: every C++ file is formatted"
