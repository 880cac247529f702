# Texts from the library are input: a separator of either system, a drive
# or stream colon, or a parent name never moves a file out of the folder,
# and control bytes never break the one-line-per-file report.
source "$(dirname "$0")/common.sh"

mkdir "$WORK/victim"
check() {
  rm -rf "$DIR"; mkdir "$DIR"
  put data 'no magic'
  TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=$1 TRUEEXT_FAKE_DESC=$2 run_tool "$NDIR"
  expect_stdout "data	$3
"
}

check '../victim/x' 'Escape attempt' 'File type: Escape attempt'
check '..\victim\x' 'Escape attempt' 'File type: Escape attempt'
check '/../../x' 'Absolute' 'File type: Absolute'
check 'x:stream' 'Stream' 'File type: Stream'
check '..' 'Parent' 'File type: Parent'
check '.' 'Self' 'File type: Self'
check $'png\nforged\tline' $'two\nlines\r\ttab' 'File type: two lines  tab'
check $'png\r\nforged' $'two\r\nlines\ttab' 'File type: two  lines tab'
expect_names data
expect_eq "$(ls -A "$WORK/victim")" ''

# A text that fills the whole buffer without a terminator is cut, not
# overrun; a name too long for the file system is not renamed, and the
# line says so.
rm -rf "$DIR"; mkdir "$DIR"
put data 'no magic'
TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_FILL=1 run_tool "$NDIR"
expect_stdout "data	data Rename failed...
"
expect_names data
