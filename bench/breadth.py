#!/usr/bin/python3
"""Scores trueext on the breadth corpus, per format, beside libmagic.

The breadth corpus (bench/make_breadth_corpus.py builds it when missing)
holds files of some 250 formats made by real encoders, each with the
extensions its format accepts. The files are staged under their content
hashes as bench/accuracy.py does, trueext and `file -b --extension` (with
the shared MIME database behind it) name them, and an answer is right when
it is one of the format's accepted extensions. Files a built-in row takes are
reported apart. A format counts as right when every one of its files is.

Usage: bench/breadth.py [--tool build/trueext] [--corpus build/breadth] [--holdout] [--misses] [--check]
       [--save answers.tsv] [--before answers.tsv]
With --before the table adds the right-file counts of an earlier --save run,
and the files whose answer changed since are listed.
With --holdout it scores the held-out breadth corpus instead
(bench/make_breadth_holdout.py: the same formats from encoders and Debian
packages the library's tables were not tuned on; build/breadth-holdout).
"""
import argparse
import collections
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import accuracy  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Targets on the files no built-in row takes.
TARGET_FILES = 95.0
TARGET_FORMATS = 95.0


def load_manifest(corpus):
    rows = []
    with open(os.path.join(corpus, "manifest.tsv")) as f:
        next(f)
        for line in f:
            fmt, category, exts, packages, path = line.rstrip("\n").split("\t")
            rows.append({"format": fmt, "category": category, "exts": exts.lower().split("/"),
                         "packages": packages, "path": os.path.join(corpus, path), "rel": path})
    return rows


def answer_files(rows, tool):
    """Fills each row's "ours", "file" and "builtin" from runs on hashed copies."""
    with tempfile.TemporaryDirectory(prefix="trueext-breadth-") as tmp:
        folder = os.path.join(tmp, "all")
        accuracy.stage(rows, folder)
        paths = [os.path.join(folder, r["hash"]) for r in rows]
        for row, path, answer in zip(rows, paths, accuracy.file_answers(paths)):
            row["builtin"] = accuracy.taken_by_builtin(path)
            row["file"] = answer
        ours, _seconds = accuracy.run_tool(tool, folder)
        for row in rows:
            row["ours"] = ours.get(row["hash"])
    for row in rows:
        row["ours_ok"] = (row["ours"] or "").lower() in row["exts"]
        row["file_ok"] = (row["file"] or "").lower() in row["exts"]


def load_before(path):
    before = {}
    with open(path) as f:
        for line in f:
            fmt, name, ok = line.rstrip("\n").split("\t")[:3]
            before[(fmt, name)] = ok == "1"
    return before


def percent(right, total):
    return 100.0 * right / total if total else float("nan")


def fmt_pct(right, total):
    return f"{percent(right, total):5.1f}" if total else "    -"


def report(rows, before=None, misses=False, out=sys.stdout, label="breadth"):
    """Prints the per-format table and the totals; returns the list of missed targets."""
    table = collections.OrderedDict()
    for row in sorted(rows, key=lambda r: (r["category"], r["format"])):
        t = table.setdefault(row["format"], {"category": row["category"], "n": 0, "fb": 0, "ours": 0, "file": 0,
                                             "bi": 0, "bi_ours": 0, "bi_file": 0, "before": 0})
        t["n"] += 1
        if row["builtin"]:
            t["bi"] += 1
            t["bi_ours"] += row["ours_ok"]
            t["bi_file"] += row["file_ok"]
        else:
            t["fb"] += 1
            t["ours"] += row["ours_ok"]
            t["file"] += row["file_ok"]
            if before is not None:
                t["before"] += before.get((row["format"], row["rel"]), False)
    head_before = f" {'before':>6}" if before is not None else ""
    print(f"{'format':16} {'category':10} {'n':>2} {'b-in':>4} {'fb':>3} | fallback:{head_before} {'ours%':>5} "
          f"{'file%':>5} | built-in: {'ours%':>5} {'file%':>5} | ours / file answer", file=out)
    worse, formats_right, formats_file, formats_fb = [], 0, 0, 0
    for name, t in table.items():
        mark = ""
        if t["fb"]:
            formats_fb += 1
            formats_right += t["ours"] == t["fb"]
            formats_file += t["file"] == t["fb"]
            if t["ours"] < t["file"]:
                worse.append(name)
                mark = "  < file"
        sample = next(r for r in rows if r["format"] == name)
        col_before = f" {fmt_pct(t['before'], t['fb']):>6}" if before is not None else ""
        print(f"{name:16} {t['category']:10} {t['n']:2} {t['bi']:4} {t['fb']:3} |         {col_before} "
              f"{fmt_pct(t['ours'], t['fb'])} {fmt_pct(t['file'], t['fb'])} |           {fmt_pct(t['bi_ours'], t['bi'])} "
              f"{fmt_pct(t['bi_file'], t['bi'])} | {sample['ours']} / {sample['file']}{mark}", file=out)

    fallback = [r for r in rows if not r["builtin"]]
    print(file=out)
    for what, selected in (("fallback files", fallback), ("built-in files", [r for r in rows if r["builtin"]]),
                            ("all files", rows)):
        n = len(selected)
        ours, theirs = sum(r["ours_ok"] for r in selected), sum(r["file_ok"] for r in selected)
        print(f"{label} {what:22} n={n:5}  ours {fmt_pct(ours, n)}%  file {fmt_pct(theirs, n)}%", file=out)
    print(f"{label} {'fallback formats':22} n={formats_fb:5}  ours {fmt_pct(formats_right, formats_fb)}%  "
          f"file {fmt_pct(formats_file, formats_fb)}%", file=out)

    if misses and label == "held-out":
        # Held-out files are never read while writing rules: counts only.
        counted = collections.Counter((row["format"], str(row["ours"])) for row in rows if not row["ours_ok"])
        print(f"\n{label} misses, counted (format, ours, files):", file=out)
        for (name, ours), count in sorted(counted.items()):
            print(f"  {name:16} {ours:10} {count:4}", file=out)
    elif misses:
        print(f"\n{label} misses (format, accepted, ours, file, corpus file):", file=out)
        for row in rows:
            if not row["ours_ok"]:
                where = "built-in" if row["builtin"] else "fallback"
                print(f"  {row['format']:16} {'/'.join(row['exts']):18} {str(row['ours']):10} {str(row['file']):10} "
                      f"{where:8} {row['path']}", file=out)

    missed = []
    if percent(sum(r["ours_ok"] for r in fallback), len(fallback)) < TARGET_FILES:
        missed.append(f"{label} files below {TARGET_FILES}%")
    if percent(formats_right, formats_fb) < TARGET_FORMATS:
        missed.append(f"{label} formats below {TARGET_FORMATS}%")
    if worse:
        missed.append(f"{label} worse than file on: " + " ".join(worse))
    return missed


def run(tool, corpus, before=None, misses=False, save=None, holdout=False):
    """Builds the corpus when missing, answers and prints; returns the missed targets."""
    maker = "make_breadth_holdout.py" if holdout else "make_breadth_corpus.py"
    if not os.path.exists(os.path.join(corpus, "manifest.tsv")):
        subprocess.check_call([sys.executable, os.path.join(ROOT, "bench", maker), "--out", corpus])
    rows = load_manifest(corpus)
    answer_files(rows, tool)
    if save:
        with open(save, "w") as f:
            for row in rows:
                f.write(f"{row['format']}\t{row['rel']}\t{int(row['ours_ok'])}\t{row['ours']}\t"
                        f"{row['file']}\n")
    missed = report(rows, load_before(before) if before else None, misses,
                    label="held-out" if holdout else "breadth")
    if before:
        print_changes(rows, before)
    return missed


def print_changes(rows, path):
    """The files whose answer differs from the one saved in |path|: lost
    (right before, wrong now), gained, or changed while wrong both times."""
    saved = {}
    with open(path) as f:
        for line in f:
            fmt, name, ok, ours = line.rstrip("\n").split("\t")[:4]
            saved[(fmt, name)] = (ok == "1", ours)
    changes = []
    for row in rows:
        was_ok, was = saved.get((row["format"], row["rel"]), (None, None))
        if was_ok is None or was == str(row["ours"]):
            continue
        change = "lost" if was_ok and not row["ours_ok"] else "gained" if row["ours_ok"] and not was_ok else "changed"
        changes.append((change, row["format"], was, str(row["ours"]), row["rel"]))
    counts = collections.Counter(c[0] for c in changes)
    print(f"\nanswers changed since {path}: " +
          (", ".join(f"{counts[c]} {c}" for c in ("lost", "gained", "changed") if counts[c]) or "none"))
    for change, fmt, was, now, rel in sorted(changes):
        print(f"  {change:7} {fmt:16} {was:10} -> {now:10} {rel}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--corpus", help="the corpus folder (build/breadth, or build/breadth-holdout with --holdout)")
    parser.add_argument("--holdout", action="store_true", help="score the held-out breadth corpus")
    parser.add_argument("--misses", action="store_true", help="list every file trueext got wrong")
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    parser.add_argument("--save", help="write each file's answers to this file")
    parser.add_argument("--before", help="a file written by --save on an earlier build, shown beside")
    args = parser.parse_args()
    if not os.access(args.tool, os.X_OK):
        sys.exit(f"breadth: no tool at {args.tool}; build it first or pass --tool")
    corpus = args.corpus or os.path.join(ROOT, "build", "breadth-holdout" if args.holdout else "breadth")
    missed = run(args.tool, corpus, args.before, args.misses, args.save, args.holdout)
    print(f"\n{'held-out' if args.holdout else 'breadth'} targets: " + ("all met" if not missed else "; ".join(missed)))
    if args.check and missed:
        sys.exit(1)


if __name__ == "__main__":
    main()
