#!/usr/bin/python3
"""Times trueext against `file -b --extension` on the files the library sees.

Builds a folder of real files taken from this machine (/usr/share, /usr/lib),
of as many kinds as it finds, none of which a built-in signature row of
trueext takes, each copied under the hash of its content. Then, in the same
invocation, it times

  * trueext over a fresh copy of that folder (trueext renames, so every run
    gets its own copy), and
  * `file -b --extension -f LIST` over the same files, in one process,

and prints both times and their ratio. Without a trueext binary, the
library is driven through the same four entry points by ident_probe.

usage: engine_speed.py [--build DIR] [--files N] [--runs N] [--keep DIR]
"""

import argparse
import collections
import hashlib
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

# The first bytes that a built-in row of trueext takes; such files never
# reach the library.
BUILTIN_PREFIXES = [
    b"CWS", b"MZ", b"%PDF", b"Rar!\x1a\x07\x00", b"function", b"(", b"var",
    b"MIME-Ver", b"<", b"x", b"{\\rt", b"\x1f\x8b\x08", b"#!/usr/bin/perl",
    b"7z", b"\x7fELF", b"@echo", b"echo", b"\n", b"\r\n",
]
ROOTS = ["/usr/share", "/usr/lib"]
MAX_SIZE = 4 << 20
PER_KIND = 60  # no one kind may fill the folder


def kind_of(path):
    name = os.path.basename(path)
    dot = name.rfind(".")
    return name[dot + 1:].lower() if 0 < dot < len(name) - 1 else "(none)"


def candidates(rng):
    """Yields regular, non-empty files that no built-in row takes."""
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


def takes_builtin(head):
    return any(head.startswith(prefix) for prefix in BUILTIN_PREFIXES)


def build_folder(target, count, seed):
    rng = random.Random(seed)
    by_kind = candidates(rng)
    kinds = sorted(by_kind)
    rng.shuffle(kinds)
    taken, seen, per_kind = [], set(), collections.Counter()
    # Round robin over the kinds, so that the folder is as mixed as the
    # machine allows.
    cursor = {kind: 0 for kind in kinds}
    while len(taken) < count and kinds:
        for kind in list(kinds):
            if len(taken) >= count:
                break
            paths = by_kind[kind]
            picked = False
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
                taken.append(kind)
                per_kind[kind] += 1
                picked = True
            if not picked or per_kind[kind] >= PER_KIND:
                kinds.remove(kind)
    return per_kind


def time_trueext(command, source, scratch):
    work = os.path.join(scratch, "run")
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(source, work)
    start = time.perf_counter()
    if command[0].endswith("ident_probe"):
        names = "".join(os.path.join(work, n) + "\n" for n in sorted(os.listdir(work)))
        subprocess.run(command, input=names.encode(), stdout=subprocess.DEVNULL, check=True)
    else:
        subprocess.run(command + [work], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       check=False)
    return time.perf_counter() - start


def time_file(listing):
    start = time.perf_counter()
    subprocess.run(["file", "-b", "--extension", "-f", listing], stdout=subprocess.DEVNULL,
                   check=True)
    return time.perf_counter() - start


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--seed", type=int, default=3)
    parser.add_argument("--keep", help="build the folder here and keep it")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    trueext = os.path.join(build, "trueext")
    if os.access(trueext, os.X_OK):
        command, driver = [trueext], "trueext"
    else:
        command = [os.path.join(build, "ident_probe"), os.path.join(build, "libtrueext-ident.so")]
        driver = "ident_probe (no trueext binary in %s)" % build
        if not os.access(command[0], os.X_OK):
            sys.exit("engine_speed: error: neither trueext nor ident_probe in %s" % build)

    scratch = tempfile.mkdtemp(prefix="engine_speed.")
    try:
        source = args.keep or os.path.join(scratch, "files")
        os.makedirs(source, exist_ok=True)
        if not os.listdir(source):
            per_kind = build_folder(source, args.files, args.seed)
            print("folder: %d files of %d kinds" % (sum(per_kind.values()), len(per_kind)))
        names = sorted(os.listdir(source))
        listing = os.path.join(scratch, "list")
        with open(listing, "w") as f:
            f.writelines(os.path.join(source, n) + "\n" for n in names)

        # One untimed pass each warms the page cache and the loaders.
        time_trueext(command, source, scratch)
        time_file(listing)
        ours, theirs = [], []
        for _ in range(args.runs):
            ours.append(time_trueext(command, source, scratch))
            theirs.append(time_file(listing))
        ours_best, theirs_best = min(ours), min(theirs)
        print("driver: %s" % driver)
        print("files: %d, runs: %d (best of each shown)" % (len(names), args.runs))
        print("trueext:                %.3f s" % ours_best)
        print("file -b --extension:    %.3f s" % theirs_best)
        print("ratio trueext / file:   %.2f" % (ours_best / theirs_best))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
