#!/usr/bin/python3
"""Builds the breadth corpus: files of many formats made by real encoders.

Where the accuracy corpus takes the files Debian packages happen to ship,
this one makes them: each format of FORMATS has a command line for the
program that writes it (ffmpeg, ImageMagick, sox, LibreOffice, pandoc,
sqlite3, openssl, gnupg, mkfs, qemu-img, ...), run on generated inputs (test
tones, generated pictures and video, a short generated document, a small
3-D model) so that every format gets several files that differ in size,
settings and content. Packages a format needs are installed when missing;
a format whose package is absent, or whose encoder fails, is skipped with a
line on standard error.

The corpus folder holds one folder per format and manifest.tsv, one line
per file: format, category, accepted extensions (slash-separated, the
preferred one first: the one the format's own documentation and its
encoder use), package, corpus path.

Usage: bench/make_breadth_corpus.py [--out build/breadth] [--only FORMAT,...] [--no-install]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TIMEOUT = 180

# Packages the generated inputs themselves need.
BASE_PACKAGES = ["ffmpeg", "imagemagick", "sox"]

# Three inputs of each kind; a format's command runs once per input set, so
# that its files differ in length, size, channels and content.
# {wav} a test tone or noise, {png} a generated picture, {vid} a lavfi video
# source (for ffmpeg -f lavfi -i), {doc} a markdown document, {obj} a 3-D
# model in Wavefront OBJ, {txt} a short text, {n} the set's number 0..2.
AUDIO_SETS = [
    "synth 1 sine 440 rate 44100 channels 1",
    "synth 2 sine 200-2000 rate 48000 channels 2",
    "synth 0.5 pinknoise rate 22050 channels 1",
]
IMAGE_SETS = [
    "-size 64x48 gradient:red-blue",
    "-size 200x120 -seed 7 plasma:fractal",
    "-size 33x17 xc:white -fill black -draw 'rectangle 3,3 20,12'",
]
VIDEO_SETS = [
    "testsrc=size=160x120:rate=10:duration=1",
    "smptebars=size=320x240:rate=25:duration=2",
    "testsrc2=size=96x64:rate=5:duration=1",
]
DOC_SETS = [
    "# Report\n\nA short paragraph of *generated* text.\n",
    "# Minutes\n\n## Present\n\n- Ann\n- Bob\n\n| a | b |\n|---|---|\n| 1 | 2 |\n\nSee [the site](https://example.org).\n",
    "Title\n=====\n\n" + "Lorem ipsum dolor sit amet, consectetur adipiscing elit. " * 40 + "\n",
]
# A cube, a pyramid and a single triangle.
OBJ_SETS = [
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 2 3 4\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n",
    "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nv 1 1 3\nf 1 2 5\nf 2 3 5\nf 3 4 5\nf 4 1 5\nf 1 2 3 4\n",
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n",
]
TEXT_SETS = ["hello world\n", "The quick brown fox jumps over the lazy dog.\n" * 30, "x" * 5000 + "\n"]


def F(name, category, exts, packages, command, sets=3):
    """A format: |command| writes {out} (named with the preferred extension)."""
    return {"name": name, "category": category, "exts": exts.split("/"), "packages": packages.split(),
            "command": command, "sets": sets}


def ffv(name, exts, args, packages="ffmpeg", sets=3):
    return F(name, "video", exts, packages, f"ffmpeg -v error -y -f lavfi -i {{vid}} {args} {{out}}", sets)


def ffa(name, exts, args, packages="ffmpeg", sets=3):
    return F(name, "audio", exts, packages, f"ffmpeg -v error -y -i {{wav}} {args} {{out}}", sets)


def ffi(name, exts, args, packages="ffmpeg", category="image"):
    return F(name, category, exts, packages, f"ffmpeg -v error -y -i {{png}} {args} {{out}}")


def im(name, exts, args="", packages="imagemagick", prefix=""):
    return F(name, "image", exts, packages, f"convert {{png}} {args} {prefix}{{out}}")


def sx(name, exts, args="", packages="sox"):
    return F(name, "audio", exts, packages, f"sox {{wav}} {args} {{out}}")


def lo(name, category, exts, src, filt, packages):
    """LibreOffice converting a generated source document."""
    return F(name, category, exts, packages,
             f"{src} && soffice -env:UserInstallation=file://$PWD/lo --headless --convert-to "
             f"'{exts.split('/')[0]}:{filt}' --outdir lo-out src.* >/dev/null && mv lo-out/src.* {{out}}")


def asm(name, exts, fmt):
    return F(name, "executable", exts, "nasm",
             f"printf 'section .text\\nglobal start\\nstart: mov eax, {{n}}\\n ret\\n' > a.asm && nasm -f {fmt} -o {{out}} a.asm")


def assimp(name, exts, fmt):
    return F(name, "3d", exts, "assimp-utils", f"assimp export {{obj}} {{out}} -f{fmt} >/dev/null")


def fontforge(name, exts):
    return F(name, "font", exts, "fontforge python3-fontforge",
             "/usr/bin/python3 -c \"import fontforge,sys; f=fontforge.font(); f.fontname='Gen{n}'; f.familyname='Gen';"
             " f.fullname='Gen {n}'; g=f.createChar(65,'A'); p=g.glyphPen(); p.moveTo((100,0)); p.lineTo((300,700));"
             " p.lineTo((500,0)); p.closePath(); p=None; g.width=600; f.createChar(66+{n},'x'); f.generate(sys.argv[1])\" {out}")


WRITER_SRC = "pandoc -o src.odt {doc}"
CALC_SRC = "printf 'name,value\\nalpha,{n}\\nbeta,2.5\\ngamma,=B2+B3\\n' > src.csv"
IMPRESS_SRC = "pandoc -t pptx -o src.pptx {doc}"
# A page of PostScript drawn by ghostscript into the device named.
GS_PAGE = ("gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE={} -sOutputFile={{out}} -c '/Helvetica findfont 2{{n}} scalefont "
           "setfont 72 72 moveto (Page {{n}}) show 0 0 moveto 300 400 lineto stroke showpage'")
DRAW_SRC = "convert {png} src.svg"

# Left out: formats with no signature that any content-based identification
# could go by (raw GSM and CVSD audio, WBMP, MTV, Palm and OTA bitmaps), and
# formats without a usual extension (compiled terminfo entries, named after
# the terminal; GVariant databases such as gschemas.compiled).
FORMATS = [
    # Video containers and raw streams.
    ffv("mp4", "mp4/m4v", "-c:v libx264 -pix_fmt yuv420p"),
    ffv("mov", "mov/qt", "-c:v mpeg4 -f mov"),
    ffv("mkv", "mkv", "-c:v libx264"),
    ffv("webm", "webm", "-c:v libvpx -b:v 200k"),
    ffv("avi", "avi", "-c:v mpeg4"),
    ffv("flv", "flv", "-c:v flv1"),
    ffv("mpeg-ps", "mpg/mpeg/vob", "-c:v mpeg2video -f mpeg"),
    ffv("mpeg-ts", "ts/mts/m2ts", "-c:v mpeg2video -f mpegts"),
    ffv("3gp", "3gp", "-c:v h263 -s 176x144 -f 3gp"),
    ffv("3g2", "3g2", "-c:v h263 -s 176x144 -f 3g2"),
    ffv("ogv", "ogv/ogg", "-c:v libtheora"),
    ffv("wmv", "wmv/asf", "-c:v wmv2 -f asf"),
    ffv("swf", "swf", "-c:v flv1 -f swf"),
    ffv("rm", "rm/rmvb", "-c:v rv20 -s 176x144 -f rm"),
    ffv("dv", "dv/dif", "-vf scale=720:576,setsar=16/15 -r 25 -pix_fmt yuv420p -c:v dvvideo -f dv"),
    ffv("mxf", "mxf", "-c:v mpeg2video -s 720x576 -r 25 -b:v 2M -f mxf"),
    ffv("nut", "nut", "-c:v ffv1 -f nut"),
    ffv("y4m", "y4m", "-pix_fmt yuv420p -f yuv4mpegpipe"),
    ffv("h264", "h264/264/avc", "-c:v libx264 -f h264"),
    ffv("hevc", "hevc/h265/265", "-c:v libx265 -x265-params log-level=error -f hevc"),
    ffv("m2v", "m2v/mpv/mpg", "-c:v mpeg2video -f mpeg2video"),
    ffv("m1v", "m1v/mpv/mpg", "-r 25 -c:v mpeg1video -f mpeg1video"),
    ffv("ivf", "ivf", "-c:v libvpx-vp9 -b:v 100k -f ivf"),
    ffv("mjpeg", "mjpg/mjpeg/jpg", "-c:v mjpeg -f mjpeg"),
    ffv("gxf", "gxf", "-c:v mpeg2video -s 720x576 -r 25 -f gxf"),
    ffv("apng", "apng/png", "-plays 0 -f apng"),
    ffv("webp-animated", "webp", "-c:v libwebp_anim -loop 0 -f webp"),
    ffv("gif-animated", "gif", "-f gif"),
    # Audio containers and raw streams.
    ffa("wav", "wav", "-c:a pcm_s16le"),
    ffa("aiff", "aiff/aif/aifc", "-f aiff"),
    ffa("au", "au/snd", "-f au"),
    ffa("caf", "caf", "-f caf"),
    ffa("flac", "flac", "-c:a flac"),
    ffa("mp3", "mp3", "-c:a libmp3lame -q:a 5"),
    ffa("mp2", "mp2/mpa", "-c:a mp2 -f mp2"),
    ffa("aac", "aac/adts", "-c:a aac -f adts"),
    ffa("m4a", "m4a/mp4", "-c:a aac -f ipod"),
    ffa("ac3", "ac3", "-c:a ac3 -f ac3"),
    ffa("eac3", "eac3/ec3", "-c:a eac3 -f eac3"),
    ffa("dts", "dts", "-ar 48000 -c:a dca -strict -2 -f dts"),
    ffa("opus", "opus/ogg", "-c:a libopus -f ogg"),
    ffa("vorbis", "ogg/oga", "-c:a libvorbis -f ogg"),
    ffa("spx", "spx/ogg", "-ar 16000 -c:a libspeex -f ogg"),
    ffa("oga-flac", "oga/ogg", "-c:a flac -f ogg"),
    ffa("wma", "wma/asf", "-c:a wmav2 -f asf"),
    ffa("mka", "mka", "-c:a libvorbis -f matroska"),
    ffa("tta", "tta", "-c:a tta -f tta"),
    ffa("wv", "wv", "-c:a wavpack -f wv"),
    ffa("w64", "w64", "-f w64"),
    ffa("rf64", "wav/rf64", "-rf64 always -f wav"),
    ffa("voc", "voc", "-f voc"),
    ffa("adx", "adx", "-c:a adpcm_adx -f adx"),
    ffa("ra", "ra/rm", "-c:a ac3 -f rm"),
    F("flac-tool", "audio", "flac", "flac", "flac -s -{n} -o {out} {wav}"),
    F("mp3-lame", "audio", "mp3", "lame", "lame --quiet -V {n} {wav} {out}"),
    F("mp3-id3", "audio", "mp3", "lame", "lame --quiet --tt Tone{n} --ta Gen --add-id3v2 {wav} {out}"),
    F("mp2-twolame", "audio", "mp2/mpa", "twolame", "twolame --quiet {wav} {out}"),
    F("ogg-oggenc", "audio", "ogg/oga", "vorbis-tools", "oggenc -Q -q {n} -o {out} {wav}"),
    F("opus-opusenc", "audio", "opus/ogg", "opus-tools", "opusenc --quiet {wav} {out}"),
    F("spx-speexenc", "audio", "spx/ogg", "speex", "sox {wav} -r 16000 -c 1 -b 16 in16.wav && speexenc --quiet in16.wav {out}"),
    F("wv-wavpack", "audio", "wv", "wavpack", "wavpack -q -y {wav} -o {out}"),
    F("mpc", "audio", "mpc/mp+/mpp", "musepack-tools", "sox {wav} -r 44100 in44.wav && mpcenc --silent in44.wav {out}"),
    sx("8svx", "8svx/iff/svx", "-t 8svx"),
    sx("sph", "sph/nist/wav", "-t sph"),
    sx("avr", "avr", "-c 1 -t avr"),
    sx("ircam", "sf/ircam", "-t ircam"),
    sx("maud", "maud", "-t maud"),
    sx("prc", "prc", "-r 8000 -c 1 -t prc"),
    sx("hcom", "hcom", "-r 22050 -c 1 -t hcom"),
    sx("smp", "smp", "-t smp"),
    sx("sndt", "snd/sndt", "-c 1 -t sndt"),
    sx("txw", "txw", "-r 33333 -c 1 -t txw"),
    sx("wve", "wve", "-r 8000 -c 1 -t wve"),
    F("midi", "audio", "mid/midi", "abcmidi",
      "printf 'X:1\\nT:Tune {n}\\nM:4/4\\nL:1/8\\nK:G\\nGABc dedB|dedB dedB|c2ec B2dB|c2A2 A2BA|\\n' > t.abc && abc2midi t.abc -o {out} >/dev/null"),
    # Images.
    im("png", "png", "-strip"),
    im("jpeg", "jpg/jpeg/jpe/jfif", "-quality 80"),
    im("gif", "gif"),
    im("bmp", "bmp/dib"),
    im("tiff", "tif/tiff", "-compress lzw"),
    im("tiff-be", "tif/tiff", "-endian msb"),
    im("webp", "webp"),
    im("ico", "ico", "-resize 32x32"),
    im("pcx", "pcx"),
    im("tga", "tga/icb/vda/vst"),
    im("ppm", "ppm/pnm"),
    im("pgm", "pgm/pnm", "-colorspace gray"),
    im("pbm", "pbm/pnm", "-monochrome"),
    im("pam", "pam"),
    im("pfm", "pfm"),
    im("sgi", "sgi/rgb/rgba/bw"),
    im("sun", "ras/sun/im1/im8/im24/im32"),
    im("psd", "psd"),
    im("dds", "dds"),
    im("hdr", "hdr/pic"),
    im("jp2", "jp2"),
    im("j2k", "j2k/j2c/jpc"),
    im("fits", "fits/fit/fts"),
    im("miff", "miff"),
    im("mng", "mng"),
    im("jng", "jng"),
    im("xwd", "xwd"),
    im("dpx", "dpx"),
    im("cin", "cin"),
    im("viff", "viff/xv"),
    im("pict", "pict/pct/pic"),
    im("dcx", "dcx"),
    im("g3fax", "g3/fax", "-monochrome", prefix="G3:"),
    im("xpm", "xpm", "-colors 8"),
    im("xbm", "xbm", "-monochrome"),
    F("ps", "document", "ps", "ghostscript", GS_PAGE.format("ps2write")),
    F("eps", "image", "eps/epsf/epsi/ps", "ghostscript", GS_PAGE.format("eps2write")),
    F("pcl-mono", "document", "pcl/prn", "ghostscript", GS_PAGE.format("ljet4")),
    ffi("qoi", "qoi", "-c:v qoi -f image2"),
    ffi("exr", "exr", "-c:v exr -f image2"),
    ffi("jpeg-ls", "jls/jpg", "-c:v jpegls -f image2"),
    ffi("sgi-ffmpeg", "sgi/rgb", "-c:v sgi -f image2"),
    ffi("phm", "phm", "-pix_fmt gbrpf32le -c:v phm -f image2"),
    F("webp-cwebp", "image", "webp", "webp", "convert {png} in.png && cwebp -quiet -q {n}0 in.png -o {out}"),
    F("avif", "image", "avif", "libavif-bin", "convert {png} in.png && avifenc in.png {out} >/dev/null"),
    F("jxl", "image", "jxl", "libjxl-tools", "convert {png} in.png && cjxl --quiet in.png {out} 2>/dev/null"),
    F("heic", "image", "heic/heif", "libheif-examples", "convert {png} -resize 64x64! in.png && heif-enc -q 50 -o {out} in.png >/dev/null"),
    F("djvu", "image", "djvu/djv", "djvulibre-bin", "convert {png} in.ppm && c44 in.ppm {out}"),
    F("djvu-bilevel", "image", "djvu/djv", "djvulibre-bin", "convert {png} -monochrome in.pbm && cjb2 in.pbm {out}"),
    F("tiff-fax", "image", "tif/tiff", "libtiff-tools", "convert {png} -monochrome -compress Group4 in.tif && tiffcp -c g3 in.tif {out}"),
    F("ico-icotool", "image", "ico", "icoutils", "convert {png} -resize 16x16 in.png && icotool -c -o {out} in.png"),
    F("dot-png", "image", "png", "graphviz", "echo 'digraph {{ a -> b{n} }}' | dot -Tpng -o {out}"),
    # Documents.
    F("pdf", "document", "pdf", "ghostscript",
      GS_PAGE.format("pdfwrite")),
    F("pcl", "document", "pcl/pxl", "ghostscript",
      GS_PAGE.format("pxlcolor")),
    F("docx", "document", "docx", "pandoc", "pandoc -o {out} {doc}"),
    F("odt", "document", "odt", "pandoc", "pandoc -o {out} {doc}"),
    F("epub", "document", "epub", "pandoc", "pandoc --metadata title=Gen{n} -o {out} {doc}"),
    F("pptx", "document", "pptx", "pandoc", "pandoc -o {out} {doc}"),
    F("rtf", "document", "rtf", "pandoc", "pandoc -s -o {out} {doc}"),
    lo("doc", "document", "doc/dot", WRITER_SRC, "MS Word 97", "libreoffice-writer-nogui pandoc"),
    lo("fodt", "document", "fodt/xml", WRITER_SRC, "OpenDocument Text Flat XML", "libreoffice-writer-nogui pandoc"),
    lo("xls", "document", "xls/xlt", CALC_SRC, "MS Excel 97", "libreoffice-calc-nogui"),
    lo("xlsx", "document", "xlsx", CALC_SRC, "Calc MS Excel 2007 XML", "libreoffice-calc-nogui"),
    lo("ods", "document", "ods", CALC_SRC, "calc8", "libreoffice-calc-nogui"),
    lo("slk", "document", "slk/sylk", CALC_SRC, "SYLK", "libreoffice-calc-nogui"),
    lo("dif", "document", "dif", CALC_SRC, "DIF", "libreoffice-calc-nogui"),
    lo("ppt", "document", "ppt/pps/pot", IMPRESS_SRC, "MS PowerPoint 97", "libreoffice-impress-nogui pandoc"),
    lo("odp", "document", "odp", IMPRESS_SRC, "impress8", "libreoffice-impress-nogui pandoc"),
    lo("odg", "document", "odg", DRAW_SRC, "draw8", "libreoffice-draw-nogui imagemagick"),
    lo("emf", "image", "emf", DRAW_SRC, "draw_emf_Export", "libreoffice-draw-nogui imagemagick"),
    lo("wmf", "image", "wmf", DRAW_SRC, "draw_wmf_Export", "libreoffice-draw-nogui imagemagick"),
    # Archives and compressed files.
    F("zip", "archive", "zip", "zip", "zip -q -{n} {out} {wav} {txt}"),
    F("7z", "archive", "7z", "p7zip-full", "7z a -bd -mx={n} {out} {wav} {txt} >/dev/null"),
    F("tar", "archive", "tar", "tar", "tar -cf {out} {wav} {txt}"),
    F("tar-pax", "archive", "tar", "tar", "tar --format=pax -cf {out} {wav} {txt}"),
    F("gzip", "archive", "gz", "gzip", "gzip -c {wav} > {out}"),
    F("bzip2", "archive", "bz2", "bzip2", "bzip2 -c {wav} > {out}"),
    F("xz", "archive", "xz", "xz-utils", "xz -c {wav} > {out}"),
    F("lzma", "archive", "lzma", "xz-utils", "xz --format=lzma -c {wav} > {out}"),
    F("zstd", "archive", "zst", "zstd", "zstd -q -{n} -c {wav} > {out}"),
    F("lz4", "archive", "lz4", "lz4", "lz4 -q -c {wav} > {out}"),
    F("lzip", "archive", "lz", "lzip", "lzip -c {wav} > {out}"),
    F("lzop", "archive", "lzo", "lzop", "lzop -c {wav} > {out}"),
    F("compress", "archive", "z", "ncompress", "compress -c {wav} > {out}"),
    F("lrzip", "archive", "lrz", "lrzip", "lrzip -q -o {out} {wav}"),
    F("cpio", "archive", "cpio", "cpio", "ls {wav} {txt} | cpio -o -H newc --quiet > {out}"),
    F("cpio-odc", "archive", "cpio", "cpio", "ls {wav} {txt} | cpio -o -H odc --quiet > {out}"),
    F("ar", "archive", "a/ar", "binutils", "ar rcs {out} {txt}"),
    F("deb", "archive", "deb", "dpkg",
      "mkdir -p pkg/DEBIAN && printf 'Package: gen{n}\\nVersion: 1.{n}\\nArchitecture: all\\nMaintainer: a <a@b>\\nDescription: d\\n' > pkg/DEBIAN/control && dpkg-deb -b pkg {out} >/dev/null"),
    F("rpm", "archive", "rpm", "rpm",
      "mkdir -p rpmtop && printf 'Name: gen{n}\\nVersion: 1\\nRelease: 1\\nSummary: s\\nLicense: MIT\\nBuildArch: noarch\\n%%description\\nd\\n%%files\\n' > g.spec && rpmbuild -bb --define \"_topdir $PWD/rpmtop\" g.spec >/dev/null 2>&1 && mv rpmtop/RPMS/noarch/*.rpm {out}"),
    F("cab", "archive", "cab", "gcab", "cp {txt} a.txt && gcab -c {out} a.txt"),
    F("arj", "archive", "arj", "arj", "cp {txt} a.txt && arj a {out} a.txt >/dev/null"),
    F("lzh", "archive", "lzh/lha", "jlha-utils", "cp {txt} a.txt && jlha c {out} a.txt >/dev/null"),
    F("zpaq", "archive", "zpaq", "zpaq", "zpaq a {out} {txt} >/dev/null 2>&1"),
    F("wim", "archive", "wim/swm/esd", "wimtools", "mkdir -p w && cp {txt} w/ && wimcapture w {out} >/dev/null"),
    F("jar", "archive", "jar", "openjdk-17-jdk-headless",
      "mkdir -p jc && printf 'public class A{n} {{}}\\n' > jc/A{n}.java && javac -d jc jc/A{n}.java && jar cf {out} -C jc A{n}.class"),
    F("vcdiff", "archive", "vcdiff/xd3", "xdelta3", "xdelta3 -e -s {txt} {wav} {out}"),
    F("bsdiff", "archive", "bsdiff/patch", "bsdiff", "bsdiff {txt} {wav} {out}"),
    F("git-pack", "data", "pack", "git",
      "git init -q g && cp {txt} g/a && git -C g add a && git -C g -c user.name=a -c user.email=a@b commit -qm m && git -C g gc -q && cp g/.git/objects/pack/*.pack {out}"),
    F("git-idx", "data", "idx", "git",
      "git init -q g && cp {txt} g/a && git -C g add a && git -C g -c user.name=a -c user.email=a@b commit -qm m && git -C g gc -q && cp g/.git/objects/pack/*.idx {out}"),
    F("git-bundle", "data", "bundle", "git",
      "git init -q g && cp {txt} g/a && git -C g add a && git -C g -c user.name=a -c user.email=a@b commit -qm m && git -C g bundle create {out} --all 2>/dev/null"),
    # Disk and file-system images.
    F("iso", "disk", "iso", "genisoimage", "mkdir -p d && cp {txt} d/ && genisoimage -quiet -V GEN{n} -o {out} d"),
    F("iso-xorriso", "disk", "iso", "xorriso", "mkdir -p d && cp {wav} d/ && xorriso -as mkisofs -quiet -R -J -o {out} d 2>/dev/null"),
    F("udf", "disk", "iso/udf/img", "udftools", "truncate -s 2M {out} && mkudffs --media-type=hd --label=GEN{n} {out} >/dev/null"),
    F("squashfs", "disk", "squashfs/sqsh/sfs", "squashfs-tools", "mkdir -p d && cp {txt} d/ && mksquashfs d {out} -quiet -noappend >/dev/null"),
    F("cramfs", "disk", "cramfs/img", "util-linux", "mkdir -p d && cp {txt} d/ && mkfs.cramfs d {out} >/dev/null"),
    F("fat12", "disk", "img/ima/fat", "dosfstools", "mkfs.fat -C -n GEN{n} {out} 1440 >/dev/null"),
    F("fat16", "disk", "img/fat", "dosfstools", "mkfs.fat -C -F 16 {out} 16384 >/dev/null"),
    F("fat32", "disk", "img/fat", "dosfstools", "mkfs.fat -C -F 32 {out} 40000 >/dev/null"),
    F("ext2", "disk", "img/ext2", "e2fsprogs", "mke2fs -q -t ext2 -F {out} 1M"),
    F("ext3", "disk", "img/ext3", "e2fsprogs", "mke2fs -q -t ext3 -F {out} 2M"),
    F("ext4", "disk", "img/ext4", "e2fsprogs", "mke2fs -q -t ext4 -F {out} 4M"),
    F("exfat", "disk", "img/exfat", "exfatprogs", "truncate -s 4M {out} && mkfs.exfat {out} >/dev/null"),
    F("ntfs", "disk", "img/ntfs", "ntfs-3g", "truncate -s 8M {out} && mkntfs -q -F -f {out} >/dev/null 2>&1"),
    F("btrfs", "disk", "img/btrfs", "btrfs-progs", "truncate -s 120M {out} && mkfs.btrfs -q {out} >/dev/null"),
    F("minix", "disk", "img/minix", "util-linux", "truncate -s 1M {out} && mkfs.minix {out} >/dev/null"),
    F("swap", "disk", "img/swap", "util-linux", "truncate -s 1M {out} && mkswap {out} >/dev/null"),
    F("mbr", "disk", "img/raw/bin", "fdisk", "truncate -s 4M {out} && echo ',,83' | sfdisk -q {out} >/dev/null"),
    F("gpt", "disk", "img/raw/bin", "gdisk", "truncate -s 4M {out} && sgdisk -n 1:2048:0 {out} >/dev/null"),
    F("qcow2", "disk", "qcow2/qcow", "qemu-utils", "qemu-img create -q -f qcow2 {out} {n}9M"),
    F("qcow2-data", "disk", "qcow2/qcow", "qemu-utils", "mke2fs -q -F raw.img 1M && qemu-img convert -O qcow2 raw.img {out}"),
    F("vmdk", "disk", "vmdk", "qemu-utils", "qemu-img create -q -f vmdk {out} {n}9M"),
    F("vdi", "disk", "vdi", "qemu-utils", "qemu-img create -q -f vdi {out} {n}9M"),
    F("vhd", "disk", "vhd", "qemu-utils", "qemu-img create -q -f vpc {out} {n}9M"),
    F("vhdx", "disk", "vhdx", "qemu-utils", "qemu-img create -q -f vhdx {out} {n}9M"),
    F("qed", "disk", "qed", "qemu-utils", "qemu-img create -q -f qed {out} {n}9M"),
    # Fonts.
    fontforge("ttf", "ttf"),
    fontforge("otf", "otf"),
    fontforge("woff", "woff"),
    fontforge("woff2", "woff2"),
    fontforge("pfb", "pfb"),
    fontforge("pfa", "pfa"),
    fontforge("dfont", "dfont"),
    fontforge("svg-font", "svg"),
    F("ttc", "font", "ttc", "fontforge python3-fontforge",
      "/usr/bin/python3 -c \"import fontforge; f=fontforge.font(); f.fontname='A{n}'; g=f.createChar(65,'A'); g.width=500;"
      " h=fontforge.font(); h.fontname='B{n}'; g=h.createChar(66,'B'); g.width=500;"
      " f.generateTtc('{out}', h, ttcflags=('merge',), layer=1)\""),
    # 3-D models.
    assimp("stl", "stl", "stlb"),
    assimp("stl-ascii", "stl", "stl"),
    assimp("ply", "ply", "plyb"),
    assimp("ply-ascii", "ply", "ply"),
    assimp("3ds", "3ds", "3ds"),
    assimp("fbx", "fbx", "fbx"),
    assimp("fbx-ascii", "fbx", "fbxa"),
    assimp("glb", "glb", "glb2"),
    assimp("gltf", "gltf", "gltf2"),
    assimp("dae", "dae", "collada"),
    assimp("x", "x", "x"),
    assimp("3mf", "3mf", "3mf"),
    assimp("x3d", "x3d", "x3d"),
    assimp("assbin", "assbin", "assbin"),
    assimp("step", "stp/step", "stp"),
    # Certificates, keys and other crypto.
    F("pem-cert", "crypto", "pem/crt/cer", "openssl",
      "openssl req -x509 -newkey rsa:$((1024+{n}*1024)) -nodes -keyout k.pem -subj /CN=gen{n} -days 9 -out {out} 2>/dev/null"),
    F("der-cert", "crypto", "der/cer/crt", "openssl",
      "openssl req -x509 -newkey rsa:$((1024+{n}*1024)) -nodes -keyout k.pem -subj /CN=gen{n} -days 9 -outform DER -out {out} 2>/dev/null"),
    F("der-csr", "crypto", "der/csr/req", "openssl",
      "openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout k.pem -subj /CN=gen{n} -outform DER -out {out} 2>/dev/null"),
    F("der-key", "crypto", "der/key", "openssl",
      "openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -outform DER -out {out} 2>/dev/null"),
    F("p12", "crypto", "p12/pfx", "openssl",
      "openssl req -x509 -newkey rsa:$((1024+{n}*1024)) -nodes -keyout k.pem -subj /CN=gen{n} -days 9 -out c.pem 2>/dev/null && openssl pkcs12 -export -inkey k.pem -in c.pem -passout pass:x -out {out}"),
    F("p7b", "crypto", "p7b/p7c/spc", "openssl",
      "openssl req -x509 -newkey rsa:$((1024+{n}*1024)) -nodes -keyout k.pem -subj /CN=gen{n} -days 9 -out c.pem 2>/dev/null && openssl crl2pkcs7 -nocrl -certfile c.pem -outform DER -out {out}"),
    F("p7s", "crypto", "p7s/p7m", "openssl",
      "openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -subj /CN=gen{n} -days 9 -out c.pem 2>/dev/null && openssl cms -sign -in {txt} -signer c.pem -inkey k.pem -outform DER -binary -out {out}"),
    F("openssl-enc", "crypto", "enc/bin", "openssl", "openssl enc -aes-256-cbc -pbkdf2 -salt -pass pass:x{n} -in {txt} -out {out}"),
    F("gpg-key", "crypto", "gpg/pgp/key", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key gen{n}@example.org ed25519 2>/dev/null && gpg -q --export > {out}"),
    F("gpg-sig", "crypto", "sig/gpg", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key gen{n}@example.org ed25519 2>/dev/null && gpg -q --batch -o {out} --detach-sign {txt}"),
    F("gpg-msg", "crypto", "gpg/pgp", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase x{n} --pinentry-mode loopback -c -o {out} {txt}"),
    F("gpg-kbx", "crypto", "kbx", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key gen{n}@example.org ed25519 2>/dev/null && cp gh/pubring.kbx {out}"),
    F("jks", "crypto", "jks/keystore", "openjdk-17-jdk-headless",
      "keytool -genkeypair -keyalg RSA -alias a -dname CN=gen{n} -storepass secret{n} -keypass secret{n} -storetype JKS -keystore {out} 2>/dev/null"),
    F("jceks", "crypto", "jceks/keystore", "openjdk-17-jdk-headless",
      "keytool -genkeypair -keyalg RSA -alias a -dname CN=gen{n} -storepass secret{n} -keypass secret{n} -storetype JCEKS -keystore {out} 2>/dev/null"),
    F("ssh-key", "crypto", "key/pem", "openssh-client", "ssh-keygen -q -t ed25519 -N '' -C gen{n} -f {out} && rm {out}.pub"),
    # Data.
    F("sqlite", "data", "sqlite/sqlite3/db", "sqlite3",
      "sqlite3 {out} 'create table t(a,b); insert into t values({n},\"x\");'"),
    F("hdf5", "data", "h5/hdf5/hdf", "python3-h5py",
      "/usr/bin/python3 -c \"import h5py,sys; f=h5py.File(sys.argv[1],'w'); f['d']=list(range({n}*9+3)); f.close()\" {out}"),
    F("mat-v5", "data", "mat", "python3-scipy",
      "/usr/bin/python3 -c \"import scipy.io,numpy,sys; scipy.io.savemat(sys.argv[1], {{'a': numpy.arange({n}*5+2)}})\" {out}"),
    F("mat-v4", "data", "mat", "python3-scipy",
      "/usr/bin/python3 -c \"import scipy.io,numpy,sys; scipy.io.savemat(sys.argv[1], {{'a': numpy.arange({n}*5+2)}}, format='4')\" {out}"),
    F("netcdf", "data", "nc/cdf", "python3-scipy",
      "/usr/bin/python3 -c \"import scipy.io,sys; f=scipy.io.netcdf_file(sys.argv[1],'w'); f.createDimension('x',{n}+2); v=f.createVariable('v','i',('x',)); v[:]={n}; f.close()\" {out}"),
    F("netcdf4", "data", "nc/nc4", "netcdf-bin",
      "printf 'netcdf g {{ dimensions: x = {n}3 ; variables: int v(x) ; data: v = 1 ; }}' > g.cdl && ncgen -k nc4 -o {out} g.cdl"),
    F("npy", "data", "npy", "python3-numpy",
      "/usr/bin/python3 -c \"import numpy,sys; numpy.save(sys.argv[1], numpy.arange({n}*4+1))\" {out}"),
    F("npz", "data", "npz", "python3-numpy",
      "/usr/bin/python3 -c \"import numpy,sys; numpy.savez(sys.argv[1], a=numpy.arange({n}*4+1))\" {out}"),
    F("pickle", "data", "pkl/pickle", "python3",
      "/usr/bin/python3 -c \"import pickle,sys; pickle.dump({{'n': {n}, 'l': list(range(5))}}, open(sys.argv[1],'wb'), protocol=2+{n})\" {out}"),
    F("pcap", "data", "pcap/cap", "tcpdump",
      "(timeout 3 tcpdump -i lo -c 4 -w {out} -U 2>/dev/null &) ; sleep 1; ping -c 4 -i 0.2 127.0.0.1 >/dev/null; sleep 1.5; test -s {out}"),
    F("pcapng", "data", "pcapng/pcap", "tcpdump wireshark-common",
      "(timeout 3 tcpdump -i lo -c 4 -w c.pcap -U 2>/dev/null &) ; sleep 1; ping -c 4 -i 0.2 127.0.0.1 >/dev/null; sleep 1.5; editcap -F pcapng c.pcap {out}"),
    F("mo", "data", "mo/gmo", "gettext",
      "printf 'msgid \"hello{n}\"\\nmsgstr \"bonjour{n}\"\\n' > a.po && msgfmt -o {out} a.po"),
    F("berkeley-db", "data", "db", "db-util", "printf 'k{n}\\nv\\n' | db_load -T -t hash {out}"),
    F("gdbm", "data", "gdbm/db", "gdbmtool", "printf 'store k{n} v\\n' | gdbmtool {out} >/dev/null"),
    # Executables, objects and bytecode.
    F("elf-exe", "executable", "elf/bin", "gcc", "printf 'int main(){{return {n};}}' > a.c && gcc -O{n} -o {out} a.c"),
    F("elf-so", "executable", "so", "gcc", "printf 'int f(){{return {n};}}' > a.c && gcc -shared -fPIC -o {out} a.c"),
    F("elf-o", "executable", "o", "gcc", "printf 'int f(){{return {n};}}' > a.c && gcc -c -o {out} a.c"),
    F("pe-exe", "executable", "exe", "gcc-mingw-w64-x86-64",
      "printf 'int main(){{return {n};}}' > a.c && x86_64-w64-mingw32-gcc -o {out} a.c"),
    F("pe-dll", "executable", "dll", "gcc-mingw-w64-i686",
      "printf '__declspec(dllexport) int f(){{return {n};}}' > a.c && i686-w64-mingw32-gcc -shared -o {out} a.c"),
    F("dotnet-exe", "executable", "exe", "mono-mcs",
      "printf 'class A{{static void Main(){{System.Console.Write({n});}}}}' > a.cs && mcs -out:{out} a.cs"),
    F("dotnet-dll", "executable", "dll", "mono-mcs",
      "printf 'public class A{n}{{}}' > a.cs && mcs -target:library -out:{out} a.cs"),
    F("coff-obj", "executable", "obj/o", "nasm",
      "printf 'section .text\\nglobal _start\\n_start: mov eax, {n}\\n ret\\n' > a.asm && nasm -f win32 -o {out} a.asm"),
    F("omf-obj", "executable", "obj", "nasm",
      "printf 'segment code\\nstart: mov ax, {n}\\n ret\\n' > a.asm && nasm -f obj -o {out} a.asm"),
    F("class", "bytecode", "class", "openjdk-17-jdk-headless",
      "printf 'public class A{n} {{ int f() {{ return {n}; }} }}\\n' > A{n}.java && javac A{n}.java && mv A{n}.class {out}"),
    F("jmod", "bytecode", "jmod", "openjdk-17-jdk-headless",
      "mkdir -p m/p && printf 'module m{n} {{}}\\n' > m/module-info.java && printf 'package p; public class A {{}}\\n' > m/p/A.java && javac -d mc m/module-info.java m/p/A.java && jmod create --class-path mc {out}"),
    F("pyc", "bytecode", "pyc", "python3",
      "printf 'x = {n}\\n' > m.py && /usr/bin/python3 -c \"import py_compile,sys; py_compile.compile('m.py', cfile=sys.argv[1])\" {out}"),
    F("wasm", "bytecode", "wasm", "wabt",
      "printf '(module (func (export \"f\") (result i32) i32.const {n}))' > a.wat && wat2wasm a.wat -o {out}"),
    F("llvm-bc", "bytecode", "bc", "llvm", "printf 'int f(){{return {n};}}' > a.c && clang -c -emit-llvm -o {out} a.c"),
    F("luac", "bytecode", "luac/out", "lua5.4", "printf 'print({n})\\n' > a.lua && luac5.4 -o {out} a.lua"),
    F("beam", "bytecode", "beam", "erlang-base erlang-dev",
      "printf -- '-module(a).\\n-export([f/0]).\\nf() -> {n}.\\n' > a.erl && erlc a.erl && mv a.beam {out}"),
    F("ocaml-bytecode", "bytecode", "cmo", "ocaml-nox",
      "printf 'let f () = {n}\\n' > a.ml && ocamlc -c a.ml && mv a.cmo {out}"),
]


def installed(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${db:Status-Status}", package],
                            capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.strip() == "installed"


def available(package):
    result = subprocess.run(["apt-cache", "policy", package], capture_output=True, text=True)
    return "Candidate:" in result.stdout and "Candidate: (none)" not in result.stdout


def install_missing(packages):
    missing = sorted(p for p in set(packages) if not installed(p))
    if not missing:
        return
    if os.geteuid() != 0:
        print(f"breadth: not root, so not installing {' '.join(missing)}", file=sys.stderr)
        return
    wanted = [p for p in missing if available(p)]
    for p in sorted(set(missing) - set(wanted)):
        print(f"breadth: package {p} is not available; its formats are skipped", file=sys.stderr)
    if wanted:
        print(f"breadth: installing {' '.join(wanted)}", file=sys.stderr)
        subprocess.run(["apt-get", "-o", "DPkg::Lock::Timeout=900", "install", "-y", "--no-install-recommends",
                        *wanted], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"),
                       stdout=subprocess.DEVNULL, check=False)


def make_inputs(folder):
    """Writes the three input sets; returns a list of {placeholder: path}."""
    sets = []
    for n in range(3):
        paths = {"n": str(n)}
        paths["wav"] = os.path.join(folder, f"tone{n}.wav")
        subprocess.run(["sox", "-n", "-b", "16", paths["wav"], *AUDIO_SETS[n].split()], check=True)
        paths["png"] = os.path.join(folder, f"picture{n}.png")
        subprocess.run(f"convert {IMAGE_SETS[n]} {paths['png']}", shell=True, check=True)
        paths["vid"] = VIDEO_SETS[n]
        for key, texts, suffix in (("doc", DOC_SETS, "md"), ("obj", OBJ_SETS, "obj"), ("txt", TEXT_SETS, "txt")):
            paths[key] = os.path.join(folder, f"{key}{n}.{suffix}")
            with open(paths[key], "w") as f:
                f.write(texts[n])
        sets.append(paths)
    return sets


def build(fmt, inputs, out_dir):
    """Runs the format's command once per input set; returns the files made."""
    made = []
    os.makedirs(out_dir, exist_ok=True)
    for n in range(fmt["sets"]):
        target = os.path.join(out_dir, f"{n}.{fmt['exts'][0] or 'bin'}")
        with tempfile.TemporaryDirectory(prefix="breadth-") as work:
            out = os.path.join(work, os.path.basename(target))
            command = fmt["command"].format(out=out, **inputs[n])
            try:
                result = subprocess.run(command, shell=True, cwd=work, capture_output=True, text=True,
                                        errors="replace", timeout=TIMEOUT,
                                        env=dict(os.environ, HOME=work, SOURCE_DATE_EPOCH="1700000000"))
                failed = result.returncode != 0 or not os.path.isfile(out) or os.path.getsize(out) == 0
                why = (result.stderr.strip().splitlines() or ["no output"])[-1]
            except subprocess.TimeoutExpired:
                failed, why = True, "timed out"
            if failed:
                print(f"breadth: {fmt['name']} set {n} failed: {why[:160]}", file=sys.stderr)
                continue
            shutil.move(out, target)
            made.append(target)
    return made


def write_manifest(manifest, rows, label, out):
    """Writes the rows (format, category, extensions, packages, path) sorted
    by path, and says how many files and formats |out| holds."""
    with open(manifest, "w") as f:
        f.write("format\tcategory\textensions\tpackages\tpath\n")
        for row in sorted(rows, key=lambda r: r[4]):
            f.write("\t".join(row) + "\n")
    print(f"{label}: {len(rows)} files of {len({r[0] for r in rows})} formats in {out}", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "breadth"))
    parser.add_argument("--only", help="comma-separated format names")
    parser.add_argument("--no-install", action="store_true")
    args = parser.parse_args()

    formats = [f for f in FORMATS if f["sets"]]
    if args.only:
        chosen = set(args.only.split(","))
        formats = [f for f in formats if f["name"] in chosen]
    if not args.no_install:
        install_missing(BASE_PACKAGES + [p for f in formats for p in f["packages"]])
    for p in BASE_PACKAGES:
        if not installed(p):
            sys.exit(f"breadth: {p} is needed to make the inputs")

    manifest = os.path.join(args.out, "manifest.tsv")
    rows = []
    if args.only and os.path.exists(manifest):
        with open(manifest) as f:
            rows = [line.rstrip("\n").split("\t") for line in f][1:]
        known = {f["name"] for f in FORMATS}
        rows = [r for r in rows if r[0] in known and r[0] not in {f["name"] for f in formats}
                and os.path.exists(os.path.join(args.out, r[4]))]
    os.makedirs(args.out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="breadth-inputs-") as folder:
        inputs = make_inputs(folder)
        for fmt in formats:
            missing = [p for p in fmt["packages"] if not installed(p)]
            if missing:
                print(f"breadth: {fmt['name']} skipped: package {' '.join(missing)} not installed", file=sys.stderr)
                continue
            out_dir = os.path.join(args.out, fmt["name"])
            shutil.rmtree(out_dir, ignore_errors=True)
            for path in build(fmt, inputs, out_dir):
                rows.append([fmt["name"], fmt["category"], "/".join(fmt["exts"]), " ".join(fmt["packages"]),
                             os.path.relpath(path, args.out)])
    write_manifest(manifest, rows, "breadth", args.out)


if __name__ == "__main__":
    main()
