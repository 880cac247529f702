# An "MZ" file is named from its own PE header: dll, sys or exe.
source "$(dirname "$0")/common.sh"

# pe NAME CHARACTERISTICS_LO CHARACTERISTICS_HI: a minimal PE image.
pe() {
  python3 - "$DIR/$1" "$2" "$3" <<'PY'
import struct, sys
image = bytearray(0x200)
image[0:2] = b"MZ"
struct.pack_into("<I", image, 0x3C, 0x80)
image[0x80:0x84] = b"PE\0\0"
image[0x80 + 22] = int(sys.argv[2], 16)
image[0x80 + 23] = int(sys.argv[3], 16)
open(sys.argv[1], "wb").write(image)
PY
}

pe app 02 01
pe lib 02 21
pe driver 02 11
pe both 02 31
pe plain 00 00
put dos 'MZ\x90\x00\x03\x00'
put tiny 'MZ'

run_tool "$DIR"
expect_lines 'app	app.exe
lib	lib.dll
driver	driver.sys
both	both.dll
plain	plain.exe
dos	dos.exe
tiny	tiny.exe
'
