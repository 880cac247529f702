# A DOS "MZ" file stays exe however many DLLs came before it in the run.
source "$(dirname "$0")/common.sh"

python3 - "$DIR" <<'PY'
import struct, sys
image = bytearray(0x200)
image[0:2] = b"MZ"
struct.pack_into("<I", image, 0x3C, 0x80)
image[0x80:0x84] = b"PE\0\0"
struct.pack_into("<H", image, 0x80 + 22, 0x2102)
for i in range(20):
    open(f"{sys.argv[1]}/dll{i:02}", "wb").write(image)
    open(f"{sys.argv[1]}/dos{i:02}", "wb").write(b"MZ\x90\x00" + bytes(60))
PY

run_tool "$NDIR"
expect_eq "$(ls "$DIR" | grep -c '^dll..\.dll$')" 20
expect_eq "$(ls "$DIR" | grep -c '^dos..\.exe$')" 20
