# Without its definitions pack beside the program, the library loads nothing:
# the run says so once and every file the built-in rows leave fails analysis.
source "$(dirname "$0")/common.sh"
[[ -e "$BUILD_DIR/libtrueext-ident.so" ]] || skip "identification library not built"
unset LD_LIBRARY_PATH TRUEEXT_FAKE_COUNT

mkdir "$WORK/bin"
cp "$TOOL" "$BUILD_DIR/libtrueext-ident.so" "$WORK/bin/"
put data 'plain words'
put doc '%%PDF-1.4'

STATUS=0
"$WORK/bin/trueext" "$DIR" < /dev/null > "$WORK/out" || STATUS=$?
OUT=$(cat "$WORK/out")
expect_eq "$STATUS" 0
expect_eq "${OUT:0:24}" 'Error loading definition'
OUT=${OUT#Error loading definition}
expect_lines 'data	analyze:(
doc	doc.pdf'
