# A name that already ends in its type's extension, in any letter case or
# usual spelling, is kept, and its line repeats it; an old extension of
# another type is never removed. A second run over a folder that the first
# run named renames nothing and reports every file unchanged.
source "$(dirname "$0")/common.sh"

# Built-in rows.
put a.PDF '%%PDF-1.4'
put c.htm '<html></html>'
put d.tgz '\037\213\010\000\000\000\000\000'
put e.png '%%PDF-1.4'
put g.JS 'function f() {}'
put h.cmd '@echo off'
put i.elf '\177ELF\001\001\001'
put f '%%PDF-1.4'
put program '\177ELF\002\001\001'
put image 'x\332'
# The library's answer, "jpg", for the rest.
put b.jpeg '\377\330\377\340 JFIF'
put k.JPG '\377\330\377\340 JFIF'
put photo '\377\330\377\340 JFIF'
export TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=jpg

run_tool "$NDIR"
expect_lines 'a.PDF	a.PDF
c.htm	c.htm
d.tgz	d.tgz
e.png	e.png.pdf
g.JS	g.JS
h.cmd	h.cmd
i.elf	i.elf
f	f.pdf
program	program.Linux_ELF
image	image.mac.dmg
b.jpeg	b.jpeg[B]
k.JPG	k.JPG[B]
photo	photo.jpg[B]
'
first=(a.PDF c.htm d.tgz e.png.pdf g.JS h.cmd i.elf f.pdf program.Linux_ELF image.mac.dmg b.jpeg
  k.JPG photo.jpg)
expect_names "${first[@]}"

# The second run: every name stays, and the line says so.
run_tool "$NDIR"
expect_lines 'a.PDF	a.PDF
c.htm	c.htm
d.tgz	d.tgz
e.png.pdf	e.png.pdf
g.JS	g.JS
h.cmd	h.cmd
i.elf	i.elf
f.pdf	f.pdf
program.Linux_ELF	program.Linux_ELF
image.mac.dmg	image.mac.dmg
b.jpeg	b.jpeg[B]
k.JPG	k.JPG[B]
photo.jpg	photo.jpg[B]
'
expect_names "${first[@]}"
