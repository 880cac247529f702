# The Linux build: the program runs natively and finds the stand-in
# libtrueext-ident.so beside it through its RUNPATH ($ORIGIN).
: "${STAND_IN_DIR:?STAND_IN_DIR must name the folder of the stand-in library}"
: "${STAND_IN_MISSING_DIR:?STAND_IN_MISSING_DIR must name the incomplete stand-in}"

PROGRAM_NAME=trueext
LIBRARY_NAME=libtrueext-ident.so
EOL=$'\n'
SEP=/

PROGRAM_COMMAND=("$BIN/trueext")
trueext() { "${PROGRAM_COMMAND[@]}" "$@"; }
native_path() { printf '%s' "$1"; }

# A name that starts with a dot is hidden.
hidden_name() { printf '.%s' "$1"; }
make_hidden() { :; }

# A mode without write bits, which the program honours even for root.
make_read_only() {
  local name
  for name in "$@"; do
    chmod a-w "$DIR/$name"
  done
}
make_writable() {
  local name
  for name in "$@"; do
    chmod u+w "$DIR/$name"
  done
}
