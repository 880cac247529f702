# Definitions that do not load are reported and the scan goes on; a library
# that is missing or lacks an entry point stops the run before any file is
# touched, with one line on standard error and status 1.
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
put data 'no magic'

TRUEEXT_FAKE_DEFS=0 run_tool "$DIR"
expect_eq "$STATUS" 0
expect_eq "$(head -c 24 "$WORK/out")" 'Error loading definition'
OUT=${OUT#Error loading definition}
expect_lines 'data	0 matches
doc	doc.pdf
'
mv "$DIR/doc.pdf" "$DIR/doc"

for libdir in "$WORK/nolib" "$FAKE_MISSING_DIR"; do
  # The copy beside the program must not be found either.
  mkdir -p "$WORK/bin"
  cp "$TOOL" "$WORK/bin/trueext"
  # Nor one in the current directory, which an empty RUNPATH entry would add.
  STATUS=0
  (cd "$FAKE_DIR" && LD_LIBRARY_PATH="$libdir" "$WORK/bin/trueext" "$DIR") < /dev/null \
    > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  expect_eq "$STATUS" 1
  expect_eq "$(cat "$WORK/out")" ''
  expect_eq "$(wc -l < "$WORK/err")" 1
  grep -q '^trueext: error: .*libtrueext-ident\.so' "$WORK/err"
  expect_names doc data
done
grep -q 'TrID_SubmitFileA' "$WORK/err"
