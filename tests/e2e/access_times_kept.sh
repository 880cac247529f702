# Examining a folder leaves each file's access time as it was, whether the
# file is told by a built-in row, by the library from its first bytes, or by
# the library's worker; only the renames change the folder.
source "$(dirname "$0")/common.sh"
use_real_library
[[ $(id -u) -eq 0 ]] || skip "the files are not ours to keep the times of: run as root"

put report '%%PDF-1.4\n%%\342\343\317\323\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%%%EOF\n'
put picture '\377\330\377\340\000\020JFIF\000\001\001\000\000\001\000\001\000\000\377\331'
put notes 'Some plain words.\nNothing more, and nothing that looks like code.\n'
names=(report picture notes)
# Older than the files' change times, so that any read would move them on
# (relatime, the common mount option, updates such a time).
for name in "${names[@]}"; do
  touch -a -d '2001-02-03 04:05:06' "$DIR/$name"
done
before=$(cd "$DIR" && stat -c '%X' "${names[@]}")

run_tool "$DIR"
[[ $STATUS -eq 0 ]]
after=$(cd "$DIR" && stat -c '%X' report.pdf picture.jpg notes.txt)
[[ $before == "$after" ]] || { echo "access times moved: $before -> $after" >&2; exit 1; }

# Another's files cannot be read without touching their times: they are
# opened as usual, examined and renamed all the same.
rm -f "$DIR"/*
as_user nobody
put report '%%PDF-1.4\n'
put picture '\377\330\377\340\000\020JFIF\000\001\001\000\000\001\000\001\000\000\377\331'
put notes 'Some plain words.\nNothing more, and nothing that looks like code.\n'
chmod 666 "$DIR"/*
run_tool "$NDIR"
expect_eq "$STATUS" 0
expect_lines 'report	report.pdf
picture	picture.jpg[B]
notes	notes.txt[B]
'
