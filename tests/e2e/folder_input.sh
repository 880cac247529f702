# The folder comes from the first argument or the prompt; a folder that
# cannot be listed, an empty name or an over-long one is "No files are
# found." followed by an empty line.
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
NONE='No files are found.

'
LONG=$(printf 'a%.0s' {1..70000})

run_tool "$NDIR${SEP}missing"
expect_stdout "$NONE"
expect_eq "$STATUS" 0

run_tool "$NDIR${SEP}doc"      # a file, not a folder
expect_stdout "$NONE"

run_tool ""                    # must not scan the root
expect_stdout "$NONE"

# (A Windows command line cannot carry an argument this long: there only
# the prompt can.)
if [[ $PLATFORM != windows ]]; then
  run_tool "$LONG"
  expect_stdout "$NONE"
fi

# Only the first argument counts.
run_tool "$NDIR" "$NDIR${SEP}missing" extra
expect_stdout 'doc	doc.pdf
'

# The prompt reads one word; standard input ending before a word, or a word
# longer than any path, is refused. Where the folder's path holds a space
# (a TMPDIR so named), the word names it from the current folder.
rm "$DIR"/*
put doc2 '%%PDF-1.4'
PROMPT='please drag a folder on it: '
word=$NDIR
[[ $word != *[[:space:]]* ]] || word=$(basename "$DIR")
prompt "  $word  trailing words$EOL"
expect_stdout "${PROMPT}doc2	doc2.pdf
"
run_tool                       # standard input is empty
expect_stdout "$PROMPT$NONE"
prompt ''
expect_stdout "$PROMPT$NONE"
prompt "   $EOL"$'\t'
expect_stdout "$PROMPT$NONE"
prompt "$LONG"
expect_stdout "$PROMPT$NONE"

# A trailing separator is kept as given: paths read "dir//name" (or
# "dir\\name"), which the system accepts.
rm "$DIR"/*
put doc3 '%%PDF-1.4'
run_tool "$NDIR$SEP"
expect_stdout 'doc3	doc3.pdf
'
expect_names doc3.pdf
