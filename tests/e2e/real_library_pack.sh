# Without its definitions pack beside the program, the library loads nothing:
# the run says so once and every file the built-in rows leave fails analysis.
source "$(dirname "$0")/common.sh"
needs_real_library

cp "$BUILD_DIR/libtrueext-ident.so" "$BIN/"
put data 'plain words'
put doc '%%PDF-1.4'

run_tool "$DIR"
expect_eq "$STATUS" 0
expect_eq "${OUT:0:24}" 'Error loading definition'
OUT=${OUT#Error loading definition}
expect_lines 'data	analyze:(
doc	doc.pdf'
