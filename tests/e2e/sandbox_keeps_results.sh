# The sandbox costs no accuracy: the real library names the same files the
# same way with it and without it. Switching it off is said once on
# standard error; with it on, standard error stays empty.
source "$(dirname "$0")/common.sh"
use_real_library

# The engine tests' kinds, written byte by byte, the format samples, real
# files of this machine of many kinds, an empty file and a large sparse one.
SOURCE="$WORK/source"
mkdir "$SOURCE"
python3 - "$SOURCE" "$(dirname "$0")/../data/formats" <<'PY'
import os, random, struct, sys, zipfile, zlib
d = sys.argv[1]
def put(name, data):
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
def ogg(packet):
    return b"OggS\0\x02" + b"\0" * 22 + packet + b"\x01" * 32
put("png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
    + chunk(b"IDAT", zlib.compress(b"\0\0")) + chunk(b"IEND", b""))
put("jpeg", b"\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
put("vorbis", ogg(b"\x01vorbis"))
put("opus", ogg(b"OpusHead"))
put("bitcode", b"BC\xc0\xde\x35\x14\0\0\x05\0\0\0")
put("eps", b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n")
put("json", b'{"a": [1, 2, 3], "b": {"c": null}}\n')
put("pem", b"-----BEGIN CERTIFICATE-----\nMIIBszCCAVmgAwIBAgIUY29ycHVz\n-----END CERTIFICATE-----\n")
put("afm", b"StartFontMetrics 4.1\nFontName Demo-Regular\nEndFontMetrics\n")
put("prose", b"Just a few words of plain prose.\nAnd a second line.\n")
put("empty", b"")
put("noise", random.Random(7).randbytes(4096))
with zipfile.ZipFile(os.path.join(d, "jar"), "w") as z:
    z.writestr("a/B.class", b"\xca\xfe\xba\xbe")
    z.writestr("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n")
with zipfile.ZipFile(os.path.join(d, "zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(200):
        z.writestr(f"d/f{i}.txt", "x" * i)
with open(os.path.join(d, "sparse"), "wb") as f:
    f.truncate(3 << 30)
# Real encoded files of many formats; some reach deep into libmagic (the
# dates of an Office document, say).
for name in sorted(os.listdir(sys.argv[2])):
    with open(os.path.join(sys.argv[2], name), "rb") as f:
        put("sample-" + name.rsplit(".", 1)[0], f.read())
# Real files: up to 5 of each name suffix under a few shared folders.
seen = {}
n = 0
for root in ["/usr/share/mime", "/usr/share/misc", "/usr/share/doc", "/usr/share/icons",
             "/usr/share/perl", "/usr/share/zoneinfo", "/usr/share/locale", "/usr/lib/x86_64-linux-gnu"]:
    for folder, dirs, names in os.walk(root):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(folder, name)
            kind = name.rsplit(".", 1)[-1] if "." in name else ""
            if seen.get(kind, 0) >= 5 or os.path.islink(path) or not os.path.isfile(path):
                continue
            if os.path.getsize(path) > (4 << 20):
                continue
            seen[kind] = seen.get(kind, 0) + 1
            with open(path, "rb") as f:
                put(f"real{n:04d}", f.read())
            n += 1
            if n >= 400:
                sys.exit(0)
PY

# run_copy MODE: runs the tool over a fresh copy of the files, the sandbox
# switched MODE; sets OUT, ERR and STATUS.
run_copy() {
  rm -rf "$DIR"
  cp -r "$SOURCE" "$DIR"
  if [[ $1 == off ]]; then
    TRUEEXT_SANDBOX=off run_tool "$DIR"
  else
    run_tool "$DIR"
  fi
}

run_copy on
[[ $ERR != *"without its sandbox"* ]] || skip "this kernel refuses the sandbox: $ERR"
expect_eq "$STATUS" 0
expect_eq "$ERR" ""
confined=$(LC_ALL=C sort <<< "$OUT")
not grep -q 'analyze:(' <<< "$OUT"
grep -q '^png	png.png\[B\]$' <<< "$OUT"
grep -q '^jar	jar.jar\[B\]$' <<< "$OUT"

run_copy off
expect_eq "$STATUS" 0
expect_eq "$ERR" "trueext: warning: file analysis runs without its sandbox: TRUEEXT_SANDBOX=off"
expect_eq "$confined" "$(LC_ALL=C sort <<< "$OUT")"
