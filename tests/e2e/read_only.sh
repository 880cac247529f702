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
