# Links are never followed and a FIFO never blocks the scan. (Not on
# Windows: wine shows a Linux symbolic link as a plain file, not as the
# reparse point a Windows link is.)
source "$(dirname "$0")/common.sh"
only_on linux

mkdir "$WORK/outside"
printf '%%PDF-1.4' > "$WORK/outside/target"
ln -s "$WORK/outside/target" "$DIR/link"
ln -s "$WORK/outside" "$DIR/dirlink"
ln -s "$WORK/nowhere" "$DIR/dangling"
mkfifo "$DIR/fifo"
put real '%%PDF-1.4'

STATUS=0
timeout 20 "$BIN/trueext" "$DIR" < /dev/null > "$WORK/out" || STATUS=$?
expect_eq "$STATUS" 0
expect_eq "$(cat "$WORK/out")" 'real	real.pdf'
expect_names link dirlink dangling fifo real.pdf
expect_eq "$(ls "$WORK/outside")" target
