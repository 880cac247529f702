# The tool with its own identification library on real files.
source "$(dirname "$0")/common.sh"
use_real_library

python3 - "$DIR" <<'PY'
import struct, sys, zipfile, zlib
d = sys.argv[1]
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 2, 2, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"\x00" * 14)) + chunk(b"IEND", b"")
open(f"{d}/picture", "wb").write(png)
# A baseline JPEG: SOI, JFIF APP0, then a start of frame.
jpeg = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
jpeg += b"\xff\xdb\x00\x43\x00" + bytes(range(64)) + b"\xff\xc0\x00\x11\x08\x00\x01\x00\x01\x03"
jpeg += b"\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xd9"
open(f"{d}/photo", "wb").write(jpeg)
with zipfile.ZipFile(f"{d}/bundle", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("notes/readme.md", "hello\n" * 50)
    z.writestr("data.csv", "a,b\n1,2\n")
open(f"{d}/letter", "w").write(
    "Dear reader,\nthese are a few plain lines of English prose, nothing more.\n"
    "They have no markup and no code in them at all.\nRegards\n")
open(f"{d}/empty", "wb").close()
open(f"{d}/noise", "wb").write(bytes((i * 7919 + 13) % 251 for i in range(4096)))
PY

run_tool "$DIR"
expect_eq "$STATUS" 0
expect_lines 'picture	picture.png[B]
photo	photo.jpg[B]
bundle	bundle.zip[B]
letter	letter.txt[B]
empty	0 matches
noise	0 matches
'
expect_names picture.png photo.jpg bundle.zip letter.txt empty noise

# The library exports its four entry points and nothing of its own else.
exports=$(nm -D --defined-only "$BUILD_DIR/libtrueext-ident.so" | awk '$2 == "T" {print $3}' |
  LC_ALL=C sort | tr '\n' ' ')
expect_eq "$exports" 'TrID_Analyze TrID_GetInfo TrID_LoadDefsPack TrID_SubmitFileA '
