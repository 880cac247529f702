# A file that cannot be opened for writing is reported and left alone, even
# when its header matches a row; root included, so a mode with no write bit
# counts as read-only.
source "$(dirname "$0")/common.sh"

put locked '%%PDF-1.4'
put open '%%PDF-1.4'
chmod 0444 "$DIR/locked"

run_tool "$DIR"
expect_lines 'locked	locked Open failed...
open	open.pdf
'
expect_names locked open.pdf
