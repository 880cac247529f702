#!/usr/bin/env python3
"""Times trueext's built-in path against a bare C loop doing the same calls.

Folders of small files that all match a built-in row ("%PDF") are made
afresh for every run (each run renames them). trueext and the bare loop run
alternately on identical folders in the same invocation, so the machine's
noise falls on both; the figure is the ratio of their median times. Peak
memory (max RSS) is reported for each folder size: it should stay flat
apart from the set of names the run created.

Usage: bench/scan_speed.py [--tool build/trueext] [--sizes 20000,200000] [--runs 3]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def make_folder(path, count):
    os.mkdir(path)
    for i in range(count):
        with open(os.path.join(path, f"{i:08x}"), "wb") as f:
            f.write(b"%PDF-1.4\n%bench\n")


def timed_run(argv, rss_file):
    """Runs argv with output to /dev/null; returns (seconds, max RSS in KiB).

    The peak memory comes from GNU time, whose child is a small fork of its
    own: a fork of this Python process would carry Python's memory into the
    figure."""
    with open(os.devnull, "wb") as devnull:
        start = time.perf_counter()
        status = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", rss_file] + argv,
                                 stdin=subprocess.DEVNULL, stdout=devnull)
        elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{argv[0]} failed with status {status}")
    with open(rss_file) as f:
        return elapsed, int(f.read().split()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--sizes", default="20000,200000")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="trueext-bench-", dir=os.environ.get("BENCH_DIR"))
    try:
        bare = os.path.join(work, "bare_loop")
        subprocess.run(["cc", "-O2", "-o", bare, os.path.join(ROOT, "bench", "bare_loop.c")],
                       check=True)
        print(f"{'files':>8} {'trueext s':>10} {'bare s':>8} {'ratio':>6} "
              f"{'trueext RSS':>12} {'bare RSS':>9}")
        for count in [int(s) for s in args.sizes.split(",")]:
            tool_times, bare_times, tool_rss, bare_rss = [], [], 0, 0
            for run in range(args.runs):
                for name, argv_head in (("tool", [args.tool]), ("bare", [bare])):
                    folder = os.path.join(work, f"{name}-{count}-{run}")
                    make_folder(folder, count)
                    subprocess.run(["sync"], check=True)
                    seconds, rss = timed_run(argv_head + [folder], os.path.join(work, "rss"))
                    renamed = sum(1 for n in os.listdir(folder) if n.endswith(".pdf"))
                    if renamed != count:
                        sys.exit(f"{name}: renamed {renamed} of {count}")
                    shutil.rmtree(folder)
                    if name == "tool":
                        tool_times.append(seconds)
                        tool_rss = max(tool_rss, rss)
                    else:
                        bare_times.append(seconds)
                        bare_rss = max(bare_rss, rss)
            t, b = statistics.median(tool_times), statistics.median(bare_times)
            print(f"{count:>8} {t:>10.3f} {b:>8.3f} {t / b:>6.2f} "
                  f"{tool_rss:>9} KiB {bare_rss:>5} KiB", flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
