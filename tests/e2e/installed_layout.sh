# Installed under a prefix, the tool, its library and definitions sit
# together in lib/trueext and bin/trueext is a relative link to the tool.
# Started through that link, from any directory and by any route, the tool
# uses the library and definitions of its installation, never a library or
# definitions file planted in the current directory or in the folder it
# renames.
source "$(dirname "$0")/common.sh"
needs_real_library

STAGE="$WORK/stage"
DESTDIR="$STAGE" cmake --install "$BUILD_DIR" --prefix /usr > /dev/null
PRIVATE="$STAGE/usr/lib/trueext"
expect_eq "$(readlink "$STAGE/usr/bin/trueext")" ../lib/trueext/trueext
expect_eq "$(ls "$STAGE/usr/bin")" trueext
expect_eq "$(ls "$PRIVATE" | tr '\n' ' ')" 'libtrueext-ident.so trueext trueext-common.magic trueext-common.mgc trueext-text.model trueext.magic trueext.mgc '
[[ -x "$PRIVATE/trueext" ]]
expect_eq "$(ls "$STAGE/usr/share/doc/trueext" | tr '\n' ' ')" 'changelog.gz copyright '
gzip -t "$STAGE/usr/share/man/man1/trueext.1.gz"

# The plants: the stand-in library, which would name every file ".planted",
# and definitions that would name a PNG image ".planted" too. Those in the
# folder are read-only, so they stay there through every run.
PLANTS="$WORK/plants"
mkdir "$PLANTS"
plant() {
  cp "$STAND_IN_DIR/libtrueext-ident.so" "$1/"
  printf '0\tstring\t\\x89PNG\tplanted image\n!:ext\tplanted\n' > "$1/trueext.magic"
}
plant "$PLANTS"
export TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=planted TRUEEXT_FAKE_LOG="$WORK/stand-in.log"

fill_folder() {
  rm -rf "$DIR"
  mkdir "$DIR"
  plant "$DIR"
  make_read_only libtrueext-ident.so trueext.magic
  put doc '%%PDF-1.4'
  printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\10\2\0\0\0\x90wS\xde' > "$DIR/picture"
}
WANT='doc	doc.pdf
libtrueext-ident.so	libtrueext-ident.so Open failed...
picture	picture.png[B]
trueext.magic	trueext.magic Open failed...
'

# Another user's link to the installed link, as a personal bin folder has.
mkdir "$WORK/mybin"
ln -s "$STAGE/usr/bin/trueext" "$WORK/mybin/te"

# route: the directory to start in, then the command and its arguments.
while IFS='|' read -r route start command; do
  fill_folder
  eval "command=($command)"
  STATUS=0
  (cd "$start" && "${command[@]}") < /dev/null > "$WORK/out" 2> "$WORK/err" || STATUS=$?
  OUT=$(cat "$WORK/out"; echo x); OUT=${OUT%x}
  if ! expect_eq "$STATUS" 0 || ! expect_lines "$WANT" || ! expect_eq "$(cat "$WORK/err")" ''; then
    echo "route: $route" >&2
    false
  fi
  expect_names doc.pdf libtrueext-ident.so picture.png trueext.magic
done <<CASES
link by its full path, from a folder of plants|$PLANTS|"$STAGE/usr/bin/trueext" "$DIR"
link found through PATH, inside the folder|$DIR|env PATH="$STAGE/usr/bin:$PATH" trueext .
link by a relative path|$STAGE/usr|bin/trueext "$DIR"
link to the link|$PLANTS|"$WORK/mybin/te" "$DIR"
empty LD_LIBRARY_PATH entry, from a folder of plants|$PLANTS|env LD_LIBRARY_PATH=":$PLANTS" "$STAGE/usr/bin/trueext" "$DIR"
empty LD_LIBRARY_PATH entry, inside the folder|$DIR|env LD_LIBRARY_PATH=":" "$STAGE/usr/bin/trueext" .
CASES

# No planted library was ever loaded.
[[ ! -e "$WORK/stand-in.log" ]]
