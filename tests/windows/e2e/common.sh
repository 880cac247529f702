# Sourced by every Windows end-to-end test. The test copies trueext.exe and
# a stand-in TrIDLib.dll into a folder of their own, runs the program under
# wine on a fresh folder and compares its whole output byte for byte; lines
# end in CR LF, as the Windows runtime writes them in text mode.
set -euo pipefail

: "${TOOL:?TOOL must name the built trueext.exe}"
: "${STAND_IN_DIR:?STAND_IN_DIR must name the folder of the stand-in TrIDLib.dll}"
: "${WINEPREFIX:?WINEPREFIX must name the prepared wine prefix}"
export WINEPREFIX
export WINEDEBUG=-all
# A crash ends the program at once, without a debugger's report.
export WINEDLLOVERRIDES="winedbg.exe=d"
WINE=${WINE:-wine}

trap 'echo "FAILED at ${BASH_SOURCE[0]}:${LINENO}: $BASH_COMMAND" >&2' ERR

WORK=$(mktemp -d "${TMPDIR:-/tmp}/trueext-win.XXXXXX")
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

# The program and the library side by side, as a user installs them; the
# tests run from $WORK, which holds no library.
BIN="$WORK/bin"
mkdir "$BIN"
cp "$TOOL" "$BIN/trueext.exe"
cp "$STAND_IN_DIR/TrIDLib.dll" "$BIN/"
DIR="$WORK/dir"
mkdir "$DIR"
cd "$WORK"

# By default the stand-in library answers "no result", so a file that no
# built-in row takes ends its line with "0 matches".
export TRUEEXT_FAKE_COUNT=0

skip() { echo "skipped: $*"; exit 77; }
not() { if "$@"; then return 1; else return 0; fi; }

# winpath PATH: the Windows name of a Linux path (wine maps drive Z: to /).
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
WDIR=$(winpath "$DIR")
WBIN=$(winpath "$BIN")

# put NAME BYTES: writes BYTES (printf format) into $DIR/NAME.
put() { printf "$2" > "$DIR/$1"; }

# attrib FLAG NAME...: sets or clears a file attribute (+h, +r, ...) of
# entries of $DIR with the system's own attrib command.
attrib() {
  local flag=$1 name
  shift
  for name in "$@"; do
    "$WINE" attrib "$flag" "$WDIR\\$name" > /dev/null
  done
}

# run_tool ARGS...: runs bin/trueext.exe with standard input empty; sets
# OUT, ERR and STATUS.
run_tool() {
  STATUS=0
  "$WINE" "$BIN/trueext.exe" "$@" < /dev/null > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  OUT=$(cat "$WORK/out"; echo x); OUT=${OUT%x}
  ERR=$(cat "$WORK/err")
}

# crlf LINE...: the lines, each ended with CR LF, in $WANT.
crlf() {
  WANT=""
  local line
  for line in "$@"; do
    WANT+="$line"$'\r\n'
  done
}

show() { printf '%s' "$1" | od -c | head -40 >&2; }

# expect_stdout LINE...: the last run's whole stdout is these lines, in
# this order, each ended with CR LF.
expect_stdout() {
  crlf "$@"
  if [[ "$OUT" != "$WANT" ]]; then
    echo "stdout differs; want:" >&2; show "$WANT"
    echo "got:" >&2; show "$OUT"
    return 1
  fi
}

# expect_lines LINE...: like expect_stdout, in any order: the folder's
# enumeration order is the file system's.
expect_lines() {
  crlf "$@"
  local want got
  want=$(printf '%s' "$WANT" | LC_ALL=C sort | od -c)
  got=$(printf '%s' "$OUT" | LC_ALL=C sort | od -c)
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

# log_lines FILE: the stand-in's call log, written in text mode, without
# its carriage returns.
log_lines() { tr -d '\r' < "$1"; }
