# The library is opened once the folder is, with the definitions of the
# program's own folder, and asked about each file in a fixed order.
source "$(dirname "$0")/common.sh"

put data 'no magic'
TOOLDIR=$(cd "$(dirname "$TOOL")" && pwd -P)/

# Extension given: submit, analyse, count, extension; no description.
TRUEEXT_FAKE_LOG="$WORK/log" TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=bin run_tool "$DIR"
expect_eq "$(cat "$WORK/log")" "LoadDefsPack $TOOLDIR
SubmitFileA $DIR/data
Analyze
GetInfo 1 0
GetInfo 3 1"

# No extension: the description is asked for last.
rm -f "$WORK/log"; mv "$DIR/data.bin" "$DIR/data"
TRUEEXT_FAKE_LOG="$WORK/log" TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT= run_tool "$DIR"
expect_eq "$(tail -n 3 "$WORK/log")" "GetInfo 1 0
GetInfo 3 1
GetInfo 2 1"

# Failed analysis asks nothing more.
rm -f "$WORK/log"
TRUEEXT_FAKE_LOG="$WORK/log" TRUEEXT_FAKE_ANALYZE=0 run_tool "$DIR"
expect_eq "$(tail -n 2 "$WORK/log")" "SubmitFileA $DIR/data
Analyze"

# An empty folder still loads the library and its definitions.
rm -rf "$DIR"; mkdir "$DIR"; rm -f "$WORK/log"
TRUEEXT_FAKE_LOG="$WORK/log" run_tool "$DIR"
expect_stdout ''
expect_eq "$(cat "$WORK/log")" "LoadDefsPack $TOOLDIR"

# A folder that is not there never loads it.
rm -f "$WORK/log"
TRUEEXT_FAKE_LOG="$WORK/log" run_tool "$WORK/missing"
test ! -e "$WORK/log"

# The path handed to the library is the folder as given, a separator and the
# name: a trailing separator gives two in a row.
rm -rf "$DIR"; mkdir "$DIR"; rm -f "$WORK/log"
put data 'no magic'
TRUEEXT_FAKE_LOG="$WORK/log" run_tool "$DIR/"
grep -qx "SubmitFileA $DIR//data" "$WORK/log"
