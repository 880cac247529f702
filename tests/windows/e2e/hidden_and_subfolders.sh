# Entries with the hidden attribute and subfolders, hidden or not, give no
# line and are never touched; the files inside a subfolder are not scanned.
# (Links are not tested here: wine shows a Linux symbolic link as a plain
# file, not as the reparse point a Windows link is.)
source "$(dirname "$0")/common.sh"

put hidden '%%PDF-1.4'
mkdir "$DIR/sub" "$DIR/hiddensub"
printf '%%PDF' > "$DIR/sub/inner"
printf '%%PDF' > "$DIR/hiddensub/inner"
put visible '%%PDF-1.4'
attrib +h hidden hiddensub

run_tool "$WDIR"
expect_stdout 'visible	visible.pdf'
expect_names hidden hiddensub sub visible.pdf
expect_eq "$(ls "$DIR/sub")" inner
expect_eq "$(ls "$DIR/hiddensub")" inner
