# The library is looked for beside the program, and only when there is none
# there in LD_LIBRARY_PATH; never in the current directory, which an empty
# RUNPATH or LD_LIBRARY_PATH entry would add, nor beside the build's own copy
# of the program.
source "$(dirname "$0")/common.sh"
only_on linux

put doc '%%PDF-1.4'
put data 'no magic'
use_library none

for libdir in "$WORK/nolib" "$STAND_IN_MISSING_DIR"; do
  STATUS=0
  (cd "$STAND_IN_DIR" && LD_LIBRARY_PATH="$libdir" "$BIN/trueext" "$DIR") < /dev/null \
    > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  expect_eq "$STATUS" 1
  expect_eq "$(cat "$WORK/out")" ''
  expect_eq "$(wc -l < "$WORK/err")" 1
  grep -q '^trueext: error: .*libtrueext-ident\.so' "$WORK/err"
  expect_names doc data
done
grep -q 'TrID_SubmitFileA' "$WORK/err"

# With the stand-in in LD_LIBRARY_PATH the same program runs.
LD_LIBRARY_PATH="$STAND_IN_DIR" run_tool "$DIR"
expect_eq "$STATUS" 0
expect_lines 'data	0 matches
doc	doc.pdf
'

# The copy beside the program wins over LD_LIBRARY_PATH, and over the current
# directory that an empty entry of it names: here both offer the incomplete
# stand-in, which would stop the run.
use_library complete
for libdir in "$STAND_IN_MISSING_DIR" ":" "/nonexistent:"; do
  STATUS=0
  (cd "$STAND_IN_MISSING_DIR" && LD_LIBRARY_PATH="$libdir" "$BIN/trueext" "$DIR") < /dev/null \
    > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  expect_eq "$STATUS" 0
  expect_eq "$(cat "$WORK/err")" ''
done
