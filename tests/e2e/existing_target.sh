# A file whose new name is taken keeps its name, and the other file keeps
# its content; the line still shows the new name.
source "$(dirname "$0")/common.sh"

put a '%%PDF-1.4 mine'
put a.pdf 'already here'

run_tool "$DIR"
expect_eq "$(grep -c . "$WORK/out")" 2
grep -qx 'a	a.pdf' "$WORK/out"
expect_names a a.pdf
expect_eq "$(cat "$DIR/a")" '%PDF-1.4 mine'
expect_eq "$(cat "$DIR/a.pdf")" 'already here'
