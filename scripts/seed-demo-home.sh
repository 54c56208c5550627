#!/bin/sh
# Seeds a home folder for an unattended demo of the slide show: English, a
# direct connection, the default town, and a sample selection of every kind
# of source (maps, PNG, radar loops, forecast pages, a town page, a numbered
# series, the first picture of a page). The one writer of this home: the
# demo, the benchmarks and the tests all seed it here.
# Usage: scripts/seed-demo-home.sh DIR [ROW ID]...
# ROW ID pairs (catalogue row, picture ID) replace the sample selection.
set -eu
HOME_DIR=$1
shift
if [ $# -eq 0 ]; then
    set -- 0 1 1 2 2 3 4 5 5 6 7 8 15 16 22 23 30 31 32 33
fi
WORK="$HOME_DIR/Skyglance7_Work"
mkdir -p "$WORK" "$HOME_DIR/Skyglance_SlideShow" "$HOME_DIR/Skyglance_PHP" \
    "$HOME_DIR/Skyglance_Collections"

crlf() { printf '%s\r\n' "$@"; }

# Download interval (minutes), slide interval (seconds), display mode.
{ crlf 15 8 Full_Screen; crlf "" ""; } >"$WORK/Skyglance7_Config.dat"
# Catalogue rows and picture IDs of the ticked pictures, in show order.
{
    crlf "$@"
    crlf "" ""
} >"$WORK/Skyglance7_Picture_List.dat"
printf ' 1' >"$WORK/Skyglance7_Language.dat"
{ crlf "" "" "" "" 0; } >"$WORK/Skyglance7_Proxy.dat"
cp "$WORK/Skyglance7_Proxy.dat" "$WORK/Skyglance7_Proxy.bak"
{
    crlf Courmayeur New+York ny us Naples Italy OPTION1 OPTION2 OPTION3 OPTION4 \
        OPTION5 OPTION6 OPTION7 OPTION8 F " " " " " "
} >"$WORK/Skyglance7_MyTown.dat"
