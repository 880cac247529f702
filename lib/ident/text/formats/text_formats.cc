#include "text_formats.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "text/kinds.h"

namespace ident::text {

using std::string_view;
using namespace std::string_view_literals;

namespace {

// Reads a document by TOML's grammar, across lines: "key = value" pairs
// (bare, quoted and dotted keys), "[table]" and "[[array of tables]]"
// headers, comments, and every kind of value, including the arrays, inline
// tables and multi-line strings that run over several lines. Indentation
// means nothing in TOML, unlike in INI files.
class TomlReader {
 public:
  explicit TomlReader(const std::vector<Line>& lines) : lines_(lines) {}

  // Reads the whole document; false at the first thing TOML does not
  // allow. Where the head is long enough to have been cut, its last line
  // may break off anywhere, inside a value that began lines before too.
  bool read() {
    while (!atEnd()) {
      skipBlanks();
      if (peek() == '[') {
        if (!header()) {
          return mayBeCut();
        }
      } else if (peek() != '#' && peek() != '\n') {
        if (!keyValue(true)) {
          return mayBeCut();
        }
      }
      if (cut_) {
        return true;
      }
      skipBlanks();
      if (peek() == '#') {
        skipComment();
      }
      if (peek() != '\n') {
        return mayBeCut();
      }
      next();
    }
    return true;
  }

  int tables = 0;        // "[table]" headers
  int array_tables = 0;  // "[[array of tables]]" headers
  int keys = 0;          // key/value pairs outside inline tables
  int spaced_keys = 0;   // ... written "key = value", blanks around the "="
  int written_values =
      0;  // strings, arrays and inline tables, which INI leaves unquoted
  int toml_values = 0;  // inline tables with pairs, and dates and times,
                        // which no programming language writes so
  string_view first_table;

 private:
  bool atEnd() const { return line_ >= lines_.size(); }
  // The current character; '\n' at the end of a line and '\0' past the last.
  char peek() const {
    if (atEnd()) {
      return '\0';
    }
    string_view raw = lines_[line_].raw;
    return pos_ < raw.size() ? raw[pos_] : '\n';
  }
  void next() {
    if (atEnd()) {
      return;
    }
    if (pos_ < lines_[line_].raw.size()) {
      ++pos_;
    } else {
      ++line_;
      pos_ = 0;
    }
  }
  string_view rest() const {
    return atEnd() ? string_view() : lines_[line_].raw.substr(pos_);
  }
  void skip(std::size_t n) { pos_ += n; }
  void skipBlanks() {
    while (peek() == ' ' || peek() == '\t') {
      next();
    }
  }
  void skipComment() { pos_ = lines_[line_].raw.size(); }
  // Blanks, comments and line breaks, as arrays allow between items.
  void skipSpace() {
    for (;;) {
      skipBlanks();
      if (peek() == '#') {
        skipComment();
      }
      if (peek() != '\n') {
        return;
      }
      next();
    }
  }
  // True on the last line of a head long enough to have been cut.
  bool mayBeCut() const {
    const std::size_t span = static_cast<std::size_t>(
        lines_.back().raw.data() + lines_.back().raw.size() -
        lines_.front().raw.data());
    return line_ + 1 >= lines_.size() && span >= kMayBeCutBytes;
  }
  // True when the document ends inside a value: the head was cut there.
  bool endsInside() {
    cut_ |= atEnd() || mayBeCut();
    return cut_;
  }

  static bool isBareKeyChar(char c) { return isIdentChar(c) || c == '-'; }

  bool simpleKey() {
    const char c = peek();
    if (c == '"' || c == '\'') {
      return singleLineString(c);
    }
    const string_view r = rest();
    std::size_t n = 0;
    while (n < r.size() && isBareKeyChar(r[n])) {
      ++n;
    }
    skip(n);
    return n > 0;
  }
  // A key, dotted or not, with blanks allowed around the dots.
  bool key() {
    if (!simpleKey()) {
      return false;
    }
    for (;;) {
      skipBlanks();
      if (peek() != '.') {
        return true;
      }
      next();
      skipBlanks();
      if (!simpleKey()) {
        return false;
      }
    }
  }
  bool header() {
    const bool array = rest().starts_with("[[");
    const std::size_t start = pos_;
    skip(array ? 2 : 1);
    skipBlanks();
    if (!key() || !rest().starts_with(array ? "]]" : "]")) {
      return false;
    }
    skip(array ? 2 : 1);
    if (tables + array_tables == 0) {
      first_table = lines_[line_].raw.substr(start, pos_ - start);
    }
    ++(array ? array_tables : tables);
    return true;
  }
  bool keyValue(bool top) {
    if (!key()) {
      return false;
    }
    const bool blank_before = pos_ > 0 && isSpace(lines_[line_].raw[pos_ - 1]);
    if (peek() != '=') {
      return false;
    }
    next();
    const bool blank_after = peek() == ' ' || peek() == '\t';
    skipBlanks();
    if (top) {
      ++keys;
      spaced_keys += blank_before && blank_after ? 1 : 0;
    }
    return value();
  }

  // "..." or '...' on one line; a basic string's backslash escapes the
  // next character.
  bool singleLineString(char quote) {
    const string_view r = rest();
    for (std::size_t i = 1; i < r.size(); ++i) {
      if (quote == '"' && r[i] == '\\') {
        ++i;
      } else if (r[i] == quote) {
        skip(i + 1);
        return true;
      }
    }
    return endsInside();
  }
  // """...""" or '''...''', over as many lines as it takes; up to two more
  // quotes may end the content.
  bool multiLineString(char quote) {
    const string_view close = quote == '"' ? R"(""")" : "'''";
    skip(3);
    while (!atEnd()) {
      if (quote == '"' && peek() == '\\') {
        next();
        next();
        continue;
      }
      if (rest().starts_with(close)) {
        skip(3);
        while (peek() == quote) {
          next();
        }
        return true;
      }
      next();
    }
    return endsInside();
  }
  bool value() {
    const char c = peek();
    if (c == '"' || c == '\'') {
      ++written_values;
      if (rest().starts_with(c == '"' ? R"(""")" : "'''")) {
        return multiLineString(c);
      }
      return singleLineString(c);
    }
    if (c == '[') {
      ++written_values;
      return array();
    }
    if (c == '{') {
      ++written_values;
      return inlineTable();
    }
    return scalar();
  }
  bool array() {
    next();
    for (;;) {
      skipSpace();
      if (atEnd()) {
        return endsInside();
      }
      if (peek() == ']') {
        next();
        return true;
      }
      if (!value()) {
        return false;
      }
      if (cut_) {
        return true;
      }
      skipSpace();
      if (peek() == ',') {
        next();
      } else if (peek() != ']') {
        return atEnd() && endsInside();
      }
    }
  }
  // "{ a = 1, b.c = 2 }", on one line and without a trailing comma (a Lua
  // table spreads over lines and ends its items with commas).
  bool inlineTable() {
    next();
    skipBlanks();
    if (peek() == '}') {
      next();
      return true;
    }
    for (;;) {
      skipBlanks();
      if (!keyValue(false)) {
        return false;
      }
      if (cut_) {
        return true;
      }
      skipBlanks();
      if (peek() == '}') {
        next();
        ++toml_values;
        return true;
      }
      if (peek() != ',') {
        return false;
      }
      next();
    }
  }
  // Booleans, numbers, dates and times: a run of the characters they are
  // written with ("1979-05-27 07:32:00" holds one blank).
  bool scalar() {
    const string_view r = rest();
    auto isScalarChar = [](char c) {
      return isIdentChar(c) || c == '+' || c == '-' || c == '.' || c == ':';
    };
    std::size_t n = 0;
    while (n < r.size() && isScalarChar(r[n])) {
      ++n;
    }
    if (n == 10 && r[4] == '-' && r[7] == '-' && n + 1 < r.size() &&
        r[n] == ' ' && isDigit(r[n + 1])) {
      ++n;
      while (n < r.size() && isScalarChar(r[n])) {
        ++n;
      }
    }
    string_view v = r.substr(0, n);
    skip(n);
    if (v == "true" || v == "false") {
      return true;
    }
    if (v.starts_with('+') || v.starts_with('-')) {
      v.remove_prefix(1);
    }
    if (v == "inf" || v == "nan") {
      return true;
    }
    if (v.size() > 2 && v[0] == '0' &&
        (v[1] == 'x' || v[1] == 'o' || v[1] == 'b')) {
      return std::all_of(v.begin() + 2, v.end(), [](char c) {
        return isDigit(c) || c == '_' || (c >= 'a' && c <= 'f') ||
               (c >= 'A' && c <= 'F');
      });
    }
    const bool number = !v.empty() && isDigit(v[0]) &&
                        std::all_of(v.begin(), v.end(), [](char c) {
                          return isDigit(c) || contains("+-._: eETZtz", string_view(&c, 1));
                        });
    if (number && isDateOrTime(v)) {
      ++toml_values;
    }
    return number;
  }
  // "1979-05-27", "07:32:00", and the two together.
  static bool isDateOrTime(string_view v) {
    auto digitsAt = [&v](std::size_t at, std::size_t n) {
      return v.size() >= at + n &&
             std::all_of(v.begin() + static_cast<std::ptrdiff_t>(at),
                         v.begin() + static_cast<std::ptrdiff_t>(at + n), isDigit);
    };
    const bool date = digitsAt(0, 4) && v.size() >= 10 && v[4] == '-' && digitsAt(5, 2) &&
                      v[7] == '-' && digitsAt(8, 2);
    const bool time = digitsAt(0, 2) && v.size() >= 8 && v[2] == ':' && digitsAt(3, 2) &&
                      v[5] == ':' && digitsAt(6, 2);
    return date || time;
  }

  // Heads are cut at 8 KiB; one this long may have been.
  static constexpr std::size_t kMayBeCutBytes = 4 << 10;

  const std::vector<Line>& lines_;
  std::size_t line_ = 0;
  std::size_t pos_ = 0;
  bool cut_ = false;  // the head ended inside a value
};

}  // namespace

// Two "-- name --" lines at least, the name without blanks ("-- go.mod --",
// "-- stdout --"); one such line may be a comment in Lua, SQL or Haskell,
// and "-- ------ --" frames a comment's title.
std::optional<TextVerdict> checkTextArchive(const std::vector<Line>& lines) {
  int members = 0;
  for (const Line& line : lines) {
    string_view t = line.raw;
    if (t.size() <= 6 || !t.starts_with("-- ") || !t.ends_with(" --")) {
      continue;
    }
    string_view name = t.substr(3, t.size() - 6);
    if (name.find_first_of(" \t") == string_view::npos &&
        std::any_of(name.begin(), name.end(), isIdentChar) && ++members == 2) {
      return verdict("txt", "text archive", "\"-- name --\" member lines");
    }
  }
  return std::nullopt;
}

// An example block opens with a run of back quotes and the word "example"
// (a fence a Markdown reader shows as code) and closes with a run of back
// quotes alone; between them, a lone "." parts the source from its HTML.
// Two whole blocks: one may be a document quoting the format.
std::optional<TextVerdict> checkMarkdownExamples(const std::vector<Line>& lines) {
  auto backQuoteRun = [](string_view t) {
    std::size_t n = t.find_first_not_of('`');
    return n == string_view::npos ? t.size() : n;
  };
  int examples = 0;
  bool inside = false;
  bool parted = false;
  for (const Line& line : lines) {
    const string_view t = trimRight(line.raw);
    const std::size_t run = backQuoteRun(t);
    if (!inside) {
      inside = run >= 3 && trim(t.substr(run)) == "example";
      parted = false;
    } else if (run >= 3 && run == t.size()) {
      inside = false;
      if (parted && ++examples == 2) {
        return verdict("txt", "text", "Markdown examples with their HTML");
      }
    } else {
      parted |= t == ".";
    }
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkAsn1Module(const std::vector<Line>& lines) {
  // The module's name and "DEFINITIONS ::= BEGIN" may take a few lines
  // ("DEFINITIONS IMPLICIT TAGS ::=" then "BEGIN").
  constexpr int kHeaderLines = 4;
  int seen = 0;
  bool definitions = false;
  bool assigned = false;
  for (const Line& line : lines) {
    const string_view t = line.trimmed;
    if (t.empty() || t.starts_with("--")) {
      continue;
    }
    if (++seen > kHeaderLines) {
      break;
    }
    std::size_t at = 0;
    if (!definitions) {
      at = t.find("DEFINITIONS");
      if (at == string_view::npos || (seen == 1 && at == 0)) {
        continue;
      }
      definitions = true;
    }
    if (!assigned) {
      at = t.find("::=", at);
      if (at == string_view::npos) {
        continue;
      }
      assigned = true;
    }
    if (contains(t.substr(at), "BEGIN")) {
      return verdict("txt", "text", "ASN.1 module");
    }
  }
  return std::nullopt;
}

// "--- a/x" then "+++ b/x" then "@@ -1,3 +1,4 @@", or git's "diff --git".
namespace {

// True when line |i| lies inside a Markdown code fence (after an odd
// number of "```" or "~~~" lines): an example in a document.
bool insideFence(const std::vector<Line>& lines, std::size_t i) {
  bool inside = false;
  for (std::size_t k = 0; k < i; ++k) {
    const string_view t = lines[k].trimmed;
    if ((t.starts_with("```") || t.starts_with("~~~")) &&
        lines[k].raw.size() - trimLeft(lines[k].raw).size() < 4) {
      inside = !inside;
    }
  }
  return inside;
}

// True when |line| opens a quoted block whose lines follow it as they
// stand: a triple-quoted or back-quoted string, or a here-document.
bool opensQuotedBlock(string_view line) {
  const string_view t = trimRight(line);
  for (const string_view opener : {"\"\"\""sv, "\"\"\"\\"sv, "sv, \\"sv, "`"sv}) {
    if (t.ends_with(opener)) {
      return true;
    }
  }
  const std::size_t here = t.find("<<");
  if (here == string_view::npos) {
    return false;
  }
  string_view word = t.substr(here + 2);
  while (!word.empty() && (word.front() == '-' || word.front() == '~' || word.front() == ' ' ||
                           word.front() == '\'' || word.front() == '"')) {
    word.remove_prefix(1);
  }
  while (!word.empty() && (word.back() == '\'' || word.back() == '"')) {
    word.remove_suffix(1);
  }
  return !word.empty() && std::all_of(word.begin(), word.end(), isIdentChar);
}

// True when a format's header on line |i| is quoted inside another file:
// in a Markdown fence, or right below the opening of a string or a
// here-document in code.
bool quotedHere(const std::vector<Line>& lines, std::size_t i) {
  return (i > 0 && opensQuotedBlock(lines[i - 1].raw)) || insideFence(lines, i);
}

}  // namespace

std::optional<TextVerdict> checkDiff(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size() && i < 60; ++i) {
    if ((lines[i].raw.starts_with("diff --git a/") || lines[i].raw.starts_with("--- ") ||
         lines[i].raw.starts_with("*** ")) &&
        quotedHere(lines, i)) {
      return std::nullopt;
    }
    if (lines[i].raw.starts_with("diff --git a/")) {
      return verdict("diff", "git diff", "diff --git header");
    }
    if (i + 2 >= lines.size()) {
      continue;
    }
    if (lines[i].raw.starts_with("--- ") &&
        lines[i + 1].raw.starts_with("+++ ") &&
        lines[i + 2].raw.starts_with("@@ -")) {
      return verdictOf(Kind::kDiff, "---/+++/@@ hunk header");
    }
    if (lines[i].raw.starts_with("*** ") &&
        lines[i + 1].raw.starts_with("--- ") &&
        lines[i + 2].raw.starts_with("***************")) {
      return verdict("diff", "context diff", "***/--- context hunk header");
    }
  }
  return std::nullopt;
}

namespace {

// Decodes the base64 of the lines after |first| up to an "-----END" line;
// stops short at anything that is not base64.
std::string decodeBase64(const std::vector<Line>& lines, std::size_t first) {
  static constexpr string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::uint32_t bits = 0;
  int held = 0;
  for (std::size_t i = first; i < lines.size(); ++i) {
    const string_view t = lines[i].trimmed;
    if (t.starts_with("-----END")) {
      break;
    }
    for (const char c : t) {
      const std::size_t value = kAlphabet.find(c);
      if (value == string_view::npos) {
        return out;  // padding, or not base64
      }
      bits = (bits << 6) | static_cast<std::uint32_t>(value);
      held += 6;
      if (held >= 8) {
        held -= 8;
        out.push_back(static_cast<char>((bits >> held) & 0xff));
      }
    }
  }
  return out;
}

}  // namespace

std::string cmsBase64Content(std::string_view head) {
  const std::vector<Line> lines = splitLines(head);
  if (head.starts_with("MI")) {
    return decodeBase64(lines, 0);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const string_view t = lines[i].trimmed;
    if (t == "-----BEGIN PKCS7-----" || t == "-----BEGIN CMS-----") {
      return decodeBase64(lines, i + 1);
    }
  }
  return {};
}

std::optional<TextVerdict> checkPem(const std::vector<Line>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Every tool writes the armour at the left margin; an indented block is
    // quoted inside another file (a test's raw string, a YAML secret).
    string_view t = lines[i].trimmed;
    if (!lines[i].raw.starts_with("-----BEGIN ") || !t.ends_with("-----")) {
      continue;
    }
    if (quotedHere(lines, i)) {
      return std::nullopt;
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
  // Generated pages (Pod::Man's) open with a preamble of macro definitions
  // well over a hundred requests long.
  bool in_macro = false;  // a ".de" definition or ".ig" block, up to ".."
  for (std::size_t i = 0; i < lines.size(); ++i) {
    string_view t = lines[i].raw;
    if (in_macro) {
      in_macro = !t.starts_with("..");
      continue;
    }
    if (t.starts_with(".de ") || t.starts_with(".de1 ") ||
        t.starts_with(".am ") || t.starts_with(".am1 ") || t == ".ig" ||
        t.starts_with(".ig ")) {
      in_macro = true;
      continue;
    }
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
    return verdictOf(Kind::kPo, "msgid/msgstr pairs");
  }
  return std::nullopt;
}

// A Windows setup information file (a driver's .inf) opens with a
// "[Version]" section whose Signature names the Windows family, "$Windows
// NT$" or "$Chicago$"; its other lines ("%Mfg%=Models") are not INI keys.
bool isSetupInformation(const std::vector<Line>& lines) {
  bool in_version = false;
  for (const Line& line : lines) {
    const string_view t = line.trimmed;
    if (t.empty() || t[0] == ';') {
      continue;
    }
    if (t.front() == '[') {
      if (in_version || !equalsNoCase(t, "[Version]")) {
        return false;
      }
      in_version = true;
      continue;
    }
    if (!in_version) {
      return false;
    }
    if (startsWithNoCase(t, "Signature") && contains(t, "=") && contains(t, "\"$")) {
      return true;
    }
  }
  return false;
}

namespace {

// A key of an INI line, before its "=" or ":": names, paths and quoted
// names, never a bullet's words.
bool isIniKey(string_view key) {
  return !key.empty() && !key.starts_with("* ") && !key.starts_with("- ") &&
         std::all_of(key.begin(), key.end(), [](char c) {
           return isIdentChar(c) || c == '-' || c == '.' || c == '[' || c == ']' || c == '@' ||
                  c == ' ' || c == '"' || c == '/' || c == '*';
         });
}

}  // namespace

// Files of "[section]" headers and "key = value" lines: setup information,
// desktop entries, systemd units, TOML documents and INI files, most
// specific first.
std::optional<TextVerdict> checkSectioned(const std::vector<Line>& lines) {
  if (isSetupInformation(lines)) {
    return verdict("inf", "Windows setup information", "[Version] section with a Signature");
  }
  // A document that TOML's grammar reads through, with values that only
  // TOML writes so (strings in quotes, arrays, inline tables; INI leaves
  // them bare): under table headers, or as three top-level "key = value"
  // lines at least, blanks around the "=" as shell assignments cannot have.
  if (TomlReader toml(lines);
      toml.read() && toml.keys > 0 && (toml.written_values > 0 || toml.toml_values > 0)) {
    const bool unit_or_entry = toml.first_table == "[Desktop Entry]" ||
                               toml.first_table == "[Unit]" ||
                               toml.first_table == "[Service]";
    const bool written = toml.written_values > 0;
    if (written && toml.array_tables > 0 && !unit_or_entry) {
      return verdictOf(Kind::kToml, "[[array of tables]] in a TOML document");
    }
    if (written && toml.tables > 0 && !unit_or_entry) {
      return verdictOf(Kind::kToml, "TOML tables of key/value lines");
    }
    // Python's module metadata ("__version__ = '1.0'") reads as TOML too.
    const bool python_metadata = std::any_of(lines.begin(), lines.end(), [](const Line& l) {
      return l.raw.starts_with("__") && contains(l.raw, "__ = ");
    });
    if (written && toml.tables == 0 && toml.keys >= 3 && toml.spaced_keys == toml.keys &&
        !python_metadata) {
      return verdictOf(Kind::kToml, "top-level TOML key/value lines");
    }
    // Fewer pairs do when a value is one only TOML writes: an inline table
    // ("point = { x = 1, y = 2 }"), a date or a time.
    if (toml.tables == 0 && toml.spaced_keys == toml.keys && toml.toml_values > 0 &&
        !python_metadata) {
      return verdictOf(Kind::kToml, "TOML inline tables, dates or times");
    }
  }
  std::vector<string_view> sections;
  int keys = 0;
  int other = 0;
  bool in_array = false;
  bool after_key = false;  // indented lines continue a key's value
  string_view in_string;   // the quotes that close a multi-line TOML string
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    if (!in_string.empty()) {
      if (contains(t, in_string)) {
        in_string = {};
      }
      continue;
    }
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
    // "[text][1]" is a Markdown reference link, not a section.
    if (t.front() == '[' && t.back() == ']' && !contains(t, "][")) {
      sections.push_back(t);
      continue;
    }
    std::size_t eq = t.find('=');
    if (eq != string_view::npos && eq > 0) {
      if (isIniKey(trimRight(t.substr(0, eq)))) {
        ++keys;
        string_view value = trim(t.substr(eq + 1));
        if (value.starts_with("[") && !value.ends_with("]") &&
            !contains(value, "] #")) {
          in_array = true;  // the items follow on the next lines
        }
        for (string_view quotes : {"\"\"\""sv, "'''"sv}) {
          if (value.starts_with(quotes) &&
              !contains(value.substr(3), quotes)) {
            in_string = quotes;
          }
        }
        after_key = true;
        continue;
      }
    }
    // "key: value" is INI too; a colon further on, in a sentence or a
    // link's address, makes no key.
    if (std::size_t colon = t.find(':');
        colon != string_view::npos && !sections.empty() && isIniKey(trimRight(t.substr(0, colon)))) {
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
  // Windows saves a link dragged out of a browser so; Internet Explorer's
  // favourites put a "[DEFAULT]" or property-store section before it.
  if (std::find(sections.begin(), sections.end(), "[InternetShortcut]") != sections.end()) {
    return verdict("url", "Internet shortcut", "[InternetShortcut] section");
  }
  // Explorer's command files ("Show Desktop"), run when their folder is
  // opened.
  if (first == "[Shell]" &&
      std::any_of(lines.begin(), lines.end(),
                  [](const Line& line) { return startsWithNoCase(line.trimmed, "Command="); })) {
    return verdict("scf", "Windows Explorer command file", "[Shell] section with a Command");
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
  return verdictOf(Kind::kIni, "[section] headers with key=value lines");
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
    std::size_t led_rows = 0;    // rows whose first field is empty
    bool wordy = false;          // a field of three words or more
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
      if (raw[0] == sep) {
        ++led_rows;
      }
      std::size_t count = 1;
      bool quoted = false;
      int inner_blanks = 0;  // blanks inside the current field so far
      for (std::size_t k = 0; k < raw.size(); ++k) {
        char c = raw[k];
        if (c == '"') {
          quoted = !quoted;
        } else if (c == sep && !quoted) {
          ++count;
          inner_blanks = 0;
        } else if (c == ' ' && k > 0 && raw[k - 1] != sep && raw[k - 1] != ' ') {
          wordy |= ++inner_blanks >= 2;
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
    // Every line led by the character is a column of comments ("; note"),
    // not a table with an always empty first column.
    if (led_rows == rows) {
      continue;
    }
    if ((sep == ',' && fields == 2 && rows < 5) || (wordy && rows < 5)) {
      continue;  // a few lines of prose with commas
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

namespace {

// Whether a value that opens with a quote ends where its quoted scalar
// does, or with a comment after it: YAML rejects "'(' [args] ')'", a
// grammar's rule, for the text after the closing quote. A quote left open
// may close on a later line.
bool quotedValueEnds(string_view value) {
  if (value.empty() || (value[0] != '"' && value[0] != '\'')) {
    return true;
  }
  const char quote = value[0];
  std::size_t k = 1;
  while (k < value.size()) {
    if (quote == '"' && value[k] == '\\') {
      k += 2;
    } else if (value[k] == quote && quote == '\'' && k + 1 < value.size() &&
               value[k + 1] == '\'') {
      k += 2;  // '' is a quote inside single quotes
    } else if (value[k] == quote) {
      const string_view rest = trimLeft(value.substr(k + 1));
      return rest.empty() || rest[0] == '#';
    } else {
      ++k;
    }
  }
  return true;
}

}  // namespace

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
  std::size_t plain_column = 0;    // ... deeper than its key or its dash
  int yaml_values = 0;
  int lower_keys = 0;
  std::size_t top_indent = std::string_view::npos;  // the outermost collection's
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
    if (after_plain_value && indent > plain_column) {
      // The plain scalar goes on; YAML forbids a mapping inside it (a
      // "Copyright:" field's licence text saying "This means:").
      if (contains(t, ": ") || t.ends_with(":")) {
        ++other;
      }
      continue;
    }
    if (t == "---" || t.starts_with("--- ") || t.starts_with("%YAML") ||
        t.starts_with("%TAG ")) {
      // Only comments and directives come before a stream's first marker;
      // lines of something else there are a program that holds YAML in a
      // string ("DOCUMENTATION = r'''" and then "---").
      if (!marker && structural == 0 && other > 0) {
        return std::nullopt;
      }
      marker = true;
      continue;
    }
    if (t == "...") {
      continue;
    }
    top_indent = std::min(top_indent, indent);
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
    // A key of four words or more is a sentence introducing what follows
    // ("Example uses icons from these sets:").
    key_ok = key_ok && std::count(key.begin(), key.end(), ' ') < 3;
    string_view value =
        colon == string_view::npos ? string_view() : trim(item.substr(colon + 1));
    // A plain value cannot hold ": " ("- 0005235: Re: Error in ..." is a
    // changelog line): YAML rejects it unless the value is quoted.
    bool plain_value_ok =
        value.empty() || contains("[{|>\"'&*!", value.substr(0, 1)) ||
        !contains(value, ": ");
    if (key_ok && plain_value_ok && quotedValueEnds(value) && !key.ends_with(" ")) {
      ++structural;
      ++mappings;
      lower_keys += isLower(key[0]) ? 1 : 0;
      // Values only YAML writes: typed scalars, flow collections, block
      // scalars, anchors and quoted strings.
      if (value == "true" || value == "false" || value == "null" ||
          value == "~" || value == "|" || value == ">" ||
          value.starts_with("|-") || value.starts_with(">-") ||
          (value.starts_with("[") && value.ends_with("]")) ||
          (value.starts_with("{") && value.ends_with("}")) ||
          value.starts_with("&") || value.starts_with("*") ||
          (value.size() >= 2 && value.front() == '"' && value.back() == '"') ||
          (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')) {
        ++yaml_values;
      }
      after_plain_value =
          !value.empty() && !contains("[{|>\"'&*!", value.substr(0, 1));
      plain_column = indent + (t.size() - item.size());
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
    if (item != t) {  // "- plain scalar" or "- {flow: mapping}"
      if (item.starts_with("{") && item.ends_with("}") && contains(item, ": ")) {
        ++mappings;
        ++yaml_values;
      }
      after_plain_value = true;
      plain_column = indent;  // the dash's column
      continue;
    }
    after_plain_value = false;
    ++other;
    // A bare line at the margin of the collection, neither a key nor an
    // item, ends it, which YAML does not allow: a heading over each group
    // of a changelog's "- " entries.
    if (structural > 0 && indent <= top_indent && isIdentChar(t[0]) &&
        !contains(t, ":")) {
      return std::nullopt;
    }
  }
  // A flat mapping is YAML when its keys are in lower case (mail and
  // Debian control fields are capitalised), nothing else is in the file,
  // and some value is written as only YAML writes it.
  bool flat = mappings >= 3 && other == 0 && yaml_values >= 1 &&
              lower_keys * 4 >= mappings * 3;
  // A short list under one heading ("TODO:" and two items) is too little.
  if (structural < (flat ? 3 : 4) || mappings < 2 ||
      other * 5 > structural || !(marker || nested || flat)) {
    return std::nullopt;
  }
  return verdict(
      "yaml", "YAML document",
      marker   ? "YAML document marker and mappings"
      : nested ? "nested YAML mappings"
               : "YAML mapping with typed values");
}

namespace {

// "hh:mm:ss,mmm --> hh:mm:ss,mmm" (SubRip) or with a "." before the
// milliseconds and optional hours (WebVTT); |separator| is ',' or '.'.
bool isTimestamp(string_view t, char separator) {
  std::size_t n = 0;
  int fields = 0;
  while (true) {
    std::size_t digits = 0;
    while (n < t.size() && isDigit(t[n])) {
      ++n;
      ++digits;
    }
    if (digits < 2) {
      return false;
    }
    ++fields;
    if (n < t.size() && t[n] == ':' && fields < 3) {
      ++n;
      continue;
    }
    break;
  }
  if (fields < 2 || n + 4 > t.size() || t[n] != separator) {
    return false;
  }
  return isDigit(t[n + 1]) && isDigit(t[n + 2]) && isDigit(t[n + 3]) &&
         n + 4 == t.size();
}

bool isCueTiming(string_view t, char separator) {
  std::size_t arrow = t.find(" --> ");
  if (arrow == string_view::npos) {
    return false;
  }
  string_view end = t.substr(arrow + 5);
  end = end.substr(0, end.find(' '));  // WebVTT cue settings follow
  return isTimestamp(trim(t.substr(0, arrow)), separator) &&
         isTimestamp(end, separator);
}

}  // namespace

std::optional<TextVerdict> checkSubtitles(const std::vector<Line>& lines) {
  std::size_t first = 0;
  while (first < lines.size() && lines[first].trimmed.empty()) {
    ++first;
  }
  if (first == lines.size()) {
    return std::nullopt;
  }
  string_view start = lines[first].trimmed;
  if (start == "WEBVTT" || start.starts_with("WEBVTT ") ||
      start.starts_with("WEBVTT\t")) {
    return verdict("vtt", "WebVTT subtitles", "WEBVTT header");
  }
  // SubRip: a cue number, then its timing line.
  int cues = 0;
  for (std::size_t i = first; i + 1 < lines.size(); ++i) {
    string_view t = lines[i].trimmed;
    if (!t.empty() && identLength(t) == t.size() &&
        std::all_of(t.begin(), t.end(), isDigit) &&
        isCueTiming(lines[i + 1].trimmed, ',')) {
      ++cues;
    }
  }
  bool opens_with_cue = identLength(start) == start.size() &&
                        std::all_of(start.begin(), start.end(), isDigit);
  if (opens_with_cue && cues >= 1) {
    return verdict("srt", "SubRip subtitles", "numbered cues with timings");
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkMail(const std::vector<Line>& lines) {
  std::size_t i = 0;
  bool mbox = !lines.empty() && lines[0].raw.starts_with("From ") &&
              !contains(lines[0].raw, ":");
  // Apple Mail stores a message (.emlx) under a line of its length in bytes.
  const bool emlx = !lines.empty() && !lines[0].trimmed.empty() &&
                    std::all_of(lines[0].trimmed.begin(), lines[0].trimmed.end(), isDigit);
  if (mbox || emlx) {
    i = 1;
  }
  // Fields that only a message's header carries; "Date:" and "From:" alone
  // also open prose and change logs.
  static constexpr string_view kMailFields[] = {
      "received:", "return-path:", "message-id:", "delivered-to:",
      "in-reply-to:", "references:", "mime-version:", "content-type:",
      "content-transfer-encoding:", "x-mailer:", "reply-to:", "dkim-signature:",
      "envelope-to:", "x-original-to:", "list-id:", "sender:", "cc:"};
  int fields = 0;
  int mail_fields = 0;
  bool from = false;
  bool to = false;
  bool subject = false;
  for (; i < lines.size(); ++i) {
    string_view raw = lines[i].raw;
    if (raw.empty() || lines[i].trimmed.empty()) {
      break;  // the blank line that ends the header
    }
    if (isSpace(raw[0])) {
      if (fields == 0) {
        return std::nullopt;
      }
      continue;  // a folded field
    }
    std::size_t colon = raw.find(':');
    if (colon == string_view::npos || colon == 0 ||
        !std::all_of(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(colon),
                     [](char c) { return isIdentChar(c) || c == '-'; })) {
      return std::nullopt;
    }
    ++fields;
    string_view name = raw.substr(0, colon + 1);
    from |= equalsNoCase(name, "from:");
    to |= equalsNoCase(name, "to:");
    subject |= equalsNoCase(name, "subject:");
    for (string_view field : kMailFields) {
      if (equalsNoCase(name, field)) {
        ++mail_fields;
        break;
      }
    }
  }
  // A sender and either a field of mail's own or both a recipient and a
  // subject: "From:" and "Subject:" alone also head notes and memos.
  if (fields >= 3 && (from || mbox) &&
      (mail_fields >= 1 || (from && to && subject))) {
    if (emlx) {
      return verdict("emlx", "Apple Mail message", "a byte count over message header fields");
    }
    return verdict("eml", "e-mail message", "message header fields");
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkWebQuery(const std::vector<Line>& lines) {
  if (lines.size() < 3 || !equalsNoCase(lines[0].trimmed, "WEB")) {
    return std::nullopt;
  }
  const string_view version = lines[1].trimmed;
  const string_view address = lines[2].trimmed;
  if (version.empty() || !std::all_of(version.begin(), version.end(), isDigit) ||
      !(startsWithNoCase(address, "http://") || startsWithNoCase(address, "https://"))) {
    return std::nullopt;
  }
  return verdict("iqy", "Excel web query", "WEB, a version and an address");
}

namespace {

// The root element's start tag, "<name attributes", of the XML document
// |head| opens, past the declaration, processing instructions, comments and
// the document type; empty when none is found.
string_view rootStartTag(string_view head) {
  std::size_t at = 0;
  while (true) {
    at = head.find('<', at);
    if (at == string_view::npos || at + 1 >= head.size()) {
      return {};
    }
    const string_view rest = head.substr(at);
    string_view close;
    if (rest.starts_with("<?")) {
      close = "?>";
    } else if (rest.starts_with("<!--")) {
      close = "-->";
    } else if (rest.starts_with("<!")) {
      close = ">";  // a document type; its internal subset is not read
    } else {
      const std::size_t end = rest.find('>');
      return rest.substr(0, end == string_view::npos ? rest.size() : end);
    }
    const std::size_t end = rest.find(close);
    if (end == string_view::npos) {
      return {};
    }
    at += end + close.size();
  }
}

struct XmlDialect {
  string_view root;       // the element's name; "*:name" for any prefix
  string_view needs;      // text the start tag must hold, or "" for none
  string_view extension;
  string_view description;
};

constexpr XmlDialect kXmlDialects[] = {
    {"TS", "", "ts", "Qt translation source"},
    {"RCC", "", "qrc", "Qt resource collection"},
    {"ui", "version=", "ui", "Qt Designer form"},
    {"interface", "", "ui", "GtkBuilder interface"},
    {"gpx", "", "gpx", "GPS exchange data"},
    {"kml", "", "kml", "KML geographic data"},
    {"plist", "", "plist", "property list"},
    {"*:stylesheet", "http://www.w3.org/1999/XSL/Transform", "xsl", "XSLT stylesheet"},
    {"*:transform", "http://www.w3.org/1999/XSL/Transform", "xsl", "XSLT stylesheet"},
    {"*:schema", "http://www.w3.org/2001/XMLSchema", "xsd", "XML schema"},
    {"xliff", "", "xlf", "XLIFF localisation data"},
    {"COLLADA", "", "dae", "COLLADA 3D scene"},
    {"package", "http://www.idpf.org/2007/opf", "opf", "EPUB package document"},
};

}  // namespace

std::optional<TextVerdict> checkXmlDialect(std::string_view head) {
  const string_view tag = rootStartTag(head);
  if (tag.size() < 2) {
    return std::nullopt;
  }
  const std::size_t name_end = tag.find_first_of(" \t\r\n/", 1);
  const string_view name = tag.substr(1, name_end == string_view::npos ? tag.npos : name_end - 1);
  const std::size_t colon = name.find(':');
  for (const XmlDialect& dialect : kXmlDialects) {
    const bool any_prefix = dialect.root.starts_with("*:");
    const bool named = any_prefix ? (colon == string_view::npos ? name : name.substr(colon + 1)) ==
                                        dialect.root.substr(2)
                                  : name == dialect.root;
    if (named && (dialect.needs.empty() || contains(tag, dialect.needs))) {
      return verdict(dialect.extension, dialect.description, "XML root element");
    }
  }
  return std::nullopt;
}

std::optional<TextVerdict> checkDockerfile(const std::vector<Line>& lines) {
  static constexpr string_view kInstructions[] = {
      "RUN ", "COPY ", "ADD ", "ENV ", "WORKDIR ", "CMD ", "ENTRYPOINT ",
      "EXPOSE ", "LABEL ", "ARG ", "USER ", "VOLUME ", "MAINTAINER ",
      "HEALTHCHECK ", "SHELL ", "ONBUILD ", "STOPSIGNAL "};
  bool from = false;
  int instructions = 0;
  int other = 0;
  bool continued = false;
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    if (t.empty() || t[0] == '#') {
      continue;
    }
    bool continues = t.ends_with("\\");
    if (continued) {
      continued = continues;
      continue;
    }
    continued = continues;
    if (line.raw.starts_with("FROM ")) {
      from = true;
      ++instructions;
      continue;
    }
    bool known = false;
    for (string_view word : kInstructions) {
      if (line.raw.starts_with(word)) {
        known = true;
        break;
      }
    }
    if (known) {
      ++instructions;
    } else {
      ++other;
    }
  }
  if (from && instructions >= 2 && other * 4 <= instructions) {
    return verdictOf(Kind::kDockerfile, "FROM and build instructions");
  }
  return std::nullopt;
}

}  // namespace ident::text
