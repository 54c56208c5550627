#!/bin/sh
# The translation catalogues hold every text of the program, translated:
# running lupdate over the sources changes no .ts file (no text missing, none
# left over), and no Italian, French or Spanish translation is unfinished.
# Usage: check_translations.sh LUPDATE SOURCE_ROOT
set -eu
lupdate=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$root"/translations/*.ts "$work"/
"$lupdate" -silent -locations none -no-obsolete "$root/src" -ts "$work"/*.ts
status=0
for ts in "$root"/translations/*.ts; do
    if ! cmp -s "$ts" "$work/$(basename "$ts")"; then
        echo "$ts is not up to date with the sources (cmake --build BUILD --target update_translations):"
        diff "$ts" "$work/$(basename "$ts")" || true
        status=1
    fi
done
for code in it fr es; do
    ts="$root/translations/skyglance_$code.ts"
    if grep -n 'type="unfinished"\|<translation></translation>' "$ts"; then
        echo "$ts has texts without a translation (above)"
        status=1
    fi
done
exit $status
