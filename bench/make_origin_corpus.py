#!/usr/bin/python3
"""Builds accuracy corpora of other origins than the Debian corpus.

bench/make_corpus.py draws its files from Debian packages (and a few npm
modules), and the text rules were written against its "tuned" part. A
package split keeps packages apart but not their kind of origin, so this
script builds corpora that no rule was written from, one per origin, each
held out whole:

  npm     popular npm modules (npm pack), none of those the Debian corpus
          draws, unpacked into the cache without installing anything;
  github  public repositories of code and configuration in many languages,
          read from bare git snapshots under /work/.mirror (owner+name/repo;
          bring a missing one with the search tool's fetch first);
  fresh   Debian binary packages drawn at random (a fixed seed) from those
          that no corpus list names, whose source package falls in the
          held-out part: the tuning origin as a new user meets it, from
          packages none of its corpora drew;
  fresh-pool  the same draw from the tuned part, for reading its misses
          file by file; rules may be written from it, so it is no held-out
          corpus, and bench/origins.py scores it apart from the others.

Files are labelled by extension and kept only when their content agrees, by
the same rules and with the same sampling as make_corpus.py (up to
--per-kind files per kind, at most --per-package from one package or
repository, plain text wider and thinner). The manifest has the layout of
make_corpus.py's, its split column naming the origin; bench/origins.py
scores them beside the Debian corpus. CI never needs them.

Usage: bench/make_origin_corpus.py ORIGIN [--out build/corpus-ORIGIN]
                                   [--cache build/corpus-cache] [--offline]
                                   [--packages 300] [--offset 0] [--per-kind 60]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_kinds  # noqa: E402
import make_corpus  # noqa: E402
import train_text_model  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIRROR = os.environ.get("TRUEEXT_MIRROR", "/work/.mirror")

# Popular modules of many kinds of projects (frameworks, tools, style sheets,
# command-line programs, configuration loaders); none is one the Debian
# corpus draws, nor the npm build of a library it takes from Debian.
NPM_MODULES = [
    "react", "react-dom", "axios", "moment", "dayjs", "date-fns", "luxon", "uuid", "async", "glob", "minimist",
    "fs-extra", "body-parser", "ws", "socket.io", "jest", "mocha", "chai", "sinon", "webpack", "rollup", "vite",
    "postcss", "tailwindcss", "sass", "less", "highlight.js", "prismjs", "three", "chart.js", "leaflet", "bulma",
    "foundation-sites", "@fortawesome/fontawesome-free", "eslint", "prettier", "@babel/core", "graphql",
    "mongoose", "sequelize", "knex", "pg", "mysql2", "ioredis", "nodemailer", "passport", "jsonwebtoken",
    "bcryptjs", "dotenv", "cross-env", "nodemon", "pm2", "yaml", "ajv", "joi", "yup", "immutable", "ramda",
    "redux", "mobx", "svelte", "preact", "lit", "handlebars", "ejs", "pug", "mustache", "markdown-it",
    "shelljs", "execa", "inquirer", "ora", "cheerio", "jsdom", "node-gyp", "lerna", "zx", "bats", "nvm",
    "n", "serve", "http-server", "live-server", "json-server", "swagger-ui-dist", "@octokit/rest",
    "aws-sdk", "firebase-tools", "gulp", "grunt", "bower", "yarn", "pnpm", "@vue/cli", "@angular/cli",
    "create-react-app", "hexo", "@11ty/eleventy", "docsify", "vuepress", "gitbook-cli", "reveal.js",
    "mathjax", "katex", "codemirror", "monaco-editor", "ace-builds", "quill", "tinymce", "ckeditor4",
    "semantic-ui-css", "materialize-css", "uikit", "primer", "purecss", "spectre.css", "tachyons",
    "node-sass", "stylus", "coffeescript", "livescript", "typescript-eslint", "tslib", "core-js",
    "regenerator-runtime", "source-map", "esprima", "acorn", "terser", "uglify-js", "clean-css",
    "html-minifier", "node-forge", "openpgp", "sql.js", "lua.vm.js", "fengari", "luaparse", "shx",
    "husky", "lint-staged", "commitizen", "semantic-release", "standard-version", "conventional-changelog-cli",
    "npm-run-all", "concurrently", "rimraf", "mkdirp", "cpx", "ncp", "archiver", "tar", "adm-zip",
    "sharp", "jimp", "pdfkit", "pdfmake", "exceljs", "xlsx", "papaparse", "csv-stringify", "fast-csv",
    "toml-j0.4", "@iarna/toml", "smol-toml", "properties-reader", "config", "nconf", "rc", "cosmiconfig",
]

# Repositories of code and configuration: shell, Lua, Perl, batch and
# PowerShell scripts without a telling first line, YAML and TOML settings,
# C and C++ libraries, documentation in reStructuredText and Markdown,
# PostScript library files, and the sources of many languages.
GITHUB_REPOS = [
    "ohmyzsh/ohmyzsh", "nvm-sh/nvm", "acmesh-official/acme.sh", "holman/dotfiles", "mathiasbynens/dotfiles",
    "folke/lazy.nvim", "luarocks/luarocks", "koreader/koreader", "openresty/lua-nginx-module",
    "mojolicious/mojo", "moose/Moose", "npocmaka/batch.scripts", "PowerShell/PowerShell", "microsoft/vcpkg",
    "fmtlib/fmt", "ninja-build/ninja", "google/leveldb", "ccache/ccache", "docker/awesome-compose",
    "kubernetes/examples", "ansible/ansible-examples", "toml-lang/toml-test", "hashicorp/terraform",
    "sphinx-doc/sphinx", "jgm/pandoc", "tldr-pages/tldr", "jekyll/jekyll", "ArtifexSoftware/ghostpdl",
    "CTeX-org/ctex-kit", "pallets/flask", "psf/requests", "spf13/cobra", "gin-gonic/gin", "BurntSushi/ripgrep",
    "rust-lang/rustlings", "sinatra/sinatra", "JamesNK/Newtonsoft.Json", "square/okhttp", "laravel/framework",
    "symfony/symfony", "phoenixframework/phoenix", "ninenines/cowboy", "ocaml/dune", "tidyverse/readr",
    "fortran-lang/stdlib", "jessfraz/dockerfiles", "purcell/emacs.d", "junegunn/fzf.vim",
    "Kotlin/kotlinx.coroutines", "cirosantilli/x86-bare-metal-examples",
]

ORIGINS = ("npm", "github", "fresh", "fresh-pool")

# Sections whose packages hold text of the kinds the corpora score: programs
# and their documentation, scripts, libraries' headers, configuration.
FRESH_SECTIONS = {
    "admin", "devel", "doc", "editors", "electronics", "games", "gnome", "golang", "graphics", "haskell",
    "httpd", "interpreters", "java", "javascript", "kde", "libdevel", "lisp", "mail", "math", "misc", "net",
    "ocaml", "perl", "php", "python", "ruby", "rust", "science", "shells", "sound", "tex", "text", "utils",
    "vcs", "video", "web", "x11", "database", "fonts", "localization",
}
FRESH_MAX_SIZE = 6 << 20
FRESH_SEED = "fresh-1"


def fresh_packages(part, count, offset=0):
    """Binary package names drawn for the fresh origin: one per source
    package, none whose source package a corpus list or the model's extra
    list draws or whose name is that of a project another origin draws."""
    listing = subprocess.run(["apt-cache", "dumpavail"], capture_output=True, text=True).stdout
    by_source = {}
    source_of = {}
    for stanza in listing.split("\n\n"):
        fields = {}
        for line in stanza.splitlines():
            key, colon, value = line.partition(":")
            if colon and not line.startswith((" ", "\t")):
                fields[key] = value.strip()
        name = fields.get("Package")
        if not name:
            continue
        source = (fields.get("Source") or name).split()[0]
        source_of[name] = source
        section = fields.get("Section", "").rsplit("/", 1)[-1]
        size = int(fields.get("Size", "0") or 0)
        if (section not in FRESH_SECTIONS or size > FRESH_MAX_SIZE or size == 0
                or name.endswith(("-dbg", "-dbgsym")) or fields.get("Architecture") not in ("amd64", "all")):
            continue
        by_source.setdefault(source, set()).add(name)
    drawn = set(corpus_kinds.SOURCE_PACKAGES) | set(train_text_model.EXTRA_SOURCE_PACKAGES)
    drawn |= {source_of.get(n, n) for n in corpus_kinds.PACKAGES}
    projects = {r.split("/")[1].lower() for r in GITHUB_REPOS} | {m.split("/")[-1].lower() for m in NPM_MODULES}
    projects |= {m.lower() for m in corpus_kinds.NPM_MODULES} | train_text_model.HELD_OUT_PROJECTS

    def other_origin(source):
        bare = source.lower()
        for prefix in ("node-", "python-", "ruby-", "golang-", "rust-", "lib", "r-cran-"):
            bare = bare.removeprefix(prefix)
        return bare in projects or source.lower() in projects

    sources = sorted(s for s in by_source
                     if s not in drawn and not other_origin(s) and corpus_kinds.split_of(s) == part)
    random.Random(FRESH_SEED).shuffle(sources)
    return [sorted(by_source[s])[random.Random(f"{FRESH_SEED}:{s}").randrange(len(by_source[s]))]
            for s in sources[offset:offset + count]]


def log(message):
    print(f"make_origin_corpus: {message}", file=sys.stderr)


def git_dir(repo):
    """The bare git directory of |repo|'s snapshot, or None."""
    base = os.path.join(MIRROR, repo.replace("/", "+"), "repo")
    for candidate in (os.path.join(base, ".git"), base):
        if os.path.exists(os.path.join(candidate, "HEAD")):
            return candidate
    return None


def export_tree(source, root, wanted):
    """Writes the blobs of the newest commit whose paths |wanted| accepts
    into |root|. A snapshot lacks its largest blobs: those are skipped."""
    listing = subprocess.run(["git", "--git-dir", source, "ls-tree", "-r", "-z", "HEAD"], capture_output=True)
    if listing.returncode != 0:
        return False
    entries = []
    for record in listing.stdout.split(b"\0"):
        meta, tab, path = record.partition(b"\t")
        fields = meta.split()
        if not tab or len(fields) != 3 or fields[1] != b"blob" or fields[0] == b"120000":
            continue
        name = path.decode("utf-8", "replace")
        if wanted(name):
            entries.append((fields[2], name))
    batch = subprocess.Popen(["git", "--git-dir", source, "cat-file", "--batch"], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE)
    for sha, name in entries:
        batch.stdin.write(sha + b"\n")
        batch.stdin.flush()
        header = batch.stdout.readline().split()
        if len(header) != 3:  # "<sha> missing"
            continue
        data = batch.stdout.read(int(header[2]))
        batch.stdout.read(1)
        target = os.path.normpath(os.path.join(root, name))
        if not target.startswith(root + os.sep):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
    batch.stdin.close()
    batch.wait()
    return True


def fetch_github(repos, cache, kinds_by_ext):
    """Writes the files of each snapshot's newest commit that a kind may
    take into the cache; returns roots."""
    roots = []
    for repo in repos:
        root = os.path.join(cache, "github", repo.replace("/", "+"))
        if not os.path.exists(os.path.join(root, ".unpacked")):
            source = git_dir(repo)
            if source is None:
                log(f"no snapshot of {repo} under {MIRROR}; bring it with fetch first")
                continue
            shutil.rmtree(root, ignore_errors=True)
            os.makedirs(root)
            if not export_tree(source, root, lambda path: make_corpus.kind_of(path, kinds_by_ext) is not None):
                log(f"could not list {repo}")
                continue
            open(os.path.join(root, ".unpacked"), "w").close()
        roots.append((repo.replace("/", "+"), "github:" + repo, root))
    return roots


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("origin", choices=ORIGINS)
    parser.add_argument("--out")
    parser.add_argument("--cache", default=os.path.join(ROOT, "build", "corpus-cache"))
    parser.add_argument("--per-kind", type=int, default=60, help="files per kind")
    parser.add_argument("--per-package", type=int, default=12)
    parser.add_argument("--min-files", type=int, default=5, help="drop kinds with fewer files")
    parser.add_argument("--offline", action="store_true", help="use only what the cache holds")
    parser.add_argument("--packages", type=int, default=300, help="packages the fresh origins draw")
    parser.add_argument("--offset", type=int, default=0,
                        help="skip this many packages of the draw first: --offset 300 draws anew, apart from the "
                             "first draw's")
    args = parser.parse_args()

    cache = os.path.abspath(args.cache)
    kinds_by_ext = {}
    for kind, exts, _category, binary in corpus_kinds.KINDS:
        for ext in exts:
            kinds_by_ext[ext] = (kind, binary)
    if args.origin == "npm":
        tuning = set(corpus_kinds.NPM_MODULES)
        roots = make_corpus.fetch_npm([m for m in NPM_MODULES if m not in tuning], cache, args.offline)
    elif args.origin == "github":
        roots = fetch_github(GITHUB_REPOS, cache, kinds_by_ext)
    else:
        part = "held-out" if args.origin == "fresh" else "tuned"
        roots = make_corpus.fetch_debs(fresh_packages(part, args.packages, args.offset), cache, args.offline)
    found = make_corpus.gather(kinds_by_ext, roots)

    out = os.path.abspath(args.out or os.path.join(ROOT, "build", f"corpus-{args.origin}"))
    if os.path.exists(out):
        if not os.path.exists(os.path.join(out, "manifest.tsv")):
            sys.exit(f"make_origin_corpus: {out} exists and is not a corpus; not touching it")
        shutil.rmtree(out)
    os.makedirs(out)
    rows = []
    seen = set()
    for kind, _exts, _category, _binary in corpus_kinds.KINDS:
        per_kind, per_package = make_corpus.KIND_SAMPLES.get(kind, (args.per_kind, args.per_package))
        chosen = make_corpus.choose(kind, found.get(kind, {}), per_kind, per_package, seen)
        if len(chosen) < args.min_files:
            continue
        os.makedirs(os.path.join(out, kind))
        for index, (package, origin, path, ext) in enumerate(chosen):
            name = f"{index:03d}_{package.replace('/', '_')}_{os.path.basename(path)}"
            shutil.copyfile(path, os.path.join(out, kind, name))
            rows.append((kind, ext, package, origin, args.origin, path, f"{kind}/{name}"))
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write(make_corpus.MANIFEST_HEADER + "\n")
        for row in rows:
            f.write("\t".join(row) + "\n")
    with open(os.path.join(out, make_corpus.LABEL_RULES_FILE), "w") as f:
        f.write(f"{make_corpus.LABEL_RULES}\n")
    log(f"{len(rows)} files of {len({r[0] for r in rows})} kinds in {out}")


if __name__ == "__main__":
    main()
