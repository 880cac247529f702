# The library is opened once the folder is, with the definitions of the
# program's own folder (its path ending in a separator), and asked about
# each file in a fixed order, with the path of the file as the system names it.
source "$(dirname "$0")/common.sh"

put data 'no magic'
LOG="$WORK/log"
export TRUEEXT_FAKE_LOG
TRUEEXT_FAKE_LOG=$(native_path "$LOG")
NBIN=$(native_path "$(cd "$BIN" && pwd -P)")$SEP

# Extension given: submit, analyse, count, extension; no description.
TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=bin run_tool "$NDIR"
expect_eq "$(log_lines "$LOG")" "LoadDefsPack $NBIN
SubmitFileA $NDIR${SEP}data
Analyze
GetInfo 1 0
GetInfo 3 1"

# No extension: the description is asked for last.
rm -f "$LOG"; mv "$DIR/data.bin" "$DIR/data"
TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT= run_tool "$NDIR"
expect_eq "$(log_lines "$LOG" | tail -n 3)" "GetInfo 1 0
GetInfo 3 1
GetInfo 2 1"

# Failed analysis asks nothing more.
rm -f "$LOG"
TRUEEXT_FAKE_ANALYZE=0 run_tool "$NDIR"
expect_eq "$(log_lines "$LOG" | tail -n 2)" "SubmitFileA $NDIR${SEP}data
Analyze"

# An empty folder still loads the library and its definitions.
rm -rf "$DIR"; mkdir "$DIR"; rm -f "$LOG"
run_tool "$NDIR"
expect_stdout ''
expect_eq "$(log_lines "$LOG")" "LoadDefsPack $NBIN"

# A folder that is not there never loads it.
rm -f "$LOG"
run_tool "$NDIR${SEP}missing"
test ! -e "$LOG"

# The path handed to the library is the folder as given, a separator and the
# name: a trailing separator gives two in a row.
put data 'no magic'
run_tool "$NDIR$SEP"
grep -qxF "SubmitFileA $NDIR$SEP${SEP}data" <(log_lines "$LOG")
