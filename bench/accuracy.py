#!/usr/bin/python3
"""Scores the extensions trueext names for real files, beside libmagic's.

Copies the corpus (bench/make_corpus.py builds it when missing) to a
temporary folder with every name replaced by its content hash, no
extension, as a malware analyst's folder looks; runs trueext over it; and
scores the extension each file receives against its original one, with the
equivalences of corpus_kinds.py. The same files go through
`file -b --extension` (first listed extension; "???" is none), falling back to
`file -b --mime-type` mapped through the shared MIME database.

Files that a built-in row of trueext takes (by their first bytes) are
reported apart from the rest: the rows are the system's own and stay as
they are even where they cost accuracy. The speed line times trueext and
`file -b --extension` (one process) over the same folder of the other files.

Usage: bench/accuracy.py [--tool build/trueext] [--corpus build/corpus] [--runs 3] [--misses] [--check]
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

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIME_DIR = "/usr/share/mime"

# The first bytes that make a built-in row take a file, in the tool's row order.
BUILTIN_PREFIXES = [
    b"CWS", b"MZ", b"%PDF", b"Rar!\x1a\x07\x00", b"function", b"(", b"var", b"MIME-Ver", b"<", b"x",
    b"{\\rt", b"\x1f\x8b\x08", b"#!/usr/bin/perl", b"7z", b"\x7fELF", b"@echo", b"echo", b"\n", b"\r\n",
]

# Targets of the benchmark, on the files no built-in row takes.
TARGET_OVERALL = 85.0
TARGET_BINARY = 95.0
TARGET_TEXT = 80.0


def taken_by_builtin(path):
    with open(path, "rb") as f:
        head = f.read(16)
    return any(head.startswith(p) for p in BUILTIN_PREFIXES)


def load_manifest(corpus):
    rows = []
    with open(os.path.join(corpus, "manifest.tsv")) as f:
        next(f)
        for line in f:
            kind, ext, package, _source, name = line.rstrip("\n").split("\t")
            rows.append({"kind": kind, "ext": ext, "package": package, "path": os.path.join(corpus, name)})
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "trueext"))
    parser.add_argument("--corpus", default=os.path.join(ROOT, "build", "corpus"))
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    parser.add_argument("--runs", type=int, default=3, help="timed runs for the speed line")
    parser.add_argument("--misses", action="store_true", help="list every file trueext got wrong")
    args = parser.parse_args()

    if not os.path.exists(os.path.join(args.corpus, "manifest.tsv")):
        subprocess.check_call([sys.executable, os.path.join(ROOT, "bench", "make_corpus.py"), "--out", args.corpus])
    if not os.access(args.tool, os.X_OK):
        sys.exit(f"accuracy: no tool at {args.tool}; build it first or pass --tool")
    rows = load_manifest(args.corpus)
    kinds = {k: (category, binary) for k, _exts, category, binary in corpus_kinds.KINDS}

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
        for run in range(args.runs):
            speed_dir = os.path.join(tmp, f"speed{run}")
            stage([dict(r) for r in fallback], speed_dir)
            speed_paths = [os.path.join(speed_dir, n) for n in sorted(os.listdir(speed_dir))]
            start = time.perf_counter()
            run_file(speed_paths, "--extension")
            file_times.append(time.perf_counter() - start)
            tool_times.append(run_tool(args.tool, speed_dir)[1])
            shutil.rmtree(speed_dir)
        file_seconds = statistics.median(file_times)
        tool_seconds = statistics.median(tool_times)

        paths = [os.path.join(everything, r["hash"]) for r in rows]
        for row, answer in zip(rows, file_answers(paths)):
            row["file"] = answer
        ours, _ = run_tool(args.tool, everything)
        for row in rows:
            row["ours"] = ours.get(row["hash"])

    for row in rows:
        row["ours_ok"] = corpus_kinds.is_right(row["ext"], row["ours"], row["kind"])
        row["file_ok"] = corpus_kinds.is_right(row["ext"], row["file"], row["kind"])

    # Per kind: [n, builtin, fallback, ours right on fallback, file right on fallback,
    #            ours right on builtin, file right on builtin]
    table = collections.OrderedDict((k, [0] * 7) for k, *_ in corpus_kinds.KINDS)
    for row in rows:
        t = table[row["kind"]]
        t[0] += 1
        if row["builtin"]:
            t[1] += 1
            t[5] += row["ours_ok"]
            t[6] += row["file_ok"]
        else:
            t[2] += 1
            t[3] += row["ours_ok"]
            t[4] += row["file_ok"]

    print(f"{'kind':8} {'category':10} {'n':>3} {'built-in':>8} {'fallback':>8} | fallback: {'ours%':>5} {'file%':>5}"
          f" | built-in: {'ours%':>5} {'file%':>5}")
    worse = []
    for kind, t in table.items():
        if t[0] == 0:
            continue
        mark = ""
        if t[2] and t[3] < t[4]:
            worse.append(kind)
            mark = "  < file"
        print(f"{kind:8} {kinds[kind][0]:10} {t[0]:3} {t[1]:8} {t[2]:8} |           {fmt(t[3], t[2])} {fmt(t[4], t[2])}"
              f" |           {fmt(t[5], t[1])} {fmt(t[6], t[1])}{mark}")

    def totals(selected):
        n = len(selected)
        return n, sum(r["ours_ok"] for r in selected), sum(r["file_ok"] for r in selected)

    print()
    groups = [
        ("fallback files, all kinds", fallback),
        ("fallback files, binary kinds", [r for r in fallback if kinds[r["kind"]][1]]),
        ("fallback files, text kinds", [r for r in fallback if not kinds[r["kind"]][1]]),
        ("built-in files", [r for r in rows if r["builtin"]]),
        ("all files", rows),
    ]
    figures = {}
    for label, selected in groups:
        n, ours_right, file_right = totals(selected)
        figures[label] = percent(ours_right, n)
        print(f"{label:30} n={n:5}  ours {fmt(ours_right, n)}%  file {fmt(file_right, n)}%")
    ratio = tool_seconds / file_seconds if file_seconds else float("nan")
    print(f"\nspeed over {len(fallback)} fallback files (median of {args.runs}): trueext {tool_seconds:.2f} s, "
          f"file -b --extension {file_seconds:.2f} s, ratio {ratio:.2f}")

    if args.misses:
        print("\nmisses (kind, original, ours, file, package, corpus file):")
        for row in rows:
            if not row["ours_ok"]:
                where = "built-in" if row["builtin"] else "fallback"
                print(f"  {row['kind']:8} {row['ext']:6} {str(row['ours']):10} {str(row['file']):10} {where:8} "
                      f"{row['package']:28} {os.path.relpath(row['path'], args.corpus)}")

    missed = []
    if figures["fallback files, all kinds"] < TARGET_OVERALL:
        missed.append(f"fallback overall below {TARGET_OVERALL}%")
    if figures["fallback files, binary kinds"] < TARGET_BINARY:
        missed.append(f"binary kinds below {TARGET_BINARY}%")
    if figures["fallback files, text kinds"] < TARGET_TEXT:
        missed.append(f"text kinds below {TARGET_TEXT}%")
    if worse:
        missed.append("worse than file on: " + " ".join(worse))
    if ratio > 1.0:
        missed.append("slower than file")
    print("\ntargets: " + ("all met" if not missed else "; ".join(missed)))
    if args.check and missed:
        sys.exit(1)


if __name__ == "__main__":
    main()
