#!/usr/bin/python3
"""Trains the text model that libtrueext-ident.so reads from trueext-text.model.

The model is linear: one weight per (feature, kind) and a bias per kind, over
the features of bench/text_features.py, which say which tokens, line starts,
line ends and line shapes a file's first 8 KiB hold. The library adds up the
weights of the features a file has and takes the kind that scores highest,
where its rules found too little evidence (lib/ident/text/text_model.h).

It learns only from the tuning origin's tuned part: the files of
bench/make_corpus.py's cache whose source package falls in "tuned", labelled
and cleaned by the same rules as the corpus (a file's name proposes a kind,
its content must agree), without duplicates, at most --per-package files of a
kind from one source package and --per-kind in all. The held-out packages and
the corpora of other origins (bench/make_origin_corpus.py) are never read, so
bench/origins.py measures the model on text it never saw.

Needs scikit-learn (Debian's python3-sklearn) and the corpus cache that
bench/make_corpus.py fills (run it first). Writes the model file, which is
committed: nobody needs the cache or scikit-learn to build or test trueext.

--pool N learns also from N packages of the tuned part's fresh draw
(bench/make_origin_corpus.py fresh-pool), some twice the files. Tried with
2000, it named more of the fresh held-out draws rightly and fewer of the
held-out packages' plain texts (prose taken for TOML), so the shipped model
is trained without it.

--cross-validate writes no model: it trains on four fifths of the source
packages and answers the rest, five times over, and prints how many files
the library would answer right for each way of taking the model's kind over
plain text (text_classifier.cc holds the one chosen). It asks the built
library (build/libtrueext-ident.so, through build/ident_probe) which files
its rules leave to the model.

Usage: bench/train_text_model.py [--cache build/corpus-cache] [--out lib/ident/text/trueext-text.model]
                                 [--per-kind 1500] [--per-package 40] [--c 0.3] [--features FILE] [--pool N]
                                 [--cross-validate [--folds 5] [--library build/libtrueext-ident.so]]
"""
import argparse
import os
import pickle
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_kinds  # noqa: E402
import make_corpus  # noqa: E402
import text_features  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAGIC = b"TXTMODL1"
# Kinds the model does not answer: the rules' own checks tell man pages
# (whose answer is a section number) and Adobe font metrics outright.
LEFT_TO_RULES = {"man", "afm"}
# More Debian source packages of the tuning origin, for the kinds its corpus
# holds few files of (Dockerfiles, TOML, reStructuredText, Markdown, YAML,
# TypeScript): only those whose name falls in the tuned part are fetched
# and read, and none is a project that a held-out origin draws.
EXTRA_SOURCE_PACKAGES = [
    "rust-toml", "rust-serde", "rust-clap", "rust-regex", "rust-tokio", "rust-rand", "rust-log", "rust-anyhow",
    "rust-syn", "rust-itertools", "rust-bitflags", "rust-libc", "hugo", "golang-github-containers-buildah",
    "golang-github-containers-common", "runc", "containerd", "python-docutils", "python-urllib3",
    "numpy", "node-typescript", "yamllint", "ansible", "python-poetry",
    "python-pip", "tox", "black", "meson", "cmake", "libyaml", "ruamel.yaml", "node-marked", "node-ws",
    # Java, assembly and reStructuredText from more projects than the few
    # the corpus draws them from.
    "jsoup", "commons-io", "picocli", "mockito", "jackson-databind", "jline3", "libvpx", "x264", "nettle",
    "openh264", "python-cryptography", "markupsafe", "pylint",
]
# Source packages of the tuned part that package a project a held-out origin
# draws (bench/make_origin_corpus.py): the model never learns from them, so
# that the held-out origins stay unseen.
HELD_OUT_PROJECTS = {"sphinx", "requests", "fmtlib", "libmoose-perl", "luarocks"}
# A person's name for each kind, which the library shows as the description.
DESCRIPTIONS = {
    "svg": "SVG image", "ps": "PostScript document", "c": "C source", "h": "C header", "cpp": "C++ source",
    "hpp": "C++ header", "py": "Python script", "pl": "Perl script", "sh": "shell script",
    "js": "JavaScript source", "php": "PHP script", "go": "Go source", "rs": "Rust source", "rb": "Ruby script",
    "lua": "Lua script", "tcl": "Tcl script", "awk": "awk script", "ps1": "PowerShell script",
    "el": "Emacs Lisp source", "lisp": "Lisp source", "pas": "Pascal source", "m4": "M4 macro source",
    "tex": "TeX document", "sql": "SQL script", "vim": "Vim script", "cmake": "CMake script", "mk": "makefile",
    "bat": "DOS batch file", "css": "CSS stylesheet", "java": "Java source", "kt": "Kotlin source",
    "cs": "C# source", "ts": "TypeScript source", "r": "R script", "hs": "Haskell source", "ml": "OCaml source",
    "erl": "Erlang source", "ex": "Elixir source", "f": "Fortran source", "asm": "assembly source",
    "dockerfile": "Dockerfile", "diff": "unified diff", "po": "gettext catalogue", "srt": "SubRip subtitles",
    "vtt": "WebVTT subtitles", "eml": "e-mail message", "ini": "INI configuration", "toml": "TOML document",
    "yaml": "YAML document", "json": "JSON data", "desktop": "desktop entry", "service": "systemd unit",
    "socket": "systemd unit", "timer": "systemd unit", "html": "HTML document", "xml": "XML document",
    "md": "Markdown document", "rst": "reStructuredText document", "pod": "Perl POD document",
    "csv": "comma-separated values", "crt": "PEM certificate", "txt": "text",
}
# The extension the library answers for a kind whose name is not one.
ANSWERS = {"asm": "s", "f": "f", "pod": "pod"}


def log(message):
    print(f"train_text_model: {message}", file=sys.stderr)


def training_files(cache, per_kind, per_package, offline, pool=0):
    """[(kind, source package, path)] of the tuned part, sampled as the docstring says."""
    pool_packages = []
    if pool:
        import make_origin_corpus  # imports this module: only when asked
        pool_packages = make_origin_corpus.fresh_packages("tuned", pool)
    roots = (make_corpus.fetch_debs(corpus_kinds.PACKAGES + pool_packages, cache, offline if pool else True)
             + make_corpus.fetch_sources(corpus_kinds.SOURCE_PACKAGES, cache, True)
             + make_corpus.fetch_npm(corpus_kinds.NPM_MODULES, cache, True)
             + make_corpus.fetch_sources([n for n in EXTRA_SOURCE_PACKAGES if corpus_kinds.split_of(n) == "tuned"],
                                       cache, offline))
    roots = [r for r in roots if corpus_kinds.split_of(r[1]) == "tuned" and r[1] not in HELD_OUT_PROJECTS]
    kinds_by_ext = {}
    for kind, exts, _category, binary in corpus_kinds.KINDS:
        if not binary and kind not in LEFT_TO_RULES:
            for ext in exts:
                kinds_by_ext[ext] = (kind, binary)
    found = make_corpus.gather(kinds_by_ext, roots)
    chosen = []
    seen = set()
    for kind in sorted(found):
        picked = make_corpus.choose(kind, found[kind], per_kind, per_package, seen)
        chosen += [(kind, origin, path) for _package, origin, path, _ext in picked]
        log(f"{kind}: {len(picked)} files")
    return chosen


def head_of(path):
    with open(path, "rb") as f:
        return f.read(text_features.HEAD_BYTES)


def write_model(path, classes, hashes, weights, biases):
    """Writes the model: a header, the kinds, the biases, then for each
    feature (by ascending hash) its non-zero weights, quantised to int8."""
    scale = max(max(abs(w) for row in weights for w in row), max(abs(b) for b in biases)) / 127.0
    scale = max(scale, 1e-9)
    entries = []
    offsets = [0]
    kept_hashes = []
    for h, row in sorted(zip(hashes, weights)):
        nonzero = [(k, round(w / scale)) for k, w in enumerate(row) if round(w / scale) != 0]
        if not nonzero:
            continue
        kept_hashes.append(h)
        entries += nonzero
        offsets.append(len(entries))
    out = bytearray(MAGIC)
    out += struct.pack("<IIIf", len(classes), len(kept_hashes), len(entries), scale)
    for extension, description in classes:
        for text in (extension, description):
            data = text.encode()
            out += struct.pack("<B", len(data)) + data
    out += struct.pack(f"<{len(biases)}h", *(round(b / scale) for b in biases))
    out += struct.pack(f"<{len(kept_hashes)}I", *kept_hashes)
    out += struct.pack(f"<{len(offsets)}I", *offsets)
    for k, q in entries:
        out += struct.pack("<Bb", k, q)
    with open(path, "wb") as f:
        f.write(out)
    return len(kept_hashes), len(entries), len(out)


def fit(docs, labels, args):
    """Trains the model on |docs| (sets of feature hashes) and their kinds;
    returns (kinds, vocabulary, model)."""
    from sklearn.svm import LinearSVC  # noqa: E402  (only the person who trains needs it)

    counts = {}
    for doc in docs:
        for h in doc:
            counts[h] = counts.get(h, 0) + 1
    vocabulary = sorted(h for h, n in counts.items() if n >= args.min_count)
    model = LinearSVC(penalty=args.penalty, dual=False, C=args.c, max_iter=4000)
    model.fit(matrix_of(docs, vocabulary), labels)
    return vocabulary, model


def matrix_of(docs, vocabulary):
    from scipy.sparse import csr_matrix  # noqa: E402

    column = {h: i for i, h in enumerate(vocabulary)}
    rows, cols = [], []
    for r, doc in enumerate(docs):
        for h in doc:
            if h in column:
                rows.append(r)
                cols.append(column[h])
    return csr_matrix(([1.0] * len(rows), (rows, cols)), shape=(len(docs), len(vocabulary)))


def rules_answers(paths, library):
    """{path: (extension, description)} that the library's rules give, with no
    text model beside it: a copy of the library and its definitions without
    the model, driven by bench's ident_probe (built beside the library)."""
    import shutil
    import subprocess
    import tempfile

    folder = os.path.dirname(os.path.abspath(library))
    with tempfile.TemporaryDirectory(prefix="trueext-rules-") as tmp:
        for name in os.listdir(folder):
            if name.endswith((".mgc", ".magic")) or name == os.path.basename(library):
                shutil.copy(os.path.join(folder, name), tmp)
        result = subprocess.run([os.path.join(folder, "ident_probe"), os.path.join(tmp, os.path.basename(library))],
                                input="".join(p + "\n" for p in paths), capture_output=True, text=True,
                                env=dict(os.environ, PROBE_DESCRIBE="1"), check=True)
    answers = {}
    for line in result.stdout.splitlines():
        path, _count, extension, description, _micros = line.split("\t")
        answers[path] = (extension, description)
    return answers


def cross_validate(docs, labels, groups, paths, args):
    """Scores the library's answers where the model decides, by folds of
    whole source packages: each fold's files are answered by a model trained
    on the other folds, wherever the rules leave them as plain text. Prints,
    for each way of taking the model's kind over plain text, the files of
    the tuned part answered right (each kind's share averaged, and plain
    text's)."""
    import numpy  # noqa: E402
    from sklearn.model_selection import GroupKFold  # noqa: E402

    import accuracy  # noqa: E402

    rules = rules_answers(paths, args.library)
    heads = [head_of(p) for p in paths]
    exts = [os.path.splitext(p)[1][1:].lower() or os.path.basename(p).lower() for p in paths]
    scored = [i for i, h in enumerate(heads) if not any(h.startswith(b) for b in accuracy.BUILTIN_PREFIXES)]
    asked = {i for i in scored if rules[paths[i]] == ("txt", "text") and heads[i].strip()}
    log(f"{len(scored)} files no built-in row takes; the rules leave {len(asked)} to the model")
    scores = {}
    for fold, (train, test) in enumerate(GroupKFold(n_splits=args.folds).split(docs, labels, groups)):
        log(f"fold {fold + 1} of {args.folds}")
        vocabulary, model = fit([docs[i] for i in train], [labels[i] for i in train], args)
        test = [i for i in test if i in asked]
        if test:
            decision = model.decision_function(matrix_of([docs[i] for i in test], vocabulary))
            for row, i in enumerate(test):
                scores[i] = dict(zip(model.classes_, decision[row]))
    right_by_rules = {i: corpus_kinds.is_right(exts[i], rules[paths[i]][0], labels[i]) for i in scored}
    kinds = sorted({labels[i] for i in scored})
    print(f"{'score >':>8} {'lead >=':>8} {'over txt >=':>12} {'kinds avg':>10} {'files':>7} {'txt':>6} {'md':>6} {'rst':>6}")
    for min_score in (None, 0.0):
        for min_lead in (0.0, 0.25, 0.5, 0.75, 1.0):
            for min_over_text in (0.0, 0.5, 0.75, 1.0):
                right = dict(right_by_rules)
                for i, s in scores.items():
                    best = max(s, key=s.get)
                    second = max(v for k, v in s.items() if k != best)
                    take = (best != "txt" and (min_score is None or s[best] > min_score)
                            and s[best] - second >= min_lead and s[best] - s.get("txt", -numpy.inf) >= min_over_text)
                    right[i] = corpus_kinds.is_right(exts[i], ANSWERS.get(best, best) if take else "txt", labels[i])
                share = {k: numpy.mean([right[i] for i in scored if labels[i] == k]) for k in kinds}
                print(f"{'-' if min_score is None else min_score:>8} {min_lead:>8} {min_over_text:>12} "
                      f"{100 * numpy.mean(list(share.values())):10.2f} {100 * numpy.mean(list(right.values())):7.2f} "
                      + " ".join(f"{100 * share.get(k, 0):6.1f}" for k in ("txt", "md", "rst")))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "corpus-cache"))
    parser.add_argument("--out", default=os.path.join(ROOT, "lib", "ident", "text", "trueext-text.model"))
    parser.add_argument("--per-kind", type=int, default=1500)
    parser.add_argument("--per-package", type=int, default=40)
    parser.add_argument("--c", type=float, default=0.3, help="inverse strength of the penalty")
    parser.add_argument("--penalty", choices=("l1", "l2"), default="l1",
                        help="l1 keeps few features (a small file), l2 spreads the weights")
    parser.add_argument("--pool", type=int, default=0,
                        help="learn also from this many packages of the tuned part's fresh draw")
    parser.add_argument("--min-count", type=int, default=3, help="features in fewer files are dropped")
    parser.add_argument("--offline", action="store_true", help="fetch nothing; use what the cache holds")
    parser.add_argument("--features", help="keep the training files' features in this file, and read them "
                        "from it when it exists (to try other settings without gathering again)")
    parser.add_argument("--cross-validate", action="store_true",
                        help="write no model; score the ways of taking the model's answer over plain text")
    parser.add_argument("--folds", type=int, default=5)
    parser.add_argument("--library", default=os.path.join(ROOT, "build", "libtrueext-ident.so"),
                        help="the built library whose rules --cross-validate asks")
    args = parser.parse_args()

    if args.features and os.path.exists(args.features):
        with open(args.features, "rb") as f:
            docs, labels, groups, paths = pickle.load(f)
    else:
        files = training_files(os.path.abspath(args.cache), args.per_kind, args.per_package,
                               args.offline, args.pool)
        docs = [text_features.hashed_features(head_of(path)) for _kind, _origin, path in files]
        labels = [kind for kind, _origin, _path in files]
        groups = [origin for _kind, origin, _path in files]
        paths = [path for _kind, _origin, path in files]
        if args.features:
            with open(args.features, "wb") as f:
                pickle.dump((docs, labels, groups, paths), f)
    if args.cross_validate:
        cross_validate(docs, labels, groups, paths, args)
        return
    classes = sorted(set(labels))
    log(f"{len(docs)} files, {len(classes)} kinds; training")
    vocabulary, model = fit(docs, labels, args)
    order = [list(model.classes_).index(k) for k in classes]
    weights = [[float(model.coef_[k][i]) for k in order] for i in range(len(vocabulary))]
    biases = [float(model.intercept_[k]) for k in order]
    named = [(ANSWERS.get(k, k), DESCRIPTIONS.get(k, "")) for k in classes]
    kept, entries, size = write_model(args.out, named, vocabulary, weights, biases)
    log(f"wrote {args.out}: {len(vocabulary)} features seen, {kept} kept, {entries} weights, {size} bytes")


if __name__ == "__main__":
    main()
