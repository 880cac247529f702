// Names the kind of a text file from its first bytes.
//
// The classifier runs in three steps, strongest evidence first:
//  1. What the file says about itself: a shebang line ("#!/usr/bin/env
//     python3"), an Emacs "-*- mode -*-" line or a Vim modeline.
//  2. Formats with a grammar strict enough to check outright: JSON, unified
//     diffs, PEM blocks, man pages, gettext catalogues, sectioned key files
//     (desktop entries, systemd units, TOML, INI), CSV/TSV tables and YAML.
//  3. A score per language from its lines: each rule recognises one piece of
//     grammar that only that language (or a close family) allows, such as
//     "elsif" opening a Ruby line or "} elseif {" in Tcl. A kind needs
//     several hits to win; with too little evidence the answer is "txt".
//
// Every rule is written from the language's own syntax so that it holds on
// files nobody has seen. Where two kinds score alike, the more specific one
// wins (C++ over C, Emacs Lisp over Lisp, Perl over plain POD).
#include "text_classifier.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ident {
namespace {

using std::string_view;
using namespace std::string_view_literals;

// Lines beyond this count add little and cost time on long files.
constexpr std::size_t kMaxLines = 300;
// A kind needs at least this score from its line rules to be named.
constexpr int kMinScore = 6;
// How far into a line the rules that match anywhere look.
constexpr std::size_t kSearchWidth = 320;
// Rules count at most this many matching lines, so that one repeated
// construct cannot outweigh varied evidence.
constexpr int kMaxHitsPerRule = 3;

bool isIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_';
}
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char toLower(char c) {
  return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

string_view trimLeft(string_view s) {
  while (!s.empty() && isSpace(s.front())) {
    s.remove_prefix(1);
  }
  return s;
}
string_view trimRight(string_view s) {
  while (!s.empty() && isSpace(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}
string_view trim(string_view s) { return trimRight(trimLeft(s)); }

bool contains(string_view s, string_view part) {
  return s.find(part) != string_view::npos;
}

bool startsWithNoCase(string_view s, string_view prefix) {
  if (s.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (toLower(s[i]) != toLower(prefix[i])) {
      return false;
    }
  }
  return true;
}
bool containsNoCase(string_view s, string_view part) {
  for (std::size_t at = 0; at + part.size() <= s.size(); ++at) {
    if (startsWithNoCase(s.substr(at), part)) {
      return true;
    }
  }
  return false;
}
bool equalsNoCase(string_view a, string_view b) {
  return a.size() == b.size() && startsWithNoCase(a, b);
}

// True when |s| starts with the word |word|: the next character, if any, is
// not part of an identifier.
bool startsWithWord(string_view s, string_view word) {
  return s.starts_with(word) &&
         (s.size() == word.size() || !isIdentChar(s[word.size()]));
}
bool containsWord(string_view s, string_view word) {
  for (std::size_t at = s.find(word); at != string_view::npos;
       at = s.find(word, at + 1)) {
    bool left_ok = at == 0 || !isIdentChar(s[at - 1]);
    bool right_ok =
        at + word.size() == s.size() || !isIdentChar(s[at + word.size()]);
    if (left_ok && right_ok) {
      return true;
    }
  }
  return false;
}

// Length of the identifier at the start of |s| (letters, digits, '_').
std::size_t identLength(string_view s) {
  std::size_t n = 0;
  while (n < s.size() && isIdentChar(s[n])) {
    ++n;
  }
  return n;
}

struct Line {
  string_view raw;   // without the line break
  string_view text;  // leading blanks removed
  string_view trimmed;
};

std::vector<Line> splitLines(string_view s) {
  std::vector<Line> lines;
  while (!s.empty() && lines.size() < kMaxLines) {
    std::size_t end = s.find('\n');
    string_view raw = s.substr(0, end);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
    }
    lines.push_back({raw, trimLeft(raw), trim(raw)});
    if (end == string_view::npos) {
      break;
    }
    s.remove_prefix(end + 1);
  }
  return lines;
}

TextVerdict verdict(string_view extension, string_view description,
                    std::string evidence) {
  return {std::string(extension), std::string(description),
          std::move(evidence)};
}

// ---------------------------------------------------------------------------
// Step 1: what the file says about itself.

struct NamedKind {
  string_view name;
  string_view extension;
  string_view description;
};

// Interpreters of shebang lines, by program name without version digits.
// clang-format off
constexpr std::array kInterpreters = {
    NamedKind{"python", "py", "Python script"}, NamedKind{"pypy", "py", "Python script"},
    NamedKind{"sh", "sh", "shell script"}, NamedKind{"bash", "sh", "shell script"},
    NamedKind{"dash", "sh", "shell script"}, NamedKind{"ksh", "sh", "shell script"},
    NamedKind{"zsh", "sh", "shell script"}, NamedKind{"ash", "sh", "shell script"},
    NamedKind{"mksh", "sh", "shell script"}, NamedKind{"busybox", "sh", "shell script"},
    NamedKind{"perl", "pl", "Perl script"}, NamedKind{"ruby", "rb", "Ruby script"},
    NamedKind{"lua", "lua", "Lua script"}, NamedKind{"luajit", "lua", "Lua script"},
    NamedKind{"node", "js", "JavaScript source"}, NamedKind{"nodejs", "js", "JavaScript source"},
    NamedKind{"tclsh", "tcl", "Tcl script"}, NamedKind{"wish", "tcl", "Tcl script"},
    NamedKind{"expect", "tcl", "Tcl script"}, NamedKind{"awk", "awk", "awk script"},
    NamedKind{"gawk", "awk", "awk script"}, NamedKind{"mawk", "awk", "awk script"},
    NamedKind{"nawk", "awk", "awk script"}, NamedKind{"pwsh", "ps1", "PowerShell script"},
    NamedKind{"php", "php", "PHP script"}, NamedKind{"make", "mk", "makefile"},
    NamedKind{"guile", "scm", "Scheme source"}, NamedKind{"sbcl", "lisp", "Lisp source"},
    NamedKind{"clisp", "lisp", "Lisp source"}, NamedKind{"emacs", "el", "Emacs Lisp source"},
    NamedKind{"runhaskell", "hs", "Haskell source"}, NamedKind{"ocaml", "ml", "OCaml source"},
    NamedKind{"sed", "sed", "sed script"}, NamedKind{"Rscript", "r", "R script"},
};
// clang-format on

// Editor mode names (Emacs modes and Vim file types), lower case.
// clang-format off
constexpr std::array kEditorModes = {
    NamedKind{"python", "py", "Python script"}, NamedKind{"perl", "pl", "Perl script"},
    NamedKind{"cperl", "pl", "Perl script"}, NamedKind{"ruby", "rb", "Ruby script"},
    NamedKind{"sh", "sh", "shell script"}, NamedKind{"shell-script", "sh", "shell script"},
    NamedKind{"bash", "sh", "shell script"}, NamedKind{"zsh", "sh", "shell script"},
    NamedKind{"c", "c", "C source"}, NamedKind{"c++", "cpp", "C++ source"},
    NamedKind{"cpp", "cpp", "C++ source"}, NamedKind{"makefile", "mk", "makefile"},
    NamedKind{"make", "mk", "makefile"}, NamedKind{"emacs-lisp", "el", "Emacs Lisp source"},
    NamedKind{"lisp", "lisp", "Lisp source"}, NamedKind{"common-lisp", "lisp", "Lisp source"},
    NamedKind{"scheme", "scm", "Scheme source"}, NamedKind{"tcl", "tcl", "Tcl script"},
    NamedKind{"lua", "lua", "Lua script"}, NamedKind{"js", "js", "JavaScript source"},
    NamedKind{"javascript", "js", "JavaScript source"}, NamedKind{"java", "java", "Java source"},
    NamedKind{"go", "go", "Go source"}, NamedKind{"rust", "rs", "Rust source"},
    NamedKind{"yaml", "yaml", "YAML document"}, NamedKind{"toml", "toml", "TOML document"},
    NamedKind{"m4", "m4", "M4 macro source"}, NamedKind{"autoconf", "m4", "M4 macro source"},
    NamedKind{"sql", "sql", "SQL script"}, NamedKind{"css", "css", "CSS stylesheet"},
    NamedKind{"json", "json", "JSON data"}, NamedKind{"markdown", "md", "Markdown document"},
    NamedKind{"rst", "rst", "reStructuredText document"}, NamedKind{"tex", "tex", "TeX document"},
    NamedKind{"latex", "tex", "TeX document"}, NamedKind{"plain-tex", "tex", "TeX document"},
    NamedKind{"html", "html", "HTML document"}, NamedKind{"xml", "xml", "XML document"},
    NamedKind{"nxml", "xml", "XML document"}, NamedKind{"haskell", "hs", "Haskell source"},
    NamedKind{"fortran", "f", "Fortran source"}, NamedKind{"f90", "f90", "Fortran source"},
    NamedKind{"pascal", "pas", "Pascal source"}, NamedKind{"opascal", "pas", "Pascal source"},
    NamedKind{"asm", "s", "assembly source"}, NamedKind{"awk", "awk", "awk script"},
    NamedKind{"ps1", "ps1", "PowerShell script"},
    NamedKind{"powershell", "ps1", "PowerShell script"}, NamedKind{"php", "php", "PHP script"},
    NamedKind{"dosini", "ini", "INI configuration"}, NamedKind{"ini", "ini", "INI configuration"},
    NamedKind{"cmake", "cmake", "CMake script"}, NamedKind{"vim", "vim", "Vim script"},
    NamedKind{"texinfo", "texi", "Texinfo document"}, NamedKind{"po", "po", "gettext catalogue"},
    NamedKind{"diff", "diff", "unified diff"}, NamedKind{"ocaml", "ml", "OCaml source"},
    NamedKind{"tuareg", "ml", "OCaml source"}, NamedKind{"nroff", "man", "roff document"},
    NamedKind{"sed", "sed", "sed script"},
};
// clang-format on

template <std::size_t N>
const NamedKind* findKind(const std::array<NamedKind, N>& table,
                          string_view name) {
  for (const NamedKind& kind : table) {
    if (kind.name == name) {
      return &kind;
    }
  }
  return nullptr;
}

// "python3.11" -> "python", "guile-3.0" -> "guile": versions are not kinds.
string_view stripVersion(string_view program) {
  while (!program.empty() && (isDigit(program.back()) ||
                              program.back() == '.' || program.back() == '-')) {
    program.remove_suffix(1);
  }
  return program;
}

string_view baseName(string_view path) {
  std::size_t slash = path.rfind('/');
  return slash == string_view::npos ? path : path.substr(slash + 1);
}

// The interpreter a "#!" line names: its program, or with env the first
// argument that is neither an option nor a VAR=value setting.
std::optional<TextVerdict> fromShebang(string_view line) {
  if (!line.starts_with("#!")) {
    return std::nullopt;
  }
  string_view rest = trim(line.substr(2));
  std::vector<string_view> words;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !isSpace(rest[end])) {
      ++end;
    }
    words.push_back(rest.substr(0, end));
    rest = trimLeft(rest.substr(end));
  }
  if (words.empty()) {
    return std::nullopt;
  }
  string_view program = baseName(words[0]);
  if (program == "env") {
    program = {};
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (words[i].starts_with("-") || contains(words[i], "=")) {
        continue;
      }
      program = baseName(words[i]);
      break;
    }
  }
  const NamedKind* kind = findKind(kInterpreters, stripVersion(program));
  if (kind == nullptr) {
    return std::nullopt;
  }
  return verdict(kind->extension, kind->description,
                 "shebang " + std::string(program));
}

// A shell prologue that hands the file to another interpreter: Tcl scripts
// start with "#!/bin/sh", a comment line ending in a backslash (which Tcl
// continues and the shell does not), then 'exec tclsh "$0" "$@"'.
std::optional<TextVerdict> fromExecTrick(const std::vector<Line>& lines) {
  for (std::size_t i = 1; i < lines.size() && i < 6; ++i) {
    string_view t = lines[i].text;
    std::size_t at = t.find("exec ");
    if (at == string_view::npos) {
      continue;
    }
    string_view word = t.substr(at + 5);
    word = stripVersion(baseName(word.substr(0, word.find(' '))));
    if (word == "tclsh" || word == "wish" || word == "expect") {
      return verdict("tcl", "Tcl script",
                     "exec " + std::string(word) + " prologue");
    }
    if (word == "perl") {
      return verdict("pl", "Perl script", "exec perl prologue");
    }
  }
  return std::nullopt;
}

std::optional<TextVerdict> fromModeName(string_view name, string_view how) {
  std::string lower;
  for (char c : trim(name)) {
    lower.push_back(toLower(c));
  }
  const NamedKind* kind = findKind(kEditorModes, lower);
  if (kind == nullptr || kind->extension == "man") {
    return std::nullopt;
  }
  return verdict(kind->extension, kind->description,
                 std::string(how) + " " + lower);
}

// Emacs: "-*- mode: python; coding: utf-8 -*-" or "-*- C++ -*-" on the first
// two lines.
std::optional<TextVerdict> fromEmacsMode(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size() && i < 2; ++i) {
    string_view t = lines[i].raw;
    std::size_t open = t.find("-*-");
    if (open == string_view::npos) {
      continue;
    }
    std::size_t close = t.find("-*-", open + 3);
    if (close == string_view::npos) {
      continue;
    }
    string_view inside = trim(t.substr(open + 3, close - open - 3));
    if (!contains(inside, ":")) {
      return fromModeName(inside, "emacs mode");
    }
    while (!inside.empty()) {
      std::size_t semi = inside.find(';');
      string_view item = trim(inside.substr(0, semi));
      if (startsWithNoCase(item, "mode:")) {
        return fromModeName(item.substr(5), "emacs mode");
      }
      if (semi == string_view::npos) {
        break;
      }
      inside.remove_prefix(semi + 1);
    }
  }
  return std::nullopt;
}

// Vim: "vim: set ft=python :" or "vi: filetype=sh" in the first or last lines.
std::optional<TextVerdict> fromVimModeline(const std::vector<Line>& lines) {
  auto check = [](string_view t) -> std::optional<TextVerdict> {
    for (string_view tag : {"vim:"sv, "vi:"sv, "ex:"sv}) {
      std::size_t at = t.find(tag);
      if (at == string_view::npos || (at > 0 && !isSpace(t[at - 1]))) {
        continue;
      }
      string_view rest = t.substr(at + tag.size());
      for (string_view key : {"filetype="sv, "ft="sv, "syntax="sv}) {
        std::size_t k = rest.find(key);
        if (k == string_view::npos || (k > 0 && isIdentChar(rest[k - 1]))) {
          continue;
        }
        string_view value = rest.substr(k + key.size());
        std::size_t n = 0;
        while (n < value.size() &&
               (isIdentChar(value[n]) || value[n] == '+' || value[n] == '-')) {
          ++n;
        }
        return fromModeName(value.substr(0, n), "vim modeline");
      }
    }
    return std::nullopt;
  };
  std::size_t n = lines.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= 5 && i + 5 < n) {
      continue;
    }
    if (auto v = check(lines[i].raw)) {
      return v;
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Step 2: formats whose grammar can be checked outright.

// A JSON scanner that accepts a document cut short by the end of |head|
// only when the cut came late (a long document read in part).
class JsonScanner {
 public:
  explicit JsonScanner(string_view s) : s_(s) {}

  // True when the text is one JSON object or array, possibly truncated.
  bool scan() {
    skipSpace();
    if (pos_ >= s_.size() || (s_[pos_] != '{' && s_[pos_] != '[')) {
      return false;
    }
    if (!value(0)) {
      return truncated_ && pos_ >= 512;
    }
    skipSpace();
    return pos_ == s_.size();
  }

 private:
  bool value(int depth) {
    if (depth > 64) {
      return false;
    }
    skipSpace();
    if (atEnd()) {
      return false;
    }
    char c = s_[pos_];
    if (c == '{') {
      return container(depth, '}', true);
    }
    if (c == '[') {
      return container(depth, ']', false);
    }
    if (c == '"') {
      return string();
    }
    if (c == '-' || isDigit(c)) {
      return number();
    }
    for (string_view word : {"true"sv, "false"sv, "null"sv}) {
      if (s_.substr(pos_).starts_with(word)) {
        pos_ += word.size();
        return true;
      }
      if (word.starts_with(s_.substr(pos_))) {
        return atEnd(s_.size());
      }
    }
    return false;
  }
  bool container(int depth, char close, bool object) {
    ++pos_;
    skipSpace();
    if (atEnd()) {
      return false;
    }
    if (s_[pos_] == close) {
      ++pos_;
      return true;
    }
    for (;;) {
      if (object) {
        skipSpace();
        if (atEnd() || s_[pos_] != '"' || !string()) {
          return false;
        }
        skipSpace();
        if (atEnd() || s_[pos_] != ':') {
          return false;
        }
        ++pos_;
      }
      if (!value(depth + 1)) {
        return false;
      }
      skipSpace();
      if (atEnd()) {
        return false;
      }
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] != close) {
        return false;
      }
      ++pos_;
      return true;
    }
  }
  bool string() {
    ++pos_;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '"') {
        return true;
      }
      if (c == '\\') {
        ++pos_;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        return false;
      }
    }
    return atEnd(s_.size());
  }
  bool number() {
    std::size_t start = pos_;
    while (pos_ < s_.size() && (isDigit(s_[pos_]) ||
                                contains("+-.eE", string_view(&s_[pos_], 1)))) {
      ++pos_;
    }
    return pos_ > start;
  }
  void skipSpace() {
    while (pos_ < s_.size() && (isSpace(s_[pos_]) || s_[pos_] == '\n')) {
      ++pos_;
    }
  }
  // Records that the input ran out; the caller fails this path.
  bool atEnd(std::size_t at = std::string_view::npos) {
    if (at == std::string_view::npos) {
      at = pos_;
    }
    if (at >= s_.size()) {
      truncated_ = true;
      return true;
    }
    return false;
  }

  string_view s_;
  std::size_t pos_ = 0;
  bool truncated_ = false;
};

// "--- a/x" then "+++ b/x" then "@@ -1,3 +1,4 @@", or git's "diff --git".
std::optional<TextVerdict> checkDiff(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size() && i < 60; ++i) {
    if (lines[i].raw.starts_with("diff --git a/")) {
      return verdict("diff", "git diff", "diff --git header");
    }
    if (i + 2 >= lines.size()) {
      continue;
    }
    if (lines[i].raw.starts_with("--- ") &&
        lines[i + 1].raw.starts_with("+++ ") &&
        lines[i + 2].raw.starts_with("@@ -")) {
      return verdict("diff", "unified diff", "---/+++/@@ hunk header");
    }
    if (lines[i].raw.starts_with("*** ") &&
        lines[i + 1].raw.starts_with("--- ") &&
        lines[i + 2].raw.starts_with("***************")) {
      return verdict("diff", "context diff", "***/--- context hunk header");
    }
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkPem(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    string_view t = lines[i].trimmed;
    if (!t.starts_with("-----BEGIN ") || !t.ends_with("-----")) {
      continue;
    }
    if (contains(t, "CERTIFICATE")) {
      return verdict("crt", "PEM certificate", "-----BEGIN CERTIFICATE-----");
    }
    if (contains(t, "PGP")) {
      return verdict("asc", "PGP armored data", "-----BEGIN PGP block");
    }
    return verdict("pem", "PEM data", "-----BEGIN block");
  }
  return std::nullopt;
}

// Man pages: roff requests, with ".TH name section" or mdoc's ".Dt".
std::optional<TextVerdict> checkManPage(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size() && i < 80; ++i) {
    string_view t = lines[i].raw;
    if (t.empty() || t.starts_with(".\\\"") || t.starts_with("'\\\"") ||
        t.starts_with("\\\"")) {
      continue;
    }
    bool th = t.starts_with(".TH ");
    bool dt = t.starts_with(".Dt ");
    if (!th && !dt) {
      if (t.starts_with(".") || t.starts_with("'")) {
        continue;  // other requests before the title
      }
      return std::nullopt;
    }
    // The section is the second argument; names may be quoted.
    string_view rest = trimLeft(t.substr(4));
    if (rest.starts_with("\"")) {
      std::size_t q = rest.find('"', 1);
      rest = q == string_view::npos ? string_view() : rest.substr(q + 1);
    } else {
      std::size_t sp = rest.find_first_of(" \t");
      rest = sp == string_view::npos ? string_view() : rest.substr(sp);
    }
    rest = trimLeft(rest);
    if (rest.starts_with("\"")) {
      rest.remove_prefix(1);
    }
    if (rest.empty() || !isDigit(rest[0])) {
      return verdict("man", "roff manual page", ".TH title line");
    }
    return verdict(rest.substr(0, 1), "roff manual page",
                   th ? ".TH title line" : ".Dt title line");
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkGettext(const std::vector<Line>& lines) {
  int ids = 0;
  int strs = 0;
  for (const Line& line : lines) {
    if (line.raw.starts_with("msgid ")) {
      ++ids;
    }
    if (line.raw.starts_with("msgstr ") || line.raw.starts_with("msgstr[")) {
      ++strs;
    }
  }
  if (ids >= 2 && strs >= 2) {
    return verdict("po", "gettext catalogue", "msgid/msgstr pairs");
  }
  return std::nullopt;
}

// The value of a TOML key: a string, number, boolean, date, array or inline
// table. INI files leave strings unquoted, which TOML forbids.
bool isTomlValue(string_view v) {
  v = trim(v);
  if (std::size_t hash = v.find(" #");
      hash != string_view::npos && v[0] != '"' && v[0] != '\'') {
    v = trimRight(v.substr(0, hash));
  }
  if (v.empty()) {
    return false;
  }
  if (v.front() == '"' || v.front() == '\'') {
    return v.size() >= 2 && (v.back() == v.front() || v.starts_with("\"\"\"") ||
                             v.starts_with("'''"));
  }
  if (v.front() == '[' || v.front() == '{') {
    return true;
  }
  if (v == "true" || v == "false") {
    return true;
  }
  for (char c : v) {
    if (!isDigit(c) && !contains("+-._:eETZ", string_view(&c, 1))) {
      return false;
    }
  }
  return true;
}

// Files of "[section]" headers and "key = value" lines: desktop entries,
// systemd units, TOML documents and INI files, most specific first.
std::optional<TextVerdict> checkSectioned(const std::vector<Line>& lines) {
  std::vector<string_view> sections;
  int keys = 0;
  int toml_keys = 0;
  int quoted_values = 0;
  int other = 0;
  bool in_array = false;
  bool array_of_tables = false;
  bool after_key = false;  // indented lines continue a key's value
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    if (t.empty() || t[0] == '#' || t[0] == ';') {
      continue;
    }
    if (after_key && line.raw.size() > t.size() && isSpace(line.raw[0])) {
      continue;
    }
    after_key = false;
    if (in_array) {  // the items of a multi-line TOML array
      if (t.starts_with("]")) {
        in_array = false;
      }
      continue;
    }
    if (t.front() == '[' && t.back() == ']') {
      array_of_tables |= t.starts_with("[[") && t.ends_with("]]");
      sections.push_back(t);
      continue;
    }
    std::size_t eq = t.find('=');
    if (eq != string_view::npos && eq > 0) {
      string_view key = trimRight(t.substr(0, eq));
      bool key_ok =
          !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
            return isIdentChar(c) || c == '-' || c == '.' || c == '[' ||
                   c == ']' || c == '@' || c == ' ' || c == '"' || c == '/' ||
                   c == '*';
          });
      if (key_ok) {
        ++keys;
        string_view value = trim(t.substr(eq + 1));
        if (isTomlValue(value)) {
          ++toml_keys;
        }
        if (!value.empty() &&
            (value[0] == '"' || value[0] == '\'' || value[0] == '[')) {
          ++quoted_values;
        }
        if (value == "[") {
          in_array = true;
        }
        after_key = true;
        continue;
      }
    }
    if (t.find(':') != string_view::npos &&
        !sections.empty()) {  // "key: value" is INI too
      ++keys;
      continue;
    }
    ++other;
  }
  if (sections.empty() || keys == 0 ||
      other * 4 > keys + static_cast<int>(sections.size())) {
    return std::nullopt;
  }
  string_view first = sections.front();
  if (first == "[Desktop Entry]") {
    return verdict("desktop", "desktop entry", "[Desktop Entry] section");
  }
  static constexpr std::array<std::pair<string_view, string_view>, 9>
      kUnitTypes = {{
          {"[Service]", "service"},
          {"[Socket]", "socket"},
          {"[Timer]", "timer"},
          {"[Mount]", "mount"},
          {"[Automount]", "automount"},
          {"[Path]", "path"},
          {"[Slice]", "slice"},
          {"[Swap]", "swap"},
          {"[Scope]", "scope"},
      }};
  bool unit = first == "[Unit]";
  for (string_view s : sections) {
    for (const auto& [section, extension] : kUnitTypes) {
      if (s == section && (unit || s == first)) {
        return verdict(extension, "systemd unit",
                       "systemd " + std::string(section) + " section");
      }
    }
  }
  if (unit) {
    return verdict("target", "systemd unit",
                   "systemd [Unit] section without a type section");
  }
  if (array_of_tables || (toml_keys == keys && quoted_values > 0)) {
    return verdict(
        "toml", "TOML document",
        array_of_tables ? "[[array of tables]]" : "sections of TOML values");
  }
  return verdict("ini", "INI configuration",
                 "[section] headers with key=value lines");
}

// Comma, semicolon or tab separated rows: every complete row has the same
// number of fields (two or more), counting quoted fields as one.
std::optional<TextVerdict> checkDelimited(string_view head,
                                          const std::vector<Line>& lines) {
  std::size_t usable = lines.size();
  if (!head.empty() && head.back() != '\n' && usable > 0) {
    --usable;  // the last row may be cut
  }
  if (usable < 3) {
    return std::nullopt;
  }
  for (char sep : {',', '\t', ';'}) {
    std::size_t fields = 0;
    std::size_t rows = 0;
    std::size_t short_rows = 0;  // rows that leave trailing fields out
    bool ok = true;
    for (std::size_t i = 0; i < usable && ok; ++i) {
      string_view raw = lines[i].raw;
      if (raw.empty()) {
        continue;
      }
      if (sep != '\t' && isSpace(raw[0])) {
        ok = false;
      }
      if (sep == ';' && raw.back() == ';') {
        ok = false;  // statements, not rows
      }
      std::size_t count = 1;
      bool quoted = false;
      for (char c : raw) {
        if (c == '"') {
          quoted = !quoted;
        } else if (c == sep && !quoted) {
          ++count;
        }
      }
      if (quoted) {
        ok = false;  // fields spanning lines are rare; stay safe
      }
      if (fields == 0) {
        fields = count;
      }
      if (count < fields) {
        ++short_rows;
      }
      ok = ok && count <= fields && count >= (short_rows > 0 ? 3 : 2);
      ++rows;
    }
    // Some writers leave empty trailing fields out; such rows still hold
    // three fields or more.
    if (!ok || rows < 3) {
      continue;
    }
    if (sep == ',' && fields == 2 && rows < 5) {
      continue;  // two-part prose lines
    }
    if (sep == '\t') {
      return verdict("tsv", "tab-separated values",
                     "rows of equal tab-separated fields");
    }
    return verdict("csv", "comma-separated values",
                   "rows of equal delimited fields");
  }
  return std::nullopt;
}

// YAML block structure: "key: value" mappings, "- item" sequences and their
// nesting by indentation. Needs a document marker or visible nesting, so that
// a few "Name: value" header lines stay plain text.
std::optional<TextVerdict> checkYaml(const std::vector<Line>& lines) {
  int structural = 0;
  int mappings = 0;
  int other = 0;
  bool marker = false;
  bool nested = false;
  std::size_t parent_indent =
      std::string_view::npos;  // indent of the last "key:" with no value
  bool in_block_scalar = false;
  std::size_t block_indent = 0;
  bool after_plain_value = false;  // a plain scalar may wrap onto deeper lines
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    std::size_t indent = line.raw.size() - line.text.size();
    if (t.empty() || t[0] == '#') {
      continue;
    }
    if (line.raw.find('\t') < indent) {
      return std::nullopt;  // YAML forbids tab indentation
    }
    if (in_block_scalar) {
      if (indent > block_indent) {
        continue;
      }
      in_block_scalar = false;
    }
    if (t == "---" || t.starts_with("--- ") || t.starts_with("%YAML")) {
      marker = true;
      continue;
    }
    if (t == "...") {
      continue;
    }
    string_view item = t;
    if (item.starts_with("- ") || item == "-") {
      item = trimLeft(item.substr(1));
      ++structural;
      if (parent_indent != std::string_view::npos && indent >= parent_indent) {
        nested = true;
      }
      if (item.empty()) {
        continue;
      }
    }
    std::size_t colon = item.find(": ");
    if (colon == string_view::npos && item.ends_with(":")) {
      colon = item.size() - 1;
    }
    string_view key =
        colon == string_view::npos ? string_view() : item.substr(0, colon);
    if (key.starts_with("\"") || key.starts_with("'")) {
      key = key.substr(1, key.size() >= 2 ? key.size() - 2 : 0);
    }
    bool key_ok =
        !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
          return isIdentChar(c) || c == '-' || c == '.' || c == '/' ||
                 c == ' ' || c == '$' || c == '<';
        });
    if (key_ok && !key.ends_with(" ")) {
      ++structural;
      ++mappings;
      string_view value = trim(item.substr(colon + 1));
      after_plain_value =
          !value.empty() && !contains("[{|>\"'&*!", value.substr(0, 1));
      if (parent_indent != std::string_view::npos && indent > parent_indent) {
        nested = true;
      }
      if (value.empty()) {
        parent_indent = indent;
      } else if (value == "|" || value == ">" || value.starts_with("|-") ||
                 value.starts_with(">-") || value.starts_with("|+") ||
                 value.starts_with(">+")) {
        in_block_scalar = true;
        block_indent = indent;
      }
      continue;
    }
    if (item != t) {  // "- plain scalar"
      after_plain_value = true;
      continue;
    }
    if (indent > 0 && after_plain_value && !contains(t, ": ")) {
      continue;
    }
    after_plain_value = false;
    ++other;
  }
  // A short list under one heading ("TODO:" and two items) is too little.
  if (structural < 4 || mappings < 2 || other * 5 > structural ||
      !(marker || nested)) {
    return std::nullopt;
  }
  return verdict(
      "yaml", "YAML document",
      marker ? "YAML document marker and mappings" : "nested YAML mappings");
}

// ---------------------------------------------------------------------------
// Step 3: languages scored from their lines.

enum class Kind {
  kC,
  kCpp,
  kPython,
  kShell,
  kPerl,
  kPod,
  kRuby,
  kLua,
  kJavaScript,
  kJava,
  kGo,
  kRust,
  kTcl,
  kAwk,
  kPowerShell,
  kPhp,
  kSql,
  kCss,
  kTex,
  kM4,
  kLisp,
  kEmacsLisp,
  kScheme,
  kHaskell,
  kOcaml,
  kPascal,
  kFortran,
  kAssembly,
  kMakefile,
  kCMake,
  kVim,
  kBatch,
  kMarkdown,
  kRest,
  kCount
};

struct KindInfo {
  string_view extension;
  string_view description;
  int specificity;  // breaks ties: higher wins
};

// Indexed by Kind.
constexpr std::array<KindInfo, static_cast<std::size_t>(Kind::kCount)>
    kKindInfo = {{
        {"c", "C source", 1},
        {"cpp", "C++ source", 2},
        {"py", "Python script", 1},
        {"sh", "shell script", 0},
        {"pl", "Perl script", 2},
        {"pod", "Perl POD document", 1},
        {"rb", "Ruby script", 1},
        {"lua", "Lua script", 1},
        {"js", "JavaScript source", 0},
        {"java", "Java source", 1},
        {"go", "Go source", 1},
        {"rs", "Rust source", 1},
        {"tcl", "Tcl script", 1},
        {"awk", "awk script", 1},
        {"ps1", "PowerShell script", 1},
        {"php", "PHP script", 1},
        {"sql", "SQL script", 1},
        {"css", "CSS stylesheet", 1},
        {"tex", "TeX document", 1},
        {"m4", "M4 macro source", 1},
        {"lisp", "Lisp source", 0},
        {"el", "Emacs Lisp source", 2},
        {"scm", "Scheme source", 1},
        {"hs", "Haskell source", 1},
        {"ml", "OCaml source", 1},
        {"pas", "Pascal source", 1},
        {"f90", "Fortran source", 1},
        {"s", "assembly source", 1},
        {"mk", "makefile", 1},
        {"cmake", "CMake script", 2},
        {"vim", "Vim script", 1},
        {"bat", "DOS batch file", 1},
        {"md", "Markdown document", 0},
        {"rst", "reStructuredText document", 0},
    }};

// A child kind adds its parent's score to its own: C++ files are full of C
// preprocessor lines, Emacs Lisp of Lisp forms, Perl modules of POD, and
// Autoconf's m4 macros wrap shell code.
constexpr std::array<std::pair<Kind, Kind>, 4> kParents = {{
    {Kind::kCpp, Kind::kC},
    {Kind::kEmacsLisp, Kind::kLisp},
    {Kind::kPerl, Kind::kPod},
    {Kind::kM4, Kind::kShell},
}};

enum class Match {
  kPrefix,          // the line (without indentation) starts with the pattern
  kPrefixWord,      // ... with the word pattern
  kPrefixNoCase,    // ... ignoring case
  kEquals,          // the trimmed line is the pattern
  kEqualsNoCase,    // ... ignoring case
  kSuffix,          // the trimmed line ends with the pattern
  kContains,        // the pattern occurs anywhere
  kContainsWord,    // the pattern occurs as a whole word
  kContainsNoCase,  // ... ignoring case
  kColumnZero,      // the raw line (with indentation) starts with the pattern
};

struct Rule {
  Kind kind;
  int weight;  // 3: grammar nearly no other language has; 1: a hint
  Match match;
  string_view pattern;
};

bool matches(const Rule& rule, const Line& line) {
  // Patterns inside a line are sought near its start only: a minified
  // line of 8 KiB would otherwise cost every rule a full scan.
  string_view near = line.text.substr(0, kSearchWidth);
  switch (rule.match) {
    case Match::kPrefix:
      return line.text.starts_with(rule.pattern);
    case Match::kPrefixWord:
      return startsWithWord(line.text, rule.pattern);
    case Match::kPrefixNoCase:
      return startsWithNoCase(line.text, rule.pattern);
    case Match::kEquals:
      return line.trimmed == rule.pattern;
    case Match::kEqualsNoCase:
      return equalsNoCase(line.trimmed, rule.pattern);
    case Match::kSuffix:
      return line.trimmed.ends_with(rule.pattern);
    case Match::kContains:
      return contains(near, rule.pattern);
    case Match::kContainsWord:
      return containsWord(near, rule.pattern);
    case Match::kContainsNoCase:
      return containsNoCase(near, rule.pattern);
    case Match::kColumnZero:
      return line.raw.starts_with(rule.pattern);
  }
  return false;
}

using K = Kind;
using M = Match;

// Pattern rules, grouped by kind. Rules that need more than a pattern live in
// scoreSpecialRules below.
// clang-format off
constexpr Rule kRules[] = {
    // C and the preprocessor (shared with C++, which inherits this score).
    {K::kC, 3, M::kPrefix, "#include <"}, {K::kC, 3, M::kPrefix, "#include \""},
    {K::kC, 2, M::kPrefix, "#define "}, {K::kC, 2, M::kPrefix, "#ifndef "},
    {K::kC, 2, M::kPrefix, "#ifdef "}, {K::kC, 2, M::kPrefix, "#endif"},
    {K::kC, 1, M::kPrefix, "#if "}, {K::kC, 2, M::kPrefix, "#undef "},
    {K::kC, 1, M::kPrefix, "#pragma "}, {K::kC, 3, M::kPrefix, "typedef "},
    {K::kC, 2, M::kContains, "sizeof("}, {K::kC, 2, M::kContains, "(void)"},
    {K::kC, 1, M::kPrefixWord, "static"}, {K::kC, 2, M::kPrefixWord, "unsigned"},
    {K::kC, 1, M::kPrefix, "struct "}, {K::kC, 2, M::kPrefix, "extern "},
    {K::kC, 1, M::kContainsWord, "NULL"}, {K::kC, 2, M::kPrefix, "int main("},
    {K::kC, 1, M::kPrefix, "const char *"},
    // C++ only.
    {K::kCpp, 3, M::kContains, "std::"}, {K::kCpp, 3, M::kPrefix, "template <"},
    {K::kCpp, 3, M::kPrefix, "template<"}, {K::kCpp, 3, M::kEquals, "public:"},
    {K::kCpp, 3, M::kEquals, "private:"}, {K::kCpp, 3, M::kEquals, "protected:"},
    {K::kCpp, 3, M::kContainsWord, "nullptr"}, {K::kCpp, 3, M::kContainsWord, "constexpr"},
    {K::kCpp, 3, M::kPrefix, "using namespace "}, {K::kCpp, 2, M::kContainsWord, "virtual"},
    {K::kCpp, 3, M::kContains, "static_cast<"}, {K::kCpp, 3, M::kContains, "reinterpret_cast<"},
    {K::kCpp, 3, M::kContains, "const_cast<"}, {K::kCpp, 3, M::kContainsWord, "noexcept"},
    {K::kCpp, 2, M::kContainsWord, "typename"}, {K::kCpp, 3, M::kContains, "decltype("},
    {K::kCpp, 2, M::kPrefix, "friend "}, {K::kCpp, 2, M::kContains, "operator=="},
    {K::kCpp, 2, M::kContains, "operator<<"}, {K::kCpp, 1, M::kContainsWord, "override"},
    // Python.
    {K::kPython, 3, M::kPrefix, "if __name__ =="}, {K::kPython, 3, M::kEquals, "try:"},
    {K::kPython, 2, M::kEquals, "else:"}, {K::kPython, 2, M::kEquals, "finally:"},
    {K::kPython, 2, M::kContains, "self."}, {K::kPython, 2, M::kPrefix, "\"\"\""},
    {K::kPython, 1, M::kPrefix, "raise "}, {K::kPython, 1, M::kContainsWord, "None"},
    {K::kPython, 1, M::kPrefix, "print("},
    // Shell.
    {K::kShell, 3, M::kSuffix, "; then"}, {K::kShell, 2, M::kEquals, "then"},
    {K::kShell, 3, M::kEquals, "fi"}, {K::kShell, 3, M::kEquals, "esac"},
    {K::kShell, 3, M::kSuffix, ";;"}, {K::kShell, 2, M::kEquals, "done"},
    {K::kShell, 3, M::kSuffix, "; do"}, {K::kShell, 3, M::kPrefix, "if [ "},
    {K::kShell, 3, M::kPrefix, "if [[ "}, {K::kShell, 2, M::kPrefix, "if test "},
    {K::kShell, 2, M::kContains, ">/dev/null"}, {K::kShell, 2, M::kPrefix, "set -e"},
    {K::kShell, 1, M::kPrefix, "export "}, {K::kShell, 1, M::kContains, "\"$"},
    {K::kShell, 1, M::kPrefix, "echo "}, {K::kShell, 2, M::kPrefix, "elif "},
    {K::kShell, 1, M::kContains, "$("}, {K::kShell, 2, M::kContains, "|| exit"},
    // Perl and its documentation.
    {K::kPerl, 3, M::kPrefix, "use strict"}, {K::kPerl, 3, M::kPrefix, "use warnings"},
    {K::kPerl, 3, M::kPrefix, "my $"}, {K::kPerl, 3, M::kPrefix, "my @"},
    {K::kPerl, 3, M::kPrefix, "my %"}, {K::kPerl, 3, M::kPrefix, "my ("},
    {K::kPerl, 2, M::kPrefix, "sub "}, {K::kPerl, 3, M::kContains, "$self->"},
    {K::kPerl, 2, M::kContains, "->{"}, {K::kPerl, 2, M::kContains, "@ARGV"},
    {K::kPerl, 1, M::kContains, "qw("}, {K::kPerl, 2, M::kEquals, "1;"},
    {K::kPerl, 2, M::kPrefix, "local $"}, {K::kPerl, 1, M::kContains, "=~ "},
    {K::kPerl, 1, M::kContains, "$_"}, {K::kPerl, 2, M::kPrefix, "use vars "},
    {K::kPerl, 2, M::kPrefix, "our $"}, {K::kPerl, 2, M::kPrefix, "our @"},
    {K::kPerl, 2, M::kContains, "unless ("}, {K::kPod, 3, M::kColumnZero, "=head1 "},
    {K::kPod, 3, M::kColumnZero, "=head2 "}, {K::kPod, 2, M::kColumnZero, "=item "},
    {K::kPod, 2, M::kColumnZero, "=over"}, {K::kPod, 2, M::kColumnZero, "=cut"},
    {K::kPod, 2, M::kColumnZero, "=pod"}, {K::kPod, 2, M::kColumnZero, "=back"},
    {K::kPod, 1, M::kColumnZero, "=encoding "},
    // Ruby.
    {K::kRuby, 3, M::kPrefix, "elsif "}, {K::kRuby, 3, M::kContains, " do |"},
    {K::kRuby, 3, M::kPrefix, "attr_reader "}, {K::kRuby, 3, M::kPrefix, "attr_accessor "},
    {K::kRuby, 3, M::kPrefix, "attr_writer "}, {K::kRuby, 3, M::kPrefix, "require_relative "},
    {K::kRuby, 3, M::kContains, "# frozen_string_literal:"}, {K::kRuby, 2, M::kPrefix, "require '"},
    {K::kRuby, 2, M::kPrefixWord, "rescue"}, {K::kRuby, 1, M::kPrefix, "unless "},
    {K::kRuby, 1, M::kEquals, "end"}, {K::kRuby, 1, M::kPrefix, "puts "},
    {K::kRuby, 2, M::kContains, ".each do"}, {K::kRuby, 1, M::kContainsWord, "nil"},
    {K::kRuby, 2, M::kEquals, "private"}, {K::kRuby, 2, M::kContains, "def self."},
    {K::kRuby, 1, M::kPrefix, "yield"}, {K::kRuby, 2, M::kContains, ".new("},
    // Lua.
    {K::kLua, 3, M::kPrefix, "local function "}, {K::kLua, 3, M::kPrefix, "--[["},
    {K::kLua, 1, M::kEquals, "end"}, {K::kLua, 2, M::kContains, "~="},
    {K::kLua, 2, M::kContains, " .. "}, {K::kLua, 3, M::kContains, "ipairs("},
    {K::kLua, 2, M::kContains, "pairs("}, {K::kLua, 1, M::kContainsWord, "nil"},
    {K::kLua, 1, M::kPrefix, "-- "}, {K::kLua, 2, M::kPrefix, "return M"},
    {K::kLua, 1, M::kContains, "require(\""}, {K::kLua, 1, M::kContains, "require \""},
    {K::kLua, 2, M::kContains, "local _ENV"},
    // JavaScript.
    {K::kJavaScript, 3, M::kContains, "module.exports"},
    {K::kJavaScript, 3, M::kPrefix, "'use strict'"},
    {K::kJavaScript, 3, M::kPrefix, "\"use strict\""},
    {K::kJavaScript, 3, M::kContains, "console.log("},
    {K::kJavaScript, 3, M::kPrefix, "export default "},
    {K::kJavaScript, 3, M::kContains, ".prototype."}, {K::kJavaScript, 2, M::kContains, "=== "},
    {K::kJavaScript, 2, M::kContains, "!=="}, {K::kJavaScript, 2, M::kContains, "typeof "},
    {K::kJavaScript, 2, M::kContainsWord, "undefined"}, {K::kJavaScript, 2, M::kContains, ") => "},
    {K::kJavaScript, 2, M::kContains, "function ("}, {K::kJavaScript, 1, M::kContains, "function("},
    {K::kJavaScript, 2, M::kContains, "require('"}, {K::kJavaScript, 2, M::kContains, "document."},
    {K::kJavaScript, 2, M::kContains, "window."}, {K::kJavaScript, 1, M::kContains, "this."},
    {K::kJavaScript, 2, M::kPrefix, "const {"}, {K::kJavaScript, 1, M::kPrefix, "const "},
    {K::kJavaScript, 1, M::kPrefix, "let "}, {K::kJavaScript, 1, M::kPrefix, "var "},
    {K::kJavaScript, 2, M::kContains, "JSON."}, {K::kJavaScript, 1, M::kContainsWord, "await"},
    {K::kJavaScript, 2, M::kContains, "exports."},
    // Java.
    {K::kJava, 3, M::kContains, "public class "},
    {K::kJava, 3, M::kContains, "public final class "},
    {K::kJava, 3, M::kContains, "public interface "}, {K::kJava, 3, M::kContains, "System.out."},
    {K::kJava, 3, M::kPrefix, "@Override"},
    {K::kJava, 3, M::kContains, "public static void main(String"},
    {K::kJava, 3, M::kContains, "private static final "}, {K::kJava, 2, M::kContains, ") throws "},
    {K::kJava, 1, M::kPrefix, "private final "}, {K::kJava, 1, M::kPrefix, "public "},
    // Go.
    {K::kGo, 3, M::kPrefix, "func "}, {K::kGo, 3, M::kEquals, "import ("},
    {K::kGo, 3, M::kPrefix, "import \""}, {K::kGo, 3, M::kPrefix, "defer "},
    {K::kGo, 3, M::kPrefix, "go func"}, {K::kGo, 3, M::kContains, "err != nil"},
    {K::kGo, 2, M::kContains, "fmt."}, {K::kGo, 1, M::kContains, " := "},
    {K::kGo, 2, M::kContainsWord, "chan"}, {K::kGo, 1, M::kContainsWord, "nil"},
    {K::kGo, 3, M::kColumnZero, "// Package "},
    // Rust.
    {K::kRust, 3, M::kPrefix, "fn "}, {K::kRust, 3, M::kPrefix, "pub fn "},
    {K::kRust, 3, M::kPrefix, "pub(crate) fn "}, {K::kRust, 3, M::kPrefix, "let mut "},
    {K::kRust, 3, M::kPrefix, "impl "}, {K::kRust, 3, M::kPrefix, "impl<"},
    {K::kRust, 3, M::kPrefix, "#["}, {K::kRust, 3, M::kPrefix, "#!["},
    {K::kRust, 3, M::kPrefix, "use std::"}, {K::kRust, 3, M::kPrefix, "use crate::"},
    {K::kRust, 3, M::kPrefix, "use super::"}, {K::kRust, 3, M::kContains, "&mut "},
    {K::kRust, 2, M::kContains, "::<"}, {K::kRust, 3, M::kPrefix, "pub struct "},
    {K::kRust, 3, M::kPrefix, "pub enum "}, {K::kRust, 3, M::kPrefix, "pub mod "},
    {K::kRust, 2, M::kPrefix, "mod "}, {K::kRust, 3, M::kContains, "println!("},
    {K::kRust, 3, M::kContains, "format!("}, {K::kRust, 3, M::kContains, "assert_eq!("},
    {K::kRust, 3, M::kContains, "vec!["}, {K::kRust, 3, M::kPrefix, "//!"},
    {K::kRust, 3, M::kContains, "-> Self"}, {K::kRust, 2, M::kContains, "-> Result<"},
    {K::kRust, 2, M::kContains, "-> Option<"}, {K::kRust, 1, M::kContains, "Some("},
    {K::kRust, 2, M::kPrefix, "pub trait "}, {K::kRust, 2, M::kPrefix, "unsafe "},
    // Tcl.
    {K::kTcl, 3, M::kPrefix, "package require "}, {K::kTcl, 3, M::kPrefix, "package provide "},
    {K::kTcl, 3, M::kPrefix, "namespace eval "}, {K::kTcl, 3, M::kPrefix, "lappend "},
    {K::kTcl, 3, M::kPrefix, "upvar "}, {K::kTcl, 3, M::kPrefix, "uplevel "},
    {K::kTcl, 3, M::kContains, "} elseif {"}, {K::kTcl, 3, M::kPrefix, "return -code"},
    {K::kTcl, 2, M::kContains, "[lindex "}, {K::kTcl, 2, M::kContains, "[llength "},
    {K::kTcl, 2, M::kContains, "[string "}, {K::kTcl, 2, M::kContains, "[expr "},
    {K::kTcl, 2, M::kContains, "[info "}, {K::kTcl, 2, M::kContains, "[list "},
    {K::kTcl, 2, M::kContains, "[dict "}, {K::kTcl, 2, M::kContains, "[file "},
    {K::kTcl, 2, M::kPrefix, "if {"}, {K::kTcl, 2, M::kPrefix, "foreach "},
    {K::kTcl, 2, M::kPrefix, "variable "}, {K::kTcl, 2, M::kPrefix, "switch -"},
    {K::kTcl, 1, M::kPrefix, "puts "}, {K::kTcl, 2, M::kPrefix, "catch {"},
    {K::kTcl, 2, M::kPrefix, "bind "}, {K::kTcl, 2, M::kContains, "} else {"},
    {K::kTcl, 3, M::kPrefix, "package ifneeded "}, {K::kTcl, 3, M::kPrefix, "if {!["},
    {K::kTcl, 2, M::kPrefix, "ttk::"},
    // awk.
    {K::kAwk, 3, M::kPrefix, "BEGIN {"}, {K::kAwk, 3, M::kEquals, "BEGIN"},
    {K::kAwk, 3, M::kPrefix, "END {"}, {K::kAwk, 2, M::kContainsWord, "NR"},
    {K::kAwk, 2, M::kContainsWord, "NF"}, {K::kAwk, 2, M::kContainsWord, "getline"},
    {K::kAwk, 1, M::kContains, "$0"}, {K::kAwk, 1, M::kContains, "$1"},
    {K::kAwk, 2, M::kContains, " gsub("}, {K::kAwk, 2, M::kContainsWord, "FS"},
    {K::kAwk, 2, M::kContainsWord, "OFS"}, {K::kAwk, 2, M::kContainsWord, "RSTART"},
    {K::kAwk, 2, M::kContainsWord, "ARGV"}, {K::kAwk, 2, M::kContainsWord, "SUBSEP"},
    {K::kAwk, 3, M::kPrefix, "BEGINFILE"}, {K::kAwk, 3, M::kPrefix, "ENDFILE"},
    {K::kAwk, 2, M::kContainsWord, "FNR"}, {K::kAwk, 2, M::kContainsWord, "FILENAME"},
    {K::kAwk, 3, M::kContains, "ENVIRON["}, {K::kAwk, 3, M::kContains, "PROCINFO["},
    {K::kAwk, 3, M::kContainsWord, "RLENGTH"}, {K::kAwk, 2, M::kContainsWord, "ARGC"},
    // PowerShell.
    {K::kPowerShell, 3, M::kPrefixNoCase, "param("},
    {K::kPowerShell, 3, M::kPrefixNoCase, "param ("},
    {K::kPowerShell, 3, M::kContains, "[CmdletBinding"},
    {K::kPowerShell, 3, M::kContains, "$PSScriptRoot"}, {K::kPowerShell, 3, M::kContains, "$env:"},
    {K::kPowerShell, 3, M::kContainsWord, "$true"}, {K::kPowerShell, 3, M::kContainsWord, "$false"},
    {K::kPowerShell, 3, M::kContainsWord, "$null"}, {K::kPowerShell, 3, M::kPrefix, "<#"},
    {K::kPowerShell, 3, M::kEquals, "#>"}, {K::kPowerShell, 3, M::kPrefix, "#Requires"},
    {K::kPowerShell, 3, M::kContains, "[string]$"}, {K::kPowerShell, 3, M::kContains, "[switch]$"},
    {K::kPowerShell, 2, M::kContains, "Write-Host"},
    {K::kPowerShell, 2, M::kContains, "Write-Output"},
    {K::kPowerShell, 2, M::kContains, "Get-ChildItem"},
    {K::kPowerShell, 2, M::kContains, "Join-Path"}, {K::kPowerShell, 2, M::kContains, "Test-Path"},
    {K::kPowerShell, 2, M::kContains, "-ErrorAction"}, {K::kPowerShell, 1, M::kContains, " -eq "},
    {K::kPowerShell, 1, M::kContains, " -ne "},
    // PHP without its opening tag.
    {K::kPhp, 3, M::kContains, "$this->"}, {K::kPhp, 2, M::kPrefix, "namespace "},
    {K::kPhp, 1, M::kPrefix, "use "}, {K::kPhp, 2, M::kContains, "public function "},
    {K::kPhp, 2, M::kContains, "private function "},
    // SQL, whose keywords ignore case.
    {K::kSql, 3, M::kPrefixNoCase, "create table "},
    {K::kSql, 3, M::kPrefixNoCase, "create or replace "},
    {K::kSql, 3, M::kPrefixNoCase, "create function "},
    {K::kSql, 3, M::kPrefixNoCase, "create view "}, {K::kSql, 3, M::kPrefixNoCase, "create index "},
    {K::kSql, 3, M::kPrefixNoCase, "create unique index "},
    {K::kSql, 3, M::kPrefixNoCase, "create trigger "},
    {K::kSql, 3, M::kPrefixNoCase, "create type "},
    {K::kSql, 3, M::kPrefixNoCase, "create schema "},
    {K::kSql, 3, M::kPrefixNoCase, "create sequence "},
    {K::kSql, 3, M::kPrefixNoCase, "create aggregate "},
    {K::kSql, 3, M::kPrefixNoCase, "create operator "},
    {K::kSql, 3, M::kPrefixNoCase, "create extension "},
    {K::kSql, 3, M::kPrefixNoCase, "create domain "},
    {K::kSql, 3, M::kPrefixNoCase, "insert into "}, {K::kSql, 3, M::kPrefixNoCase, "alter table "},
    {K::kSql, 3, M::kPrefixNoCase, "alter extension "},
    {K::kSql, 3, M::kPrefixNoCase, "drop table "}, {K::kSql, 3, M::kPrefixNoCase, "drop function "},
    {K::kSql, 3, M::kPrefixNoCase, "delete from "}, {K::kSql, 3, M::kPrefixNoCase, "comment on "},
    {K::kSql, 2, M::kPrefixNoCase, "grant "}, {K::kSql, 2, M::kPrefixNoCase, "revoke "},
    {K::kSql, 3, M::kEqualsNoCase, "begin;"}, {K::kSql, 3, M::kEqualsNoCase, "commit;"},
    {K::kSql, 3, M::kPrefix, "\\echo "}, {K::kSql, 2, M::kPrefixNoCase, "returns "},
    {K::kSql, 2, M::kContains, "LANGUAGE "}, {K::kSql, 1, M::kPrefix, "-- "},
    {K::kSql, 2, M::kPrefixNoCase, "select "}, {K::kSql, 2, M::kPrefixNoCase, "update "},
    {K::kSql, 2, M::kPrefixNoCase, "set search_path"}, {K::kSql, 2, M::kPrefixNoCase, "alter "},
    {K::kSql, 2, M::kPrefixNoCase, "drop "}, {K::kSql, 3, M::kPrefixNoCase, "do $$"},
    // CSS at-rules and declarations (declaration lines are checked below).
    {K::kCss, 3, M::kPrefix, "@media "}, {K::kCss, 3, M::kPrefix, "@import "},
    {K::kCss, 3, M::kPrefix, "@font-face"}, {K::kCss, 3, M::kPrefix, "@charset "},
    {K::kCss, 3, M::kPrefix, "@keyframes "}, {K::kCss, 3, M::kContains, "!important"},
    // TeX and LaTeX.
    {K::kTex, 3, M::kPrefix, "\\documentclass"}, {K::kTex, 3, M::kPrefix, "\\usepackage"},
    {K::kTex, 2, M::kPrefix, "\\begin{"}, {K::kTex, 2, M::kPrefix, "\\end{"},
    {K::kTex, 3, M::kPrefix, "\\section"}, {K::kTex, 3, M::kPrefix, "\\subsection"},
    {K::kTex, 3, M::kPrefix, "\\chapter"}, {K::kTex, 3, M::kPrefix, "\\newcommand"},
    {K::kTex, 3, M::kPrefix, "\\renewcommand"}, {K::kTex, 3, M::kPrefix, "\\def\\"},
    {K::kTex, 3, M::kContains, "\\catcode"}, {K::kTex, 3, M::kPrefix, "\\Provides"},
    {K::kTex, 3, M::kPrefix, "\\NeedsTeXFormat"}, {K::kTex, 3, M::kPrefix, "\\makeatletter"},
    {K::kTex, 3, M::kContains, "\\expandafter"}, {K::kTex, 2, M::kPrefix, "\\let\\"},
    {K::kTex, 2, M::kContains, "\\relax"}, {K::kTex, 3, M::kPrefix, "\\gdef\\"},
    {K::kTex, 3, M::kPrefix, "\\edef\\"}, {K::kTex, 2, M::kPrefix, "\\input "},
    {K::kTex, 2, M::kPrefix, "\\ifx"}, {K::kTex, 2, M::kPrefix, "\\global"},
    {K::kTex, 2, M::kPrefix, "\\item "},
    // m4 and Autoconf.
    {K::kM4, 3, M::kPrefixWord, "dnl"}, {K::kM4, 3, M::kContains, "AC_DEFUN("},
    {K::kM4, 3, M::kContains, "AU_DEFUN("}, {K::kM4, 3, M::kPrefix, "m4_"},
    {K::kM4, 2, M::kPrefix, "AC_"}, {K::kM4, 2, M::kPrefix, "AM_"}, {K::kM4, 2, M::kPrefix, "AS_"},
    {K::kM4, 3, M::kPrefix, "define(`"}, {K::kM4, 3, M::kPrefix, "define(["},
    {K::kM4, 3, M::kPrefix, "divert("}, {K::kM4, 3, M::kPrefix, "changequote("},
    {K::kM4, 2, M::kColumnZero, "# serial "},
    // Lisp dialects.
    {K::kLisp, 3, M::kPrefix, "(defun "}, {K::kLisp, 3, M::kPrefix, "(defmacro "},
    {K::kLisp, 2, M::kPrefix, "(defvar "}, {K::kLisp, 2, M::kPrefix, "(defparameter "},
    {K::kLisp, 2, M::kContains, "(setq "}, {K::kLisp, 1, M::kContains, "(let "},
    {K::kLisp, 1, M::kContains, "(let* "}, {K::kLisp, 3, M::kPrefix, "(in-package "},
    {K::kLisp, 3, M::kPrefix, "(defpackage "}, {K::kLisp, 3, M::kPrefix, "(defgeneric "},
    {K::kLisp, 2, M::kPrefix, "(defmethod "}, {K::kLisp, 2, M::kPrefix, "(defclass "},
    {K::kLisp, 3, M::kPrefix, "(declaim "}, {K::kLisp, 3, M::kContains, "defsystem "},
    {K::kLisp, 1, M::kPrefix, ";;"}, {K::kEmacsLisp, 3, M::kContains, "lexical-binding:"},
    {K::kEmacsLisp, 3, M::kPrefix, "(defcustom "}, {K::kEmacsLisp, 3, M::kPrefix, "(defgroup "},
    {K::kEmacsLisp, 3, M::kPrefix, "(provide '"}, {K::kEmacsLisp, 3, M::kPrefix, "(require '"},
    {K::kEmacsLisp, 3, M::kContains, "(interactive"},
    {K::kEmacsLisp, 3, M::kContains, "(define-key "},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-derived-mode "},
    {K::kEmacsLisp, 3, M::kContains, "(add-hook '"}, {K::kEmacsLisp, 3, M::kPrefix, "(defface "},
    {K::kEmacsLisp, 3, M::kPrefix, "(declare-function "},
    {K::kEmacsLisp, 2, M::kPrefix, "(defsubst "},
    {K::kEmacsLisp, 3, M::kContains, "(eval-when-compile"},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-minor-mode "},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-package "},
    {K::kEmacsLisp, 3, M::kPrefix, "(autoload '"},
    {K::kEmacsLisp, 3, M::kContains, "no-byte-compile:"}, {K::kScheme, 3, M::kPrefix, "(define ("},
    {K::kScheme, 3, M::kPrefix, "(define-module "}, {K::kScheme, 3, M::kPrefix, "(use-modules "},
    {K::kScheme, 3, M::kPrefix, "(define-syntax "},
    {K::kScheme, 3, M::kPrefix, "(define-record-type "}, {K::kScheme, 3, M::kPrefix, "(library ("},
    {K::kScheme, 2, M::kPrefix, "(define "}, {K::kScheme, 1, M::kContains, "#t)"},
    {K::kScheme, 1, M::kContains, "#f)"},
    // Haskell and OCaml.
    {K::kHaskell, 3, M::kPrefix, "import qualified "}, {K::kHaskell, 3, M::kPrefix, "{-#"},
    {K::kHaskell, 3, M::kPrefix, "newtype "}, {K::kHaskell, 2, M::kPrefix, "deriving "},
    {K::kHaskell, 2, M::kPrefix, "-- |"}, {K::kHaskell, 2, M::kPrefix, "instance "},
    {K::kHaskell, 1, M::kContains, " <- "}, {K::kOcaml, 3, M::kPrefix, "let rec "},
    {K::kOcaml, 3, M::kPrefix, "let () ="}, {K::kOcaml, 2, M::kPrefix, "open "},
    {K::kOcaml, 3, M::kContains, " = struct"}, {K::kOcaml, 3, M::kContains, " : sig"},
    {K::kOcaml, 1, M::kPrefix, "(*"}, {K::kOcaml, 2, M::kSuffix, " with"},
    {K::kOcaml, 2, M::kPrefix, "let "},
    // Pascal, whose keywords ignore case.
    {K::kPascal, 3, M::kEqualsNoCase, "interface"},
    {K::kPascal, 3, M::kEqualsNoCase, "implementation"}, {K::kPascal, 3, M::kPrefixNoCase, "uses "},
    {K::kPascal, 3, M::kEqualsNoCase, "end."}, {K::kPascal, 3, M::kPrefixNoCase, "procedure "},
    {K::kPascal, 3, M::kPrefix, "{$"},
    {K::kPascal, 1, M::kEqualsNoCase, "begin"}, {K::kPascal, 1, M::kEqualsNoCase, "end;"},
    {K::kPascal, 2, M::kEqualsNoCase, "var"}, {K::kPascal, 2, M::kEqualsNoCase, "type"},
    {K::kPascal, 2, M::kEqualsNoCase, "const"}, {K::kPascal, 2, M::kContainsWord, "writeln"},
    {K::kPascal, 3, M::kPrefixNoCase, "unit "}, {K::kPascal, 3, M::kPrefixNoCase, "program "},
    {K::kPascal, 1, M::kContains, " := "},
    // Fortran.
    {K::kFortran, 3, M::kPrefixNoCase, "subroutine "},
    {K::kFortran, 3, M::kPrefixNoCase, "end subroutine"},
    {K::kFortran, 3, M::kPrefixNoCase, "implicit none"},
    {K::kFortran, 3, M::kPrefixNoCase, "end program"},
    {K::kFortran, 3, M::kPrefixNoCase, "end module"}, {K::kFortran, 2, M::kEqualsNoCase, "end do"},
    {K::kFortran, 2, M::kEqualsNoCase, "enddo"}, {K::kFortran, 2, M::kEqualsNoCase, "end if"},
    {K::kFortran, 2, M::kEqualsNoCase, "endif"}, {K::kFortran, 3, M::kContains, "intent(in"},
    {K::kFortran, 3, M::kPrefixNoCase, "integer ::"},
    {K::kFortran, 3, M::kPrefixNoCase, "double precision "},
    {K::kFortran, 3, M::kPrefixNoCase, "real*8 "}, {K::kFortran, 2, M::kPrefixNoCase, "call "},
    {K::kFortran, 2, M::kPrefixNoCase, "integer "}, {K::kFortran, 2, M::kPrefixNoCase, "real "},
    {K::kFortran, 2, M::kPrefixNoCase, "end function"},
    {K::kFortran, 2, M::kPrefixNoCase, "program "},
    // Assembly (GNU as directives).
    {K::kAssembly, 3, M::kPrefix, ".globl "}, {K::kAssembly, 3, M::kPrefix, ".global "},
    {K::kAssembly, 2, M::kEquals, ".text"}, {K::kAssembly, 2, M::kEquals, ".data"},
    {K::kAssembly, 2, M::kPrefix, ".section "}, {K::kAssembly, 2, M::kPrefix, ".type "},
    {K::kAssembly, 2, M::kPrefix, ".align "}, {K::kAssembly, 2, M::kPrefix, ".long "},
    {K::kAssembly, 2, M::kPrefix, ".byte "}, {K::kAssembly, 2, M::kPrefix, "movl "},
    {K::kAssembly, 2, M::kPrefix, "movq "}, {K::kAssembly, 2, M::kPrefix, "ret"},
    // Makefiles (rules with recipes are checked below).
    {K::kMakefile, 3, M::kPrefix, ".PHONY"}, {K::kMakefile, 3, M::kPrefix, "ifeq ("},
    {K::kMakefile, 3, M::kPrefix, "ifneq ("}, {K::kMakefile, 2, M::kPrefix, "ifdef "},
    {K::kMakefile, 2, M::kPrefix, "ifndef "}, {K::kMakefile, 3, M::kEquals, "endef"},
    {K::kMakefile, 1, M::kEquals, "endif"}, {K::kMakefile, 1, M::kPrefix, "include "},
    {K::kMakefile, 2, M::kContains, "$(MAKE)"}, {K::kMakefile, 2, M::kContains, "$(shell "},
    {K::kMakefile, 2, M::kContains, "$(wildcard "}, {K::kMakefile, 2, M::kContains, "$(patsubst "},
    {K::kMakefile, 1, M::kContains, "$@"}, {K::kMakefile, 2, M::kContains, "$(CC)"},
    // CMake.
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_minimum_required("},
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_policy("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_executable("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_library("},
    {K::kCMake, 3, M::kPrefixNoCase, "target_link_libraries("},
    {K::kCMake, 3, M::kPrefixNoCase, "find_package("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_custom_command("},
    {K::kCMake, 3, M::kPrefixNoCase, "endif()"}, {K::kCMake, 3, M::kPrefixNoCase, "endforeach("},
    {K::kCMake, 3, M::kPrefixNoCase, "endfunction("}, {K::kCMake, 3, M::kPrefixNoCase, "endmacro("},
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_parse_arguments("},
    {K::kCMake, 2, M::kPrefixNoCase, "set("}, {K::kCMake, 2, M::kPrefixNoCase, "if("},
    {K::kCMake, 2, M::kPrefixNoCase, "else()"}, {K::kCMake, 2, M::kPrefixNoCase, "elseif("},
    {K::kCMake, 2, M::kPrefixNoCase, "foreach("}, {K::kCMake, 2, M::kPrefixNoCase, "function("},
    {K::kCMake, 2, M::kPrefixNoCase, "macro("}, {K::kCMake, 2, M::kPrefixNoCase, "message("},
    {K::kCMake, 2, M::kPrefixNoCase, "list("}, {K::kCMake, 2, M::kPrefixNoCase, "string("},
    {K::kCMake, 2, M::kPrefixNoCase, "unset("}, {K::kCMake, 2, M::kPrefixNoCase, "include("},
    {K::kCMake, 3, M::kPrefix, "#[["}, {K::kCMake, 3, M::kPrefix, "#[="},
    {K::kCMake, 2, M::kPrefixNoCase, "get_filename_component("},
    {K::kCMake, 2, M::kPrefixNoCase, "option("},
    // Vim script.
    {K::kVim, 3, M::kPrefix, "let g:"}, {K::kVim, 3, M::kPrefix, "let s:"},
    {K::kVim, 3, M::kPrefix, "let b:"}, {K::kVim, 3, M::kPrefix, "let l:"},
    {K::kVim, 3, M::kPrefix, "let &"}, {K::kVim, 3, M::kPrefix, "setlocal "},
    {K::kVim, 3, M::kPrefix, "syn keyword "}, {K::kVim, 3, M::kPrefix, "syn match "},
    {K::kVim, 3, M::kPrefix, "syn region "}, {K::kVim, 3, M::kPrefix, "syntax "},
    {K::kVim, 3, M::kPrefix, "hi def link "}, {K::kVim, 3, M::kPrefix, "function!"},
    {K::kVim, 3, M::kPrefix, "func!"}, {K::kVim, 3, M::kEquals, "endfunction"},
    {K::kVim, 3, M::kEquals, "endfunc"}, {K::kVim, 3, M::kPrefix, "if exists("},
    {K::kVim, 3, M::kEquals, "finish"}, {K::kVim, 3, M::kPrefix, "augroup "},
    {K::kVim, 2, M::kPrefix, "autocmd "}, {K::kVim, 3, M::kPrefix, "nnoremap "},
    {K::kVim, 3, M::kPrefix, "command! "}, {K::kVim, 3, M::kContains, "&cpo"},
    {K::kVim, 2, M::kPrefix, "\" "}, {K::kVim, 2, M::kPrefix, "exe "},
    {K::kVim, 2, M::kPrefix, "execute "}, {K::kVim, 3, M::kPrefix, "vim9script"},
    {K::kVim, 3, M::kPrefix, "scriptencoding "}, {K::kVim, 1, M::kEquals, "endif"},
    {K::kVim, 2, M::kEquals, "endfor"}, {K::kVim, 2, M::kEquals, "endwhile"},
    {K::kVim, 3, M::kPrefix, "runtime! "}, {K::kVim, 3, M::kPrefix, "syn case "},
    {K::kVim, 3, M::kPrefix, "syn cluster "}, {K::kVim, 3, M::kPrefix, "hi link "},
    {K::kVim, 2, M::kPrefix, "elseif "}, {K::kVim, 3, M::kPrefix, "menutrans "},
    {K::kVim, 2, M::kPrefix, "\\ "},
    // DOS batch files.
    {K::kBatch, 3, M::kPrefixNoCase, "@echo off"}, {K::kBatch, 2, M::kPrefixNoCase, "rem "},
    {K::kBatch, 2, M::kEqualsNoCase, "rem"}, {K::kBatch, 3, M::kPrefixNoCase, "goto "},
    {K::kBatch, 3, M::kContains, "%~dp0"}, {K::kBatch, 3, M::kContainsNoCase, "errorlevel"},
    {K::kBatch, 3, M::kEqualsNoCase, "setlocal"},
    {K::kBatch, 3, M::kPrefixNoCase, "setlocal enable"},
    {K::kBatch, 3, M::kPrefixNoCase, "if exist "},
    {K::kBatch, 3, M::kPrefixNoCase, "if not exist "}, {K::kBatch, 3, M::kPrefixNoCase, "if /i "},
    {K::kBatch, 3, M::kPrefixNoCase, "call :"}, {K::kBatch, 3, M::kContainsNoCase, "exit /b"},
    {K::kBatch, 3, M::kColumnZero, "::"}, {K::kBatch, 2, M::kPrefixNoCase, "set \""},
    {K::kBatch, 2, M::kEqualsNoCase, "endlocal"},
    // Markdown.
    {K::kMarkdown, 3, M::kPrefix, "```"}, {K::kMarkdown, 2, M::kColumnZero, "## "},
    {K::kMarkdown, 2, M::kColumnZero, "### "}, {K::kMarkdown, 1, M::kColumnZero, "# "},
    {K::kMarkdown, 3, M::kPrefix, "!["}, {K::kMarkdown, 1, M::kColumnZero, "- "},
    {K::kMarkdown, 1, M::kColumnZero, "* "}, {K::kMarkdown, 1, M::kPrefix, "> "},
    {K::kMarkdown, 1, M::kContains, "**"}, {K::kMarkdown, 2, M::kContains, "]: http"},
    {K::kMarkdown, 2, M::kContains, "](http"}, {K::kMarkdown, 2, M::kContains, "](#"},
    {K::kMarkdown, 1, M::kContains, "]("}, {K::kMarkdown, 2, M::kPrefix, "|---"},
    {K::kMarkdown, 2, M::kPrefix, "| --"}, {K::kMarkdown, 2, M::kPrefix, "|:--"},
    {K::kMarkdown, 1, M::kColumnZero, "1. "},
    // reStructuredText.
    {K::kRest, 3, M::kPrefix, ".. _"}, {K::kRest, 3, M::kPrefix, ".. |"},
    {K::kRest, 2, M::kContains, "``"}, {K::kRest, 3, M::kContains, "`_"},
    {K::kRest, 2, M::kSuffix, "::"}, {K::kRest, 2, M::kContains, ":ref:`"},
    {K::kRest, 2, M::kContains, ":doc:`"}, {K::kRest, 2, M::kContains, ":class:`"},
    {K::kRest, 2, M::kContains, ":func:`"}, {K::kRest, 2, M::kContains, ":mod:`"},
    {K::kRest, 2, M::kContains, ":command:`"}, {K::kRest, 2, M::kContains, ":variable:`"},
    {K::kRest, 2, M::kContains, ":prop_tgt:`"}, {K::kRest, 2, M::kContains, ":manual:`"},
    {K::kRest, 2, M::kContains, ":meth:`"}, {K::kRest, 1, M::kPrefix, ".. "},
    {K::kRest, 3, M::kEquals, ".."},
};
// clang-format on

// The pattern rules by the first character a line needs for them to match,
// so that each line meets only the rules that could match it.
struct RuleIndex {
  std::array<std::vector<std::uint16_t>, 256> by_first_char;
  std::vector<std::uint16_t> anywhere;  // rules not tied to the line's start
};

RuleIndex buildRuleIndex() {
  RuleIndex index;
  for (std::size_t r = 0; r < std::size(kRules); ++r) {
    const Rule& rule = kRules[r];
    auto id = static_cast<std::uint16_t>(r);
    auto first = static_cast<unsigned char>(rule.pattern[0]);
    switch (rule.match) {
      case Match::kPrefix:
      case Match::kPrefixWord:
      case Match::kEquals:
        index.by_first_char[first].push_back(id);
        break;
      case Match::kPrefixNoCase:
      case Match::kEqualsNoCase:
        index
            .by_first_char[static_cast<unsigned char>(toLower(rule.pattern[0]))]
            .push_back(id);
        if (isLower(rule.pattern[0])) {
          index
              .by_first_char[static_cast<unsigned char>(rule.pattern[0] - 'a' +
                                                        'A')]
              .push_back(id);
        }
        break;
      default:
        index.anywhere.push_back(id);
        break;
    }
  }
  return index;
}

// Rules that need more than one pattern or the neighbouring lines.
void scoreSpecialRules(
    const std::vector<Line>& lines, std::size_t i,
    int (&special)[static_cast<std::size_t>(Kind::kCount)][8]) {
  const Line& line = lines[i];
  string_view t = line.text;
  string_view tr = line.trimmed;
  auto hit = [&](Kind kind, int slot) {
    ++special[static_cast<std::size_t>(kind)][slot];
  };

  // C++ standard headers have no ".h": #include <vector>; C++ projects name
  // theirs .hpp, .hh or .hxx.
  if (t.starts_with("#include")) {
    bool standard = t.starts_with("#include <") && !contains(t, ".h>");
    bool cpp_header =
        contains(t, ".hpp") || contains(t, ".hh") || contains(t, ".hxx");
    if (standard || cpp_header) {
      hit(Kind::kCpp, 0);
    }
  }
  if ((t.starts_with("namespace ") || t.starts_with("class ")) &&
      tr.ends_with("{") && !contains(t, "=") && !contains(t, "(")) {
    hit(t.starts_with("namespace ") ? Kind::kCpp : Kind::kC, 1);
  }
  // Python: "def f(...):", "class C(B):", "from m import n", block headers.
  if ((t.starts_with("def ") || t.starts_with("async def ")) &&
      (tr.ends_with(":") || contains(t, ") ->"))) {
    hit(Kind::kPython, 0);
  }
  if (t.starts_with("class ") && tr.ends_with(":")) {
    hit(Kind::kPython, 1);
  }
  if (t.starts_with("from ") && contains(t, " import ")) {
    hit(Kind::kPython, 2);
  }
  if (startsWithWord(t, "import") && !tr.ends_with(";") && !contains(t, "\"") &&
      !contains(t, "'") && !contains(t, "(") && !contains(t, "{")) {
    hit(Kind::kPython, 3);
  }
  if ((t.starts_with("elif ") || t.starts_with("except") ||
       t.starts_with("with ") || t.starts_with("for ") ||
       t.starts_with("while ")) &&
      tr.ends_with(":")) {
    hit(Kind::kPython, 4);
  }
  // Ruby: "def name" without a colon, "class A < B", "module A::B".
  if (t.starts_with("def ") && !tr.ends_with(":") && !tr.ends_with("{") &&
      !contains(t, ") ->")) {
    hit(Kind::kRuby, 0);
  }
  if (t.starts_with("class ") && contains(t, " < ") && !tr.ends_with("{")) {
    hit(Kind::kRuby, 1);
  }
  if (t.starts_with("module ") && t.size() > 7 && isUpper(t[7]) &&
      !contains(t, "=") && !contains(t, " where") && !tr.ends_with(";")) {
    hit(Kind::kRuby, 2);
  }
  // Lua: "local x = ...", "function M.f(...)", "if x then" without a semicolon.
  if (t.starts_with("local ") &&
      (contains(t, " = ") || tr.find_first_of("=(") == string_view::npos)) {
    hit(Kind::kLua, 0);
  }
  if (t.starts_with("function ") && t.find_first_of(".:") < t.find('(')) {
    hit(Kind::kLua, 1);
  }
  if (t.starts_with("if ") && tr.ends_with(" then") && !contains(t, ";")) {
    hit(Kind::kLua, 2);
  }
  // JavaScript ES modules: import x from 'y'.
  if (t.starts_with("import ") &&
      (contains(t, " from '") || contains(t, " from \""))) {
    hit(Kind::kJavaScript, 0);
  }
  if (t.starts_with("export ") &&
      (contains(t, "function") || contains(t, "const ") ||
       contains(t, "class "))) {
    hit(Kind::kJavaScript, 1);
  }
  // Java and Go packages: "package a.b.c;" versus "package name".
  if (t.starts_with("package ")) {
    string_view name = trim(t.substr(8));
    bool dotted = !name.empty() && name.back() == ';' &&
                  !contains(name, "::") && !contains(name, " ");
    bool plain =
        !name.empty() && isLower(name[0]) && identLength(name) == name.size();
    if (dotted) {
      hit(Kind::kJava, 0);
    }
    if (plain) {
      hit(Kind::kGo, 0);
    }
  }
  if (t.starts_with("import ") && tr.ends_with(";") && !contains(t, "\"") &&
      !contains(t, "'") && contains(t, ".") && !contains(t, " from ")) {
    hit(Kind::kJava, 1);
  }
  if (t.starts_with("type ") &&
      (contains(t, " struct {") || contains(t, " interface {"))) {
    hit(Kind::kGo, 1);
  }
  // Perl and Rust both write "use A::B;"; Perl's packages have "::" too.
  if (t.starts_with("package ") && contains(t, "::") && tr.ends_with(";")) {
    hit(Kind::kPerl, 0);
  }
  // Tcl: "proc name {args} {" and "set name value".
  if (t.starts_with("proc ") && tr.ends_with("{")) {
    hit(Kind::kTcl, 0);
  }
  if (t.starts_with("set ") && !contains(t, "=") && tr.size() > 4 &&
      isIdentChar(tr[4])) {
    hit(Kind::kTcl, 1);
  }
  // awk: "/regexp/ {" rules and "function f(a, b,   locals)".
  if (t.starts_with("/") && tr.ends_with("/ {")) {
    hit(Kind::kAwk, 0);
  }
  // PowerShell cmdlets: Verb-Noun with a capital on each side.
  for (std::size_t at = t.find('-'); at != string_view::npos;
       at = t.find('-', at + 1)) {
    if (at < 3 || at + 2 >= t.size() || !isUpper(t[at + 1]) ||
        !isLower(t[at + 2])) {
      continue;
    }
    std::size_t start = at;
    while (start > 0 && isIdentChar(t[start - 1])) {
      --start;
    }
    if (at - start >= 3 && isUpper(t[start]) && isLower(t[start + 1])) {
      static constexpr string_view kVerbs[] = {
          "Get",    "Set",  "New",     "Remove", "Write", "Test",
          "Invoke", "Add",  "Out",     "Start",  "Stop",  "Import",
          "Export", "Join", "Split",   "Select", "Where", "ForEach",
          "Copy",   "Move", "Convert", "Resolve"};
      string_view verb = t.substr(start, at - start);
      if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) !=
          std::end(kVerbs)) {
        hit(Kind::kPowerShell, 0);
        break;
      }
    }
  }
  // CSS declarations "name: value;" and selectors "a.b, c:hover {".
  {
    std::size_t name = 0;
    while (name < t.size() && (isLower(t[name]) || t[name] == '-')) {
      ++name;
    }
    if (name > 1 && name < t.size() && t[name] == ':' && tr.ends_with(";")) {
      string_view value = trim(t.substr(name + 1));
      if (value.size() > 1 && !contains(value, "=") && !contains(value, "::")) {
        hit(Kind::kCss, 0);
      }
    }
    if (tr.size() > 2 && tr.ends_with("{") &&
        (t[0] == '.' || t[0] == '#' || t[0] == '*' || t[0] == '[' ||
         (isLower(t[0]) && contains(t, ",")) || contains(t, ":hover"))) {
      if (!contains(t, "(") && !contains(t, "=") && !contains(t, ";")) {
        hit(Kind::kCss, 1);
      }
    }
    // Minified style sheets: many "{name:value;" runs on one long line.
    if (t.size() > 200) {
      int runs = 0;
      for (std::size_t at = t.find('{'); at != string_view::npos && runs < 5;
           at = t.find('{', at + 1)) {
        std::size_t n = at + 1;
        while (n < t.size() && (isLower(t[n]) || t[n] == '-')) {
          ++n;
        }
        if (n > at + 2 && n < t.size() && t[n] == ':') {
          ++runs;
        }
      }
      if (runs >= 5) {
        hit(Kind::kCss, 2);
      }
    }
  }
  // Makefiles: a "target: prerequisites" line followed by a tab-indented
  // recipe, and assignments with make's own operators.
  if (line.raw.starts_with("\t") && i > 0) {
    std::size_t j = i;
    while (j > 0 && lines[j - 1].raw.starts_with("\t")) {
      --j;
    }
    if (j > 0) {
      string_view rule = lines[j - 1].raw;
      std::size_t colon = rule.find(':');
      if (colon != string_view::npos && colon > 0 && !isSpace(rule[0]) &&
          rule[0] != '#' && !contains(rule, ";") &&
          (rule.find('(') == string_view::npos || contains(rule, "$("))) {
        hit(Kind::kMakefile, 0);
      }
    }
  }
  if (!line.raw.empty() && (isIdentChar(line.raw[0]))) {
    std::size_t n = identLength(line.raw);
    string_view rest = trimLeft(line.raw.substr(n));
    if ((rest.starts_with(":=") || rest.starts_with("?=") ||
         rest.starts_with("+=") || rest.starts_with("::=")) &&
        !tr.ends_with(";")) {
      hit(Kind::kMakefile, 1);
    }
  }
  // Haskell type signatures "name :: Type".
  if (!line.raw.empty() && isLower(line.raw[0])) {
    std::size_t n = identLength(line.raw);
    if (line.raw.substr(n).starts_with(" :: ")) {
      hit(Kind::kHaskell, 0);
    }
  }
  if (t.starts_with("module ") && tr.ends_with(" where")) {
    hit(Kind::kHaskell, 1);
  }
  if (t.starts_with("data ") && t.size() > 5 && isUpper(t[5]) &&
      contains(t, " = ")) {
    hit(Kind::kHaskell, 2);
  }
  // Shell functions "name() {" at the start of a line.
  if (!line.raw.empty() && (isIdentChar(line.raw[0]))) {
    std::size_t n = 0;
    while (n < line.raw.size() &&
           (isIdentChar(line.raw[n]) || line.raw[n] == '-')) {
      ++n;
    }
    string_view rest = line.raw.substr(n);
    if (rest == "()" || rest == "() {" || rest == "(){" || rest == " () {" ||
        rest == " ()") {
      hit(Kind::kShell, 0);
    }
  }
  if (startsWithWord(t, "case") && tr.ends_with(" in")) {
    hit(Kind::kShell, 1);
  }
  // reStructuredText: directives ".. name::" and section underlines in any of
  // its adornment characters beyond Markdown's "=" and "-".
  if (t.starts_with(".. ")) {
    std::size_t n = 3;
    while (n < t.size() && (isIdentChar(t[n]) || t[n] == '-' || t[n] == ':')) {
      ++n;
    }
    if (n > 5 && t.substr(3, n - 3).ends_with("::")) {
      hit(Kind::kRest, 0);
    }
  }
  if (i > 0 && tr.size() >= 3 && !lines[i - 1].trimmed.empty() &&
      line.raw.size() >= lines[i - 1].raw.size() &&
      std::all_of(tr.begin(), tr.end(), [&](char c) { return c == tr[0]; }) &&
      line.raw == tr) {
    char c = tr[0];
    if (contains("~^*+#'`\"", string_view(&c, 1))) {
      hit(Kind::kRest, 1);
    }
    if (c == '=' || c == '-') {
      hit(Kind::kMarkdown, 0);
    }
  }
  // Markdown links "[text](target)" with a word inside the brackets.
  if (std::size_t close = t.find("](");
      close != string_view::npos && close > 0) {
    std::size_t open = t.rfind('[', close);
    if (open != string_view::npos && close - open > 1 &&
        isIdentChar(t[open + 1])) {
      hit(Kind::kMarkdown, 1);
    }
  }
  // Ruby mixins: "include Comparable" (a makefile's include names a path).
  if (t.starts_with("include ") && t.size() > 8 && isUpper(t[8]) &&
      identLength(t.substr(8)) + 8 == tr.size()) {
    hit(Kind::kRuby, 3);
  }
  // Lua method calls "obj:method(" and "if x then" without a semicolon.
  if (std::size_t n = identLength(t);
      n > 0 && n + 1 < t.size() && t[n] == ':' && t[n + 1] != ':') {
    std::size_t m = identLength(t.substr(n + 1));
    if (m > 0 && n + 1 + m < t.size() && t[n + 1 + m] == '(') {
      hit(Kind::kLua, 3);
    }
  }
  if (t.starts_with("elseif ") && tr.ends_with(" then")) {
    hit(Kind::kLua, 4);
  }
  // JavaScript: a top-level "var name = " (the shell writes no blanks around
  // its "=").
  // As a file's first statement it is strong evidence on its own.
  for (string_view word : {"var "sv, "let "sv, "const "sv}) {
    if (!line.raw.starts_with(word)) {
      continue;
    }
    string_view rest = trimRight(line.raw.substr(word.size()));
    std::size_t n = identLength(rest);
    if (n > 0 &&
        (rest.substr(n).starts_with(" = ") || rest.substr(n) == " =")) {
      bool first = std::all_of(lines.begin(),
                               lines.begin() + static_cast<std::ptrdiff_t>(i),
                               [](const Line& l) { return l.trimmed.empty(); });
      hit(Kind::kJavaScript, first ? 3 : 2);
    }
  }
  // Python module attributes: __all__ = [...], __version__ = "1.0".
  if (line.raw.starts_with("__") &&
      (contains(t, "__ = ") || contains(t, "__ += "))) {
    hit(Kind::kPython, 5);
  }
  // C++ member definitions at the start of a line: "int Counter::Next() {",
  // the body opening there or on the next line (or a constructor's ":").
  bool opens_body =
      tr.ends_with("{") ||
      (i + 1 < lines.size() && (lines[i + 1].trimmed.starts_with("{") ||
                                lines[i + 1].trimmed.starts_with(":")));
  if (opens_body && !line.raw.empty() && !isSpace(line.raw[0]) &&
      !tr.ends_with(";") && !t.starts_with("sub ") && !t.starts_with("def ") &&
      !t.starts_with("use ") && !t.starts_with("package ")) {
    std::size_t colons = t.find("::");
    std::size_t paren = t.find('(');
    if (colons != string_view::npos && paren != string_view::npos &&
        colons < paren && colons > 0 && isIdentChar(t[colons - 1]) &&
        identLength(t.substr(colons + 2)) + colons + 2 == paren) {
      hit(Kind::kCpp, 2);
    }
  }
  // awk functions list their locals after a wide gap: f(a, b,    i, j).
  if (t.starts_with("function ") && contains(t, ",    ")) {
    hit(Kind::kAwk, 1);
  }
  // Batch variables: %NAME% and %1.
  if (std::size_t pct = t.find('%');
      pct != string_view::npos && pct + 2 < t.size()) {
    std::size_t n = identLength(t.substr(pct + 1));
    if ((n > 0 && pct + 1 + n < t.size() && t[pct + 1 + n] == '%') ||
        (n == 1 && isDigit(t[pct + 1]))) {
      hit(Kind::kBatch, 0);
    }
  }
  // Emacs Lisp file headers: ";;; name.el --- summary".
  if (t.starts_with(";;; ") && contains(t, ".el ---")) {
    hit(Kind::kEmacsLisp, 0);
  }
  // CMake calls one command per line: name(ARGS) with no semicolon.
  if (std::size_t n = identLength(line.raw);
      n > 0 && n < line.raw.size() && line.raw[n] == '(' && tr.ends_with(")") &&
      !contains(t, ";") && !contains(t, "\"\"\"")) {
    hit(Kind::kCMake, 0);
  }
  // C function definitions: "int name(args)" at column 0, its body's "{"
  // alone on the next line.
  if (i + 1 < lines.size() && lines[i + 1].raw == "{" && !line.raw.empty() &&
      isIdentChar(line.raw[0]) && tr.ends_with(")") && !contains(t, ";") &&
      !contains(t, "::") && !startsWithWord(t, "function") &&
      !startsWithWord(t, "sub") && !startsWithWord(t, "def") &&
      !startsWithWord(t, "func")) {
    std::size_t paren = t.find('(');
    string_view before = trimRight(t.substr(0, paren));
    std::size_t space = before.find_last_of(" *");
    if (paren != string_view::npos && space != string_view::npos &&
        identLength(before.substr(space + 1)) > 0) {
      hit(Kind::kC, 2);
    }
  }
  // Markdown documents open with a heading set off by a blank line.
  if (i + 1 < lines.size() && line.raw.starts_with("# ") &&
      lines[i + 1].trimmed.empty() &&
      std::all_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                  [](const Line& l) { return l.trimmed.empty(); })) {
    hit(Kind::kMarkdown, 2);
  }
  // Pascal "function Name(args): Type;" and "program name;".
  if (startsWithNoCase(t, "function ") && tr.ends_with(";") &&
      contains(t, "):")) {
    hit(Kind::kPascal, 0);
  }
  // Fortran free-form declarations "real(8), intent(in) :: x".
  if (contains(t, " :: ") &&
      (startsWithNoCase(t, "real") || startsWithNoCase(t, "integer") ||
       startsWithNoCase(t, "character") || startsWithNoCase(t, "logical") ||
       startsWithNoCase(t, "type("))) {
    hit(Kind::kFortran, 0);
  }
}

// Weights of the special rules, by kind and slot.
int specialWeight(Kind kind, int slot) {
  switch (kind) {
    case Kind::kCpp:
      return 3;
    case Kind::kC:
      return slot == 2 ? 3 : 1;
    case Kind::kPython:
      return 3;
    case Kind::kRuby:
      return slot == 0 ? 2 : 3;
    case Kind::kLua:
      return slot == 3 ? 2 : (slot == 4 ? 3 : 2);
    case Kind::kJavaScript:
      return slot == 3 ? 6 : 3;
    case Kind::kBatch:
      return 2;
    case Kind::kEmacsLisp:
      return 3;
    case Kind::kCMake:
      return 1;
    case Kind::kJava:
      return 3;
    case Kind::kGo:
      return 3;
    case Kind::kPerl:
      return 3;
    case Kind::kTcl:
      return slot == 0 ? 3 : 1;
    case Kind::kAwk:
      return slot == 1 ? 4 : 2;
    case Kind::kPowerShell:
      return 3;
    case Kind::kCss:
      return slot == 0 ? 2 : (slot == 1 ? 1 : 3);
    case Kind::kMakefile:  // a "word:" line over indented lines is also prose
      return slot == 0 ? 2 : 3;
    case Kind::kHaskell:
      return 3;
    case Kind::kShell:
      return 3;
    case Kind::kRest:
      return slot == 0 ? 5 : 2;
    case Kind::kMarkdown:
      return slot == 0 ? 1 : (slot == 2 ? 3 : 2);
    case Kind::kPascal:
      return 2;
    case Kind::kFortran:
      return 3;
    default:
      return 1;
  }
}

std::optional<TextVerdict> scoreLanguages(const std::vector<Line>& lines) {
  constexpr std::size_t kKinds = static_cast<std::size_t>(Kind::kCount);
  constexpr std::size_t kRuleCount = std::size(kRules);
  static const RuleIndex index = buildRuleIndex();
  std::vector<int> rule_hits(kRuleCount, 0);
  int special[kKinds][8] = {};
  // Perl's documentation blocks run from a "=word" line at column 0 to
  // "=cut"; their examples are not the file's own code.
  bool in_pod = false;
  int nonblank_lines = 0;
  int hash_lines = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.trimmed.empty()) {
      continue;
    }
    ++nonblank_lines;
    if (line.raw.starts_with("#")) {
      ++hash_lines;
    }
    bool directive =
        line.raw.size() > 1 && line.raw[0] == '=' && isLower(line.raw[1]);
    if (directive) {
      in_pod = !line.raw.starts_with("=cut");
    }
    bool pod_line = in_pod || directive;
    auto apply = [&](std::uint16_t r) {
      if (pod_line != (kRules[r].kind == Kind::kPod)) {
        return;
      }
      if (rule_hits[r] < kMaxHitsPerRule && matches(kRules[r], line)) {
        ++rule_hits[r];
      }
    };
    for (std::uint16_t r :
         index.by_first_char[static_cast<unsigned char>(line.text[0])]) {
      apply(r);
    }
    for (std::uint16_t r : index.anywhere) {
      apply(r);
    }
    if (!pod_line) {
      scoreSpecialRules(lines, i, special);
    }
  }

  std::array<int, kKinds> own{};
  std::array<std::string, kKinds> best_rule;
  std::array<int, kKinds> best_rule_score{};
  for (std::size_t r = 0; r < kRuleCount; ++r) {
    if (rule_hits[r] == 0) {
      continue;
    }
    std::size_t k = static_cast<std::size_t>(kRules[r].kind);
    int score = kRules[r].weight * rule_hits[r];
    own[k] += score;
    if (score > best_rule_score[k]) {
      best_rule_score[k] = score;
      best_rule[k] = "\"" + std::string(kRules[r].pattern) + "\"";
    }
  }
  for (std::size_t k = 0; k < kKinds; ++k) {
    for (int slot = 0; slot < 8; ++slot) {
      int n = std::min(special[k][slot], kMaxHitsPerRule);
      if (n == 0) {
        continue;
      }
      int score = n * specialWeight(static_cast<Kind>(k), slot);
      own[k] += score;
      if (score > best_rule_score[k]) {
        best_rule_score[k] = score;
        best_rule[k] = "grammar rule " + std::to_string(slot);
      }
    }
  }

  std::array<int, kKinds> total = own;
  for (const auto& [child, parent] : kParents) {
    std::size_t c = static_cast<std::size_t>(child);
    // A child needs evidence of its own before it inherits its parent's.
    if (own[c] >= 3) {
      total[c] += own[static_cast<std::size_t>(parent)];
    }
  }
  // Files of "#" comment lines (test scripts, configuration) are not
  // Markdown documents full of headings.
  if (hash_lines * 5 >= nonblank_lines * 4) {
    total[static_cast<std::size_t>(Kind::kMarkdown)] = 0;
  }

  std::size_t best = kKinds;
  for (std::size_t k = 0; k < kKinds; ++k) {
    if (total[k] < kMinScore) {
      continue;
    }
    if (best == kKinds || total[k] > total[best] ||
        (total[k] == total[best] &&
         kKindInfo[k].specificity > kKindInfo[best].specificity)) {
      best = k;
    }
  }
  if (best == kKinds) {
    return std::nullopt;
  }
  const KindInfo& info = kKindInfo[best];
  std::string evidence = std::string(info.extension) + " grammar scored " +
                         std::to_string(total[best]) + ", strongest " +
                         best_rule[best];
  return verdict(info.extension, info.description, std::move(evidence));
}

// Fortran's fixed form: comment letters in column 1, statements from column 7.
bool looksFixedFormFortran(const std::vector<Line>& lines) {
  int fixed = 0;
  int total = 0;
  for (const Line& line : lines) {
    if (line.raw.empty()) {
      continue;
    }
    ++total;
    char c = line.raw[0];
    if (c == 'C' || c == 'c' || c == '*' || line.raw.starts_with("      ")) {
      ++fixed;
    }
  }
  return total > 0 && fixed * 10 >= total * 9;
}

}  // namespace

TextVerdict classifyText(std::string_view head,
                         std::string_view magic_description) {
  if (head.starts_with("\xEF\xBB\xBF")) {
    head.remove_prefix(3);  // UTF-8 byte order mark
  }
  std::vector<Line> lines = splitLines(head);
  std::size_t first = 0;
  while (first < lines.size() && lines[first].trimmed.empty()) {
    ++first;
  }
  if (first == lines.size()) {
    return verdict("txt", "text", "no content");
  }

  if (auto v = fromShebang(lines[first].raw)) {
    if (v->extension == "sh") {
      if (auto exec = fromExecTrick(lines)) {
        return *exec;
      }
    }
    return *v;
  }
  if (auto v = fromEmacsMode(lines)) {
    return *v;
  }
  if (auto v = fromVimModeline(lines)) {
    return *v;
  }

  string_view start = lines[first].trimmed;
  if (start.starts_with("<?php")) {
    return verdict("php", "PHP script", "<?php opening tag");
  }
  if (start.starts_with("StartFontMetrics")) {
    return verdict("afm", "Adobe font metrics", "StartFontMetrics");
  }
  if (start.starts_with("\\input texinfo")) {
    return verdict("texi", "Texinfo document", "\\input texinfo");
  }
  if (start.starts_with("%!PS")) {
    return verdict("ps", "PostScript document", "%!PS header");
  }
  if (start.starts_with("/* XPM */")) {
    return verdict("xpm", "X pixmap image", "/* XPM */ header");
  }
  if (start.starts_with("<?xml")) {
    bool svg = contains(head, "<svg");
    return verdict(svg ? "svg" : "xml", svg ? "SVG image" : "XML document",
                   "<?xml declaration");
  }
  if (startsWithNoCase(start, "<!DOCTYPE html") ||
      startsWithNoCase(start, "<html")) {
    return verdict("html", "HTML document", "<html> start");
  }
  if (start.starts_with("<svg") ||
      (start.starts_with("<") && contains(head.substr(0, 1024), "<svg"))) {
    return verdict("svg", "SVG image", "<svg> element");
  }
  if (start.starts_with("<!") ||
      (start.size() > 1 && start[0] == '<' && isIdentChar(start[1]))) {
    return verdict("xml", "XML document", "markup start tag");
  }

  if (contains(magic_description, "JSON") || JsonScanner(head).scan()) {
    if (contains(magic_description, "JSON") || start.starts_with("{") ||
        start.starts_with("[")) {
      return verdict("json", "JSON data", "well-formed JSON");
    }
  }
  if (auto v = checkDiff(lines)) {
    return *v;
  }
  if (auto v = checkPem(lines)) {
    return *v;
  }
  if (auto v = checkManPage(lines)) {
    return *v;
  }
  if (auto v = checkGettext(lines)) {
    return *v;
  }
  if (auto v = checkSectioned(lines)) {
    return *v;
  }
  if (contains(magic_description, "CSV")) {
    return verdict("csv", "comma-separated values", "libmagic CSV");
  }
  if (auto v = checkDelimited(head, lines)) {
    return *v;
  }
  if (auto v = checkYaml(lines)) {
    return *v;
  }

  if (auto v = scoreLanguages(lines)) {
    if (v->extension == "f90" && looksFixedFormFortran(lines)) {
      v->extension = "f";
    }
    return *v;
  }
  return verdict("txt", "text", "too little evidence for any format");
}

}  // namespace ident
