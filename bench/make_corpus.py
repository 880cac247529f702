#!/usr/bin/python3
"""Builds the accuracy corpus: real files taken from installed Debian packages.

For every kind of corpus_kinds.KINDS it gathers files of the kind's
extensions from the packages of corpus_kinds.PACKAGES (installing the missing
ones with apt-get), keeps only those whose content agrees with their name
(magic bytes for binary kinds, a syntax check where the standard library has
one), and picks up to --per-kind of them, at most --per-package from any one
package, so that no kind is one package's quirks. The choice is deterministic:
candidates are sorted, then shuffled with a fixed seed.

The corpus folder holds one folder per kind and manifest.tsv, one line per
file: kind, original extension, package, source path, corpus path.

Usage: bench/make_corpus.py [--out build/corpus] [--per-kind 50] [--per-package 20] [--no-install]
"""
import argparse
import configparser
import csv
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys
import tomllib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_kinds  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEED = 4
MIN_BINARY_SIZE = 64
MIN_TEXT_SIZE = 80
MAX_SIZE = 32 << 20

# Leading bytes that prove a binary kind. A file of that extension that does
# not start so (a linker script named libc.so, say) stays out.
MAGIC = {
    "png": [b"\x89PNG\r\n\x1a\n"],
    "jpg": [b"\xff\xd8\xff"],
    "gif": [b"GIF87a", b"GIF89a"],
    "ico": [b"\x00\x00\x01\x00"],
    "ttf": [b"\x00\x01\x00\x00", b"true"],
    "otf": [b"OTTO"],
    "woff": [b"wOFF"],
    "woff2": [b"wOF2"],
    "pfb": [b"\x80\x01"],
    "ogg": [b"OggS"],
    "jar": [b"PK\x03\x04"],
    "gz": [b"\x1f\x8b"],
    "a": [b"!<arch>\n"],
    "so": [b"\x7fELF"],
    "exe": [b"MZ"],
    "mo": [b"\xde\x12\x04\x95", b"\x95\x04\x12\xde"],
    "pdf": [b"%PDF-"],
    "ps": [b"%!PS"],
}


# Names whose last extension is not a format: Midnight Commander names its
# translated help files and editor macros after a language code or a number
# (mc.hint.el is Greek, mc.hlp.pl Polish, macro.3.sh a macro file).
EXCLUDED_PREFIXES = ("mc.hint.", "mc.hlp.", "mc.menu.", "macro.")


def installed(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${db:Status-Status}", package],
                            capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.strip() == "installed"


def install_missing(packages):
    missing = [p for p in packages if not installed(p)]
    if not missing:
        return
    print(f"make_corpus: installing {len(missing)} packages: {' '.join(missing)}", file=sys.stderr)
    if os.geteuid() != 0:
        print("make_corpus: not root, so not installing; kinds may come out thin", file=sys.stderr)
        return
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    command = ["apt-get", "install", "-y", "-qq", "--no-install-recommends"]
    if subprocess.call(command + missing, env=env, stdout=subprocess.DEVNULL) == 0:
        return
    # The package lists may be missing or stale on a fresh machine.
    subprocess.call(["apt-get", "update", "-qq"], env=env, stdout=subprocess.DEVNULL)
    if subprocess.call(command + missing, env=env, stdout=subprocess.DEVNULL) != 0:
        for package in missing:  # one unavailable package must not cost the rest
            if subprocess.call(command + [package], env=env, stdout=subprocess.DEVNULL) != 0:
                print(f"make_corpus: could not install {package}", file=sys.stderr)


def package_files(package):
    result = subprocess.run(["dpkg-query", "-L", package], capture_output=True, text=True, errors="replace")
    return result.stdout.splitlines() if result.returncode == 0 else []


def is_utf8_text(data):
    if b"\x00" in data:
        return False
    try:
        data.decode("utf-8")
    except UnicodeDecodeError:
        return False
    return True


def is_table_or_ini(text):
    """True when the whole text is a machine-read table or INI file.

    Such a file named .txt (Python's entry_points.txt, a data table) is a
    format of its own whose extension does not describe it; the standard
    library decides, not the tool under test."""
    lines = [line for line in text.splitlines() if line.strip()]
    if len(lines) < 2:
        return False
    for delimiter in ("\t", ","):
        widths = {len(row) for row in csv.reader(lines, delimiter=delimiter)}
        if len(widths) == 1 and widths.pop() >= 2:
            return True
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    try:
        parser.read_string(text)
    except configparser.Error:
        return False
    return bool(parser.sections())


def content_agrees(kind, binary, name, data):
    """True when the bytes of a file named |name| are what its kind says."""
    if kind in MAGIC and not any(data.startswith(m) for m in MAGIC[kind]):
        return False
    if kind == "wav":
        return data[:4] == b"RIFF" and data[8:12] == b"WAVE"
    if kind == "so":
        return len(data) > 16 and data[16] == 3  # ET_DYN: a shared object, not an object file
    if binary or kind == "ps":
        return len(data) >= MIN_BINARY_SIZE
    if len(data) < MIN_TEXT_SIZE or not is_utf8_text(data):
        return False
    text = data.decode("utf-8")
    head = text[:4096].lower()
    if kind == "json":
        try:
            json.loads(text)
        except ValueError:
            return False
        return True
    if kind == "toml":
        try:
            tomllib.loads(text)
        except tomllib.TOMLDecodeError:
            return False
        return True
    checks = {
        "svg": lambda: "<svg" in head,
        "html": lambda: "<html" in head or "<!doctype html" in head,
        "xml": lambda: text.lstrip("\ufeff \t\r\n").startswith("<"),
        "man": lambda: text.startswith((".TH ", ".Dd ", ".\\\"", "'\\\"")) or "\n.TH " in text[:8192],
        "crt": lambda: "-----BEGIN " in text,
        "desktop": lambda: "[Desktop Entry]" in text,
        "service": lambda: "[Service]" in text,
        "socket": lambda: "[Socket]" in text,
        "timer": lambda: "[Timer]" in text,
        "afm": lambda: text.startswith("StartFontMetrics"),
        "pod": lambda: "\n=head" in text or text.startswith("=head") or "=pod" in text,
        "txt": lambda: name != "CMakeLists.txt" and not is_table_or_ini(text),
    }
    return checks.get(kind, lambda: True)()


def gather(kinds_by_ext, packages):
    """Returns {kind: {package: [path, ...]}} of the files whose content agrees."""
    found = {}
    seen = set()
    for package in packages:
        for path in package_files(package):
            base = os.path.basename(path)
            if "." not in base or path in seen or base.startswith(EXCLUDED_PREFIXES):
                continue
            ext = base.rsplit(".", 1)[1]
            entry = kinds_by_ext.get(ext.lower())
            if entry is None or os.path.islink(path) or not os.path.isfile(path):
                continue
            seen.add(path)
            kind, binary = entry
            try:
                size = os.path.getsize(path)
                if size > MAX_SIZE:
                    continue
                with open(path, "rb") as f:
                    data = f.read(65536 if binary else MAX_SIZE)
            except OSError:
                continue
            if content_agrees(kind, binary, base, data):
                found.setdefault(kind, {}).setdefault(package, []).append(path)
    return found


def choose(kind, by_package, per_kind, per_package):
    """Picks files round-robin over the packages, in a seeded order."""
    queues = []
    for package in sorted(by_package):
        paths = sorted(by_package[package])
        random.Random(f"{SEED}:{kind}:{package}").shuffle(paths)
        queues.append((package, paths))
    chosen, digests = [], set()
    taken = {package: 0 for package, _ in queues}
    while len(chosen) < per_kind and any(queues):
        for package, paths in queues:
            if len(chosen) >= per_kind or taken[package] >= per_package or not paths:
                continue
            path = paths.pop(0)
            with open(path, "rb") as f:
                digest = hashlib.sha256(f.read()).hexdigest()
            if digest in digests:  # the same file shipped twice
                continue
            digests.add(digest)
            chosen.append((package, path))
            taken[package] += 1
        queues = [(p, q) for p, q in queues if q and taken[p] < per_package]
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "corpus"))
    parser.add_argument("--per-kind", type=int, default=50)
    parser.add_argument("--per-package", type=int, default=20)
    parser.add_argument("--min-files", type=int, default=5, help="drop kinds with fewer files")
    parser.add_argument("--no-install", action="store_true", help="use only what is installed")
    args = parser.parse_args()

    if not args.no_install:
        install_missing(corpus_kinds.PACKAGES)
    packages = [p for p in corpus_kinds.PACKAGES if installed(p)]
    kinds_by_ext = {}
    for kind, exts, _category, binary in corpus_kinds.KINDS:
        for ext in exts:
            kinds_by_ext[ext] = (kind, binary)
    found = gather(kinds_by_ext, packages)

    out = os.path.abspath(args.out)
    if os.path.exists(out):
        if not os.path.exists(os.path.join(out, "manifest.tsv")):
            sys.exit(f"make_corpus: {out} exists and is not a corpus; not touching it")
        shutil.rmtree(out)
    os.makedirs(out)
    rows = []
    for kind, _exts, _category, _binary in corpus_kinds.KINDS:
        chosen = choose(kind, found.get(kind, {}), args.per_kind, args.per_package)
        if len(chosen) < args.min_files:
            print(f"make_corpus: kind {kind} has only {len(chosen)} files; left out", file=sys.stderr)
            continue
        os.makedirs(os.path.join(out, kind))
        for index, (package, path) in enumerate(chosen):
            base = os.path.basename(path)
            name = f"{index:02d}_{package}_{base}"
            shutil.copyfile(path, os.path.join(out, kind, name))
            rows.append((kind, base.rsplit(".", 1)[1].lower(), package, path, f"{kind}/{name}"))
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write("kind\text\tpackage\tsource\tfile\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    kinds = len({r[0] for r in rows})
    print(f"make_corpus: {len(rows)} files of {kinds} kinds in {out}", file=sys.stderr)


if __name__ == "__main__":
    main()
