# Files that no row renames get the library's verdict, in each of its forms.
source "$(dirname "$0")/common.sh"

# check ANALYZE COUNT EXT DESC WANT_LINE_END
check() {
  rm -rf "$DIR"; mkdir "$DIR"
  put data 'no magic here'
  TRUEEXT_FAKE_ANALYZE=$1 TRUEEXT_FAKE_COUNT=$2 TRUEEXT_FAKE_EXT=$3 TRUEEXT_FAKE_DESC=$4 \
    run_tool "$WDIR"
  expect_stdout "data	$5"
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
TRUEEXT_FAKE_LOG=$(winpath "$WORK/log") run_tool "$WDIR"
expect_stdout 'doc	doc.pdf'
not grep -q Submit "$WORK/log"

# Texts from the library are input: a Windows separator, a drive or stream
# colon, or a parent name never moves the file out of the folder, and
# control bytes never break the one-line report.
mkdir "$WORK/victim"
check 1 1 '..\victim\x' 'Escape attempt' 'File type: Escape attempt'
check 1 1 '../victim/x' 'Escape attempt' 'File type: Escape attempt'
check 1 1 'x:stream' 'Stream' 'File type: Stream'
check 1 1 '..' 'Parent' 'File type: Parent'
check 1 1 $'png\r\nforged' $'two\r\nlines\ttab' 'File type: two  lines tab'
expect_names data
expect_eq "$(ls -A "$WORK/victim")" ''

# A text that fills the whole buffer without a terminator is cut, not
# overrun; a name too long for the system is simply not renamed.
rm -rf "$DIR"; mkdir "$DIR"
put data 'no magic'
TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_FILL=1 run_tool "$WDIR"
expect_stdout "data	data.$(printf 'W%.0s' {1..259})[B]"
expect_names data
