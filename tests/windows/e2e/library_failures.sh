# Definitions that do not load are reported and the scan goes on; a library
# that is missing or lacks an entry point stops the run before any file is
# touched, with one line on standard error and status 1.
source "$(dirname "$0")/common.sh"
: "${STAND_IN_MISSING_DIR:?STAND_IN_MISSING_DIR must name the incomplete stand-in}"

put doc '%%PDF-1.4'
put data 'no magic'

TRUEEXT_FAKE_DEFS=0 run_tool "$WDIR"
expect_eq "$STATUS" 0
expect_eq "$(head -c 24 "$WORK/out")" 'Error loading definition'
OUT=${OUT#Error loading definition}
expect_lines 'data	0 matches' 'doc	doc.pdf'
mv "$DIR/doc.pdf" "$DIR/doc"

# fails_with PATTERN: the run printed nothing, one error line matching
# PATTERN, ended with status 1 and left the folder alone.
fails_with() {
  expect_eq "$STATUS" 1
  expect_eq "$OUT" ''
  expect_eq "$(printf '%s\n' "$ERR" | wc -l)" 1
  [[ "$ERR" =~ ^trueext:\ error:\ .*TrIDLib\.dll.*$'\r'?$ ]] || { echo "stderr: $ERR" >&2; false; }
  [[ "$ERR" =~ $1 ]] || { echo "stderr: $ERR" >&2; false; }
  expect_names doc data
}

rm "$BIN/TrIDLib.dll"
run_tool "$WDIR"
fails_with 'TrIDLib\.dll'

cp "$STAND_IN_MISSING_DIR/TrIDLib.dll" "$BIN/"
run_tool "$WDIR"
fails_with 'TrID_SubmitFileA'
