#include "text_formats.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "text/kinds.h"

namespace ident::text {

using std::string_view;
using namespace std::string_view_literals;

namespace {

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
    if (v.starts_with("\"\"\"") || v.starts_with("'''")) {
      return true;
    }
    // The closing quote (past escaped ones in basic strings), then at most
    // a comment.
    std::size_t close = 1;
    while (close < v.size() && v[close] != v.front()) {
      close += v.front() == '"' && v[close] == '\\' ? 2 : 1;
    }
    if (close >= v.size()) {
      return false;
    }
    string_view after = trimLeft(v.substr(close + 1));
    return after.empty() || after.starts_with("#");
  }
  if (v.front() == '[' || v.front() == '{') {
    return true;
  }
  if (v == "true" || v == "false" || v == "inf" || v == "+inf" ||
      v == "-inf" || v == "nan" || v == "+nan" || v == "-nan") {
    return true;
  }
  if (v.size() > 2 && v[0] == '0' &&
      (v[1] == 'x' || v[1] == 'o' || v[1] == 'b')) {
    return std::all_of(v.begin() + 2, v.end(), [](char c) {
      return isDigit(c) || c == '_' || (c >= 'a' && c <= 'f') ||
             (c >= 'A' && c <= 'F');
    });
  }
  for (char c : v) {
    if (!isDigit(c) && !contains("+-._:eETZ", string_view(&c, 1))) {
      return false;
    }
  }
  return true;
}

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

// Files of "[section]" headers and "key = value" lines: desktop entries,
// systemd units, TOML documents and INI files, most specific first.
std::optional<TextVerdict> checkSectioned(const std::vector<Line>& lines) {
  std::vector<string_view> sections;
  int keys = 0;
  int toml_keys = 0;
  int quoted_values = 0;
  int other = 0;
  int spaced_keys = 0;  // "key = value" with blanks around the "="
  bool in_array = false;
  bool array_of_tables = false;
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
        if (eq > 0 && t[eq - 1] == ' ' && eq + 1 < t.size() && t[eq + 1] == ' ') {
          ++spaced_keys;
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
  // TOML needs no table header: top-level "key = value" lines alone, all
  // of them TOML values written with blanks around the "=" (which shell
  // assignments cannot have).
  if (sections.empty() && keys >= 3 && other == 0 && toml_keys == keys &&
      spaced_keys == keys && quoted_values > 0) {
    return verdictOf(Kind::kToml, "top-level TOML key/value lines");
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
    if (key_ok && plain_value_ok && !key.ends_with(" ")) {
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
  if (mbox) {
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
    return verdict("eml", "e-mail message", "message header fields");
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
