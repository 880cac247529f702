# A file whose new name is taken keeps its name and the other file keeps its
# content: a rename never replaces a file. The line says the rename failed.
source "$(dirname "$0")/common.sh"

put a '%%PDF-1.4 mine'
put a.pdf 'already here'
run_tool "$NDIR"
expect_lines 'a	a Rename failed...
a.pdf	0 matches
'
expect_names a a.pdf
expect_eq "$(cat "$DIR/a")" '%PDF-1.4 mine'
expect_eq "$(cat "$DIR/a.pdf")" 'already here'

# The same for a name that the library gives. On Windows a name taken in
# other letter case is taken too, as the file system does not tell them apart.
taken_names=(data.png)
[[ $PLATFORM != windows ]] || taken_names+=(DATA.PNG)
for taken in "${taken_names[@]}"; do
  rm -rf "$DIR"; mkdir "$DIR"
  put data 'no magic here'
  put "$taken" 'someone else'
  make_read_only "$taken"   # examined too: keep it from being renamed itself
  TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png run_tool "$NDIR"
  expect_lines "data	data Rename failed...
$taken	$taken Open failed...
"
  expect_names data "$taken"
  expect_eq "$(cat "$DIR/$taken")" 'someone else'
  expect_eq "$(cat "$DIR/data")" 'no magic here'
done
