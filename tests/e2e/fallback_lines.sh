# Files that no row renames get the library's verdict, in each of its forms.
source "$(dirname "$0")/common.sh"

# check ANALYZE COUNT EXT DESC WANT_DATA_LINE
check() {
  rm -rf "$DIR"; mkdir "$DIR"
  put data 'no magic here'
  TRUEEXT_FAKE_ANALYZE=$1 TRUEEXT_FAKE_COUNT=$2 TRUEEXT_FAKE_EXT=$3 TRUEEXT_FAKE_DESC=$4 \
    run_tool "$NDIR"
  expect_stdout "data	$5
"
}

check 0 1 png 'PNG image' 'analyze:('
check 1 0 png 'PNG image' '0 matches'
check 1 3 png 'PNG image' 'data.png[B]'
expect_names data.png
check 1 1 '' 'Portable Network Graphics' 'File type: Portable Network Graphics'
expect_names data

# A built-in match never reaches the library.
rm -rf "$DIR"; mkdir "$DIR"
put doc '%%PDF-1.4'
TRUEEXT_FAKE_LOG=$(native_path "$WORK/log") run_tool "$NDIR"
expect_stdout 'doc	doc.pdf
'
not grep -q Submit "$WORK/log"
