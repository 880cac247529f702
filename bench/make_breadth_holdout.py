#!/usr/bin/python3
"""Builds the held-out breadth corpus: the breadth corpus's formats from other sources.

The identification library's tables were tuned on the breadth corpus of
bench/make_breadth_corpus.py, so its score there flatters. This corpus holds
files of the same formats that none of that tuning saw: written by other
encoders (GStreamer instead of ffmpeg; GraphicsMagick, netpbm, libvips and
libjpeg-turbo instead of ImageMagick; sox and Python's own writers for audio;
AbiWord, Gnumeric and LibreOffice filters the breadth corpus does not use;
bsdtar, Python and 7-Zip's other formats for archives; certtool and Python's
cryptography for keys; other mkfs and qemu-img settings) and real files that
Debian packages ship (MATLAB files, WAV variants and NetCDF files from SciPy's
tests, fonts, Java keystores and modules, Erlang, Python and OCaml bytecode,
MinGW objects). Debian packages that are not installed are fetched with
`apt-get download` into the cache and unpacked there, never installed.

A format keeps the breadth corpus's name, so the two tables line up; each
file's source is named in the manifest's package column. The manifest has
the breadth corpus's layout (format, category, accepted extensions with the
preferred first, package, corpus path), so bench/breadth.py scores it.

Usage: bench/make_breadth_holdout.py [--out build/breadth-holdout] [--cache build/breadth-holdout-cache]
                                     [--only FORMAT,...] [--no-install]
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_breadth_corpus as breadth_corpus  # noqa: E402
import make_corpus  # noqa: E402
from make_breadth_corpus import F  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Extra placeholders per input set, beside the breadth corpus's own:
# {w}x{h} a picture or video size, {frames} a video length, {pat} a GStreamer
# test pattern, {wave} an audio test waveform, {rate} a sample rate.
EXTRA_SETS = [
    {"w": "176", "h": "144", "frames": "12", "pat": "0", "wave": "0", "rate": "8000"},
    {"w": "320", "h": "240", "frames": "40", "pat": "18", "wave": "5", "rate": "44100"},
    {"w": "64", "h": "48", "frames": "3", "pat": "1", "wave": "3", "rate": "22050"},
]

GST = "gst-launch-1.0 -q"
GST_VIDEO = "videotestsrc num-buffers={frames} pattern={pat} ! video/x-raw,width={w},height={h},framerate=10/1"
GST_AUDIO = "audiotestsrc num-buffers=$((20+{n}*40)) wave={wave} ! audio/x-raw,rate={rate}"
GST_PACKAGES = ("gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad "
                "gstreamer1.0-plugins-ugly gstreamer1.0-libav")


# mjpegtools' MPEG-2 encoder, fed a YUV4MPEG2 stream at a frame rate MPEG-2 has.
MPEG2ENC = ("ffmpeg -v error -f lavfi -i {vid} -r 25 -pix_fmt yuv420p -f yuv4mpegpipe in.y4m && "
            "mpeg2enc -v 0 -f 3 -b 1500 -o in.m2v < in.y4m")


def gv(name, exts, chain, category="video"):
    """GStreamer encoding a test video through |chain| into {out}."""
    return F(name, category, exts, GST_PACKAGES, f"{GST} {GST_VIDEO} ! videoconvert ! {chain} ! filesink location={{out}}")


def ga(name, exts, chain):
    """GStreamer encoding a test tone through |chain| into {out}."""
    return F(name, "audio", exts, GST_PACKAGES,
             f"{GST} {GST_AUDIO} ! audioconvert ! audioresample ! {chain} ! filesink location={{out}}")


def gm(name, exts, args="", prefix=""):
    return F(name, "image", exts, "graphicsmagick", f"gm convert {{png}} {args} {prefix}{{out}}")


def pbm(name, exts, tool, source="pnm"):
    """A netpbm converter run on the generated picture, first made a PNM/PBM/PGM by netpbm."""
    to_source = {"pnm": "pngtopnm {png}", "pbm": "pngtopnm {png} | ppmtopgm | pamthreshold | pamtopnm",
                 "pgm": "pngtopnm {png} | ppmtopgm"}[source]
    return F(name, "image", exts, "netpbm", f"{to_source} > in.pnm && {tool} in.pnm > {{out}}")


def vips(name, exts, suffix=""):
    return F(name, "image", exts, "libvips-tools", f"vips copy {{png}} {{out}}{suffix}")


def py(name, category, exts, code, packages="python3"):
    """A few lines of Python writing {out}; sys.argv[1] is the output, sys.argv[2] the set's number."""
    return F(name, category, exts, packages, f"/usr/bin/python3 -c {shell_quote(code)} {{out}} {{n}}")


def shell_quote(text):
    return "'" + text.replace("'", "'\\''").replace("{", "{{").replace("}", "}}") + "'"


def lo(name, exts, src, filt, packages):
    return breadth_corpus.lo(name, "document", exts, src, filt, packages)


def ssconvert(name, exts, exporter):
    return F(name, "document", exts, "gnumeric",
             f"printf 'name,value\\nalpha,{{n}}\\nbeta,2.5\\ngamma,=B2+B3\\n' > in.csv && "
             f"ssconvert -T {exporter} in.csv {{out}} 2>/dev/null")


def abiword(name, exts):
    return F(name, "document", exts, "abiword pandoc",
             f"pandoc -s -o in.html {{doc}} && abiword --to={exts.split('/')[0]} -o {{out}} in.html 2>/dev/null")


def R(name, category, exts, package, patterns, count=3):
    """Real files a Debian package ships: up to |count| of those matching |patterns| (globs under the
    package's root), the smallest, the largest and those between, so that sizes differ."""
    return {"name": name, "category": category, "exts": exts.split("/"), "packages": [package],
            "patterns": patterns.split(), "count": count, "real": True, "sets": 1}


PYTHON_PCAP = """
import struct, sys
n = int(sys.argv[2])
order, magic = [("<", 0xa1b2c3d4), (">", 0xa1b2c3d4), ("<", 0xa1b23c4d)][n]
frame = bytes(12) + b"\\x08\\x00" + bytes.fromhex("4500001c0001000040017cde7f0000017f000001") + bytes(8)
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack(order + "IHHiIII", magic, 2, 4, 0, 0, 65535, 1))
    for i in range(3 + n):
        f.write(struct.pack(order + "IIII", 1700000000 + i, i * 1000, len(frame), len(frame)) + frame)
"""

PYTHON_PCAPNG = """
import struct, sys
n = int(sys.argv[2])
def block(kind, body):
    body += bytes(-len(body) % 4)
    return struct.pack("<II", kind, len(body) + 12) + body + struct.pack("<I", len(body) + 12)
frame = bytes(12) + b"\\x08\\x00" + bytes.fromhex("4500001c0001000040017cde7f0000017f000001") + bytes(8)
with open(sys.argv[1], "wb") as f:
    f.write(block(0x0A0D0D0A, struct.pack("<IHHq", 0x1A2B3C4D, 1, 0, -1)))
    f.write(block(1, struct.pack("<HHI", 1, 0, 262144)))
    for i in range(2 + n):
        f.write(block(6, struct.pack("<IIIII", 0, 0, i, len(frame), len(frame)) + frame))
"""

PYTHON_MIDI = """
import struct, sys
n = int(sys.argv[2])
events = b""
for i, note in enumerate([60, 62, 64, 65, 67][: 3 + n]):
    events += bytes([0, 0x90, note, 100, 96, 0x80, note, 0])
events += b"\\x00\\xff\\x2f\\x00"
with open(sys.argv[1], "wb") as f:
    f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(events)) + events)
"""

PYTHON_STL = """
import struct, sys
n = int(sys.argv[2])
tris = [((0,0,1),(0,0,0),(1,0,0),(0,1,0)), ((0,0,-1),(0,0,0),(0,1,0),(1,0,0)), ((1,0,0),(1,0,0),(1,1,0),(1,0,1))][: 1 + n]
with open(sys.argv[1], "wb") as f:
    f.write(b"binary STL from a script".ljust(80, b" ") + struct.pack("<I", len(tris)))
    for t in tris:
        f.write(struct.pack("<12fH", *[c for v in t for c in v], 0))
"""

PYTHON_QOI = """
import struct, sys
n = int(sys.argv[2])
w, h = [(4, 3), (40, 20), (1, 1)][n]
body = bytearray()
for i in range(w * h):
    body += bytes([0xFE, (i * 7) % 256, (i * 13) % 256, (i * 29) % 256])
with open(sys.argv[1], "wb") as f:
    f.write(b"qoif" + struct.pack(">IIBB", w, h, 3, 0) + bytes(body) + bytes(7) + b"\x01")
"""

PYTHON_PLY = """
import struct, sys
n = int(sys.argv[2])
vertices = [(0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 0, 1)][: 3 + n % 2]
form = ["binary_big_endian", "ascii", "binary_little_endian"][n]
head = "ply\\nformat %s 1.0\\ncomment made by a script\\nelement vertex %d\\nproperty float x\\nproperty float y\\nproperty float z\\nelement face 1\\nproperty list uchar int vertex_indices\\nend_header\\n" % (form, len(vertices))
with open(sys.argv[1], "wb") as f:
    f.write(head.encode())
    if form == "ascii":
        f.write("".join("%g %g %g\\n" % v for v in vertices).encode() + b"3 0 1 2\\n")
    else:
        order = ">" if form == "binary_big_endian" else "<"
        for v in vertices:
            f.write(struct.pack(order + "3f", *v))
        f.write(struct.pack(order + "B3i", 3, 0, 1, 2))
"""

PYTHON_GLB = """
import json, struct, sys
n = int(sys.argv[2])
positions = struct.pack("<9f", 0, 0, 0, 1, 0, 0, 0, 1 + n, 0)
doc = {"asset": {"version": "2.0", "generator": "held-out script"}, "buffers": [{"byteLength": len(positions)}],
       "bufferViews": [{"buffer": 0, "byteLength": len(positions)}],
       "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
                      "min": [0, 0, 0], "max": [1, 1 + n, 0]}],
       "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [{"mesh": 0}],
       "scenes": [{"nodes": [0]}], "scene": 0}
text = json.dumps(doc).encode()
text += b" " * (-len(text) % 4)
chunks = struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(positions), b"BIN\\0") + positions
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<4sII", b"glTF", 2, 12 + len(chunks)) + chunks)
"""

PYTHON_CERT = """
import datetime, sys
from cryptography import x509
from cryptography.x509.oid import NameOID
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec, ed25519, rsa
n = int(sys.argv[2])
key = [lambda: ec.generate_private_key(ec.SECP384R1()), ed25519.Ed25519PrivateKey.generate,
       lambda: rsa.generate_private_key(65537, 3072)][n]()
name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "held-out %d" % n)])
when = datetime.datetime(2024, 1, 1)
cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name).public_key(key.public_key())
        .serial_number(1000 + n).not_valid_before(when).not_valid_after(when + datetime.timedelta(days=30))
        .sign(key, None if n == 1 else hashes.SHA256()))
"""


def pycert(name, exts, tail):
    return py(name, "crypto", exts, PYTHON_CERT + tail, "python3-cryptography")


FORMATS = [
    # Video through GStreamer's encoders and muxers.
    gv("mp4", "mp4/m4v", "x264enc ! mp4mux"),
    gv("mov", "mov/qt", "x264enc ! qtmux"),
    gv("mkv", "mkv", "x264enc ! matroskamux"),
    gv("webm", "webm", "vp8enc ! webmmux"),
    gv("avi", "avi", "jpegenc ! avimux"),
    gv("flv", "flv", "x264enc ! flvmux"),
    gv("mpeg-ts", "ts/mts/m2ts", "x264enc ! h264parse ! mpegtsmux"),
    gv("ogv", "ogv/ogg", "theoraenc ! oggmux"),
    gv("wmv", "wmv/asf", "avenc_wmv2 ! asfmux"),
    gv("h264", "h264/264/avc", "x264enc ! video/x-h264,stream-format=byte-stream"),
    gv("hevc", "hevc/h265/265", "x265enc ! video/x-h265,stream-format=byte-stream"),
    gv("y4m", "y4m", "y4menc"),
    gv("mjpeg", "mjpg/mjpeg/jpg", "jpegenc"),
    F("ivf", "video", "ivf", "vpx-tools ffmpeg",
      "ffmpeg -v error -f lavfi -i {vid} -pix_fmt yuv420p -f yuv4mpegpipe in.y4m && vpxenc -q --codec=vp{n} --ivf -o {out} in.y4m 2>/dev/null"
      .replace("vp{n}", "vp$((8+{n}%2))")),
    F("m2v", "video", "m2v/mpv/mpg", "mjpegtools ffmpeg", MPEG2ENC + " && mv in.m2v {out}"),
    F("mpeg-ps", "video", "mpg/mpeg/vob", "mjpegtools ffmpeg", MPEG2ENC + " && mplex -v 0 -f 3 -o {out} in.m2v"),
    # Video by ffmpeg, with codecs and settings the breadth corpus does not use.
    breadth_corpus.ffv("mp4", "mp4/m4v", "-c:v libx265 -tag:v hvc1 -x265-params log-level=error -f mp4"),
    breadth_corpus.ffv("mkv", "mkv", "-c:v libvpx-vp9 -b:v 100k -f matroska"),
    breadth_corpus.ffv("avi", "avi", "-c:v mjpeg -f avi"),
    breadth_corpus.ffv("mov", "mov/qt", "-c:v prores -f mov"),
    # Audio through GStreamer, sox, Python and ffmpeg with other codecs.
    ga("wav", "wav", "wavenc"),
    ga("aiff", "aiff/aif/aifc", "aiffmux"),
    py("au", "audio", "au/snd", "import sunau, sys\nn = int(sys.argv[2])\nw = sunau.open(sys.argv[1], 'w')\n"
       "w.setnchannels(1 + n % 2)\nw.setsampwidth(2)\nw.setframerate([8000, 44100, 22050][n])\n"
       "w.writeframes(bytes(range(256)) * (4 + 40 * n))\nw.close()"),
    ga("flac", "flac", "flacenc"),
    ga("mp3", "mp3", "lamemp3enc"),
    ga("mp2", "mp2/mpa", "audio/x-raw,rate=32000 ! twolamemp2enc"),
    ga("vorbis", "ogg/oga", "vorbisenc ! oggmux"),
    ga("opus", "opus/ogg", "opusenc ! oggmux"),
    ga("spx", "spx/ogg", "speexenc ! oggmux"),
    ga("wv", "wv", "wavpackenc"),
    ga("aac", "aac/adts", "voaacenc ! audio/mpeg,stream-format=adts"),
    ga("m4a", "m4a/mp4", "voaacenc ! mp4mux"),
    ga("ac3", "ac3", "avenc_ac3"),
    ga("mka", "mka", "vorbisenc ! matroskamux"),
    ga("wma", "wma/asf", "avenc_wmav2 ! asfmux"),
    breadth_corpus.sx("wav", "wav", "-e u-law"),
    breadth_corpus.sx("wav", "wav", "-e ima-adpcm"),
    breadth_corpus.sx("aiff", "aiff/aif/aifc", "-b 24"),
    breadth_corpus.sx("au", "au/snd", "-e a-law"),
    breadth_corpus.sx("flac", "flac", "-C 0 -b 24"),
    breadth_corpus.sx("mp3", "mp3", "-r 8000 -c 1 -C 32"),
    breadth_corpus.sx("vorbis", "ogg/oga", "-t vorbis -C 0"),
    breadth_corpus.sx("voc", "voc", "-c 1 -b 8"),
    breadth_corpus.sx("w64", "w64", "-b 24"),
    breadth_corpus.ffa("caf", "caf", "-c:a alac -f caf"),
    breadth_corpus.ffa("mka", "mka", "-c:a flac -f matroska"),
    breadth_corpus.ffa("m4a", "m4a/mp4", "-c:a alac -f ipod"),
    breadth_corpus.ffa("aac", "aac/adts", "-ac 1 -ar 8000 -b:a 16k -c:a aac -f adts"),
    py("midi", "audio", "mid/midi", PYTHON_MIDI),
    R("wav", "audio", "wav", "python3-scipy",
      "usr/lib/python3/dist-packages/scipy/io/tests/data/test-*[0-9]bit*.wav "
      "usr/lib/python3/dist-packages/scipy/io/tests/data/test-*byte*ulaw.wav", count=6),
    # Images from GraphicsMagick, netpbm, libvips, libjpeg-turbo and other encoders.
    gm("png", "png"),
    gm("jpeg", "jpg/jpeg/jpe/jfif", "-interlace line -quality 60"),
    gm("gif", "gif"),
    gm("bmp", "bmp/dib"),
    gm("tiff", "tif/tiff", "-compress zip"),
    gm("pcx", "pcx"),
    gm("tga", "tga/icb/vda/vst"),
    gm("sgi", "sgi/rgb/rgba/bw"),
    gm("sun", "ras/sun/im1/im8/im24/im32"),
    gm("dpx", "dpx"),
    gm("cin", "cin"),
    gm("miff", "miff"),
    gm("xwd", "xwd"),
    gm("viff", "viff/xv"),
    gm("pict", "pict/pct/pic"),
    gm("fits", "fits/fit/fts"),
    gm("mng", "mng"),
    gm("xpm", "xpm", "-colors 8"),
    gm("xbm", "xbm", "-monochrome"),
    gm("pam", "pam"),
    gm("gif-animated", "gif", "-delay 10 {png} -flip {png}"),
    pbm("png", "png", "pnmtopng -compression 9"),
    pbm("jpeg", "jpg/jpeg/jpe/jfif", "pnmtojpeg --quality 95 --progressive"),
    pbm("bmp", "bmp/dib", "ppmtobmp -bpp 24"),
    pbm("tiff", "tif/tiff", "pnmtotiff -packbits"),
    pbm("pcx", "pcx", "ppmtopcx"),
    pbm("tga", "tga/icb/vda/vst", "pamtotga"),
    pbm("sgi", "sgi/rgb/rgba/bw", "pnmtosgi"),
    pbm("sun", "ras/sun/im1/im8/im24/im32", "pnmtorast"),
    pbm("fits", "fits/fit/fts", "pamtofits"),
    pbm("pict", "pict/pct/pic", "ppmtopict"),
    pbm("pfm", "pfm", "pamtopfm"),
    pbm("gif", "gif", "pamtogif"),
    pbm("xpm", "xpm", "ppmtoxpm"),
    pbm("xbm", "xbm", "pbmtoxbm", source="pbm"),
    pbm("pbm", "pbm/pnm", "pamtopnm -plain", source="pbm"),
    pbm("pgm", "pgm/pnm", "pamtopnm", source="pgm"),
    pbm("g3fax", "g3/fax", "pbmtog3", source="pbm"),
    pbm("eps", "eps/epsf/epsi/ps", "pnmtops -nocenter"),
    pbm("tiff-fax", "tif/tiff", "pnmtotiff -g4", source="pbm"),
    vips("png", "png", "[compression=1,interlace]"),
    vips("jpeg", "jpg/jpeg/jpe/jfif", "[Q=30,optimize_coding]"),
    vips("tiff", "tif/tiff", "[tile,pyramid,compression=jpeg]"),
    vips("tiff-be", "tif/tiff", "[bigtiff]"),
    vips("webp", "webp", "[lossless]"),
    vips("jp2", "jp2"),
    vips("heic", "heic/heif", "[compression=hevc]"),
    vips("avif", "avif"),
    vips("hdr", "hdr/pic"),
    py("qoi", "image", "qoi", PYTHON_QOI),
    F("jpeg", "image", "jpg/jpeg/jpe/jfif", "libjpeg-turbo-progs", "convert {png} in.ppm && cjpeg -arithmetic -outfile {out} in.ppm"),
    F("jpeg", "image", "jpg/jpeg/jpe/jfif", "libjpeg-turbo-progs", "convert {png} in.ppm && cjpeg -grayscale -restart 1 -outfile {out} in.ppm"),
    F("webp-cwebp", "image", "webp", "webp", "convert {png} in.png && cwebp -quiet -lossless -alpha_q 50 in.png -o {out}"),
    F("jxl", "image", "jxl", "libjxl-tools libjpeg-turbo-progs",
      "convert {png} in.ppm && cjpeg -outfile in.jpg in.ppm && cjxl --quiet in.jpg {out} 2>/dev/null"),
    F("jxl", "image", "jxl", "libjxl-tools", "convert {png} in.png && cjxl --quiet -d 0 -e 1 in.png {out} 2>/dev/null"),
    F("avif", "image", "avif", "libheif-examples", "convert {png} -resize 64x64! in.png && heif-enc --avif -q 40 -o {out} in.png >/dev/null"),
    F("djvu", "image", "djvu/djv", "djvulibre-bin", "convert {png} -colors 4 in.ppm && cpaldjvu in.ppm {out} >/dev/null"),
    # Pictures and sounds that Debian's programs ship.
    R("png", "image", "png", "tuxpaint-data", "usr/share/tuxpaint/**/*.png", count=5),
    R("png", "image", "png", "gimp-data", "usr/share/gimp/2.0/**/*.png", count=5),
    R("jpeg", "image", "jpg/jpeg/jpe/jfif", "tuxpaint-data", "usr/share/**/*.jpg", count=5),
    R("gif", "image", "gif", "libreoffice-common", "usr/lib/libreoffice/share/gallery/**/*.gif", count=5),
    R("pgm", "image", "pgm/pnm", "gimp-data", "usr/share/gimp/2.0/**/*.pgm", count=5),
    R("xpm", "image", "xpm", "tuxpaint-data", "usr/share/tuxpaint/**/*.xpm"),
    R("ico", "image", "ico", "tuxpaint-data", "usr/share/tuxpaint/**/*.ico"),
    R("ico", "image", "ico", "python3-pygame", "usr/lib/python3/dist-packages/pygame/*.ico"),
    R("bmp", "image", "bmp/dib", "python3-pygame", "usr/lib/python3/dist-packages/pygame/*.bmp"),
    R("wav", "audio", "wav", "tuxpaint-data", "usr/share/tuxpaint/sounds/*.wav", count=5),
    R("wav", "audio", "wav", "libreoffice-common", "usr/lib/libreoffice/share/gallery/sounds/*.wav", count=5),
    # Pillow's test pictures: files from many writers, cameras and programs.
    *[R(name, "image", exts, "src:pillow", " ".join(f"*/Tests/images/{p}" for p in patterns.split()), count=6)
      for name, exts, patterns in (
          ("tiff", "tif/tiff", "*.tif *.tiff"), ("jpeg", "jpg/jpeg/jpe/jfif", "*.jpg"), ("gif", "gif", "*.gif"),
          ("dds", "dds", "*.dds"), ("webp", "webp", "*.webp"), ("sgi", "sgi/rgb/rgba/bw", "*.sgi *.rgb"),
          ("jp2", "jp2", "*.jp2"), ("j2k", "j2k/j2c/jpc", "*.j2k"), ("eps", "eps/epsf/epsi/ps", "*.eps"),
          ("bmp", "bmp/dib", "bmp/g/*.bmp bmp/q/*.bmp"), ("tga", "tga/icb/vda/vst", "*.tga tga/common/*.tga"),
          ("psd", "psd", "*.psd"), ("ico", "ico", "*.ico"), ("pcx", "pcx", "*.pcx"), ("ppm", "ppm/pnm", "*.ppm"),
          ("pgm", "pgm/pnm", "*.pgm"), ("pbm", "pbm/pnm", "*.pbm"), ("xbm", "xbm", "*.xbm"), ("xpm", "xpm", "*.xpm"),
          ("fits", "fits/fit/fts", "*.fits"), ("sun", "ras/sun/im1/im8/im24/im32", "*.ras"),
          ("apng", "apng/png", "*.apng"), ("png", "png", "*.png"), ("hdf5", "h5/hdf5/hdf", "*.h5"),
          ("wmf", "wmf", "*.wmf"))],
    # TagLib's test files: audio from many encoders and taggers.
    *[R(name, "video" if name in ("mp4", "3g2") else "audio", exts, "src:taglib", " ".join(f"*/tests/data/{p}" for p in patterns.split()), count=6)
      for name, exts, patterns in (
          ("mp3", "mp3", "*.mp3"), ("wav", "wav", "*.wav"), ("m4a", "m4a/mp4", "*.m4a"), ("mpc", "mpc/mp+/mpp", "*.mpc"),
          ("wv", "wv", "*.wv"), ("flac", "flac", "*.flac"), ("aiff", "aiff/aif/aifc", "*.aif *.aiff *.aifc"),
          ("vorbis", "ogg/oga", "*.ogg"), ("oga-flac", "oga/ogg", "*.oga"), ("wma", "wma/asf", "*.wma"),
          ("tta", "tta", "*.tta"), ("spx", "spx/ogg", "*.spx"), ("opus", "opus/ogg", "*.opus"), ("ape", "ape", "*.ape"),
          ("mp4", "mp4/m4v", "*.mp4 *.m4v"), ("3g2", "3g2", "*.3g2"))],
    # Documents from LibreOffice filters, AbiWord and Gnumeric.
    lo("docx", "docx", breadth_corpus.WRITER_SRC, "MS Word 2007 XML", "libreoffice-writer-nogui pandoc"),
    lo("odt", "odt", "pandoc -o src.docx {doc}", "writer8", "libreoffice-writer-nogui pandoc"),
    lo("rtf", "rtf", breadth_corpus.WRITER_SRC, "Rich Text Format", "libreoffice-writer-nogui pandoc"),
    lo("epub", "epub", breadth_corpus.WRITER_SRC, "EPUB", "libreoffice-writer-nogui pandoc"),
    lo("pptx", "pptx", breadth_corpus.IMPRESS_SRC, "Impress MS PowerPoint 2007 XML", "libreoffice-impress-nogui pandoc"),
    lo("doc", "doc/dot", "pandoc -o src.docx {doc}", "MS Word 97", "libreoffice-writer-nogui pandoc"),
    abiword("rtf", "rtf"),
    abiword("odt", "odt"),
    abiword("docx", "docx"),
    ssconvert("xls", "xls/xlt", "Gnumeric_Excel:excel_biff8"),
    ssconvert("xls", "xls/xlt", "Gnumeric_Excel:excel_biff7"),
    ssconvert("xlsx", "xlsx", "Gnumeric_Excel:xlsx2"),
    ssconvert("ods", "ods", "Gnumeric_OpenCalc:odf"),
    # Archives and compressed files from bsdtar, Python, 7-Zip and other tools.
    F("tar", "archive", "tar", "libarchive-tools", "bsdtar --format gnutar -cf {out} {wav} {txt}"),
    F("tar-pax", "archive", "tar", "libarchive-tools", "bsdtar --format pax -cf {out} {wav} {txt}"),
    F("cpio", "archive", "cpio", "libarchive-tools", "bsdtar --format newc -cf {out} {wav} {txt}"),
    F("cpio-odc", "archive", "cpio", "libarchive-tools", "bsdtar --format odc -cf {out} {wav} {txt}"),
    F("zip", "archive", "zip", "libarchive-tools", "bsdtar --format zip -cf {out} {wav} {txt}"),
    F("ar", "archive", "a/ar", "libarchive-tools", "bsdtar --format argnu -cf {out} {txt}"),
    F("iso", "disk", "iso", "libarchive-tools", "bsdtar --format iso9660 -cf {out} {wav} {txt}"),
    py("zip", "archive", "zip", "import sys, zipfile\nn = int(sys.argv[2])\n"
       "with zipfile.ZipFile(sys.argv[1], 'w', [zipfile.ZIP_STORED, zipfile.ZIP_BZIP2, zipfile.ZIP_LZMA][n]) as z:\n"
       "    z.writestr('a%d.txt' % n, 'held-out ' * (1 + 50 * n))"),
    py("tar", "archive", "tar", "import io, sys, tarfile\nn = int(sys.argv[2])\n"
       "with tarfile.open(sys.argv[1], 'w', format=[tarfile.GNU_FORMAT, tarfile.USTAR_FORMAT, tarfile.PAX_FORMAT][n]) as t:\n"
       "    data = b'held-out ' * (1 + 100 * n)\n    info = tarfile.TarInfo('dir%d/a.txt' % n)\n    info.size = len(data)\n"
       "    t.addfile(info, io.BytesIO(data))"),
    py("gzip", "archive", "gz", "import gzip, sys\nn = int(sys.argv[2])\n"
       "open(sys.argv[1], 'wb').write(gzip.compress(b'held-out ' * (1 + 300 * n), compresslevel=1 + 4 * n))"),
    py("bzip2", "archive", "bz2", "import bz2, sys\nn = int(sys.argv[2])\n"
       "open(sys.argv[1], 'wb').write(bz2.compress(b'held-out ' * (1 + 300 * n), 1 + 4 * n))"),
    py("xz", "archive", "xz", "import lzma, sys\nn = int(sys.argv[2])\n"
       "open(sys.argv[1], 'wb').write(lzma.compress(b'held-out ' * (1 + 300 * n), check=[lzma.CHECK_NONE, lzma.CHECK_CRC32, lzma.CHECK_SHA256][n]))"),
    py("lzma", "archive", "lzma", "import lzma, sys\nn = int(sys.argv[2])\n"
       "open(sys.argv[1], 'wb').write(lzma.compress(b'held-out ' * (1 + 300 * n), format=lzma.FORMAT_ALONE, preset=3 * n))"),
    F("zip", "archive", "zip", "p7zip-full", "7z a -bd -tzip -mm=Deflate64 {out} {wav} {txt} >/dev/null"),
    F("gzip", "archive", "gz", "p7zip-full", "7z a -bd -tgzip {out} {wav} >/dev/null"),
    F("bzip2", "archive", "bz2", "p7zip-full", "7z a -bd -tbzip2 {out} {wav} >/dev/null"),
    F("xz", "archive", "xz", "p7zip-full", "7z a -bd -txz {out} {wav} >/dev/null"),
    F("wim", "archive", "wim/swm/esd", "p7zip-full", "7z a -bd -twim {out} {wav} {txt} >/dev/null"),
    F("lz4", "archive", "lz4", "lz4", "lz4 -q -l -c {wav} > {out}"),
    F("zstd", "archive", "zst", "zstd", "zstd -q --ultra -22 --no-check -c {wav} > {out}"),
    F("lzip", "archive", "lz", "zstd lzip", "lzip -0 -c {txt} > {out}"),
    F("cab", "archive", "cab", "gcab", "cp {wav} a.wav && gcab -c -z {out} a.wav"),
    F("deb", "archive", "deb", "dpkg",
      "mkdir -p pkg/DEBIAN pkg/usr/share/a && cp {wav} pkg/usr/share/a/ && printf 'Package: held{n}\\nVersion: 2.{n}\\n"
      "Architecture: all\\nMaintainer: a <a@b>\\nDescription: d\\n' > pkg/DEBIAN/control && "
      "dpkg-deb -Zxz -z9 --root-owner-group -b pkg {out} >/dev/null"),
    R("jar", "archive", "jar", "libcommons-io-java", "usr/share/java/commons-io.jar"),
    R("jar", "archive", "jar", "libguava-java", "usr/share/java/guava.jar"),
    R("deb", "archive", "deb", "dpkg", "var/cache/apt/archives/lib*.deb"),
    F("7z", "archive", "7z", "libarchive-tools", "bsdtar --format 7zip -cf {out} {wav} {txt}"),
    R("zip", "archive", "zip/whl", "python3-pip-whl", "usr/share/python-wheels/*.whl"),
    F("git-pack", "data", "pack", "git",
      "git init -q g && cp {txt} g/a && git -C g add a && git -C g -c user.name=a -c user.email=a@b commit -qm m && "
      "git -C g rev-list --objects --all | git -C g pack-objects -q --index-version=1 --window=0 p && cp g/p-*.pack {out}"),
    F("git-bundle", "data", "bundle", "git",
      "git init -q g && cp {wav} g/a && git -C g add a && git -C g -c user.name=a -c user.email=a@b commit -qm m && "
      "git -C g bundle create --version=3 {out} --all 2>/dev/null"),
    # Disk images with other tools and settings.
    F("mbr", "disk", "img/raw/bin", "parted", "truncate -s 8M {out} && parted -s {out} mklabel msdos mkpart primary ext4 1MiB 100%"),
    F("gpt", "disk", "img/raw/bin", "parted", "truncate -s 8M {out} && parted -s {out} mklabel gpt mkpart p{n} 1MiB 100%"),
    F("iso", "disk", "iso", "genisoimage", "mkdir -p d && cp {wav} d/ && genisoimage -quiet -udf -R -o {out} d"),
    F("iso", "disk", "iso", "xorriso syslinux-utils", "mkdir -p d && cp {txt} d/ && xorriso -as mkisofs -quiet -o {out} d 2>/dev/null "
      "&& isohybrid {out} 2>/dev/null; test -s {out}"),
    F("squashfs", "disk", "squashfs/sqsh/sfs", "squashfs-tools", "mkdir -p d && cp {wav} d/ && mksquashfs d {out} -comp zstd -quiet -noappend >/dev/null"),
    F("squashfs", "disk", "squashfs/sqsh/sfs", "squashfs-tools-ng", "mkdir -p d && cp {txt} d/ && gensquashfs -q -D d {out}"),
    F("fat12", "disk", "img/ima/fat", "mtools", "mformat -C -f 1440 -v HELD{n} -i {out} ::"),
    F("fat16", "disk", "img/fat", "dosfstools", "mkfs.fat -C -F 16 -S 2048 -n HELD {out} 65536 >/dev/null"),
    F("fat32", "disk", "img/fat", "dosfstools", "mkfs.fat -C -F 32 -s 1 -f 1 {out} 66000 >/dev/null"),
    F("ext2", "disk", "img/ext2", "genext2fs", "mkdir -p d && cp {txt} d/ && genext2fs -b 1024 -d d {out}"),
    F("ext4", "disk", "img/ext4", "e2fsprogs", "mke2fs -q -t ext4 -b 4096 -O ^has_journal,64bit -F {out} 16M"),
    F("ext3", "disk", "img/ext3", "e2fsprogs", "mke2fs -q -t ext3 -b 1024 -I 128 -F {out} 3M"),
    F("ntfs", "disk", "img/ntfs", "ntfs-3g", "truncate -s 16M {out} && mkntfs -q -F -f -c 8192 {out} >/dev/null 2>&1"),
    F("exfat", "disk", "img/exfat", "exfatprogs", "truncate -s 16M {out} && mkfs.exfat -c 64K {out} >/dev/null"),
    F("qcow2", "disk", "qcow2/qcow", "qemu-utils", "qemu-img create -q -f qcow2 -o compat=0.10,cluster_size=4096 {out} {n}5M"),
    F("vmdk", "disk", "vmdk", "qemu-utils", "qemu-img create -q -f vmdk -o subformat=streamOptimized {out} {n}5M"),
    F("vdi", "disk", "vdi", "qemu-utils", "qemu-img create -q -f vdi -o static=on {out} 1M"),
    F("vhdx", "disk", "vhdx", "qemu-utils", "qemu-img create -q -f vhdx -o block_size=1M,subformat=fixed {out} 2M"),
    F("qcow2-data", "disk", "qcow2/qcow", "qemu-utils genext2fs",
      "mkdir -p d && cp {txt} d/ && genext2fs -b 512 -d d raw.img && qemu-img convert -c -O qcow2 raw.img {out}"),
    # Fonts Debian ships, and fonts rewritten by fontTools.
    R("ttf", "font", "ttf", "fonts-liberation2", "usr/share/fonts/truetype/liberation2/*.ttf"),
    R("otf", "font", "otf", "fonts-freefont-otf", "usr/share/fonts/opentype/freefont/*.otf"),
    R("otf", "font", "otf", "fonts-cantarell", "usr/share/fonts/opentype/cantarell/*.otf"),
    R("ttc", "font", "ttc", "fonts-wqy-microhei", "usr/share/fonts/truetype/wqy/*.ttc", count=1),
    R("woff", "font", "woff", "fonts-materialdesignicons-webfont", "usr/share/fonts/*/*/*.woff usr/share/fonts/*/*.woff"),
    R("woff2", "font", "woff2", "fonts-materialdesignicons-webfont", "usr/share/fonts/*/*/*.woff2 usr/share/fonts/*/*.woff2"),
    R("woff", "font", "woff", "fonts-roboto-fontface", "usr/share/fonts/woff/roboto-fontface/*/*.woff"),
    R("woff2", "font", "woff2", "fonts-roboto-fontface", "usr/share/fonts/woff/roboto-fontface/*/*.woff2 usr/share/fonts/woff2/roboto-fontface/*/*.woff2"),
    R("eot", "font", "eot", "fonts-roboto-fontface", "usr/share/fonts/eot/roboto-fontface/*/*.eot"),
    py("woff2", "font", "woff2", "import glob, sys\nfrom fontTools.ttLib import TTFont\n"
       "f = TTFont(sorted(glob.glob('/usr/share/fonts/truetype/dejavu/*.ttf'))[int(sys.argv[2])])\n"
       "f.flavor = 'woff2'\nf.save(sys.argv[1])", "python3-fonttools python3-brotli fonts-dejavu-core"),
    py("woff", "font", "woff", "import glob, sys\nfrom fontTools.ttLib import TTFont\n"
       "f = TTFont(sorted(glob.glob('/usr/share/fonts/truetype/dejavu/*.ttf'))[int(sys.argv[2])])\n"
       "f.flavor = 'woff'\nf.save(sys.argv[1])", "python3-fonttools fonts-dejavu-core"),
    py("ttc", "font", "ttc", "import glob, sys\nfrom fontTools.ttLib import TTFont, TTCollection\n"
       "c = TTCollection()\nc.fonts = [TTFont(p) for p in sorted(glob.glob('/usr/share/fonts/truetype/dejavu/*.ttf'))[:2]]\n"
       "c.save(sys.argv[1])", "python3-fonttools fonts-dejavu-core", ),
    # 3-D models from other writers.
    py("stl", "3d", "stl", PYTHON_STL),
    py("ply", "3d", "ply", PYTHON_PLY),
    py("glb", "3d", "glb", PYTHON_GLB),
    # Certificates and keys from GnuTLS's certtool, Python's cryptography, and gpg/ssh with other algorithms.
    F("pem-cert", "crypto", "pem/crt/cer", "gnutls-bin",
      "printf 'cn = held{n}\\nexpiration_days = 9\\nca\\n' > t.cfg && certtool -p --key-type ecdsa --outfile k.pem 2>/dev/null "
      "&& certtool -s --load-privkey k.pem --template t.cfg --outfile {out} 2>/dev/null"),
    F("der-cert", "crypto", "der/cer/crt", "gnutls-bin",
      "printf 'cn = held{n}\\nexpiration_days = 9\\n' > t.cfg && certtool -p --key-type ed25519 --outfile k.pem 2>/dev/null "
      "&& certtool -s --load-privkey k.pem --template t.cfg --outder --outfile {out} 2>/dev/null"),
    F("p12", "crypto", "p12/pfx", "gnutls-bin",
      "printf 'cn = held{n}\\nexpiration_days = 9\\n' > t.cfg && certtool -p --outfile k.pem 2>/dev/null "
      "&& certtool -s --load-privkey k.pem --template t.cfg --outfile c.pem 2>/dev/null "
      "&& certtool --to-p12 --load-privkey k.pem --load-certificate c.pem --p12-name held --password x{n} --outder --outfile {out} 2>/dev/null"),
    F("der-key", "crypto", "der/key", "gnutls-bin", "certtool -p --key-type rsa --bits 1024 --outder --outfile {out} 2>/dev/null"),
    pycert("der-cert", "der/cer/crt", "open(sys.argv[1], 'wb').write(cert.public_bytes(serialization.Encoding.DER))"),
    pycert("pem-cert", "pem/crt/cer", "open(sys.argv[1], 'wb').write(cert.public_bytes(serialization.Encoding.PEM))"),
    pycert("der-key", "der/key", "open(sys.argv[1], 'wb').write(key.private_bytes(serialization.Encoding.DER, "
           "serialization.PrivateFormat.PKCS8, serialization.NoEncryption()))"),
    pycert("p12", "p12/pfx", "from cryptography.hazmat.primitives.serialization import pkcs12\n"
           "open(sys.argv[1], 'wb').write(pkcs12.serialize_key_and_certificates(b'held', key, cert, None, "
           "serialization.BestAvailableEncryption(b'x')))"),
    pycert("p7b", "p7b/p7c/spc", "from cryptography.hazmat.primitives.serialization import pkcs7\n"
           "open(sys.argv[1], 'wb').write(pkcs7.serialize_certificates([cert], serialization.Encoding.DER))"),
    F("der-csr", "crypto", "der/csr/req", "openssl",
      "openssl req -new -newkey rsa:1024 -nodes -keyout k.pem -subj /CN=held{n}/O=Org -outform DER -out {out} 2>/dev/null"),
    F("p7s", "crypto", "p7s/p7m", "openssl",
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-384 -nodes -keyout k.pem -subj /CN=held{n} -days 9 -out c.pem 2>/dev/null "
      "&& openssl smime -sign -in {txt} -signer c.pem -inkey k.pem -outform DER -out {out}"),
    F("gpg-key", "crypto", "gpg/pgp/key", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key held{n}@example.org rsa2048 2>/dev/null && gpg -q --export > {out}"),
    F("gpg-msg", "crypto", "gpg/pgp", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key held{n}@example.org future-default default never 2>/dev/null "
      "&& gpg -q --batch --trust-model always -r held{n}@example.org -o {out} -e {txt}"),
    R("gpg-key", "crypto", "gpg/pgp/key", "debian-archive-keyring", "usr/share/keyrings/*.gpg"),
    F("gpg-sig", "crypto", "sig/gpg", "gnupg",
      "export GNUPGHOME=$PWD/gh && mkdir -m 700 -p gh && gpg -q --batch --passphrase '' --quick-gen-key held{n}@example.org rsa2048 2>/dev/null && gpg -q --batch -o {out} --detach-sign {wav}"),
    F("ssh-key", "crypto", "key/pem", "openssh-client", "ssh-keygen -q -t rsa -b 1024 -m PEM -N '' -C held{n} -f {out} && rm {out}.pub"),
    F("jks", "crypto", "jks/keystore", "openjdk-17-jdk-headless",
      "keytool -genkeypair -keyalg EC -alias b -dname CN=held{n} -storepass secret{n} -keypass secret{n} -storetype JKS -keystore {out} 2>/dev/null"),
    R("jks", "crypto", "jks/keystore", "ca-certificates-java", "etc/ssl/certs/java/cacerts", count=1),
    # Data files.
    py("sqlite", "data", "sqlite/sqlite3/db", "import sqlite3, sys\nn = int(sys.argv[2])\nc = sqlite3.connect(sys.argv[1])\n"
       "c.execute('pragma page_size=%d' % [512, 65536, 4096][n])\nc.execute('pragma journal_mode=%s' % ['delete', 'wal', 'delete'][n])\n"
       "c.execute('create table t(a)')\nc.executemany('insert into t values(?)', [(i,) for i in range(10 ** n)])\nc.commit()\nc.close()"),
    py("hdf5", "data", "h5/hdf5/hdf", "import h5py, sys\nn = int(sys.argv[2])\n"
       "f = h5py.File(sys.argv[1], 'w', userblock_size=[0, 512, 1024][n], libver=['latest', 'earliest', 'latest'][n])\n"
       "f['d'] = list(range(5))\nf.close()", "python3-h5py"),
    R("mat-v5", "data", "mat", "python3-scipy",
      "usr/lib/python3/dist-packages/scipy/io/matlab/tests/data/test*_6.5.1_GLNX86.mat "
      "usr/lib/python3/dist-packages/scipy/io/matlab/tests/data/test*_7.4_GLNX86.mat "
      "usr/lib/python3/dist-packages/scipy/io/matlab/tests/data/big_endian.mat", count=5),
    R("mat-v4", "data", "mat", "python3-scipy", "usr/lib/python3/dist-packages/scipy/io/matlab/tests/data/test*_4.2c_SOL2.mat",
      count=5),
    R("hdf5", "data", "mat/h5/hdf5", "python3-scipy", "usr/lib/python3/dist-packages/scipy/io/matlab/tests/data/testhdf5_7.4_GLNX86.mat",
      count=1),
    R("netcdf", "data", "nc/cdf", "python3-scipy", "usr/lib/python3/dist-packages/scipy/io/tests/data/example_*.nc"),
    py("npy", "data", "npy", "import numpy, sys\nn = int(sys.argv[2])\n"
       "a = [numpy.zeros((2, 3), order='F'), numpy.array([(1, 2.0)], dtype=[('a', 'i4'), ('b', 'f8')]), numpy.arange(3)][n]\n"
       "with open(sys.argv[1], 'wb') as f:\n    numpy.lib.format.write_array(f, a, version=[(1, 0), (2, 0), (3, 0)][n])",
       "python3-numpy"),
    py("npz", "data", "npz", "import numpy, sys\nnumpy.savez_compressed(sys.argv[1], a=numpy.arange(int(sys.argv[2]) * 100 + 1))",
       "python3-numpy"),
    py("pickle", "data", "pkl/pickle", "import pickle, sys\nn = int(sys.argv[2])\n"
       "pickle.dump([{'n': n}, b'x' * 300, list(range(50))], open(sys.argv[1], 'wb'), protocol=[1, 4, 5][n])"),
    py("pcap", "data", "pcap/cap", PYTHON_PCAP),
    py("pcapng", "data", "pcapng/pcap", PYTHON_PCAPNG),
    R("mo", "data", "mo/gmo", "libc-l10n", "usr/share/locale/*/LC_MESSAGES/libc.mo"),
    py("gdbm", "data", "gdbm/db", "import dbm.gnu, sys\nd = dbm.gnu.open(sys.argv[1], 'nf')\n"
       "for i in range(int(sys.argv[2]) * 50 + 1):\n    d[b'k%d' % i] = b'v'\nd.close()", "python3-gdbm"),
    F("berkeley-db", "data", "db", "db-util", "printf 'k{n}\\nv\\n' | db_load -T -t btree {out}"),
    # Executables, objects and bytecode Debian ships, and compilers' other settings.
    R("elf-so", "executable", "so", "libc6", "*/x86_64-linux-gnu/libm.so.6 */x86_64-linux-gnu/libresolv.so.2 */x86_64-linux-gnu/libutil.so.1"),
    R("elf-o", "executable", "o", "libc6-dev", "usr/lib/x86_64-linux-gnu/*crt*.o"),
    R("coff-obj", "executable", "obj/o", "mingw-w64-x86-64-dev", "usr/x86_64-w64-mingw32/lib/*.o"),
    F("class", "bytecode", "class", "unzip libcommons-lang3-java",
      "unzip -qo /usr/share/java/commons-lang3.jar 'org/apache/commons/lang3/*.class' && "
      "ls -S org/apache/commons/lang3/*.class | sed -n \"$((1+{n}*20))p\" | xargs -I@ cp @ {out}"),
    R("jmod", "bytecode", "jmod", "openjdk-17-jdk-headless",
      "usr/lib/jvm/java-17-openjdk-amd64/jmods/java.s*.jmod usr/lib/jvm/java-17-openjdk-amd64/jmods/jdk.z*.jmod"),
    R("pyc", "bytecode", "pyc", "libpython3.11-minimal", "usr/lib/python3.11/__pycache__/*.pyc"),
    R("beam", "bytecode", "beam", "erlang-base", "usr/lib/erlang/lib/stdlib-*/ebin/*.beam"),
    R("ocaml-bytecode", "bytecode", "cmo", "ocaml", "usr/lib/ocaml/*.cmo"),
    F("luac", "bytecode", "luac/out", "lua5.3", "printf 'print({n})\\n' > a.lua && luac5.3 -s -o {out} a.lua"),
    F("luac", "bytecode", "luac/out", "lua5.1", "printf 'print({n})\\n' > a.lua && luac5.1 -o {out} a.lua"),
    F("llvm-bc", "bytecode", "bc", "llvm", "printf 'define i32 @f() {{\\n  ret i32 {n}\\n}}\\n' > a.ll && llvm-as -o {out} a.ll"),
    F("wasm", "bytecode", "wasm", "clang lld",
      "printf 'int f(int x){{return x*{n};}}' > a.c && clang --target=wasm32 -nostdlib -Wl,--no-entry -Wl,--export-all -o {out} a.c"),
]


# Test files that are broken on purpose (fuzzer finds, truncated or invalid
# files) say so in their names; they are no sample of their format.
DAMAGED = re.compile(r"crash|timeout|broken|bad|trunc|invalid|fuzz|corrupt|oom|cve|overrun|overflow|negative|"
                     r"unsupported|not_|no_|zero|dos|hang|leak|garbage|segfault|infloop|longloop|excessive|empty|junk|"
                     r"duplicate", re.IGNORECASE)


def installed_root(package):
    """"/" when |package| is installed, else None."""
    return "/" if breadth_corpus.installed(package) else None


def unpacked_root(package, cache):
    """The folder |package| is unpacked into under |cache|, fetched and unpacked when missing."""
    root = os.path.join(cache, "root", package)
    if os.path.isdir(root):
        return root
    debs = os.path.join(cache, "debs")
    os.makedirs(debs, exist_ok=True)
    found = glob.glob(os.path.join(debs, f"{glob.escape(package)}_*.deb"))
    if not found:
        subprocess.run(["apt-get", "download", "-qq", package], cwd=debs, capture_output=True)
        found = glob.glob(os.path.join(debs, f"{glob.escape(package)}_*.deb"))
    if not found:
        return None
    os.makedirs(root + ".part", exist_ok=True)
    subprocess.run(["dpkg-deb", "-x", found[0], root + ".part"], check=True)
    os.rename(root + ".part", root)
    return root


def spread(paths, count):
    """Up to |count| of |paths| across their sizes: the smallest, the largest and those evenly between."""
    paths = sorted(set(paths), key=lambda p: (os.path.getsize(p), p))
    if len(paths) <= count:
        return paths
    if count == 1:
        return [paths[len(paths) // 2]]
    return [paths[round(i * (len(paths) - 1) / (count - 1))] for i in range(count)]


def source_root(name, cache, offline):
    """The unpacked Debian source package |name|, fetched as the accuracy corpus fetches its sources."""
    roots = make_corpus.fetch_sources([name], cache, offline)
    return roots[0][2] if roots else None


def take_real(fmt, cache, out_dir, offline):
    package = fmt["packages"][0]
    if package.startswith("src:"):
        root = source_root(package[4:], cache, offline)
    else:
        root = installed_root(package) or (None if offline else unpacked_root(package, cache))
    if root is None:
        print(f"holdout: {fmt['name']} from {package} skipped: package not available", file=sys.stderr)
        return []
    found = [p for pattern in fmt["patterns"] for p in glob.glob(os.path.join(root, pattern), recursive=True)
             if os.path.isfile(p) and not os.path.islink(p) and os.path.getsize(p) > 0
             and not DAMAGED.search(os.path.basename(p))]
    made = []
    os.makedirs(out_dir, exist_ok=True)
    for i, path in enumerate(spread(found, fmt["count"])):
        target = os.path.join(out_dir, f"{i}-{os.path.basename(path)}")
        shutil.copyfile(path, target)
        if wrote_its_format(fmt, target):
            made.append(target)
    if not made:
        print(f"holdout: {fmt['name']} from {package}: no file matches", file=sys.stderr)
    return made


def source_label(fmt):
    """The manifest's package column: the packages the file came from or was made with."""
    return " ".join(fmt["packages"])


def wrote_its_format(fmt, path):
    """False (and the file removed) when a writer that lacks the format wrote a PNG instead, or a
    package's file named for the format holds a PNG."""
    with open(path, "rb") as f:
        fallback = f.read(8) == b"\x89PNG\r\n\x1a\n" and not {"png", "apng"} & set(fmt["exts"])
    if fallback:
        print(f"holdout: {fmt['name']}: {os.path.basename(path)} from {' '.join(fmt['packages'])} is a PNG; left out", file=sys.stderr)
        os.remove(path)
    return not fallback


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "breadth-holdout"))
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "breadth-holdout-cache"))
    parser.add_argument("--only", help="comma-separated format names")
    parser.add_argument("--no-install", action="store_true", help="install no package and fetch none")
    args = parser.parse_args()

    formats = FORMATS
    if args.only:
        chosen = set(args.only.split(","))
        formats = [f for f in formats if f["name"] in chosen]
    generated = [f for f in formats if not f.get("real")]
    breadth_corpus.TIMEOUT = 60
    if not args.no_install:
        breadth_corpus.install_missing(breadth_corpus.BASE_PACKAGES + [p for f in generated for p in f["packages"]])
    for p in breadth_corpus.BASE_PACKAGES:
        if not breadth_corpus.installed(p):
            sys.exit(f"holdout: {p} is needed to make the inputs")

    # With --only the other formats' files stay, and so do their manifest lines.
    rows = []
    manifest = os.path.join(args.out, "manifest.tsv")
    if args.only and os.path.exists(manifest):
        with open(manifest) as f:
            rows = [line.rstrip("\n").split("\t") for line in f][1:]
        rows = [r for r in rows if r[0] not in chosen]
        for name in chosen:
            shutil.rmtree(os.path.join(args.out, name), ignore_errors=True)
    else:
        shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out, exist_ok=True)
    counter = {}
    with breadth_corpus.tempfile.TemporaryDirectory(prefix="holdout-inputs-") as folder:
        inputs = breadth_corpus.make_inputs(folder)
        for n, extra in enumerate(EXTRA_SETS):
            inputs[n].update(extra)
        for fmt in formats:
            counter[fmt["name"]] = counter.get(fmt["name"], 0) + 1
            out_dir = os.path.join(args.out, fmt["name"], str(counter[fmt["name"]]))
            if fmt.get("real"):
                made = take_real(fmt, args.cache, out_dir, args.no_install)
            else:
                missing = [p for p in fmt["packages"] if not breadth_corpus.installed(p)]
                if missing:
                    print(f"holdout: {fmt['name']} skipped: package {' '.join(missing)} not installed", file=sys.stderr)
                    continue
                made = [path for path in breadth_corpus.build(fmt, inputs, out_dir) if wrote_its_format(fmt, path)]
            for path in made:
                rows.append([fmt["name"], fmt["category"], "/".join(fmt["exts"]), source_label(fmt),
                             os.path.relpath(path, args.out)])
    breadth_corpus.write_manifest(manifest, rows, "holdout", args.out)


if __name__ == "__main__":
    main()
