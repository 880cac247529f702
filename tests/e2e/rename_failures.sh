# A rename that fails is reported as failed, "name<TAB>name Rename
# failed...", and leaves the folder as it was, whether a built-in row or the
# library named the file: a folder that takes no new names, and a file that
# another program removed or replaced between the tool's look at it and the
# rename. (A new name that is taken: existing_target.sh.)
source "$(dirname "$0")/common.sh"

# Mode bits do not stop root, so root makes the folder immutable, which
# stops everyone; wine renames through the same Linux calls.
lock_folder() {
  chmod a-w "$DIR"
  if ( : > "$DIR/probe" ) 2>/dev/null; then
    rm -f "$DIR/probe"
    chmod u+w "$DIR"
    chattr +i "$DIR" 2>/dev/null
  fi
}
unlock_folder() {
  chattr -i "$DIR" 2>/dev/null || true
  chmod u+w "$DIR"
}

# check HOW SOURCE: one file named by SOURCE (builtin: a PDF header; library:
# no magic, the stand-in answers "png"), its rename made to fail by HOW.
# Checks the line, the folder's names and the file's content.
check() {
  local how=$1 source=$2 content want_names
  rm -rf "$DIR"; mkdir "$DIR"
  case $source in
    builtin) content='%PDF-1.4 mine' ;;
    library) content='no magic here' ;;
  esac
  printf '%s' "$content" > "$DIR/f"
  want_names=(f)
  local swap=
  case $how in
    locked_folder) lock_folder ;;
    removed) swap=remove; want_names=() ;;
    replaced) swap=replace; content='a newcomer' ;;
  esac
  TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png TRUEEXT_FAKE_SWAP=$swap run_tool "$NDIR"
  [[ $how != locked_folder ]] || unlock_folder
  expect_stdout 'f	f Rename failed...
'
  expect_names "${want_names[@]}"
  [[ ${#want_names[@]} -eq 0 ]] || expect_eq "$(cat "$DIR/f")" "$content"
}

# True when lock_folder works here.
folder_locks() {
  local status=0
  lock_folder
  ( : > "$DIR/probe" ) 2>/dev/null || status=$?
  rm -f "$DIR/probe" 2>/dev/null || true
  unlock_folder
  [[ $status -ne 0 ]]
}

if folder_locks; then
  check locked_folder builtin
  check locked_folder library
else
  echo "note: no way to make a folder unwritable here; that case is left out"
fi
# Only the library runs between the look at a file and its rename.
check removed library
check replaced library
