#!/usr/bin/python3
"""Times the library path with the analysis sandbox on and off.

Builds a mixed folder of small valid files that no built-in signature row of
trueext takes (the engine benchmark's synthetic kinds: PNG, JPEG and BMP
written byte by byte, the others by Python's zipfile, bz2, lzma, tarfile,
sqlite3 and wave modules, and plain text), or takes FOLDER, then, in one invocation and in turns, times

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
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import engine_speed

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def make_folder(target, per_kind, scratch, seed):
    """A mixed folder: |per_kind| files of each of the engine benchmark's
    synthetic kinds."""
    for kind in engine_speed.SYNTHETIC:
        part = os.path.join(scratch, "part-" + kind)
        engine_speed.make_kind(kind, part, per_kind, scratch, seed)
        for name in os.listdir(part):
            os.rename(os.path.join(part, name), os.path.join(target, name))
        os.rmdir(part)


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
