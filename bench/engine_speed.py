#!/usr/bin/python3
"""Times trueext against `file -b --extension` on the files the library sees.

Every folder holds only files that no built-in signature row of trueext
takes, so each one goes through the identification library:

  * one folder per kind (--per-kind files each): JPEG, PNG and BMP written
    byte by byte; xz, bz2, zip, tar, SQLite and WAV written by Python's own
    modules; plain prose; and, made by real encoders (ImageMagick, ffmpeg,
    lame; installed with apt-get when missing, skipped with a line when they
    cannot be had), photos of a camera's size (12 megapixels, a few MB)
    with an Exif block, MP4 video and MP3 audio;
  * a mixed folder of --mixed files drawn evenly from those kinds;
  * "machine": --machine real files of as many kinds as /usr/share and
    /usr/lib hold, each under the hash of its content;
  * "corpus": the accuracy corpus (bench/make_corpus.py, built when missing
    unless --no-corpus), the files no built-in row takes;
  * "office": --per-kind office documents (docx, xlsx, odt, doc, xls in
    turn) from the real-document corpus of bench/make_real_documents.py
    (--realdocs; skipped with a line when it is not built), written by the
    programs people use.

For each folder trueext (on a fresh copy each run, since it renames) and
`file -b --extension -f LIST` (one process) run alternately, so that the
noise of a shared machine falls on both; the figure is the ratio of their
median wall-clock times, against the folder's target. Beside it is the ratio
of their median processor times (all threads and processes of a run): where
a second processor is free, trueext renames on it while it examines the
next files, so it may take less time than it uses.

Last, peak memory: trueext's max RSS on --memory-sizes folders of tiny PNG
files (library path, every file renamed) beside the same on PDF files
(built-in path, every file renamed, with names of the same length). The
built-in run grows only by the set of names the run created, so the
difference of the two growths is what the library path adds per file.

usage: engine_speed.py [--build DIR] [--runs N] [--only K1,K2] [--check]
"""

import argparse
import collections
import hashlib
import io
import lzma
import bz2
import os
import random
import resource
import shutil
import sqlite3
import statistics
import struct
import subprocess
import sys
import tarfile
import tempfile
import time
import wave
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The first bytes that a built-in row of trueext takes; such files never
# reach the library.
BUILTIN_PREFIXES = [
    b"CWS", b"MZ", b"%PDF", b"Rar!\x1a\x07\x00", b"function", b"(", b"var",
    b"MIME-Ver", b"<", b"x", b"{\\rt", b"\x1f\x8b\x08", b"#!/usr/bin/perl",
    b"7z", b"\x7fELF", b"@echo", b"echo", b"\n", b"\r\n",
]
ROOTS = ["/usr/share", "/usr/lib"]
MAX_SIZE = 4 << 20
PER_KIND = 60  # no one kind may fill the machine folder

# Highest ratio trueext / file allowed per folder. Text may take half of
# file's time at most, classifier and model included.
TARGET_KIND = 1.0
TARGET_MIXED = 0.8
TARGET_TEXT = 0.5
# Growth of peak memory from the small to the large folder that the library
# path may add beyond the built-in path's, in KiB.
TARGET_MEMORY_KIB = 2048

WORDS = ("the of and to in is was for on that with as by at from this be are have it not or "
         "which an their were has been but all its they one more can other when also into "
         "some these would there than may after about first two time only new people over "
         "most could such so where before many state years used between under during those "
         "while each since later well being both through made same part most water city "
         "found around early three however large small house river music world several").split()


def takes_builtin(head):
    return any(head.startswith(prefix) for prefix in BUILTIN_PREFIXES)


# --- writers of one file of each kind, from a seeded random source ---------


def png_bytes(rng):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))
    width, height = rng.randint(1, 64), rng.randint(1, 64)
    rows = b"".join(b"\0" + bytes(rng.getrandbits(8) for _ in range(width * 3))
                    for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def jpeg_bytes(rng):
    """A baseline greyscale JFIF JPEG of flat 8x8 blocks, written by hand.

    One-symbol Huffman tables (DC difference 0, end of block) make every
    block the two bits "00"."""
    width, height = 8 * rng.randint(1, 8), 8 * rng.randint(1, 8)
    blocks = (width // 8) * (height // 8)
    bits = "00" * blocks
    bits += "1" * (-len(bits) % 8)
    scan = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

    def segment(marker, data):
        return b"\xff" + marker + struct.pack(">H", len(data) + 2) + data
    return (b"\xff\xd8" +
            segment(b"\xe0", b"JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00") +
            segment(b"\xdb", b"\x00" + bytes([rng.randint(1, 16)] * 64)) +
            segment(b"\xc0", struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00") +
            segment(b"\xc4", b"\x00" + b"\x01" + b"\x00" * 15 + b"\x00") +
            segment(b"\xc4", b"\x10" + b"\x01" + b"\x00" * 15 + b"\x00") +
            segment(b"\xda", b"\x01\x01\x00\x00\x3f\x00") + scan + b"\xff\xd9")


def bmp_bytes(rng):
    width, height = rng.randint(1, 64), rng.randint(1, 64)
    stride = (width * 3 + 3) & ~3
    pixels = bytes(rng.getrandbits(8) for _ in range(stride * height))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + \
        header + pixels


def prose(rng, words):
    text, line = [], []
    for _ in range(words):
        line.append(rng.choice(WORDS))
        if sum(len(w) + 1 for w in line) > 68:
            text.append(" ".join(line))
            line = []
    text.append(" ".join(line))
    body = "\n".join(text)
    return (body[0].upper() + body[1:] + ".\n").encode()


def text_bytes(rng):
    return prose(rng, rng.randint(100, 800))


def xz_bytes(rng):
    return lzma.compress(prose(rng, 300))


def bz2_bytes(rng):
    return bz2.compress(prose(rng, 300))


def zip_bytes(rng):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        for i in range(rng.randint(1, 4)):
            archive.writestr(f"notes/part{i}.txt", prose(rng, 100))
    return out.getvalue()


def tar_bytes(rng):
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w", format=tarfile.GNU_FORMAT) as archive:
        for i in range(rng.randint(1, 3)):
            data = prose(rng, 100)
            info = tarfile.TarInfo(f"notes/part{i}.txt")
            info.size, info.mtime = len(data), 1700000000
            archive.addfile(info, io.BytesIO(data))
    return out.getvalue()


def sqlite_bytes(rng, scratch):
    path = os.path.join(scratch, "db.sqlite")
    if os.path.exists(path):
        os.unlink(path)
    with sqlite3.connect(path) as db:
        db.execute("create table notes (id integer primary key, body text)")
        db.executemany("insert into notes (body) values (?)",
                       [(prose(rng, 20).decode(),) for _ in range(rng.randint(1, 20))])
    db.close()
    with open(path, "rb") as f:
        return f.read()


def wav_samples(rng, seconds):
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(8000)
        w.writeframes(bytes(rng.getrandbits(8) for _ in range(int(16000 * seconds))))
    return out.getvalue()


def wav_bytes(rng):
    return wav_samples(rng, rng.uniform(0.01, 0.1))


# --- kinds made by real encoders -------------------------------------------

MEDIA_PACKAGES = {"photo": ("imagemagick", "/usr/bin/convert"),
                  "mp4": ("ffmpeg", "/usr/bin/ffmpeg"),
                  "mp3": ("lame", "/usr/bin/lame")}
MEDIA_SAMPLES = 4  # distinct files per encoder; the folder holds links to them
CAMERA_SIZES = ["4000x3000!", "4032x3024!", "3264x2448!", "2592x1944!"]


def install_missing(packages):
    missing = [p for p in packages
               if subprocess.run(["dpkg-query", "-W", "-f=${Status}", p], capture_output=True,
                                 text=True).stdout.find("install ok installed") < 0]
    if not missing:
        return
    print("installing: " + " ".join(missing), flush=True)
    sudo = [] if os.geteuid() == 0 else ["sudo", "-n"]
    lock = ["-o", "DPkg::Lock::Timeout=900"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get"] + lock + ["install", "-y", "-qq", "--no-install-recommends"] +
                   missing, env=env, stdout=subprocess.DEVNULL, check=False)


def exif_segment(rng):
    """An APP1 Exif block such as a camera writes: make, model, orientation,
    date, in a little-endian TIFF directory."""
    entries = [(0x010f, b"BenchCam\0"), (0x0110, b"Model %d\0" % rng.randint(1, 9)),
               (0x0112, 1), (0x0132, b"2024:05:%02d 12:00:00\0" % rng.randint(1, 28))]
    table_size = 2 + 12 * len(entries) + 4
    data_offset = 8 + table_size
    table, data = struct.pack("<H", len(entries)), b""
    for tag, value in entries:
        if isinstance(value, int):
            table += struct.pack("<HHIHH", tag, 3, 1, value, 0)
        else:
            table += struct.pack("<HHII", tag, 2, len(value), data_offset + len(data))
            data += value
    tiff = b"II*\0" + struct.pack("<I", 8) + table + b"\0\0\0\0" + data
    payload = b"Exif\0\0" + tiff
    return b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload


def media_samples(kind, scratch, rng):
    """Up to MEDIA_SAMPLES files of |kind| from its encoder; [] without it."""
    package, tool = MEDIA_PACKAGES[kind]
    if not os.access(tool, os.X_OK):
        install_missing([package])
    if not os.access(tool, os.X_OK):
        return []
    samples = []
    for i in range(MEDIA_SAMPLES):
        out = os.path.join(scratch, f"{kind}{i}")
        if kind == "photo":
            # A camera's size (12 megapixels) and grain, from a small plasma
            # scaled up: a few MB each, as photos are.
            argv = [tool, "-seed", str(i), "-size", "400x300", "plasma:fractal", "-resize",
                    CAMERA_SIZES[i % len(CAMERA_SIZES)], "-attenuate", "0.3", "+noise",
                    "Gaussian", "-quality", "90", "jpg:" + out]
        elif kind == "mp4":
            argv = [tool, "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"testsrc=duration={1 + i % 3}:size=160x120:rate=10", "-f", "lavfi", "-i",
                    f"sine=frequency={300 + 50 * i}:duration={1 + i % 3}", "-c:v", "mpeg4",
                    "-c:a", "aac", "-shortest", "-f", "mp4", out]
        else:
            source = out + ".wav"
            with open(source, "wb") as f:
                f.write(wav_samples(rng, 0.5 + i / 4))
            argv = [tool, "--quiet", "-b", "128", "--resample", "44.1", "--add-id3v2", "--tt",
                    f"Track {i}", "--ta", "Bench", source, out]
        if subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          stdin=subprocess.DEVNULL).returncode != 0 or not os.path.exists(out):
            continue
        with open(out, "rb") as f:
            data = f.read()
        if kind == "photo" and data.startswith(b"\xff\xd8"):
            # A camera's JPEG opens with its Exif block.
            data = data[:2] + exif_segment(rng) + data[2:]
        samples.append(data)
    return samples


SYNTHETIC = collections.OrderedDict([
    ("jpeg", jpeg_bytes), ("png", png_bytes), ("sqlite", None), ("xz", xz_bytes),
    ("zip", zip_bytes), ("wav", wav_bytes), ("bz2", bz2_bytes), ("bmp", bmp_bytes),
    ("tar", tar_bytes), ("text", text_bytes),
])
KINDS = list(SYNTHETIC) + list(MEDIA_PACKAGES)


def make_kind(kind, folder, count, scratch, seed):
    """Writes |count| files of |kind| into |folder|; False when the kind is
    not available here."""
    rng = random.Random(f"{seed}-{kind}")
    if kind in MEDIA_PACKAGES:
        samples = media_samples(kind, scratch, rng)
        if not samples:
            return False
        # The encoders are slow and photos large: the folder holds links to
        # a few files, which the tools read like any other.
        os.makedirs(folder)
        for i in range(count):
            name = os.path.join(folder, f"{kind}-{i:05d}")
            if i < len(samples):
                with open(name, "wb") as f:
                    f.write(samples[i])
            else:
                os.link(os.path.join(folder, f"{kind}-{i % len(samples):05d}"), name)
        return True
    if kind == "sqlite":
        make = lambda i: sqlite_bytes(rng, scratch)  # noqa: E731
    else:
        make = lambda i: SYNTHETIC[kind](rng)  # noqa: E731
    os.makedirs(folder)
    for i in range(count):
        data = make(i)
        if takes_builtin(data[:16]):
            sys.exit(f"engine_speed: a {kind} file would be taken by a built-in row")
        with open(os.path.join(folder, f"{kind}-{i:05d}"), "wb") as f:
            f.write(data)
    return True


# --- the real files of this machine ----------------------------------------


def kind_of(path):
    name = os.path.basename(path)
    dot = name.rfind(".")
    return name[dot + 1:].lower() if 0 < dot < len(name) - 1 else "(none)"


def machine_candidates(rng):
    by_kind = collections.defaultdict(list)
    for root in ROOTS:
        for folder, dirs, names in os.walk(root):
            dirs.sort()
            for name in sorted(names):
                path = os.path.join(folder, name)
                try:
                    if os.path.islink(path) or not os.path.isfile(path):
                        continue
                    size = os.path.getsize(path)
                except OSError:
                    continue
                if 0 < size <= MAX_SIZE:
                    by_kind[kind_of(path)].append(path)
    for paths in by_kind.values():
        rng.shuffle(paths)
    return by_kind


def make_machine_folder(target, count, seed):
    """Real files of as many kinds as the machine has, round robin over the
    kinds so that the folder is as mixed as the machine allows."""
    rng = random.Random(seed)
    by_kind = machine_candidates(rng)
    kinds = sorted(by_kind)
    rng.shuffle(kinds)
    os.makedirs(target)
    taken, seen, per_kind = 0, set(), collections.Counter()
    cursor = {kind: 0 for kind in kinds}
    while taken < count and kinds:
        for kind in list(kinds):
            if taken >= count:
                break
            paths, picked = by_kind[kind], False
            while cursor[kind] < len(paths) and not picked:
                path = paths[cursor[kind]]
                cursor[kind] += 1
                try:
                    with open(path, "rb") as f:
                        data = f.read()
                except OSError:
                    continue
                digest = hashlib.sha1(data).hexdigest()
                if takes_builtin(data[:16]) or digest in seen:
                    continue
                seen.add(digest)
                with open(os.path.join(target, digest), "wb") as out:
                    out.write(data)
                taken += 1
                per_kind[kind] += 1
                picked = True
            if not picked or per_kind[kind] >= PER_KIND:
                kinds.remove(kind)
    return len(per_kind)


def make_corpus_folder(target, corpus):
    """The accuracy corpus's files that reach the library, under their hashes."""
    if not os.path.exists(os.path.join(corpus, "manifest.tsv")):
        subprocess.check_call([sys.executable, os.path.join(ROOT, "bench", "make_corpus.py"),
                               "--out", corpus])
    os.makedirs(target)
    with open(os.path.join(corpus, "manifest.tsv")) as f:
        next(f)
        for line in f:
            path = os.path.join(corpus, line.rstrip("\n").split("\t")[-1])
            with open(path, "rb") as source:
                data = source.read()
            if not takes_builtin(data[:16]):
                with open(os.path.join(target, hashlib.sha256(data).hexdigest()), "wb") as out:
                    out.write(data)


OFFICE_KINDS = ("docx", "xlsx", "odt", "doc", "xls")


def make_office_folder(target, realdocs, count):
    """|count| office documents of the real-document corpus, the kinds in
    turn, under their hashes; False when the corpus is not built."""
    manifest = os.path.join(realdocs, "manifest.tsv")
    if not os.path.exists(manifest):
        return False
    by_kind = collections.defaultdict(list)
    with open(manifest) as f:
        next(f)
        for line in f:
            _collection, _split, _family, accepted, rel = line.rstrip("\n").split("\t")
            kind = accepted.split("/")[0]
            if kind in OFFICE_KINDS:
                with open(os.path.join(realdocs, rel), "rb") as source:
                    data = source.read()
                if not takes_builtin(data[:16]):
                    by_kind[kind].append(data)
    kinds = [kind for kind in OFFICE_KINDS if by_kind[kind]]
    if not kinds:
        return False
    os.makedirs(target)
    for i in range(count):
        files = by_kind[kinds[i % len(kinds)]]
        with open(os.path.join(target, f"office-{i:05d}"), "wb") as out:
            out.write(files[(i // len(kinds)) % len(files)])
    return True


# --- timing ----------------------------------------------------------------


def children_cpu():
    """Processor seconds, user and system, of the children waited for so far."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed_run(argv, check):
    """Runs argv; returns its wall-clock seconds and its processor seconds
    (all its threads and children together)."""
    cpu = children_cpu()
    start = time.perf_counter()
    subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, check=check)
    return time.perf_counter() - start, children_cpu() - cpu


def time_trueext(tool, source, scratch):
    # trueext renames what it identifies, so each run gets a fresh folder of
    # links to the same files: renaming a link leaves the source as it was.
    work = os.path.join(scratch, "run")
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(source, work, copy_function=os.link)
    figures = timed_run([tool, work], check=False)
    shutil.rmtree(work, ignore_errors=True)
    return figures


def time_file(listing):
    return timed_run(["file", "-b", "--extension", "-f", listing], check=True)


def compare(tool, source, scratch, runs):
    """Median wall-clock and processor seconds of trueext and of file over
    |source|, as ((wall, cpu), (wall, cpu))."""
    listing = os.path.join(scratch, "list")
    with open(listing, "w") as f:
        f.writelines(os.path.join(source, n) + "\n" for n in sorted(os.listdir(source)))
    # One untimed pass each warms the page cache and the loaders.
    time_trueext(tool, source, scratch)
    time_file(listing)
    ours, theirs = [], []
    for _ in range(runs):
        ours.append(time_trueext(tool, source, scratch))
        theirs.append(time_file(listing))

    def medians(figures):
        return tuple(statistics.median(f[i] for f in figures) for i in range(2))

    return medians(ours), medians(theirs)


def peak_rss(argv, scratch):
    """Runs argv under GNU time; returns its max RSS in KiB. GNU time's child
    is a small fork of its own, so no Python memory is counted."""
    rss_file = os.path.join(scratch, "rss")
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss_file] + argv, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, check=True)
    with open(rss_file) as f:
        return int(f.read().split()[-1])


def memory(tool, sizes, scratch):
    """Peak RSS per folder size for the library path (tiny PNG files) and the
    built-in path (tiny PDF files); both rename every file to a name of the
    same length."""
    png = png_bytes(random.Random(1))
    pdf = b"%PDF-1.4\n%bench\n"
    figures = {}
    for label, data, ext in (("library", png, ".png"), ("built-in", pdf, ".pdf")):
        for count in sizes:
            folder = os.path.join(scratch, f"memory-{label}-{count}")
            os.makedirs(folder)
            for i in range(count):
                with open(os.path.join(folder, f"{i:08x}"), "wb") as f:
                    f.write(data)
            figures[label, count] = peak_rss([tool, folder], scratch)
            renamed = sum(1 for n in os.listdir(folder) if n.endswith(ext))
            shutil.rmtree(folder)
            if renamed != count:
                sys.exit(f"engine_speed: {label}: renamed {renamed} of {count}")
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seed", type=int, default=3)
    parser.add_argument("--per-kind", type=int, default=200)
    parser.add_argument("--mixed", type=int, default=2000)
    parser.add_argument("--machine", type=int, default=2000)
    parser.add_argument("--corpus", default=os.path.join(ROOT, "build", "corpus"))
    parser.add_argument("--no-corpus", action="store_true", help="leave out the accuracy corpus")
    parser.add_argument("--realdocs", default=os.path.join(ROOT, "build", "realdocs"),
                        help="the real-document corpus, for the office folder")
    parser.add_argument("--memory-sizes", default="20000,200000",
                        help="folder sizes for peak memory; empty to leave it out")
    parser.add_argument("--only", help="comma-separated folders to time (kinds, mixed, machine, "
                        "corpus, office)")
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    args = parser.parse_args()

    tool = os.path.join(os.path.abspath(args.build), "trueext")
    if not os.access(tool, os.X_OK):
        sys.exit(f"engine_speed: error: no trueext in {args.build}; build it first")
    wanted = set(args.only.split(",")) if args.only else None
    chosen = lambda name: wanted is None or name in wanted  # noqa: E731

    scratch = tempfile.mkdtemp(prefix="engine_speed.", dir=os.environ.get("BENCH_DIR"))
    missed = []
    try:
        folders = []  # (name, path, target)
        made = {}
        for kind in KINDS:
            if not chosen(kind) and not chosen("mixed"):
                continue
            path = os.path.join(scratch, "kinds", kind)
            if make_kind(kind, path, args.per_kind, scratch, args.seed):
                made[kind] = path
                if chosen(kind):
                    folders.append((kind, path, TARGET_TEXT if kind == "text" else TARGET_KIND))
            else:
                print(f"{kind}: skipped, {MEDIA_PACKAGES[kind][1]} is not available")
        if chosen("mixed") and made:
            mixed = os.path.join(scratch, "mixed")
            os.makedirs(mixed)
            names = {kind: sorted(os.listdir(path)) for kind, path in made.items()}
            for i in range(args.mixed):
                kind = list(made)[i % len(made)]
                name = names[kind][(i // len(made)) % len(names[kind])]
                os.link(os.path.join(made[kind], name), os.path.join(mixed, f"{i:05d}-{name}"))
            folders.append(("mixed", mixed, TARGET_MIXED))
        if chosen("machine"):
            machine = os.path.join(scratch, "machine")
            kinds = make_machine_folder(machine, args.machine, args.seed)
            folders.append((f"machine ({kinds} kinds)", machine, None))
        if chosen("office"):
            office = os.path.join(scratch, "office")
            if make_office_folder(office, args.realdocs, args.per_kind):
                folders.append(("office", office, TARGET_KIND))
            else:
                print(f"office: skipped, no real-document corpus at {args.realdocs} "
                      "(bench/make_real_documents.py builds it)")
        if chosen("corpus") and not args.no_corpus:
            corpus = os.path.join(scratch, "corpus")
            make_corpus_folder(corpus, args.corpus)
            folders.append(("corpus", corpus, None))

        print(f"runs: {args.runs} each, median shown; trueext: {tool}; "
              f"processors this run may use: {len(os.sched_getaffinity(0))}")
        print("ratio: wall-clock time, trueext / file (the target); cpu: processor time, "
              "trueext / file")
        print(f"{'folder':<20} {'files':>6} {'trueext ms':>10} {'file ms':>8} {'ratio':>6} "
              f"{'cpu':>5}  target")
        for name, path, target in folders:
            (ours, our_cpu), (theirs, their_cpu) = compare(tool, path, scratch, args.runs)
            ratio = ours / theirs
            cpu_ratio = our_cpu / their_cpu if their_cpu > 0 else float("nan")
            verdict = ""
            if target is not None:
                verdict = f"<= {target:.2f}" + ("" if ratio <= target else "  MISSED")
                if ratio > target:
                    missed.append(name)
            print(f"{name:<20} {len(os.listdir(path)):>6} {ours * 1000:>10.2f} {theirs * 1000:>8.2f} "
                  f"{ratio:>6.2f} {cpu_ratio:>5.2f}  {verdict}", flush=True)

        sizes = [int(s) for s in args.memory_sizes.split(",") if s]
        if len(sizes) >= 2:
            figures = memory(tool, sizes, scratch)
            print(f"\npeak RSS (KiB) {'':<6}" + "".join(f"{n:>10}" for n in sizes) + f"{'growth':>10}")
            growth = {}
            for label in ("library", "built-in"):
                growth[label] = figures[label, sizes[-1]] - figures[label, sizes[0]]
                print(f"{label:<20}" + "".join(f"{figures[label, n]:>10}" for n in sizes) +
                      f"{growth[label]:>10}")
            beyond = growth["library"] - growth["built-in"]
            verdict = "" if beyond <= TARGET_MEMORY_KIB else "  MISSED"
            if beyond > TARGET_MEMORY_KIB:
                missed.append("memory")
            print(f"library growth beyond the created names: {beyond} KiB "
                  f"(<= {TARGET_MEMORY_KIB}){verdict}")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    if missed:
        print("missed: " + ", ".join(missed))
        if args.check:
            sys.exit(1)


if __name__ == "__main__":
    main()
