# The folder comes from the first argument or the prompt; a folder that
# cannot be listed, an empty name or an over-long one is "No files are
# found." followed by an empty line.
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
NONE=('No files are found.' '')

run_tool "$WDIR\\missing"
expect_stdout "${NONE[@]}"
expect_eq "$STATUS" 0

run_tool "$WDIR\\doc"          # a file, not a folder
expect_stdout "${NONE[@]}"

run_tool ""                    # must not scan the root of the drive
expect_stdout "${NONE[@]}"

# Only the first argument counts.
run_tool "$WDIR" "$WDIR\\missing" extra
expect_stdout 'doc	doc.pdf'

# prompt INPUT: runs the tool with INPUT on standard input and no argument.
prompt() {
  OUT=$(printf '%s' "$1" | "$WINE" "$BIN/trueext.exe"; echo x); OUT=${OUT%x}
}
PROMPT='please drag a folder on it: '

# The prompt reads one word; standard input ending before a word, or a word
# longer than any path, is refused.
rm "$DIR"/*
put doc2 '%%PDF-1.4'
prompt "  $WDIR  trailing words"$'\r\n'
expect_stdout "${PROMPT}doc2	doc2.pdf"
prompt ''
expect_stdout "${PROMPT}${NONE[0]}" ''
prompt $'   \r\n\t'
expect_stdout "${PROMPT}${NONE[0]}" ''
prompt "$(printf 'a%.0s' {1..70000})"
expect_stdout "${PROMPT}${NONE[0]}" ''

# A trailing backslash is kept as given: paths read "dir\\name", which the
# system accepts.
rm "$DIR"/*
put doc3 '%%PDF-1.4'
run_tool "$WDIR\\"
expect_stdout 'doc3	doc3.pdf'
expect_names doc3.pdf
