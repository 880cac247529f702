# A file swapped for something else between the tool's check of it and its
# rename (held there deterministically by a preloaded renameat2) is not
# renamed: whatever took its place keeps its name, nothing outside the
# folder changes, and the line says the rename failed. The same where the
# file system has no RENAME_NOREPLACE and the tool links and unlinks.
source "$(dirname "$0")/common.sh"
only_on linux
[[ -e "$BUILD_DIR/fakes/libswap_before_rename.so" ]] || skip "the swapping preload is not built"
preloadable "$BUILD_DIR/fakes/libswap_before_rename.so"
SWAP=$PRELOADED

OUTSIDE="$WORK/outside"
printf 'not in the folder\n' > "$OUTSIDE"

# swap_case NAME BYTES WITH WANT_LINE: examines NAME holding BYTES, swapped
# for WITH (link:TARGET, file:CONTENT, or nothing) just before its rename.
swap_case() {
  local name=$1 bytes=$2 with=$3 want=$4
  rm -rf "$DIR"
  mkdir "$DIR"
  put "$name" "$bytes"
  STATUS=0
  LD_PRELOAD="$SWAP" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
    TRUEEXT_TEST_SWAP="$name" TRUEEXT_TEST_SWAP_WITH="$with" run_tool "$DIR"
  expect_eq "$STATUS" 0
  expect_stdout "$want"
}

for TRUEEXT_TEST_NO_NOREPLACE in 0 1; do
  export TRUEEXT_TEST_NO_NOREPLACE TRUEEXT_FAKE_COUNT=0
  # Examined and renamed as usual when nothing is swapped.
  swap_case report '%%PDF-1.4\n' '' $'report\treport.pdf\n'
  expect_names report.pdf

  # A link to a file outside the folder takes the examined file's place.
  swap_case report '%%PDF-1.4\n' "link:$OUTSIDE" $'report\treport Rename failed...\n'
  expect_names report
  [[ -L "$DIR/report" && $(readlink "$DIR/report") == "$OUTSIDE" ]]
  expect_eq "$(cat "$OUTSIDE")" 'not in the folder'

  # Another regular file takes its place: it keeps its name and content.
  swap_case report '%%PDF-1.4\n' 'file:another file' $'report\treport Rename failed...\n'
  expect_names report
  [[ -f "$DIR/report" && ! -L "$DIR/report" ]]
  expect_eq "$(cat "$DIR/report")" 'another file'

  # The same for a file the library names.
  export TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png
  swap_case picture 'library bytes' "link:$OUTSIDE" $'picture\tpicture Rename failed...\n'
  expect_names picture
  [[ -L "$DIR/picture" ]]
done
