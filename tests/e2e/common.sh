# Sourced by every end-to-end test. The test puts the program and a stand-in
# identification library side by side in a folder of their own, runs the
# program on a fresh folder and compares its whole output byte for byte.
#
# The same scripts serve the Linux and the Windows build: $PLATFORM (linux
# or windows) picks a prelude from platform/ that defines what differs:
#   trueext ARGS...        runs the program, natively or under wine
#   PROGRAM_COMMAND        the command that trueext runs, as an array
#   native_path PATH       PATH as the program names it
#   hidden_name NAME       the name a hidden entry NAME must have
#   make_hidden NAME...    hides entries of $DIR so named
#   make_read_only NAME... takes the write permission of entries of $DIR
#   make_writable NAME...  gives it back
#   EOL, SEP               the program's line end and path separator
#   PROGRAM_NAME, LIBRARY_NAME, STAND_IN_DIR, STAND_IN_MISSING_DIR
# Expectations are written with "\n" line ends; on Windows the program's
# lines end in "\r\n", and that is what they are compared with.
set -euo pipefail

: "${PLATFORM:=linux}"   # when a script is run by hand
: "${TOOL:?TOOL must name the built program}"

trap 'echo "FAILED at ${BASH_SOURCE[0]}:${LINENO}: $BASH_COMMAND" >&2' ERR

WORK=$(mktemp -d "${TMPDIR:-/tmp}/trueext-e2e.XXXXXX")
# The folder of copies that another user runs (as_user), and the one of
# libraries to preload (preloadable), when there are.
OTHER=
PRELOADS=
cleanup() {
  local status=$? folder
  for folder in "$WORK" ${OTHER:+"$OTHER"} ${PRELOADS:+"$PRELOADS"}; do
    # A test may have made a folder immutable (root ignores mode bits); a
    # kept folder must still be removable.
    chattr -R -i "$folder" 2>/dev/null || true
    if [[ $status -eq 0 || $status -eq 77 ]]; then
      chmod -R u+w "$folder" 2>/dev/null || true
      rm -rf "$folder"
    else
      echo "kept test folder $folder" >&2
    fi
  done
}
trap cleanup EXIT

skip() { echo "skipped: $*"; exit 77; }
not() { if "$@"; then return 1; else return 0; fi; }
# only_on PLATFORM: skips the test elsewhere.
only_on() { [[ $PLATFORM == "$1" ]] || skip "$1 only"; }

# The program and the library side by side, as a user installs them; the
# tests run from $WORK, which holds no library.
BIN="$WORK/bin"
source "$(dirname "${BASH_SOURCE[0]}")/platform/$PLATFORM.sh"
mkdir "$BIN"
cp "$TOOL" "$BIN/$PROGRAM_NAME"
# The folder to scan, and its name as the program gets it.
DIR="$WORK/dir"
mkdir "$DIR"
NDIR=$(native_path "$DIR")
cd "$WORK"

# needs_real_library: the test is about our own identification library,
# which the Linux build makes; elsewhere, or where it is not built, the
# test skips. The stand-in's settings and the sandbox switch are cleared.
needs_real_library() {
  only_on linux
  [[ -e "$BUILD_DIR/libtrueext-ident.so" ]] || skip "identification library not built"
  unset TRUEEXT_FAKE_COUNT TRUEEXT_SANDBOX
}

# use_real_library: needs_real_library, and runs the build's own program,
# with the library and its definitions beside it.
use_real_library() {
  needs_real_library
  PROGRAM_COMMAND=("$TOOL")
}

# use_library complete|missing|none: the stand-in beside the program, the
# one that lacks an entry point, or no library at all.
use_library() {
  rm -f "$BIN/$LIBRARY_NAME"
  case $1 in
    complete) cp "$STAND_IN_DIR/$LIBRARY_NAME" "$BIN/" ;;
    missing) cp "$STAND_IN_MISSING_DIR/$LIBRARY_NAME" "$BIN/" ;;
    none) ;;
  esac
}
use_library complete

# By default the stand-in library answers "no result", so a file that no
# built-in row takes ends its line with "0 matches".
export TRUEEXT_FAKE_COUNT=0

# as_user USER [COMMAND...]: the rest of the test runs the program as USER
# (through COMMAND, when given, such as a prlimit). USER must reach the
# program, what lies beside it and the folder it scans, whatever the
# permissions of the folders above the checkout or of $TMPDIR: all three are
# copied into a folder of their own below /tmp, which every user can
# traverse, and DIR, NDIR and PROGRAM_COMMAND name the copies from then on.
# The folder to scan, with what it holds so far, belongs to USER. Skips
# unless run as root with setpriv, or when USER cannot reach that folder.
as_user() {
  local user=$1 group program name
  shift
  only_on linux
  [[ $(id -u) -eq 0 ]] || skip "needs root to run the program as $user"
  command -v setpriv > /dev/null || skip "setpriv missing"
  group=$(id -gn "$user" 2> /dev/null) || skip "no user $user here"
  local run_as=(setpriv --reuid="$user" --regid="$group" --clear-groups)
  OTHER=$(mktemp -d /tmp/trueext-as-user.XXXXXX)
  chmod 755 "$OTHER"
  "${run_as[@]}" test -x "$OTHER" || skip "$user cannot reach a folder of /tmp"
  mkdir "$OTHER/bin" "$OTHER/dir"
  # The program with its library and definitions, as the test set them up.
  program=${PROGRAM_COMMAND[${#PROGRAM_COMMAND[@]} - 1]}
  cp "$program" "$OTHER/bin/$PROGRAM_NAME"
  for name in "$LIBRARY_NAME" trueext.magic trueext-common.magic trueext.mgc trueext-common.mgc; do
    if [[ -e "$(dirname "$program")/$name" ]]; then
      cp -p "$(dirname "$program")/$name" "$OTHER/bin/"
    fi
  done
  chmod -R a+rX "$OTHER/bin"
  cp -a "$DIR/." "$OTHER/dir/"
  chown -R "$user" "$OTHER/dir"
  DIR="$OTHER/dir"
  NDIR=$(native_path "$DIR")
  PROGRAM_COMMAND=("${run_as[@]}" "$@" "$OTHER/bin/$PROGRAM_NAME")
}

# preloadable LIBRARY: sets PRELOADED to a path of LIBRARY that LD_PRELOAD
# can name. The loader splits that list at spaces and colons, which the
# checkout's or $TMPDIR's path may hold, so the library is copied into a
# folder of its own below /tmp.
preloadable() {
  [[ -n $PRELOADS ]] || PRELOADS=$(mktemp -d /tmp/trueext-preload.XXXXXX)
  cp "$1" "$PRELOADS/"
  PRELOADED="$PRELOADS/$(basename "$1")"
}

# put NAME BYTES: writes BYTES (printf format) into $DIR/NAME.
put() { printf "$2" > "$DIR/$1"; }

# run_tool ARGS...: runs the program with standard input empty; sets OUT,
# ERR and STATUS.
run_tool() {
  STATUS=0
  trueext "$@" < /dev/null > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  OUT=$(cat "$WORK/out"; echo x); OUT=${OUT%x}
  ERR=$(cat "$WORK/err")
}

# prompt INPUT: runs the program with no argument and INPUT on standard
# input; sets OUT.
prompt() {
  OUT=$(printf '%s' "$1" | trueext; echo x); OUT=${OUT%x}
}

# native TEXT: TEXT with the program's line ends.
native() { printf '%s' "${1//$'\n'/$EOL}"; }

show() { printf '%s' "$1" | od -c | head -40 >&2; }

# expect_stdout WANT: the last run's whole stdout is WANT.
expect_stdout() {
  local want
  want=$(native "$1"; echo x); want=${want%x}
  if [[ "$OUT" != "$want" ]]; then
    echo "stdout differs; want:" >&2; show "$want"
    echo "got:" >&2; show "$OUT"
    return 1
  fi
}

# expect_lines WANT: like expect_stdout, for output whose line order is the
# folder's enumeration order, which the file system chooses.
expect_lines() {
  local want got
  want=$(native "$1" | LC_ALL=C sort | sed -n 'l 0')
  got=$(printf '%s' "$OUT" | LC_ALL=C sort | sed -n 'l 0')
  if [[ "$want" != "$got" ]]; then
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") >&2 || true
    return 1
  fi
}

# line_count: how many lines of the last run's stdout end with the
# program's line end.
line_count() { grep -c "${EOL%$'\n'}\$" "$WORK/out" || true; }

# log_lines FILE: the stand-in's call log without the carriage returns that
# the Windows runtime writes in text mode.
log_lines() { tr -d '\r' < "$1"; }

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
