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

Usage: bench/train_text_model.py [--cache build/corpus-cache] [--out lib/ident/text/trueext-text.model]
                                 [--per-kind 1500] [--per-package 40] [--c 0.3]
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
]
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


def training_files(cache, per_kind, per_package, offline):
    """[(kind, path)] of the tuned part, sampled as the docstring says."""
    roots = (make_corpus.fetch_debs(corpus_kinds.PACKAGES, cache, True)
             + make_corpus.fetch_sources(corpus_kinds.SOURCE_PACKAGES, cache, True)
             + make_corpus.fetch_npm(corpus_kinds.NPM_MODULES, cache, True)
             + make_corpus.fetch_sources([n for n in EXTRA_SOURCE_PACKAGES if corpus_kinds.split_of(n) == "tuned"],
                                       cache, offline))
    roots = [r for r in roots if corpus_kinds.split_of(r[1]) == "tuned"]
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
        chosen += [(kind, path) for _package, _origin, path, _ext in picked]
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "corpus-cache"))
    parser.add_argument("--out", default=os.path.join(ROOT, "lib", "ident", "text", "trueext-text.model"))
    parser.add_argument("--per-kind", type=int, default=1500)
    parser.add_argument("--per-package", type=int, default=40)
    parser.add_argument("--c", type=float, default=0.3, help="inverse strength of the penalty")
    parser.add_argument("--penalty", choices=("l1", "l2"), default="l1",
                        help="l1 keeps few features (a small file), l2 spreads the weights")
    parser.add_argument("--min-count", type=int, default=3, help="features in fewer files are dropped")
    parser.add_argument("--offline", action="store_true", help="fetch nothing; use what the cache holds")
    parser.add_argument("--features", help="keep the training files' features in this file, and read them "
                        "from it when it exists (to try other settings without gathering again)")
    args = parser.parse_args()

    from sklearn.svm import LinearSVC  # noqa: E402  (only the person who trains needs it)
    from scipy.sparse import csr_matrix  # noqa: E402

    if args.features and os.path.exists(args.features):
        with open(args.features, "rb") as f:
            docs, labels = pickle.load(f)
    else:
        files = training_files(os.path.abspath(args.cache), args.per_kind, args.per_package,
                               args.offline)
        docs, labels = [], []
        for kind, path in files:
            docs.append(text_features.hashed_features(head_of(path)))
            labels.append(kind)
        if args.features:
            with open(args.features, "wb") as f:
                pickle.dump((docs, labels), f)
    counts = {}
    for doc in docs:
        for h in doc:
            counts[h] = counts.get(h, 0) + 1
    vocabulary = sorted(h for h, n in counts.items() if n >= args.min_count)
    column = {h: i for i, h in enumerate(vocabulary)}
    rows, cols = [], []
    for r, doc in enumerate(docs):
        for h in doc:
            if h in column:
                rows.append(r)
                cols.append(column[h])
    matrix = csr_matrix(([1.0] * len(rows), (rows, cols)), shape=(len(docs), len(vocabulary)))
    classes = sorted(set(labels))
    log(f"{len(docs)} files, {len(vocabulary)} features, {len(classes)} kinds; training")
    model = LinearSVC(penalty=args.penalty, dual=False, C=args.c, max_iter=4000)
    model.fit(matrix, labels)
    order = [list(model.classes_).index(k) for k in classes]
    weights = [[float(model.coef_[k][i]) for k in order] for i in range(len(vocabulary))]
    biases = [float(model.intercept_[k]) for k in order]
    named = [(ANSWERS.get(k, k), DESCRIPTIONS.get(k, "")) for k in classes]
    kept, entries, size = write_model(args.out, named, vocabulary, weights, biases)
    log(f"wrote {args.out}: {kept} features, {entries} weights, {size} bytes")


if __name__ == "__main__":
    main()
