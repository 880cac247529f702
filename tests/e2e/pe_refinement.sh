# An "MZ" file is named from its own PE header: dll, sys or exe.
source "$(dirname "$0")/common.sh"

# pe NAME CHARACTERISTICS [SIZE]: a PE image whose COFF header says
# CHARACTERISTICS; SIZE cuts the file short.
pe() {
  python3 - "$DIR/$1" "$2" "${3:-512}" <<'PY'
import struct, sys
image = bytearray(0x200)
image[0:2] = b"MZ"
struct.pack_into("<I", image, 0x3C, 0x80)
image[0x80:0x84] = b"PE\0\0"
struct.pack_into("<H", image, 0x80 + 22, int(sys.argv[2], 16))
open(sys.argv[1], "wb").write(image[:int(sys.argv[3], 0)])
PY
}

pe app 0102
pe lib 2102
pe driver 1102
pe both 3102
pe plain 0000
pe cut 2102 0x97     # the COFF header ends one byte past the file
put dos 'MZ\x90\x00\x03\x00'
put tiny 'MZ'
# The PE header's offset points far past the end of the file.
python3 -c "
import struct, sys
d = bytearray(b'MZ' + bytes(62)); struct.pack_into('<I', d, 0x3C, 0xFFFFFFF0)
open(sys.argv[1], 'wb').write(d)" "$DIR/far"

run_tool "$NDIR"
expect_lines 'app	app.exe
lib	lib.dll
driver	driver.sys
both	both.dll
plain	plain.exe
cut	cut.exe
dos	dos.exe
tiny	tiny.exe
far	far.exe
'
