# Sourced by every end-to-end test. The test runs the built tool ($TOOL) on
# a fresh temporary folder and compares its whole output byte for byte.
set -euo pipefail

: "${TOOL:?TOOL must name the built trueext}"
: "${FAKE_DIR:?FAKE_DIR must name the folder of the stand-in library}"

trap 'echo "FAILED at ${BASH_SOURCE[0]}:${LINENO}: $BASH_COMMAND" >&2' ERR

WORK=$(mktemp -d "${TMPDIR:-/tmp}/trueext-e2e.XXXXXX")
cleanup() {
  local status=$?
  if [[ $status -eq 0 || $status -eq 77 ]]; then
    chmod -R u+w "$WORK" 2>/dev/null || true
    rm -rf "$WORK"
  else
    echo "kept test folder $WORK" >&2
  fi
}
trap cleanup EXIT
DIR="$WORK/dir"
mkdir "$DIR"

# By default the stand-in library answers "no result", so a file that no
# built-in row takes ends its line with "0 matches".
export LD_LIBRARY_PATH="$FAKE_DIR"
export TRUEEXT_FAKE_COUNT=0

skip() { echo "skipped: $*"; exit 77; }
not() { if "$@"; then return 1; else return 0; fi; }

# put NAME BYTES: writes BYTES (printf format) into $DIR/NAME.
put() { printf "$2" > "$DIR/$1"; }

# run_tool ARGS...: runs the tool with stdin closed off; sets OUT, ERR, STATUS.
run_tool() {
  STATUS=0
  "$TOOL" "$@" < /dev/null > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  OUT=$(cat "$WORK/out"; echo x); OUT=${OUT%x}
  ERR=$(cat "$WORK/err")
}

# expect_stdout WANT: the last run's whole stdout must be WANT.
expect_stdout() {
  if [[ "$OUT" != "$1" ]]; then
    echo "stdout differs; want:" >&2
    printf '%s' "$1" | od -c | head -40 >&2
    echo "got:" >&2
    printf '%s' "$OUT" | od -c | head -40 >&2
    return 1
  fi
}

# expect_lines WANT: like expect_stdout, for output whose line order is the
# folder's enumeration order, which the file system chooses.
expect_lines() {
  local want got
  want=$(printf '%s' "$1" | LC_ALL=C sort)
  got=$(printf '%s' "$OUT" | LC_ALL=C sort)
  if [[ "$want" != "$got" ]]; then
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") >&2 || true
    return 1
  fi
}

# expect_names NAME...: the folder holds exactly these names.
expect_names() {
  local want got
  want=$(printf '%s\n' "$@" | LC_ALL=C sort)
  got=$(ls -A "$DIR" | LC_ALL=C sort)
  if [[ "$want" != "$got" ]]; then
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") >&2 || true
    return 1
  fi
}

expect_eq() {
  if [[ "$1" != "$2" ]]; then
    echo "want [$2], got [$1]" >&2
    return 1
  fi
}
