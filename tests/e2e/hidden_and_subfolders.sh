# Hidden entries, subfolders and everything but regular files give no line
# and are never touched; the files inside a subfolder are not scanned.
source "$(dirname "$0")/common.sh"

put .hidden '%%PDF-1.4'
mkdir "$DIR/sub" "$DIR/.hiddensub"
printf '%%PDF' > "$DIR/sub/inner"
printf '%%PDF' > "$DIR/.hiddensub/inner"
put visible '%%PDF-1.4'

run_tool "$DIR"
expect_stdout 'visible	visible.pdf
'
expect_names .hidden .hiddensub sub visible.pdf
expect_eq "$(ls "$DIR/sub")" inner
