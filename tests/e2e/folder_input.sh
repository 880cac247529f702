# The folder comes from the first argument or the prompt; a folder that
# cannot be read, an empty name or an over-long one is "No files are found."
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
NONE='No files are found.

'

run_tool "$WORK/missing"
expect_stdout "$NONE"
expect_eq "$STATUS" 0

run_tool "$DIR/doc"            # a file, not a folder
expect_stdout "$NONE"

run_tool ""                    # must not scan the root
expect_stdout "$NONE"

run_tool "$(printf 'a%.0s' {1..70000})"
expect_stdout "$NONE"

# Only the first argument counts.
run_tool "$DIR" "$WORK/missing" extra
expect_stdout 'doc	doc.pdf
'

# The prompt reads one word; standard input ending before a word is refused.
rm "$DIR"/*
put doc2 '%%PDF-1.4'
OUT=$(printf '  %s  trailing words\n' "$DIR" | "$TOOL"; echo x); OUT=${OUT%x}
expect_stdout 'please drag a folder on it: doc2	doc2.pdf
'
OUT=$("$TOOL" < /dev/null; echo x); OUT=${OUT%x}
expect_stdout "please drag a folder on it: $NONE"
OUT=$(printf '   \n\t' | "$TOOL"; echo x); OUT=${OUT%x}
expect_stdout "please drag a folder on it: $NONE"

# A trailing separator is kept as given: paths read "dir//name".
rm "$DIR"/*
put doc3 '%%PDF-1.4'
run_tool "$DIR/"
expect_stdout 'doc3	doc3.pdf
'
