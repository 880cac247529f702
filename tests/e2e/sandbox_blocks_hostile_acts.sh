# A file that takes over the analysis can do nothing but answer: each act an
# exploit would try (read another file, create, write, unlink, exec, connect,
# fork, allocate past the memory bound) fails or kills the worker, that file's line is
# "analyze:(", the other files are still named, and nothing on disk changes.
source "$(dirname "$0")/common.sh"
use_real_library

# Files outside the scanned folder that the acts aim at.
KEEP="$WORK/keep"
mkdir "$KEEP"
printf 'precious\n' > "$KEEP/precious"
printf 'doomed\n' > "$KEEP/doomed"
SOCKET="$WORK/listen.sock"
# The listener leaves when this script does, whichever way it ends.
python3 - "$SOCKET" "$$" <<'PY' &
import os, socket, sys, time
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
s.bind(sys.argv[1])
s.listen(16)
while os.getppid() == int(sys.argv[2]):
    time.sleep(0.1)
PY
for _ in $(seq 100); do [[ -S $SOCKET ]] && break; sleep 0.05; done
[[ -S $SOCKET ]]

put read "TRUEEXT-TEST-READ $KEEP/precious\n"
put create "TRUEEXT-TEST-CREATE $DIR/created\n"
put write "TRUEEXT-TEST-WRITE $KEEP/precious\n"
put unlink "TRUEEXT-TEST-UNLINK $KEEP/doomed\n"
put exec "TRUEEXT-TEST-EXEC $KEEP/executed\n"
put connect "TRUEEXT-TEST-CONNECT $SOCKET\n"
put fork 'TRUEEXT-TEST-FORK\n'
put alloc 'TRUEEXT-TEST-ALLOC 4096\n'
put letter 'A few plain words of English prose for the reader, nothing more.\n'
put picture '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\0\0\0\0:~\x9bU\0\0\0\nIDATx\x9cc`\0\0\0\x02\0\x01H\xaf\xa4q\0\0\0\0IEND\xaeB`\x82'
# Every file with its size and time, the two expected renames undone.
snapshot() {
  cd "$WORK"
  find keep dir -mindepth 1 -printf '%p %s %T@\n' | sed 's/\.txt / /; s/\.png / /' | LC_ALL=C sort
  cat keep/*
}
before=$(snapshot)

preloadable "$BUILD_DIR/fakes/libhostile_magic.so"
export LD_PRELOAD=$PRELOADED
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
TRUEEXT_ANALYZE_MEMORY=256 run_tool "$DIR"
unset LD_PRELOAD
[[ $ERR != *"without its sandbox"* ]] || skip "this kernel refuses the sandbox: $ERR"
expect_eq "$STATUS" 0
expect_eq "$ERR" ""
expect_lines 'read	analyze:(
create	analyze:(
write	analyze:(
unlink	analyze:(
exec	analyze:(
connect	analyze:(
fork	analyze:(
alloc	analyze:(
letter	letter.txt[B]
picture	picture.png[B]
'
# Nothing was created, changed or removed: only the two renames happened.
expect_eq "$(snapshot)" "$before"
