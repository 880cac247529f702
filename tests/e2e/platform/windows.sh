# The Windows build: trueext.exe runs under wine and loads the stand-in
# TrIDLib.dll beside it; its lines end in CR LF, as the Windows runtime
# writes them in text mode.
: "${STAND_IN_DIR:?STAND_IN_DIR must name the folder of the stand-in TrIDLib.dll}"
: "${STAND_IN_MISSING_DIR:?STAND_IN_MISSING_DIR must name the incomplete stand-in}"
: "${WINEPREFIX:?WINEPREFIX must name the prepared wine prefix}"
export WINEPREFIX
export WINEDEBUG=-all
# A crash ends the program at once, without a debugger's report.
export WINEDLLOVERRIDES="winedbg.exe=d"
WINE=${WINE:-wine}

PROGRAM_NAME=trueext.exe
LIBRARY_NAME=TrIDLib.dll
EOL=$'\r\n'
SEP='\'

PROGRAM_COMMAND=("$WINE" "$BIN/trueext.exe")
trueext() { "${PROGRAM_COMMAND[@]}" "$@"; }

# wine maps drive Z: to the Linux root.
native_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# attrib FLAG NAME...: sets or clears a file attribute (+h, +r, ...) of
# entries of $DIR with the system's own attrib command.
#
# wine's attrib now and then fails on a busy machine (its server slow to
# answer while other tests run wine too): tried again before a test fails.
attrib() {
  local flag=$1 name try
  shift
  for name in "$@"; do
    for try in 1 2 3 4; do
      "$WINE" attrib "$flag" "$(native_path "$DIR/$name")" > /dev/null 2>&1 && break
      ((try < 4)) || return 1
      sleep 1
    done
  done
}

# The hidden attribute hides an entry, whatever its name.
hidden_name() { printf '%s' "$1"; }
make_hidden() { attrib +h "$@"; }
make_read_only() { attrib +r "$@"; }
make_writable() { attrib -r "$@"; }
