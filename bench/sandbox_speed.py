#!/usr/bin/python3
"""Times the library path with the analysis sandbox on and off.

Builds a mixed folder of small valid files that no built-in signature row of
trueext takes (PNG, JPEG and BMP written byte by byte, the others by Python's
zipfile, bz2, lzma, tarfile, sqlite3 and wave modules, and plain text), or
takes FOLDER, then, in one invocation and in turns, times

  * trueext over a fresh copy of the folder with the sandbox on (the default),
  * the same with TRUEEXT_SANDBOX=off,
  * optionally another build's trueext (--baseline BUILD), and
  * `file -b --extension -f LIST` over the same files,

and prints the median of each and their ratios, by wall time and by CPU
time (user and system, the tool's and its reaped worker's), which other
work on a busy machine disturbs less.

usage: sandbox_speed.py [--build DIR] [--baseline DIR] [--folder DIR]
                        [--per-kind N] [--runs N]
"""

import argparse
import bz2
import io
import lzma
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

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def png(rng):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data))
    w, h = rng.randint(1, 64), rng.randint(1, 64)
    rows = b"".join(b"\0" + rng.randbytes(w * 3) for _ in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def jpeg(rng):
    return (b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
            + b"\xff\xdb\x00\x43\x00" + rng.randbytes(64)
            + b"\xff\xc0\x00\x11\x08\x00\x10\x00\x10\x03\x01\x11\x00\x02\x11\x01\x03\x11\x01"
            + rng.randbytes(rng.randint(100, 4000)) + b"\xff\xd9")


def bmp(rng):
    w, h = rng.randint(1, 32), rng.randint(1, 32)
    stride = (w * 3 + 3) & ~3
    pixels = rng.randbytes(stride * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def words(rng, n):
    vocabulary = ("the a of and to in file folder name every kind small valid "
                  "written byte read analysis worker time").split()
    return " ".join(rng.choice(vocabulary) for _ in range(n))


def text(rng):
    return ("\n".join(words(rng, 12).capitalize() + "." for _ in range(rng.randint(3, 40)))
            + "\n").encode()


def zip_archive(rng):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(rng.randint(1, 5)):
            z.writestr("f%d.txt" % i, words(rng, 50))
    return out.getvalue()


def tar_archive(rng):
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w") as t:
        data = words(rng, 40).encode()
        info = tarfile.TarInfo("notes.txt")
        info.size = len(data)
        t.addfile(info, io.BytesIO(data))
    return out.getvalue()


def sqlite_db(rng, scratch):
    path = os.path.join(scratch, "db.sqlite")
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    db.execute("create table t (a, b)")
    db.executemany("insert into t values (?, ?)",
                   [(i, words(rng, 5)) for i in range(rng.randint(1, 50))])
    db.commit()
    db.close()
    with open(path, "rb") as f:
        return f.read()


def wav(rng):
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(8000)
        w.writeframes(rng.randbytes(2 * rng.randint(100, 4000)))
    return out.getvalue()


def make_folder(target, per_kind, scratch, seed):
    rng = random.Random(seed)
    makers = {
        "png": png, "jpeg": jpeg, "bmp": bmp, "text": text, "zip": zip_archive,
        "tar": tar_archive, "wav": wav,
        "bz2": lambda r: bz2.compress(text(r)), "xz": lambda r: lzma.compress(text(r)),
        "sqlite": lambda r: sqlite_db(r, scratch),
    }
    for kind, make in makers.items():
        for i in range(per_kind):
            with open(os.path.join(target, "%s%04d" % (kind, i)), "wb") as f:
                f.write(make(rng))


def timed(argv, env=None):
    """Runs |argv|; returns its wall time and the CPU time of it and its
    reaped children."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, env=env, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def time_trueext(tool, source, scratch, env):
    work = os.path.join(scratch, "run")
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(source, work)
    return timed([tool, work], env)


def time_file(listing):
    return timed(["file", "-b", "--extension", "-f", listing])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--baseline", help="another build folder to time beside this one")
    parser.add_argument("--folder", help="time this folder instead of a generated one")
    parser.add_argument("--per-kind", type=int, default=200)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seed", type=int, default=3)
    args = parser.parse_args()

    tool = os.path.join(os.path.abspath(args.build), "trueext")
    if not os.access(tool, os.X_OK):
        sys.exit("sandbox_speed: error: no trueext in %s" % args.build)
    on = dict(os.environ)
    on.pop("TRUEEXT_SANDBOX", None)
    off = dict(on, TRUEEXT_SANDBOX="off")
    runs = {"sandbox on": lambda: time_trueext(tool, source, scratch, on),
            "sandbox off": lambda: time_trueext(tool, source, scratch, off)}
    if args.baseline:
        base = os.path.join(os.path.abspath(args.baseline), "trueext")
        runs["baseline"] = lambda: time_trueext(base, source, scratch, on)
    runs["file"] = lambda: time_file(listing)

    scratch = tempfile.mkdtemp(prefix="sandbox_speed.")
    try:
        source = args.folder
        if source is None:
            source = os.path.join(scratch, "files")
            os.makedirs(source)
            make_folder(source, args.per_kind, scratch, args.seed)
        names = sorted(os.listdir(source))
        listing = os.path.join(scratch, "list")
        with open(listing, "w") as f:
            f.writelines(os.path.join(source, n) + "\n" for n in names)

        times = {name: [] for name in runs}
        for name, run in runs.items():  # an untimed pass warms the caches
            run()
        for _ in range(args.runs):
            for name, run in runs.items():
                times[name].append(run())
        wall = {name: statistics.median(w for w, _ in t) for name, t in times.items()}
        cpu = {name: statistics.median(c for _, c in t) for name, t in times.items()}
        print("files: %d, runs: %d (medians shown)" % (len(names), args.runs))
        print("%-12s %8s %8s" % ("", "wall", "cpu"))
        for name in runs:
            print("%-12s %7.3fs %7.3fs" % (name, wall[name], cpu[name]))
        pairs = [("sandbox on", "sandbox off"), ("sandbox on", "file"), ("sandbox off", "file")]
        if args.baseline:
            pairs.insert(1, ("sandbox on", "baseline"))
        for a, b in pairs:
            print("ratio %-24s wall %.2f  cpu %.2f" %
                  (a + " / " + b + ":", wall[a] / wall[b], cpu[a] / cpu[b]))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
