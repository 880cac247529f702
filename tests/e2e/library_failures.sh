# Definitions that do not load are reported and the scan goes on; a library
# that is missing or lacks an entry point stops the run before any file is
# touched, with one line on standard error and status 1.
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
put data 'no magic'

TRUEEXT_FAKE_DEFS=0 run_tool "$NDIR"
expect_eq "$STATUS" 0
expect_eq "$(head -c 24 "$WORK/out")" 'Error loading definition'
OUT=${OUT#Error loading definition}
expect_lines 'data	0 matches
doc	doc.pdf
'
mv "$DIR/doc.pdf" "$DIR/doc"

# variant WANT_IN_ERROR
while read -r variant want; do
  use_library "$variant"
  run_tool "$NDIR"
  expect_eq "$STATUS" 1
  expect_eq "$OUT" ''
  expect_eq "$(printf '%s\n' "$ERR" | wc -l)" 1
  [[ "$ERR" == "trueext: error: "*"$LIBRARY_NAME"* ]] || { echo "stderr: $ERR" >&2; false; }
  [[ "$ERR" == *"${want:-$LIBRARY_NAME}"* ]] || { echo "stderr: $ERR" >&2; false; }
  expect_names doc data
done <<'CASES'
none
missing TrID_SubmitFileA
CASES
