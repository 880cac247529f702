# Where the system grants no further thread (a limit on processes), the
# renames of a large folder are done in place: every file still gets its
# rename and its line, and the run ends normally.
source "$(dirname "$0")/common.sh"
only_on linux
command -v prlimit > /dev/null || skip "prlimit missing"
[[ $(nproc) -ge 2 ]] || skip "one processor: the renames are done in place anyway"

for ((i = 0; i < 100; i++)); do
  put "p$i" '%%PDF-1.4 built-in row'
  put "d$i" 'for the library'
done
# The user the program runs as owns the folder; one process is all it may
# have, so a second thread cannot be started.
as_user nobody prlimit --nproc=1
# A sanitizer build's leak check needs a process of its own at exit, which
# the limit forbids; it is left out here.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png run_tool "$NDIR"
expect_eq "$STATUS" 0
expect_eq "$ERR" ''
want=$(for ((i = 0; i < 100; i++)); do printf 'p%d\tp%d.pdf\nd%d\td%d.png[B]\n' "$i" "$i" "$i" "$i"; done)
expect_lines "$want"$'\n'
expect_eq "$(ls "$DIR" | grep -c '\.pdf$')" 100
expect_eq "$(ls "$DIR" | grep -c '\.png$')" 100
