#!/usr/bin/python3
"""Scores trueext by origin: the Debian corpus's tuned and held-out packages
beside corpora of other origins that no rule was written from.

The Debian corpus (bench/make_corpus.py, build/corpus) is the tuning origin:
its "tuned" packages are what the text rules and the text model may be
written or trained from, its "held-out" packages are of the same origin but
never looked at. The corpora of bench/make_origin_corpus.py (build/corpus-npm,
build/corpus-github) are held out whole. The figure that counts is the
held-out origins' together: it says how the classifier fares on text of a
kind of origin it never saw.

Every figure is over the files no built-in row takes. Per kind the table
shows each group's files and trueext's right answers; a kind is held to the
target where the held-out origins have at least 20 of its files.

--save writes every answer to a file (with whether a built-in row gave
it, which leaves the file out of every figure), --before shows such a file's figures
beside and counts the answers that changed (binary kinds' must not).
--misses lists the tuned packages' misses file by file and only counts the
others' by kind and answer, so that no rule is written from them.

Usage: bench/origins.py [--tool build/trueext] [--corpus NAME=PATH ...] [--save FILE] [--before FILE]
                        [--misses]
"""
import argparse
import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accuracy  # noqa: E402
import corpus_kinds  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_CORPORA = [("debian", "build/corpus"), ("npm", "build/corpus-npm"), ("github", "build/corpus-github")]
TUNING_ORIGIN = "debian"
TARGET_TEXT = 92.0
TARGET_TXT = 90.0
TARGET_EACH_KIND = 85.0
MIN_KIND_FILES = 20
MAX_GAP = 3.0

BINARY = {kind for kind, _exts, _category, binary in corpus_kinds.KINDS if binary}


def group_of(row):
    if row["origin_corpus"] == TUNING_ORIGIN:
        return "tuned" if row["split"] == "tuned" else "held-out pkgs"
    return row["origin_corpus"]


def load_answers(path):
    answers = {}
    with open(path) as f:
        next(f)
        for line in f:
            # Files saved before the built-in column have four.
            corpus, rel, ours, ok = line.rstrip("\n").split("\t")[:4]
            answers[(corpus, rel)] = (ours, ok == "1")
    return answers


def pct(right, total):
    return f"{100.0 * right / total:5.1f}" if total else "    -"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--corpus", action="append", metavar="NAME=PATH",
                        help=f"a corpus and its origin's name (default: {TUNING_ORIGIN} and the others built)")
    parser.add_argument("--save", help="write every answer to this file")
    parser.add_argument("--before", help="an earlier --save file to compare with")
    parser.add_argument("--misses", action="store_true")
    args = parser.parse_args()

    corpora = [tuple(c.split("=", 1)) for c in args.corpus] if args.corpus else [
        (name, os.path.join(ROOT, path)) for name, path in DEFAULT_CORPORA
        if os.path.exists(os.path.join(ROOT, path, "manifest.tsv"))]
    rows = []
    for name, path in corpora:
        scored, _tool_s, _file_s = accuracy.score(args.tool, path, 1)
        for row in scored:
            row["origin_corpus"] = name
            row["rel"] = os.path.relpath(row["path"], path)
            row["group"] = group_of(row)
        rows += scored
    before = load_answers(args.before) if args.before else None
    fallback = [r for r in rows if not r["builtin"]]
    groups = ["tuned", "held-out pkgs"] + [name for name, _ in corpora if name != TUNING_ORIGIN]
    held_origins = [name for name, _ in corpora if name != TUNING_ORIGIN]

    def selected(group, predicate):
        if group == "held-out origins":
            return [r for r in fallback if r["group"] in held_origins and predicate(r)]
        return [r for r in fallback if r["group"] == group and predicate(r)]

    def figure(items, key="ours_ok"):
        return sum(r[key] for r in items), len(items)

    def before_ok(r):
        return before.get((r["origin_corpus"], r["rel"]), (None, False))[1]

    columns = groups + (["held-out origins"] if len(held_origins) > 1 else [])
    print("Files no built-in row takes, right answers in % (file(1) after the slash; before it, with --before)")
    print(f"{'':22}" + "".join(f"{c:>22}" for c in columns))
    totals = [("text kinds", lambda r: r["kind"] not in BINARY), ("plain txt", lambda r: r["kind"] == "txt"),
              ("binary kinds", lambda r: r["kind"] in BINARY)]
    figures = {}
    for label, predicate in totals:
        cells = []
        for c in columns:
            items = selected(c, predicate)
            right, n = figure(items)
            file_right, _ = figure(items, "file_ok")
            figures[(label, c)] = 100.0 * right / n if n else float("nan")
            cell = f"{pct(right, n)}/{pct(file_right, n).strip()} n={n}"
            if before is not None:
                cell = f"{pct(sum(before_ok(r) for r in items), n).strip()}>" + cell
            cells.append(f"{cell:>22}")
        print(f"{label:22}" + "".join(cells))

    print(f"\nper text kind: files and % right (kinds with >= {MIN_KIND_FILES} files in a held-out group are judged)")
    print(f"{'kind':10}" + "".join(f"{c:>18}" for c in columns))
    below = []
    for kind, *_ in corpus_kinds.KINDS:
        if kind in BINARY:
            continue
        cells = []
        shown = False
        for c in columns:
            items = selected(c, lambda r, k=kind: r["kind"] == k)
            right, n = figure(items)
            shown |= n > 0
            mark = " "
            if c != "tuned" and n >= MIN_KIND_FILES and 100.0 * right / n < TARGET_EACH_KIND:
                mark = "<"
                if c == "held-out origins" or (len(held_origins) == 1 and c in held_origins):
                    below.append(kind)
            cell = f"{n:4} {pct(right, n)}{mark}"
            if before is not None and n:
                cell = f"{pct(sum(before_ok(r) for r in items), n).strip()}>" + cell
            cells.append(f"{cell:>18}")
        if shown:
            print(f"{kind:10}" + "".join(cells))

    if before is not None:
        changed = collections.Counter()
        for r in rows:
            old = before.get((r["origin_corpus"], r["rel"]))
            if old is not None and old[0] != str(r["ours"]):
                changed["binary" if r["kind"] in BINARY else "text"] += 1
        print(f"\nanswers changed since --before: text {changed['text']}, binary {changed['binary']}")

    if args.save:
        with open(args.save, "w") as f:
            f.write("corpus\tfile\tours\tok\tbuiltin\n")
            for r in rows:
                f.write(f"{r['origin_corpus']}\t{r['rel']}\t{r['ours']}\t{int(r['ours_ok'])}"
                        f"\t{int(bool(r['builtin']))}\n")

    if args.misses:
        print("\nmisses of the tuned packages (kind, original, ours, file, package, corpus file):")
        for r in fallback:
            if r["group"] == "tuned" and not r["ours_ok"]:
                print(f"  {r['kind']:8} {r['ext']:6} {str(r['ours']):10} {str(r['file']):10} {r['package']:28} "
                      f"{r['rel']}")
        print("\nmisses of the held-out groups, counted (group, kind, ours, files):")
        held = collections.Counter((r["group"], r["kind"], str(r["ours"])) for r in fallback
                                   if r["group"] != "tuned" and not r["ours_ok"])
        for (group, kind, ours), count in sorted(held.items(), key=lambda i: (i[0][0], i[0][1], -i[1])):
            print(f"  {group:14} {kind:8} {ours:10} {count:4}")

    whole = "held-out origins" if len(held_origins) > 1 else (held_origins[0] if held_origins else None)
    if whole is not None:
        missed = []
        if not figures[("text kinds", whole)] >= TARGET_TEXT:
            missed.append(f"text kinds below {TARGET_TEXT}%")
        if not figures[("plain txt", whole)] >= TARGET_TXT:
            missed.append(f"plain txt below {TARGET_TXT}%")
        if below:
            missed.append(f"below {TARGET_EACH_KIND}%: " + " ".join(below))
        gap = figures[("text kinds", "held-out pkgs")] - figures[("text kinds", whole)]
        if not gap <= MAX_GAP:
            missed.append(f"{gap:.1f} points behind the held-out packages")
        print("\ntargets on the held-out origins: " + ("all met" if not missed else "; ".join(missed)))


if __name__ == "__main__":
    main()
