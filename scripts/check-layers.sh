#!/bin/bash
# Fails when a folder of src/ includes or links a folder of its own layer or
# of a layer above it. The layers are the SKYGLANCE_LAYERS list of the
# top-level CMakeLists.txt, bottom first, one layer per line.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A layer_of
number=0
while IFS= read -r line; do
    number=$((number + 1))
    for folder in $line; do
        layer_of[$folder]=$number
    done
done < <(sed -n '/^set(SKYGLANCE_LAYERS/,/)/p' CMakeLists.txt | grep -o '"[^"]*"' | tr -d '"')

if [ "${#layer_of[@]}" -eq 0 ]; then
    echo "check-layers: no SKYGLANCE_LAYERS list in CMakeLists.txt" >&2
    exit 2
fi

faults=0
report() {
    echo "$1" >&2
    faults=$((faults + 1))
}

# Whether a use of folder $2 from folder $1 points down a layer.
points_down() {
    local from=$1 to=$2
    [ -n "${layer_of[$to]:-}" ] || return 0 # not a folder of src/ (Qt, the standard library)
    [ "$to" = "$from" ] && return 0
    [ "${layer_of[$to]}" -lt "${layer_of[$from]}" ]
}

for dir in src/*/; do
    folder=$(basename "$dir")
    if [ -z "${layer_of[$folder]:-}" ]; then
        report "src/$folder: a folder that is on no layer of SKYGLANCE_LAYERS"
        continue
    fi
    while IFS=: read -r file lineno target; do
        points_down "$folder" "$target" ||
            report "$file:$lineno: includes $target/ (layer ${layer_of[$target]}) from $folder/ (layer ${layer_of[$folder]})"
    done < <(grep -rnoE '^#include "[a-z_]+/' "$dir" --include='*.h' --include='*.cpp' |
        sed -E 's/#include "([a-z_]+)\//\1/')
    if [ -f "$dir/CMakeLists.txt" ]; then
        while IFS=: read -r lineno target; do
            points_down "$folder" "$target" ||
                report "$dir""CMakeLists.txt:$lineno: links skyglance_$target from $folder/"
        done < <(grep -noE 'skyglance_[a-z]+' "$dir/CMakeLists.txt" | grep -v ":skyglance_$folder\$" |
            sed -E 's/skyglance_//')
    fi
done

if [ "$faults" -gt 0 ]; then
    echo "check-layers: $faults use(s) point up or across a layer" >&2
    exit 1
fi
echo "check-layers: every include and link of src/ points down a layer"
