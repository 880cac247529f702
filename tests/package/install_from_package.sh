#!/usr/bin/env bash
# Builds the Debian package with scripts/package, installs it with dpkg,
# runs trueext from PATH on a folder of sample files, reads its manual page,
# removes the package and checks that none of its files is left. Needs root,
# as it installs into this machine: skipped otherwise, and skipped when a
# trueext package is installed already, which it leaves alone.
# Prints one closing line; exit status 0 passed, 77 skipped, 1 failed.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/trueext-package.XXXXXX")
INSTALLED=0

finish() {
  local status=$?
  if ((INSTALLED)); then
    dpkg_run -r trueext || status=1
  fi
  case $status in
    0) echo "package test: passed"; rm -rf "$WORK" ;;
    77) rm -rf "$WORK" ;;
    *) echo "package test: FAILED (kept $WORK)" ;;
  esac
  exit "$status"
}
trap finish EXIT
trap 'echo "FAILED at ${BASH_SOURCE[0]}:${LINENO}: $BASH_COMMAND" >&2' ERR

skip() { echo "package test: skipped ($*)"; exit 77; }
fail() { echo "$*" >&2; exit 1; }
expect_eq() { [[ "$1" == "$2" ]] || fail "want [$2], got [$1]"; }

# dpkg ARGS, waiting while another package run holds dpkg's lock.
dpkg_run() {
  local tries
  for ((tries = 0; tries < 180; tries++)); do
    if dpkg "$@" > "$WORK/dpkg.log" 2>&1; then
      return 0
    fi
    grep -qi 'lock' "$WORK/dpkg.log" || { cat "$WORK/dpkg.log" >&2; return 1; }
    sleep 5
  done
  cat "$WORK/dpkg.log" >&2
  return 1
}

[[ $(id -u) -eq 0 ]] || skip "not root: it installs the package into this machine"
if [[ $(dpkg-query -W -f='${Status}' trueext 2>/dev/null) == *" installed" ]]; then
  skip "a trueext package is installed here already; left alone"
fi

"$ROOT/scripts/package" > "$WORK/package.log" 2>&1 || { cat "$WORK/package.log" >&2; exit 1; }
deb=$(tail -n 1 "$WORK/package.log")
grep '^[EW]: ' "$WORK/package.log" >&2 || true   # lintian's words, for a person to read

# Depends: what the binaries link, found by dpkg-shlibdeps, and the two
# databases read as files.
depends=$(dpkg-deb -f "$deb" Depends)
for want in libc6 libstdc++6 libmagic1 libmagic-mgc shared-mime-info; do
  [[ ", $depends," == *", $want "* || ", $depends," == *", $want,"* ]] ||
    fail "Depends lacks $want: $depends"
done

dpkg_run -i "$deb"
INSTALLED=1
dpkg -L trueext | sort > "$WORK/files"

# The installed command, from PATH (the system's folders only, so that a
# build installed under /usr/local cannot stand in for it).
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
expect_eq "$(command -v trueext)" /usr/bin/trueext

dir="$WORK/samples"
mkdir "$dir"
printf '%%PDF-1.4\n' > "$dir/report"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\10\2\0\0\0\x90wS\xde' > "$dir/picture"
printf '%%PDF-1.4\n' > "$dir/locked"
# No write bit: the tool leaves the file alone even when run by root.
chmod a-w "$dir/locked"

(cd "$WORK" && trueext "$dir") < /dev/null > "$WORK/out" 2> "$WORK/err"
expect_eq "$(LC_ALL=C sort "$WORK/out")" "$(printf '%s\n' \
  $'locked\tlocked Open failed...' \
  $'picture\tpicture.png[B]' \
  $'report\treport.pdf')"
expect_eq "$(cat "$WORK/err")" ''
expect_eq "$(ls "$dir" | tr '\n' ' ')" 'locked picture.png report.pdf '

# The manual page is found by name and renders without a warning.
expect_eq "$(man -w trueext)" /usr/share/man/man1/trueext.1.gz
MANWIDTH=80 man --warnings -P cat trueext > "$WORK/man" 2> "$WORK/man.err"
[[ ! -s "$WORK/man.err" ]] || fail "man: $(cat "$WORK/man.err")"
grep -q 'TRUEEXT_ANALYZE_TIMEOUT' "$WORK/man"

dpkg_run -r trueext
INSTALLED=0
[[ -z $(dpkg-query -W -f='${Status}' trueext 2>/dev/null | grep -v not-installed) ]] ||
  fail "dpkg still knows trueext: $(dpkg-query -W -f='${Status}' trueext)"
# Every file of the package is gone, and so are its own folders; the
# folders it shares with other packages stay.
while read -r path; do
  if [[ -L $path || -f $path ]]; then
    fail "left behind: $path"
  fi
done < "$WORK/files"
for folder in /usr/lib/trueext /usr/share/doc/trueext; do
  [[ ! -e $folder ]] || fail "left behind: $folder"
done
