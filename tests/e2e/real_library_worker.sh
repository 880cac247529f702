# A file that crashes or hangs the analysis costs only its own line: the
# worker is replaced and the scan goes on.
source "$(dirname "$0")/common.sh"
use_real_library

put crash1 'TRUEEXT-TEST-CRASH one'
put crash2 'TRUEEXT-TEST-CRASH two'
put stall 'TRUEEXT-TEST-STALL'
put letter 'A few plain words of English prose for the reader, nothing more.\n'

preloadable "$BUILD_DIR/fakes/libhostile_magic.so"
export LD_PRELOAD=$PRELOADED
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
SECONDS=0
TRUEEXT_ANALYZE_TIMEOUT=1 run_tool "$DIR"
unset LD_PRELOAD
expect_eq "$STATUS" 0
expect_lines 'crash1	analyze:(
crash2	analyze:(
stall	analyze:(
letter	letter.txt[B]
'
((SECONDS < 30)) || { echo "took ${SECONDS}s" >&2; exit 1; }
# No worker is left behind.
sleep 0.2
not pgrep -f "$TOOL $DIR" > /dev/null
