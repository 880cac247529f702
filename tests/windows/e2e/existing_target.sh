# A file whose new name is taken keeps its name and the other file keeps its
# content: the Windows rename never replaces a file. The line still shows
# the new name.
source "$(dirname "$0")/common.sh"

put a '%%PDF-1.4 mine'
put a.pdf 'already here'
run_tool "$WDIR"
expect_lines 'a	a.pdf' 'a.pdf	0 matches'
expect_names a a.pdf
expect_eq "$(cat "$DIR/a")" '%PDF-1.4 mine'
expect_eq "$(cat "$DIR/a.pdf")" 'already here'

# The same for a name that the library gives; a name taken in other letter
# case is taken too, as the file system does not tell them apart.
rm -rf "$DIR"; mkdir "$DIR"
put data 'no magic here'
put DATA.PNG 'someone else'
attrib +r DATA.PNG  # examined too: keep it from being renamed itself
TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png run_tool "$WDIR"
expect_lines 'data	data.png[B]' 'DATA.PNG	DATA.PNG Open failed...'
expect_names data DATA.PNG
expect_eq "$(cat "$DIR/DATA.PNG")" 'someone else'
