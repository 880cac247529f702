#!/usr/bin/python3
"""Builds the accuracy corpus: real files taken from Debian and npm packages.

It fetches the packages of corpus_kinds into a cache without installing
anything: Debian binary packages with `apt-get download` and `dpkg-deb -x`,
Debian source packages with `apt-get source` (through a private package list
of their own, so the machine's apt setup stays as it is), npm modules with
`npm pack`. For every kind of corpus_kinds.KINDS it then gathers the files of
the kind's extensions (or names, such as Makefile), keeps only those whose
content agrees with their name (magic bytes for binary kinds, a parser where
Python has one, a telling line otherwise), drops duplicates, and picks up to
--per-kind files in each part of the split, at most --per-package from any
one source package, so that no kind is one package's quirks (plain text is
sampled wider and thinner: KIND_SAMPLES). The choice is
deterministic: candidates are sorted, then shuffled with a fixed seed.

The corpus folder holds one folder per kind and manifest.tsv, one line per
file: kind, original extension, package, source package, part of the split,
source path, corpus path.

Usage: bench/make_corpus.py [--out build/corpus] [--cache build/corpus-cache] [--per-kind 60]
                            [--per-package 12] [--offline]
"""
import argparse
import ast
import configparser
import csv
import email.parser
import glob
import hashlib
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tomllib
import warnings
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_kinds  # noqa: E402

try:
    import yaml
except ImportError:  # the YAML check is skipped where PyYAML is missing
    yaml = None

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEED = 4
MIN_BINARY_SIZE = 64
MIN_TEXT_SIZE = 80
MAX_SIZE = 32 << 20
MANIFEST_HEADER = "kind\text\tpackage\torigin\tsplit\tsource\tfile"
# Raised whenever the rules that choose, check or label the files change, so
# that a corpus built under older rules is built again rather than scored
# with stale labels.
LABEL_RULES = 3
LABEL_RULES_FILE = "label-rules"
# Kinds sampled wider than --per-kind and --per-package say: (files per part,
# files per source package). Plain text is the kind whose files differ most
# from one package to the next (licences, changelogs, notes, test inputs), so
# a figure drawn from a few packages swings with any one of them. Its sample
# takes at most 4 files from each package, and every package that has some:
# the cache holds .txt files of some 40 packages in each part, half of them
# with 5 files or fewer, and a higher cap would add files mostly from the
# few packages with hundreds, leaving the figure to them again.
KIND_SAMPLES = {"txt": (240, 4)}

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
# Folders whose files are not what their names say: Sphinx copies each
# page's reStructuredText source as NAME.rst.txt, test suites keep inputs
# that are broken on purpose, and generated trees repeat their sources.
EXCLUDED_DIRS = {"_sources", ".git", ".pc", "bad", "invalid", "fail", "failing", "broken", "errors", "malformed",
                 "node_modules"}
# Extensions that, before a final .txt or .in, name another format.
DOUBLE_EXTENSIONS = (".rst.txt", ".md.txt", ".html.txt", ".py.txt", ".json.txt")


def log(message):
    print(f"make_corpus: {message}", file=sys.stderr)


def run(command, cwd=None):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                          errors="replace", env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


# ---------------------------------------------------------------------------
# Fetching into the cache. Each fetcher returns [(package, origin, root)]:
# the package's name, its source package (the unit of the split) and the
# folder its files were unpacked in.

def fetch_debs(names, cache, offline):
    debs = os.path.join(cache, "debs")
    os.makedirs(debs, exist_ok=True)

    def deb_file(name):
        found = glob.glob(os.path.join(debs, f"{glob.escape(name)}_*.deb"))
        return found[0] if found else None

    missing = [n for n in names if deb_file(n) is None]
    if missing and not offline:
        log(f"downloading {len(missing)} Debian packages")
        # apt-get downloads nothing when it cannot find one of the names: drop
        # the names it complains of and try the rest again.
        for _attempt in range(5):
            result = run(["apt-get", "download", "-qq"] + missing, cwd=debs)
            unknown = set(re.findall(r"package ([\w.+-]+)|of '([\w.+-]+)[:']", result.stderr))
            unknown = {name for pair in unknown for name in pair if name}
            if result.returncode == 0 or not unknown & set(missing):
                break
            log(f"not available: {' '.join(sorted(unknown & set(missing)))}")
            missing = [n for n in missing if n not in unknown]
        # A failed fetch (a mirror without the file) can cost the batch its
        # other files: fetch what is still missing one by one.
        for name in [n for n in missing if deb_file(n) is None]:
            result = run(["apt-get", "download", "-qq", name], cwd=debs)
            if result.returncode != 0:
                log(f"could not download {name}: {result.stderr.strip().splitlines()[-1:]}")
    roots = []
    for name in names:
        deb = deb_file(name)
        if deb is None:
            continue
        root = os.path.join(cache, "deb", name)
        if not os.path.exists(os.path.join(root, ".unpacked")):
            shutil.rmtree(root, ignore_errors=True)
            os.makedirs(root)
            if run(["dpkg-deb", "-x", deb, root]).returncode != 0:
                log(f"could not unpack {deb}")
                continue
            open(os.path.join(root, ".unpacked"), "w").close()
        fields = subprocess.run(["dpkg-deb", "-f", deb, "Source"], capture_output=True, text=True).stdout.split()
        roots.append((name, fields[0] if fields else name, root))
    return roots


def private_apt(cache):
    """apt-get options for a package list of source packages kept in the cache.

    The deb-src lines mirror the machine's own deb lines."""
    folder = os.path.join(cache, "apt")
    lists = os.path.join(folder, "lists")
    os.makedirs(os.path.join(lists, "partial"), exist_ok=True)
    entries = []
    for path in glob.glob("/etc/apt/sources.list.d/*.sources"):
        with open(path) as f:
            for stanza in f.read().split("\n\n"):
                fields = {}
                for line in stanza.splitlines():
                    key, colon, value = line.partition(":")
                    if colon and not line.startswith(("#", " ")):
                        fields[key.strip()] = value.strip()
                if "deb" in fields.get("Types", "").split() and fields.get("Enabled", "yes") != "no":
                    entries.append(f"Types: deb-src\nURIs: {fields.get('URIs', '')}\nSuites: {fields.get('Suites', '')}\n"
                                   f"Components: {fields.get('Components', '')}\n"
                                   + (f"Signed-By: {fields['Signed-By']}\n" if "Signed-By" in fields else ""))
    lines = []
    if os.path.exists("/etc/apt/sources.list"):
        with open("/etc/apt/sources.list") as f:
            lines = ["deb-src" + line[3:] for line in f if line.startswith("deb ")]
    parts = os.path.join(folder, "parts")
    os.makedirs(parts, exist_ok=True)
    with open(os.path.join(parts, "src.sources"), "w") as f:
        f.write("\n".join(entries))
    with open(os.path.join(folder, "sources.list"), "w") as f:
        f.writelines(lines)
    return ["-o", f"Dir::Etc::SourceList={os.path.join(folder, 'sources.list')}",
            "-o", f"Dir::Etc::SourceParts={parts}", "-o", f"Dir::State::Lists={lists}"]


def fetch_sources(names, cache, offline):
    roots = []
    options = None
    for name in names:
        root = os.path.join(cache, "src", name)
        if not os.path.exists(os.path.join(root, ".unpacked")):
            if offline:
                continue
            if options is None:
                options = private_apt(cache)
                log("updating the list of Debian source packages in the cache")
                run(["apt-get", "-qq"] + options + ["update"])
            shutil.rmtree(root, ignore_errors=True)
            os.makedirs(root)
            log(f"fetching source package {name}")
            result = run(["apt-get", "-qq"] + options + ["source", name], cwd=root)
            if result.returncode != 0:
                # Mirrors that lack the Debian part of a package still serve
                # its upstream tarball: its files are the sources we want.
                upstream = [t for t in glob.glob(os.path.join(root, "*.orig.tar.*")) if not t.endswith(".asc")]
                if not upstream or any(run(["tar", "-xf", t, "-C", root]).returncode for t in upstream):
                    log(f"could not fetch source package {name}: {result.stderr.strip()[-200:]}")
                    continue
                log(f"source package {name}: only its upstream tarball, unpacked as it is")
            for archive in glob.glob(os.path.join(root, "*.tar.*")) + glob.glob(os.path.join(root, "*.dsc")):
                os.unlink(archive)
            open(os.path.join(root, ".unpacked"), "w").close()
        roots.append((name, name, root))
    return roots


def fetch_npm(names, cache, offline):
    roots = []
    for name in names:
        root = os.path.join(cache, "npm", name.replace("/", "__"))
        if not os.path.exists(os.path.join(root, ".unpacked")):
            if offline:
                continue
            shutil.rmtree(root, ignore_errors=True)
            os.makedirs(root)
            result = run(["npm", "pack", "--silent", name], cwd=root)
            tarballs = glob.glob(os.path.join(root, "*.tgz"))
            if result.returncode != 0 or not tarballs:
                log(f"could not fetch npm module {name}: {result.stderr.strip()[-200:]}")
                continue
            run(["tar", "-xzf", tarballs[0], "-C", root])
            os.unlink(tarballs[0])
            open(os.path.join(root, ".unpacked"), "w").close()
        roots.append((name, "npm:" + name, root))
    return roots


# ---------------------------------------------------------------------------
# Labels: a file's name proposes a kind, its content must agree.

def is_utf8_text(data):
    if b"\x00" in data:
        return False
    try:
        data.decode("utf-8")
    except UnicodeDecodeError:
        return False
    return True


def is_table(lines, min_columns=2):
    for delimiter in ("\t", ",", ";"):
        try:
            widths = {len(row) for row in csv.reader(lines, delimiter=delimiter)}
        except csv.Error:  # a quoted field that runs past the csv module's limit
            continue
        if len(widths) == 1 and widths.pop() >= min_columns:
            return True
    return False


def parses_as_ini(text):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    try:
        parser.read_string(text)
    except (configparser.Error, RecursionError):
        return False
    return bool(parser.sections())


def is_table_or_ini(text):
    """True when the whole text is a machine-read table or INI file.

    Such a file named .txt (Python's entry_points.txt, a data table) is a
    format of its own whose extension does not describe it; the standard
    library decides, not the tool under test."""
    lines = [line for line in text.splitlines() if line.strip()]
    if len(lines) < 2:
        return False
    return is_table(lines) or parses_as_ini(text)


def is_other_format(text):
    """True when a file named .txt is wholly some other format that a parser
    or its own armour recognises: a table, INI, JSON, XML, a structured YAML
    document, a mail message or a PGP block. Such a name does not describe
    its file, so the file stays out of the plain-text kind."""
    if is_table_or_ini(text) or is_mail(text) or "-----BEGIN PGP" in text:
        return True
    stripped = text.lstrip("\ufeff \t\r\n")
    if stripped.startswith(("{", "[")):
        try:
            json.loads(text)
            return True
        except (ValueError, RecursionError):
            pass
    if stripped.startswith("<") and parses_as_xml(text):
        return True
    if yaml is not None:
        try:
            document = yaml.safe_load(text)
        except (yaml.YAMLError, RecursionError, ValueError):
            return False
        if isinstance(document, dict) and len(document) >= 2 and any(
                isinstance(v, (dict, list)) for v in document.values()):
            return True
    return False


# reStructuredText's explicit markup: a directive (".. note::") or an
# interpreted-text role (":func:`open`"). Plain prose writes neither.
RST_DIRECTIVE = re.compile(r"^\.\. [A-Za-z][\w:-]*::( |$)", re.M)
RST_ROLE = re.compile(r"(^|[\s(]):[a-z][\w:.-]*:`[^`\n]+`")


def is_rst_source(text):
    """True when a file uses reStructuredText's explicit markup at least
    twice: docutils and Sphinx projects keep pages and the fragments they
    include as .txt files, which are reStructuredText all the same."""
    return len(RST_DIRECTIVE.findall(text)) + len(RST_ROLE.findall(text)) >= 2


def is_python_module(text):
    """True when the whole text compiles as Python and defines or imports
    something at its top level (test inputs of Python's tokenizer, say);
    prose never compiles, and a bare word or two that does defines nothing."""
    try:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            tree = ast.parse(text)
    except (SyntaxError, ValueError, RecursionError, MemoryError):
        return False
    return any(isinstance(node, (ast.FunctionDef, ast.ClassDef, ast.Import, ast.ImportFrom)) for node in tree.body)


def is_plain_text(text, name):
    """True when a file named .txt is text with no format of its own. Left
    out: CMake's CMakeLists.txt; scripts that open with a "#!" line (start
    script templates); reStructuredText sources; Python modules; and
    whatever is_other_format recognises. Requirement lists, licences,
    changelogs and help files are plain text, and stay."""
    return (name != "cmakelists.txt" and not text.startswith("#!") and not is_rst_source(text)
            and not is_python_module(text) and not is_other_format(text))


# Pascal's block structure: a unit, program, routine or block opens some
# line, and an "end;" or "end." closes one. Files named .pp that lack it are
# other languages' (rustc's pretty-printer test outputs, Puppet manifests).
PASCAL_OPENING = re.compile(r"^\s*(unit|program|library|procedure|function|constructor|destructor|begin|"
                            r"interface|implementation|uses)\b", re.M | re.I)
PASCAL_END = re.compile(r"^\s*end\s*[;.]", re.M | re.I)


def parses_as_yaml(text):
    if yaml is None:
        return True
    try:
        documents = list(yaml.safe_load_all(text))
    except (yaml.YAMLError, RecursionError):
        return False
    return any(isinstance(d, (dict, list)) for d in documents)


def parses_as_xml(text):
    try:
        ElementTree.fromstring(text.lstrip("\ufeff \t\r\n").encode())
    except (ElementTree.ParseError, RecursionError):
        return False
    return True


def is_mail(text):
    headers = email.parser.Parser().parsestr(text, headersonly=True)
    known = {"from", "to", "subject", "date", "message-id", "received", "return-path", "mime-version"}
    return re.match(r"[A-Za-z-]+: |From ", text) is not None and len({k.lower() for k in headers.keys()} & known) >= 2


def is_diff(text):
    return (re.search(r"^--- .*\n\+\+\+ .*\n@@ ", text, re.M) is not None
            or re.search(r"^diff --git ", text, re.M) is not None)


def is_makefile(text):
    return re.search(r"^[\w.$(){}/%-]+( [\w.$(){}/%-]+)*\s*::?( |$)", text, re.M) is not None


CHECKS = {
    "svg": lambda t, h, n: "<svg" in h,
    "html": lambda t, h, n: "<html" in h or "<!doctype html" in h,
    "xml": lambda t, h, n: t.lstrip("\ufeff \t\r\n").startswith("<") and parses_as_xml(t),
    "man": lambda t, h, n: t.startswith((".TH ", ".Dd ", ".\\\"", "'\\\"")) or "\n.TH " in t[:8192],
    "crt": lambda t, h, n: "-----BEGIN " in t,
    "desktop": lambda t, h, n: "[Desktop Entry]" in t,
    "service": lambda t, h, n: "[Service]" in t,
    "socket": lambda t, h, n: "[Socket]" in t,
    "timer": lambda t, h, n: "[Timer]" in t,
    "afm": lambda t, h, n: t.startswith("StartFontMetrics"),
    "pod": lambda t, h, n: "\n=head" in t or t.startswith("=head") or "=pod" in t,
    "ini": lambda t, h, n: parses_as_ini(t),
    "yaml": lambda t, h, n: parses_as_yaml(t),
    "csv": lambda t, h, n: is_table([line for line in t.splitlines()[:200] if line.strip()]),
    "po": lambda t, h, n: "\nmsgid " in t and "\nmsgstr" in t,
    "srt": lambda t, h, n: re.search(r"^\d+\r?\n\d\d:\d\d:\d\d,\d\d\d --> ", t, re.M) is not None,
    "vtt": lambda t, h, n: t.startswith("WEBVTT"),
    "eml": lambda t, h, n: is_mail(t),
    "diff": lambda t, h, n: is_diff(t),
    "dockerfile": lambda t, h, n: re.search(r"^FROM\s+\S", t, re.M | re.I) is not None,
    "mk": lambda t, h, n: n not in corpus_kinds.NAMED_FILES or is_makefile(t),
    "pas": lambda t, h, n: PASCAL_OPENING.search(t) is not None and PASCAL_END.search(t) is not None,
    "txt": lambda t, h, n: is_plain_text(t, n),
}


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
    if kind == "json":
        try:
            json.loads(text)
        except (ValueError, RecursionError):
            return False
        return True
    if kind == "toml":
        try:
            tomllib.loads(text)
        except (tomllib.TOMLDecodeError, RecursionError):
            return False
        return True
    check = CHECKS.get(kind)
    return check is None or check(text, text[:4096].lower(), name.lower())


def kind_of(path, kinds_by_ext):
    """(kind, binary, extension) that a file's path proposes, or None."""
    base = os.path.basename(path)
    lower = base.lower()
    if lower.startswith(EXCLUDED_PREFIXES) or lower.endswith(DOUBLE_EXTENSIONS):
        return None
    named = corpus_kinds.NAMED_FILES.get(lower)
    if named is not None:
        return named, False, named
    # Python's e-mail tests keep whole messages as msg_NN.txt.
    if lower.startswith("msg_") and lower.endswith(".txt") and "test_email" in path:
        return "eml", False, "eml"
    if "." not in base:
        return None
    ext = lower.rsplit(".", 1)[1]
    entry = kinds_by_ext.get(ext)
    if entry is None:
        return None
    return entry[0], entry[1], ext


def gather(kinds_by_ext, roots):
    """Returns {kind: {origin: [(package, path, ext), ...]}} of the files whose content agrees."""
    found = {}
    for package, origin, root in roots:
        for folder, dirs, files in os.walk(root):
            dirs[:] = sorted(d for d in dirs if d.lower() not in EXCLUDED_DIRS)
            for base in sorted(files):
                path = os.path.join(folder, base)
                proposed = kind_of(path, kinds_by_ext)
                if proposed is None or os.path.islink(path) or not os.path.isfile(path):
                    continue
                kind, binary, ext = proposed
                try:
                    if os.path.getsize(path) > MAX_SIZE:
                        continue
                    with open(path, "rb") as f:
                        data = f.read(65536 if binary else MAX_SIZE)
                except OSError:
                    continue
                if content_agrees(kind, binary, base, data):
                    found.setdefault(kind, {}).setdefault(origin, []).append((package, path, ext))
    return found


def digests(path):
    """The file's digest, and one of its content with all white space removed,
    which also catches copies that differ only in line ends or indentation."""
    with open(path, "rb") as f:
        data = f.read()
    return hashlib.sha256(data).hexdigest(), hashlib.sha256(b"".join(data.split())).hexdigest()


def choose(kind, by_origin, per_kind, per_package, seen):
    """Picks files round-robin over the source packages, in a seeded order,
    skipping any whose content was already taken (for any kind)."""
    queues = []
    for origin in sorted(by_origin):
        entries = sorted(by_origin[origin])
        random.Random(f"{SEED}:{kind}:{origin}").shuffle(entries)
        queues.append((origin, entries))
    chosen = []
    taken = {origin: 0 for origin, _ in queues}
    while len(chosen) < per_kind and any(queues):
        for origin, entries in queues:
            if len(chosen) >= per_kind or taken[origin] >= per_package or not entries:
                continue
            package, path, ext = entries.pop(0)
            keys = digests(path)
            if any(key in seen for key in keys):  # the same file shipped twice
                continue
            seen.update(keys)
            chosen.append((package, origin, path, ext))
            taken[origin] += 1
        queues = [(o, q) for o, q in queues if q and taken[o] < per_package]
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "corpus"))
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "corpus-cache"))
    parser.add_argument("--per-kind", type=int, default=60, help="files per kind in each part of the split")
    parser.add_argument("--per-package", type=int, default=12)
    parser.add_argument("--min-files", type=int, default=5, help="drop kinds with fewer files")
    parser.add_argument("--offline", action="store_true", help="use only what the cache holds")
    args = parser.parse_args()

    cache = os.path.abspath(args.cache)
    roots = (fetch_debs(corpus_kinds.PACKAGES, cache, args.offline)
             + fetch_sources(corpus_kinds.SOURCE_PACKAGES, cache, args.offline)
             + fetch_npm(corpus_kinds.NPM_MODULES, cache, args.offline))
    kinds_by_ext = {}
    for kind, exts, _category, binary in corpus_kinds.KINDS:
        for ext in exts:
            kinds_by_ext[ext] = (kind, binary)
    found = gather(kinds_by_ext, roots)

    out = os.path.abspath(args.out)
    if os.path.exists(out):
        if not os.path.exists(os.path.join(out, "manifest.tsv")):
            sys.exit(f"make_corpus: {out} exists and is not a corpus; not touching it")
        shutil.rmtree(out)
    os.makedirs(out)
    rows = []
    seen = set()
    for kind, _exts, _category, _binary in corpus_kinds.KINDS:
        by_part = {}
        for origin, entries in found.get(kind, {}).items():
            by_part.setdefault(corpus_kinds.split_of(origin), {})[origin] = entries
        per_kind, per_package = KIND_SAMPLES.get(kind, (args.per_kind, args.per_package))
        chosen = []
        for part in ("held-out", "tuned"):
            chosen += choose(kind, by_part.get(part, {}), per_kind, per_package, seen)
        if len(chosen) < args.min_files:
            log(f"kind {kind} has only {len(chosen)} files; left out")
            continue
        os.makedirs(os.path.join(out, kind))
        for index, (package, origin, path, ext) in enumerate(chosen):
            name = f"{index:03d}_{package.replace('/', '_')}_{os.path.basename(path)}"
            shutil.copyfile(path, os.path.join(out, kind, name))
            rows.append((kind, ext, package, origin, corpus_kinds.split_of(origin), path, f"{kind}/{name}"))
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write(MANIFEST_HEADER + "\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    with open(os.path.join(out, LABEL_RULES_FILE), "w") as f:
        f.write(f"{LABEL_RULES}\n")
    kinds = len({r[0] for r in rows})
    held = sum(r[4] == "held-out" for r in rows)
    log(f"{len(rows)} files of {kinds} kinds in {out}, {held} of them held out")


if __name__ == "__main__":
    main()
