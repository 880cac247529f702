# With its own identification library, a name that ends in any extension
# the shared MIME database lists for the file's type is kept, as is one in
# another usual spelling of the library's extension; a second run renames
# nothing.
source "$(dirname "$0")/common.sh"
use_real_library
[[ -e /usr/share/mime/globs2 ]] || skip "no shared MIME database"

python3 - "$DIR" <<'PY'
import bz2, io, sqlite3, sys, tarfile
d = sys.argv[1]
packed = bz2.compress(b"hello " * 100)
for name in ("old.bz", "new.BZ2", "plain"):
    open(f"{d}/{name}", "wb").write(packed)
with tarfile.open(f"{d}/pack.gtar", "w") as tar:
    info = tarfile.TarInfo("a.txt")
    info.size = 100
    tar.addfile(info, io.BytesIO(b"x" * 100))
db = sqlite3.connect(f"{d}/store.sqlite3")
db.execute("create table t(a)")
db.commit()
db.close()
PY

run_tool "$DIR"
# "plain" gets whichever of the type's extensions the library prefers.
named=$(cd "$DIR" && echo plain.*)
[[ $named == plain.bz || $named == plain.bz2 ]]
expect_lines "old.bz	old.bz[B]
new.BZ2	new.BZ2[B]
plain	$named[B]
pack.gtar	pack.gtar[B]
store.sqlite3	store.sqlite3[B]
"
names=(old.bz new.BZ2 "$named" pack.gtar store.sqlite3)
expect_names "${names[@]}"

run_tool "$DIR"
expect_lines "old.bz	old.bz[B]
new.BZ2	new.BZ2[B]
$named	$named[B]
pack.gtar	pack.gtar[B]
store.sqlite3	store.sqlite3[B]
"
expect_names "${names[@]}"
