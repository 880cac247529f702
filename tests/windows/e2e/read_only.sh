# A file with the read-only attribute is reported and left alone, even when
# its header matches a row, and whoever runs the tool.
source "$(dirname "$0")/common.sh"

put locked '%%PDF-1.4'
put open '%%PDF-1.4'
put nomatch 'plain words'
attrib +r locked nomatch

run_tool "$WDIR"
expect_lines 'locked	locked Open failed...' 'nomatch	nomatch Open failed...' 'open	open.pdf'
expect_names locked nomatch open.pdf

# Without the attribute the same file is renamed.
rm "$DIR/open.pdf"
attrib -r locked
run_tool "$WDIR"
expect_lines 'locked	locked.pdf' 'nomatch	nomatch Open failed...'
