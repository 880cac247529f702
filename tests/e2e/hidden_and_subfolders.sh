# Hidden entries (a dot name on Linux, the hidden attribute on Windows) and
# subfolders, hidden or not, give no line and are never touched; the files
# inside a subfolder are not scanned.
source "$(dirname "$0")/common.sh"

hidden=$(hidden_name hidden)
hiddensub=$(hidden_name hiddensub)
put "$hidden" '%%PDF-1.4'
mkdir "$DIR/sub" "$DIR/$hiddensub"
printf '%%PDF' > "$DIR/sub/inner"
printf '%%PDF' > "$DIR/$hiddensub/inner"
put visible '%%PDF-1.4'
make_hidden "$hidden" "$hiddensub"

run_tool "$NDIR"
expect_stdout 'visible	visible.pdf
'
expect_names "$hidden" "$hiddensub" sub visible.pdf
expect_eq "$(ls "$DIR/sub")" inner
expect_eq "$(ls "$DIR/$hiddensub")" inner
