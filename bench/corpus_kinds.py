"""The kinds of the accuracy corpus, the Debian packages they come from, and
the extensions that count as the same answer.

Shared by make_corpus.py (which builds the corpus) and accuracy.py (which
scores against it).
"""

# Packages whose files make up the corpus. make_corpus.py installs the ones
# that are missing and draws files only from these, so that two machines build
# the same corpus. Most come with a developer machine already; the rest are
# small packages chosen for kinds that are otherwise thin.
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
]

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
    {"f", "f90", "for", "f77", "f95"},
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
