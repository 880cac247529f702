#!/usr/bin/python3
"""Scores the extensions trueext names for real files, beside libmagic's.

Copies the corpus (bench/make_corpus.py builds it when missing) to a
temporary folder with every name replaced by its content hash, no
extension, as a malware analyst's folder looks; runs trueext over it; and
scores the extension each file receives against its original one, with the
equivalences of corpus_kinds.py. The same files go through
`file -b --extension` (first listed extension; "???" is none), falling back to
`file -b --mime-type` mapped through the shared MIME database.

The headline figures are those of the held-out part of the corpus: files of
source packages that the text rules were never tuned on (corpus_kinds.py
splits the packages by a hash of their names). The tuned part is printed
beside it; a gap between the two is rules that fit their examples.

Files that a built-in row of trueext takes (by their first bytes) are
reported apart from the rest: the rows are the system's own and stay as
they are even where they cost accuracy. The speed line times trueext and
`file -b --extension` (one process) over the same folder of the other files.

With --misses the tuned part's misses are listed file by file, the held-out
part's only counted per kind and answer, so that no rule is written from them.

With --save each file's answers are written to a file; --before reads one
written on an earlier build and counts the answers that changed, per kind,
before and now (the tuned part's file by file; the held-out part's only
counted, as with --misses).

Usage: bench/accuracy.py [--tool build/trueext] [--corpus build/corpus] [--runs 3] [--misses] [--check]
                         [--breadth build/breadth | --no-breadth] [--save answers.tsv] [--before answers.tsv]
The breadth corpus of bench/breadth.py is scored after the Debian one, and
the held-out breadth corpus after it when build/breadth-holdout exists.
With --check the exit status is 1 when a target is missed.
"""
import argparse
import collections
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_kinds  # noqa: E402
import make_corpus  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIME_DIR = "/usr/share/mime"

# The first bytes that make a built-in row take a file, in the tool's row order.
BUILTIN_PREFIXES = [
    b"CWS", b"MZ", b"%PDF", b"Rar!\x1a\x07\x00", b"function", b"(", b"var", b"MIME-Ver", b"<", b"x",
    b"{\\rt", b"\x1f\x8b\x08", b"#!/usr/bin/perl", b"7z", b"\x7fELF", b"@echo", b"echo", b"\n", b"\r\n",
]

# Targets of the benchmark, on the held-out files no built-in row takes.
TARGETS = {
    "HELD-OUT text kinds": 92.0,
    "HELD-OUT all kinds": 95.0,
    "HELD-OUT binary kinds": 95.0,
    "HELD-OUT plain txt": 90.0,
}
TARGET_EACH_KIND = 85.0
# A kind with fewer held-out files than this is too thin to judge alone.
MIN_KIND_FILES = 5


def taken_by_builtin(path):
    with open(path, "rb") as f:
        head = f.read(16)
    return any(head.startswith(p) for p in BUILTIN_PREFIXES)


def current_corpus(corpus):
    """True when |corpus| holds a corpus of the current layout (with the split),
    labelled by the current rules."""
    try:
        with open(os.path.join(corpus, "manifest.tsv")) as f:
            if f.readline().rstrip("\n") != make_corpus.MANIFEST_HEADER:
                return False
        with open(os.path.join(corpus, make_corpus.LABEL_RULES_FILE)) as f:
            return f.read().strip() == str(make_corpus.LABEL_RULES)
    except OSError:
        return False


def load_manifest(corpus):
    rows = []
    with open(os.path.join(corpus, "manifest.tsv")) as f:
        columns = next(f).rstrip("\n").split("\t")
        for line in f:
            row = dict(zip(columns, line.rstrip("\n").split("\t")))
            row["path"] = os.path.join(corpus, row.pop("file"))
            rows.append(row)
    return rows


def mime_extensions():
    """Maps a MIME type (or alias) to its preferred extension in shared-mime-info."""
    best = {}
    with open(os.path.join(MIME_DIR, "globs2")) as f:
        for line in f:
            if line.startswith("#"):
                continue
            parts = line.rstrip("\n").split(":")
            if len(parts) < 3:
                continue
            weight, mime, glob = int(parts[0]), parts[1], parts[2]
            if not glob.startswith("*.") or any(c in glob[2:] for c in "*?[") :
                continue
            if mime not in best or weight > best[mime][0]:  # the file lists higher weights first
                best[mime] = (weight, glob[2:].lower())
    table = {mime: ext for mime, (_w, ext) in best.items()}
    aliases = os.path.join(MIME_DIR, "aliases")
    if os.path.exists(aliases):
        with open(aliases) as f:
            for line in f:
                alias, _, canonical = line.strip().partition(" ")
                if canonical in table and alias not in table:
                    table[alias] = table[canonical]
    return table


def run_file(paths, option):
    with tempfile.NamedTemporaryFile("w", delete=False) as listing:
        listing.write("\n".join(paths) + "\n")
    try:
        out = subprocess.run(["file", "-b", option, "-f", listing.name], capture_output=True, text=True,
                             errors="replace").stdout.splitlines()
    finally:
        os.unlink(listing.name)
    if len(out) != len(paths):
        sys.exit(f"accuracy: file printed {len(out)} lines for {len(paths)} files")
    return out


def file_answers(paths):
    """libmagic's extension for each path, else the MIME database's for its type."""
    mimes = mime_extensions()
    answers = []
    for ext_line, mime in zip(run_file(paths, "--extension"), run_file(paths, "--mime-type")):
        first = ext_line.strip().split("/")[0]
        if first and first != "???":
            answers.append(first.lower())
        else:
            answers.append(mimes.get(mime.strip()))
    return answers


def run_tool(tool, folder):
    """Runs trueext over |folder|; returns ({hash: extension or None}, seconds)."""
    start = time.perf_counter()
    result = subprocess.run([tool, folder], stdin=subprocess.DEVNULL, capture_output=True,
                            text=True, errors="replace")
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"accuracy: {tool} failed ({result.returncode}): {result.stderr.strip()}")
    answers = {}
    for line in result.stdout.splitlines():
        name, tab, rest = line.partition("\t")
        if not tab:
            continue
        rest = rest.strip()
        if rest.endswith("[B]"):
            rest = rest[:-3]
        answers[name] = rest[len(name) + 1:] if rest.startswith(name + ".") else None
    # The folder itself is the final word where a line did not say.
    for entry in os.listdir(folder):
        stem, dot, ext = entry.partition(".")
        if dot and answers.get(stem) is None:
            answers[stem] = ext
    return answers, elapsed


def stage(rows, folder):
    """Copies each row's file to |folder| under its content hash."""
    os.makedirs(folder)
    for row in rows:
        with open(row["path"], "rb") as f:
            row["hash"] = hashlib.sha256(f.read()).hexdigest()
        target = os.path.join(folder, row["hash"])
        if not os.path.exists(target):
            shutil.copyfile(row["path"], target)


def percent(right, total):
    return 100.0 * right / total if total else float("nan")


def fmt(right, total):
    return f"{percent(right, total):5.1f}" if total else "    -"


def score(tool, corpus, runs):
    """Runs trueext and file over the corpus; returns its rows, each with both
    answers and whether they are right, and the speed pair (seconds)."""
    rows = load_manifest(corpus)
    with tempfile.TemporaryDirectory(prefix="trueext-accuracy-") as tmp:
        everything = os.path.join(tmp, "all")
        stage(rows, everything)
        for row in rows:
            row["builtin"] = taken_by_builtin(os.path.join(everything, row["hash"]))
        fallback = [r for r in rows if not r["builtin"]]

        # The speed pair: the fallback files only, trueext against file in one
        # process, alternating on fresh copies (trueext renames them); the
        # medians damp the noise of a shared machine.
        file_times, tool_times = [], []
        for run in range(runs):
            speed_dir = os.path.join(tmp, f"speed{run}")
            stage([dict(r) for r in fallback], speed_dir)
            speed_paths = [os.path.join(speed_dir, n) for n in sorted(os.listdir(speed_dir))]
            start = time.perf_counter()
            run_file(speed_paths, "--extension")
            file_times.append(time.perf_counter() - start)
            tool_times.append(run_tool(tool, speed_dir)[1])
            shutil.rmtree(speed_dir)

        paths = [os.path.join(everything, r["hash"]) for r in rows]
        for row, answer in zip(rows, file_answers(paths)):
            row["file"] = answer
        ours, _ = run_tool(tool, everything)
        for row in rows:
            row["ours"] = ours.get(row["hash"])

    for row in rows:
        row["ours_ok"] = corpus_kinds.is_right(row["ext"], row["ours"], row["kind"])
        row["file_ok"] = corpus_kinds.is_right(row["ext"], row["file"], row["kind"])
    return rows, statistics.median(tool_times), statistics.median(file_times)


def print_kind_table(rows, kinds):
    """One line per kind: its files no built-in row takes, held out and tuned,
    ours beside file's, then the files a built-in row takes. Returns the
    kinds that miss a per-kind target or do worse than file."""
    def cell(selected, key):
        return fmt(sum(r[key] for r in selected), len(selected))

    print(f"{'kind':10} {'category':10} | {'held-out':>8} {'ours%':>5} {'file%':>5} | {'tuned':>5} {'ours%':>5}"
          f" {'file%':>5} | {'built-in':>8} {'ours%':>5}")
    below, worse = [], []
    for kind, *_ in corpus_kinds.KINDS:
        mine = [r for r in rows if r["kind"] == kind]
        if not mine:
            continue
        held = [r for r in mine if not r["builtin"] and r["split"] == "held-out"]
        tuned = [r for r in mine if not r["builtin"] and r["split"] == "tuned"]
        builtin = [r for r in mine if r["builtin"]]
        mark = ""
        held_right = sum(r["ours_ok"] for r in held)
        if len(held) >= MIN_KIND_FILES and percent(held_right, len(held)) < TARGET_EACH_KIND:
            below.append(kind)
            mark += f"  < {TARGET_EACH_KIND:.0f}%"
        fallback = held + tuned
        if sum(r["ours_ok"] for r in fallback) < sum(r["file_ok"] for r in fallback):
            worse.append(kind)
            mark += "  < file"
        print(f"{kind:10} {kinds[kind][0]:10} | {len(held):8} {cell(held, 'ours_ok')} {cell(held, 'file_ok')} |"
              f" {len(tuned):5} {cell(tuned, 'ours_ok')} {cell(tuned, 'file_ok')} | {len(builtin):8}"
              f" {cell(builtin, 'ours_ok')}{mark}")
    return below, worse


def print_totals(rows, kinds):
    """The totals by part of the split; returns {label: percent} for the targets."""
    def is_text(r):
        return not kinds[r["kind"]][1]

    fallback = [r for r in rows if not r["builtin"]]
    held = [r for r in fallback if r["split"] == "held-out"]
    tuned = [r for r in fallback if r["split"] == "tuned"]
    groups = [
        ("HELD-OUT text kinds", [r for r in held if is_text(r)]),
        ("HELD-OUT all kinds", held),
        ("HELD-OUT binary kinds", [r for r in held if not is_text(r)]),
        ("HELD-OUT plain txt", [r for r in held if r["kind"] == "txt"]),
        ("tuned text kinds", [r for r in tuned if is_text(r)]),
        ("tuned all kinds", tuned),
        ("all fallback files", fallback),
        ("built-in files", [r for r in rows if r["builtin"]]),
        ("all files", rows),
    ]
    figures = {}
    for label, selected in groups:
        n = len(selected)
        ours_right = sum(r["ours_ok"] for r in selected)
        file_right = sum(r["file_ok"] for r in selected)
        figures[label] = percent(ours_right, n)
        print(f"{label:24} n={n:5}  ours {fmt(ours_right, n)}%  file {fmt(file_right, n)}%")
    return figures


def print_misses(rows, corpus):
    """Lists the tuned part's misses file by file. The held-out part gets only
    a count per (kind, answer): its files are never to be read while writing
    rules, or its figure would flatter the rules like the tuned one."""
    print("\nmisses of the tuned part (kind, original, ours, file, where, package, corpus file):")
    for row in rows:
        if not row["ours_ok"] and row["split"] == "tuned":
            where = "built-in" if row["builtin"] else "fallback"
            print(f"  {row['kind']:8} {row['ext']:6} {str(row['ours']):10} {str(row['file']):10} {where:8} "
                  f"{row['package']:28} {os.path.relpath(row['path'], corpus)}")
    held = collections.Counter((row["kind"], str(row["ours"])) for row in rows
                               if not row["ours_ok"] and row["split"] == "held-out")
    print("\nmisses of the held-out part, counted (kind, ours, files):")
    for (kind, ours), count in sorted(held.items(), key=lambda item: (item[0][0], -item[1], item[0][1])):
        print(f"  {kind:8} {ours:10} {count:4}")


def save_answers(rows, corpus, path):
    with open(path, "w") as f:
        for row in rows:
            f.write(f"{row['kind']}\t{os.path.relpath(row['path'], corpus)}\t{int(row['ours_ok'])}\t"
                    f"{row['ours']}\t{row['file']}\n")


def print_changes(rows, corpus, path):
    """The answers that differ from those saved in |path|: lost (right before,
    wrong now), gained, and changed while wrong both times."""
    before = {}
    with open(path) as f:
        for line in f:
            kind, rel, ok, ours = line.rstrip("\n").split("\t")[:4]
            before[rel] = (ok == "1", ours)
    counts = collections.Counter()
    listed = []
    for row in rows:
        rel = os.path.relpath(row["path"], corpus)
        if rel not in before:
            continue
        was_ok, was = before[rel]
        now = str(row["ours"])
        if was == now:
            continue
        change = "lost" if was_ok and not row["ours_ok"] else "gained" if row["ours_ok"] and not was_ok else "changed"
        counts[(change, row["kind"], was, now, row["split"])] += 1
        if row["split"] == "tuned":
            listed.append(f"  {change:7} {row['kind']:8} {was:10} -> {now:10} {rel}")
    print(f"\nanswers changed since {path}: " + (", ".join(
        f"{sum(n for k, n in counts.items() if k[0] == c)} {c}" for c in ("lost", "gained", "changed")) or "none"))
    for (change, kind, was, now, split), n in sorted(counts.items()):
        print(f"  {change:7} {kind:8} {was:10} -> {now:10} {split:8} {n:4}")
    if listed:
        print("tuned part, file by file:")
        print("\n".join(listed))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--corpus", default=os.path.join(ROOT, "build", "corpus"))
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    parser.add_argument("--runs", type=int, default=3, help="timed runs for the speed line")
    parser.add_argument("--misses", action="store_true", help="list the tuned part's misses; count the held-out part's")
    parser.add_argument("--breadth", default=os.path.join(ROOT, "build", "breadth"),
                        help="the breadth corpus of bench/breadth.py, built when missing")
    parser.add_argument("--no-breadth", action="store_true", help="leave the breadth corpus out")
    parser.add_argument("--save", help="write each file's answers to this file")
    parser.add_argument("--before", help="a file written by --save on an earlier build: count the changes")
    args = parser.parse_args()

    if not current_corpus(args.corpus):
        subprocess.check_call([sys.executable, os.path.join(ROOT, "bench", "make_corpus.py"), "--out", args.corpus])
    if not os.access(args.tool, os.X_OK):
        sys.exit(f"accuracy: no tool at {args.tool}; build it first or pass --tool")
    kinds = {k: (category, binary) for k, _exts, category, binary in corpus_kinds.KINDS}

    rows, tool_seconds, file_seconds = score(args.tool, args.corpus, args.runs)
    below, worse = print_kind_table(rows, kinds)
    print()
    figures = print_totals(rows, kinds)
    fallback_count = sum(not r["builtin"] for r in rows)
    ratio = tool_seconds / file_seconds if file_seconds else float("nan")
    print(f"\nspeed over {fallback_count} fallback files (median of {args.runs}): trueext {tool_seconds:.2f} s, "
          f"file -b --extension {file_seconds:.2f} s, ratio {ratio:.2f}")
    if args.misses:
        print_misses(rows, args.corpus)
    if args.save:
        save_answers(rows, args.corpus, args.save)
    if args.before:
        print_changes(rows, args.corpus, args.before)

    missed = []
    for label, target in TARGETS.items():
        if not figures[label] >= target:
            missed.append(f"{label} below {target}%")
    if below:
        missed.append(f"held-out below {TARGET_EACH_KIND}% on: " + " ".join(below))
    if worse:
        missed.append("worse than file on: " + " ".join(worse))
    if ratio > 1.0:
        missed.append("slower than file")
    if not args.no_breadth:
        import breadth  # noqa: E402  (it imports this module)
        print("\nbreadth corpus: files of many formats made by real encoders (bench/breadth.py)")
        missed += breadth.run(args.tool, args.breadth, misses=args.misses)
        holdout = os.path.join(ROOT, "build", "breadth-holdout")
        if os.path.exists(os.path.join(holdout, "manifest.tsv")):
            # Formats the tables were not tuned on: shown, not held to the targets.
            print("\nheld-out breadth corpus: the same formats from other encoders (bench/make_breadth_holdout.py)")
            breadth.run(args.tool, holdout, misses=args.misses, holdout=True)
    print("\ntargets: " + ("all met" if not missed else "; ".join(missed)))
    if args.check and missed:
        sys.exit(1)


if __name__ == "__main__":
    main()
