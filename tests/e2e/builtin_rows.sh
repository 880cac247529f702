# Every built-in row renames its file; the line shows the new name.
source "$(dirname "$0")/common.sh"

put swf 'CWS\x09'
put exe 'MZ\x90\x00'
put pdf '%%PDF-1.4\n'
put rar 'Rar!\x1a\x07\x00\xcf'
put fn 'function f() {}'
put paren '(function(){})()'
put var 'var a = 1;'
put mime 'MIME-Version: 1.0\r\n'
put lt '<html></html>'
put x 'x\x9c\x01'
put rtf '{\\rtf1\\ansi'
put gz '\x1f\x8b\x08\x00\x00'
put perl '#!/usr/bin/perl -w\nprint 1;\n'
put 7z '7z\xbc\xaf\x27\x1c'
put elf '\x7fELF\x02\x01\x01'
put elf32 '\x7fELF\x01\x01\x01'
put atecho '@echo off\r\n'
put echo 'echo hi\n'
put echocr 'echo hi\r\n'
put lf '\nleading newline'
put crlf '\r\nleading crlf'
put a.bin '%%PDF-1.7'

run_tool "$NDIR"
expect_eq "$STATUS" 0
expect_lines 'swf	swf.swf
exe	exe.exe
pdf	pdf.pdf
rar	rar.rar
fn	fn.JS
paren	paren.JS
var	var.JS
mime	mime.VBA
lt	lt.html
x	x.mac.dmg
rtf	rtf.rtf
gz	gz.gz
perl	perl.pl
7z	7z.7z
elf	elf.Linux_ELF
elf32	elf32.Linux_ELF
atecho	atecho.bat
echo	echo.bat
echocr	echocr.bat
lf	lf.txt
crlf	crlf.txt
a.bin	a.bin.pdf
'
expect_names swf.swf exe.exe pdf.pdf rar.rar fn.JS paren.JS var.JS mime.VBA lt.html \
  x.mac.dmg rtf.rtf gz.gz perl.pl 7z.7z elf.Linux_ELF elf32.Linux_ELF atecho.bat echo.bat \
  echocr.bat lf.txt crlf.txt a.bin.pdf
# Contents are never touched.
expect_eq "$(cat "$DIR/a.bin.pdf")" '%PDF-1.7'
