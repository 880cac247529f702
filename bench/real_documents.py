#!/usr/bin/python3
"""Scores trueext on real documents gathered by others, beside libmagic.

The corpus (bench/make_real_documents.py builds it when missing) holds
office documents, mail stores, databases, e-books and other files of public
collections, each with the extensions that count as right for it. The
files are staged under their content hashes as bench/accuracy.py does,
trueext and `file -b --extension` (with the shared MIME database behind it)
name them, and the table shows the share of right answers by collection and
by family. Files a built-in row takes are counted apart: the headline is the
files the identification library decides.

The held-out collections (make_real_documents.COLLECTIONS) are reported
apart from the tuned ones. With --misses the tuned collections' misses are
listed file by file; the held-out ones' are only counted by family and
answer, so that no rule is written from them.

Usage: bench/real_documents.py [--tool build/trueext] [--corpus build/realdocs] [--misses]
       [--save answers.tsv] [--before answers.tsv]
"""
import argparse
import collections
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accuracy  # noqa: E402
import breadth  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def load_manifest(corpus):
    rows = []
    with open(os.path.join(corpus, "manifest.tsv")) as f:
        next(f)
        for line in f:
            collection, split, family, accepted, rel = line.rstrip("\n").split("\t")
            rows.append({"collection": collection, "split": split, "family": family,
                         "exts": accepted.lower().split("/"), "kind": accepted.lower().split("/")[0],
                         "rel": rel, "path": os.path.join(corpus, rel)})
    return rows


def load_before(path):
    before = {}
    with open(path) as f:
        for line in f:
            rel, ok = line.rstrip("\n").split("\t")[:2]
            before[rel] = ok == "1"
    return before


def table(title, rows, key, before):
    """One line per value of |key|: the library's files, ours beside file's (and an earlier run's)."""
    head_before = f" {'before':>6}" if before is not None else ""
    print(f"{title:16} {'n':>4} {'lib':>4} |{head_before} {'ours%':>6} {'file%':>6} | {'built-in':>8} {'ours%':>6}")
    groups = collections.OrderedDict()
    for row in sorted(rows, key=lambda r: r[key]):
        groups.setdefault(row[key], []).append(row)
    below = []
    for name, mine in groups.items():
        lib = [r for r in mine if not r["builtin"]]
        builtin = [r for r in mine if r["builtin"]]
        ours, theirs = sum(r["ours_ok"] for r in lib), sum(r["file_ok"] for r in lib)
        col_before = ""
        if before is not None:
            col_before = f" {accuracy.fmt(sum(before.get(r['rel'], False) for r in lib), len(lib)):>6}"
        mark = "  < file" if ours < theirs else ""
        if mark:
            below.append(name)
        print(f"{name:16} {len(mine):4} {len(lib):4} |{col_before} {accuracy.fmt(ours, len(lib)):>6} "
              f"{accuracy.fmt(theirs, len(lib)):>6} | {len(builtin):8} "
              f"{accuracy.fmt(sum(r['ours_ok'] for r in builtin), len(builtin)):>6}{mark}")
    lib = [r for r in rows if not r["builtin"]]
    print(f"{'library files':16} {len(rows):4} {len(lib):4} |{' ' * 7 if before is not None else ''} "
          f"{accuracy.fmt(sum(r['ours_ok'] for r in lib), len(lib)):>6} "
          f"{accuracy.fmt(sum(r['file_ok'] for r in lib), len(lib)):>6} |")
    print(f"{'all files':16} {len(rows):4} {'':4} |{' ' * 7 if before is not None else ''} "
          f"{accuracy.fmt(sum(r['ours_ok'] for r in rows), len(rows)):>6} "
          f"{accuracy.fmt(sum(r['file_ok'] for r in rows), len(rows)):>6} |")
    return below


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--corpus", default=os.path.join(ROOT, "build", "realdocs"))
    parser.add_argument("--misses", action="store_true", help="list the tuned collections' misses")
    parser.add_argument("--save", help="write each file's answers to this file")
    parser.add_argument("--before", help="a file written by --save on an earlier build, shown beside")
    args = parser.parse_args()
    if not os.access(args.tool, os.X_OK):
        sys.exit(f"real_documents: no tool at {args.tool}; build it first or pass --tool")
    if not os.path.exists(os.path.join(args.corpus, "manifest.tsv")):
        subprocess.check_call([sys.executable, os.path.join(ROOT, "bench", "make_real_documents.py"),
                               "--out", args.corpus])
    rows = load_manifest(args.corpus)
    breadth.answer_files(rows, args.tool)  # the same staging and answers
    before = load_before(args.before) if args.before else None
    if args.save:
        with open(args.save, "w") as f:
            for row in rows:
                f.write(f"{row['rel']}\t{int(row['ours_ok'])}\t{row['ours']}\t{row['file']}\t{int(row['builtin'])}\n")

    held = [r for r in rows if r["split"] == "held-out"]
    tuned = [r for r in rows if r["split"] == "tuned"]
    print("HELD-OUT collections (never tuned on)")
    table("collection", held, "collection", before)
    print()
    table("family", held, "family", before)
    print()
    table("kind", held, "kind", before)
    print("\ntuned collections")
    table("collection", tuned, "collection", before)
    print()
    below = table("family", tuned, "family", before)
    if args.misses:
        print("\nmisses of the tuned collections (family, accepted, ours, file, where, corpus file):")
        for row in tuned:
            if not row["ours_ok"]:
                where = "built-in" if row["builtin"] else "library"
                print(f"  {row['family']:14} {'/'.join(row['exts']):12} {str(row['ours']):10} {str(row['file']):10} "
                      f"{where:8} {row['rel']}")
        counted = collections.Counter((r["family"], str(r["ours"])) for r in held if not r["ours_ok"])
        print("\nmisses of the held-out collections, counted (family, ours, files):")
        for (family, ours), count in sorted(counted.items()):
            print(f"  {family:14} {ours:10} {count:4}")
    if below:
        print("\ntuned families below file: " + " ".join(below))


if __name__ == "__main__":
    main()
