# A file that cannot be opened for writing (no write bit on Linux, root
# included; the read-only attribute on Windows) is reported and left alone,
# even when its header matches a row.
source "$(dirname "$0")/common.sh"

put locked '%%PDF-1.4'
put open '%%PDF-1.4'
put nomatch 'plain words'
make_read_only locked nomatch

run_tool "$NDIR"
expect_lines 'locked	locked Open failed...
nomatch	nomatch Open failed...
open	open.pdf
'
expect_names locked nomatch open.pdf

# Writable again, the same file is renamed.
rm "$DIR/open.pdf"
make_writable locked
run_tool "$NDIR"
expect_lines 'locked	locked.pdf
nomatch	nomatch Open failed...
'

# An immutable file (Linux, root only) refuses to be opened for writing at
# all: it is reported like a read-only one, and the scan goes on.
if [[ $PLATFORM == linux && $(id -u) -eq 0 ]] && : > "$DIR/probe" && chattr +i "$DIR/probe" 2>/dev/null; then
  chattr -i "$DIR/probe"
  rm -f "$DIR"/*
  put frozen '%%PDF-1.4'
  put open '%%PDF-1.4'
  chattr +i "$DIR/frozen"
  SECONDS=0
  run_tool "$NDIR"
  chattr -i "$DIR/frozen"
  ((SECONDS < 10)) || { echo "took ${SECONDS}s" >&2; exit 1; }
  expect_lines 'frozen	frozen Open failed...
open	open.pdf
'
fi
