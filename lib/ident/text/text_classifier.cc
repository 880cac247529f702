// Names the kind of a text file from its first bytes.
//
// The classifier runs in three steps, strongest evidence first:
//  1. What the file says about itself: a shebang line ("#!/usr/bin/env
//     python3"), an Emacs "-*- mode -*-" line or a Vim modeline.
//  2. Formats with a grammar strict enough to check outright: JSON, text
//     archives and Markdown conformance tests (plain text), unified diffs,
//     PEM blocks, man pages, gettext catalogues, subtitles, e-mail
//     messages, Dockerfiles, sectioned key files (desktop entries, systemd
//     units, TOML, INI), CSV/TSV tables and YAML.
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
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kinds.h"
#include "text/formats/json_scanner.h"
#include "text/languages/language_scores.h"
#include "text/formats/text_formats.h"
#include "text_lines.h"
#include "text_model.h"

namespace ident {
namespace {

using std::string_view;
using namespace std::string_view_literals;
using namespace text;

// ---------------------------------------------------------------------------
// Step 1: what the file says about itself.

const NamedKind* findKind(std::span<const NamedKind> table, string_view name) {
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
  const NamedKind* kind = findKind(interpreters(), stripVersion(program));
  if (kind == nullptr) {
    return std::nullopt;
  }
  return verdict(kind->extension, kindInfo(kind->kind).description,
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
      return verdictOf(Kind::kTcl, "exec " + std::string(word) + " prologue");
    }
    if (word == "perl") {
      return verdictOf(Kind::kPerl, "exec perl prologue");
    }
  }
  return std::nullopt;
}

std::optional<TextVerdict> fromModeName(string_view name, string_view how) {
  std::string lower;
  for (char c : trim(name)) {
    lower.push_back(toLower(c));
  }
  // A roff mode names any roff document, not a manual page.
  const NamedKind* kind = findKind(editorModes(), lower);
  if (kind == nullptr || kind->kind == Kind::kRoff) {
    return std::nullopt;
  }
  return verdict(kind->extension, kindInfo(kind->kind).description,
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

// Vim help files open with their own tag, "*name.txt*", then a title.
bool isVimHelpTitle(string_view line) {
  if (!line.starts_with("*")) {
    return false;
  }
  std::size_t close = line.find('*', 1);
  if (close == string_view::npos ||
      (close + 1 < line.size() && !isSpace(line[close + 1]))) {
    return false;
  }
  string_view name = line.substr(1, close - 1);
  return name.size() > 4 && name.ends_with(".txt") &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return isIdentChar(c) || c == '.' || c == '-';
         });
}

// Vim help sections end their heading line with a tag set apart by a
// tab or a run of blanks: "ALE Integration          *ale-options*".
// (Markdown's *emphasis* follows a single blank.)
bool endsWithHelpTag(string_view line) {
  line = trimRight(line);
  if (line.size() < 4 || !line.ends_with("*")) {
    return false;
  }
  std::size_t open = line.rfind('*', line.size() - 2);
  if (open == string_view::npos || open + 2 >= line.size()) {
    return false;
  }
  string_view tag = line.substr(open + 1, line.size() - open - 2);
  // A tag alone at the margin names something of Vim's ("*ale-options*",
  // "*g:ale_enabled*", "*:Git*"); "*Boolean*" there is Markdown's emphasis.
  bool vim_name = tag.find_first_of("-:._(") != string_view::npos;
  bool apart = (open == 0 && vim_name) ||
               (open >= 2 && isSpace(line[open - 1]) &&
                (line[open - 1] == '\t' || isSpace(line[open - 2])));
  return apart && std::none_of(tag.begin(), tag.end(), [](char c) {
           return isSpace(c) || c == '*';
         });
}

// A start tag "<name", "<name>" or "<ns:name attr=...>" opens |line|; a
// link or an address in angle brackets ("<https://...>", "<jo@example.org>")
// does not.
bool opensWithTag(string_view line) {
  if (line.size() < 2 || line[0] != '<' || !isIdentChar(line[1])) {
    return false;
  }
  std::size_t n = 1;
  while (n < line.size() && (isIdentChar(line[n]) || line[n] == '-' ||
                             line[n] == '.' || line[n] == ':')) {
    ++n;
  }
  if (n == line.size()) {
    return true;
  }
  char next = line[n];
  bool url = line[n - 1] == ':' && next == '/';
  return !url && (isSpace(next) || next == '>' || next == '/');
}

// Whether |line| could be a line of a YAML block: a comment, a key, an
// item, a document marker or a deeper line that goes on with a value.
bool yamlShaped(const Line& line) {
  string_view t = line.trimmed;
  if (t.empty() || t[0] == '#' || t.starts_with("- ") || t == "-" ||
      t == "---" || t == "..." || line.raw.size() != line.text.size()) {
    return true;
  }
  std::size_t colon = t.find(": ");
  string_view key = t.substr(0, colon == string_view::npos ? t.size() : colon);
  bool key_shaped = !key.empty() && !contains(key, " ") &&
                    (colon != string_view::npos || t.ends_with(":"));
  return key_shaped;
}

// Front matter: a block of YAML between "---" lines (or of TOML between
// "+++" lines) that site generators and issue templates put over a page.
// Returns the index of the line after the block when a page follows: a
// second document of a YAML stream is YAML again, where a page is prose,
// headings, lists or markup, which YAML does not allow.
std::optional<std::size_t> frontMatterEnd(const std::vector<Line>& lines,
                                          std::size_t first) {
  string_view fence = lines[first].raw;
  if (fence != "---" && fence != "+++") {
    return std::nullopt;
  }
  std::size_t close = first + 1;
  int keys = 0;
  while (close < lines.size() && lines[close].raw != fence &&
         !(fence == "---" && lines[close].raw == "...")) {
    keys += contains(lines[close].raw, fence == "---" ? ":" : "=") ? 1 : 0;
    ++close;
  }
  if (close >= lines.size() || keys == 0) {
    return std::nullopt;
  }
  auto body = std::span(lines).subspan(close + 1);
  auto start = std::find_if(body.begin(), body.end(),
                            [](const Line& l) { return !l.trimmed.empty(); });
  bool page = std::any_of(body.begin(), body.end(),
                          [](const Line& l) { return !yamlShaped(l); });
  // One block of front matter, not a run of them.
  if (!page || start->raw == "---" || start->raw == "+++") {
    return std::nullopt;
  }
  return close + 1;
}

// Prose under a leading HTML comment ("<!-- licence -->", a template's
// instructions) with no element anywhere: a markup document has elements,
// so the prose below names the file (Markdown keeps its notes out of the
// rendered page so, and a licence header over plain text looks the same).
bool proseUnderComment(const std::vector<Line>& lines, std::size_t first) {
  if (!lines[first].trimmed.starts_with("<!--")) {
    return false;
  }
  bool in_comment = false;
  bool prose = false;
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    if (in_comment || t.starts_with("<!--")) {
      in_comment = !contains(t, "-->");
      continue;
    }
    if (opensWithTag(t) || t.starts_with("<!") || t.starts_with("<?")) {
      return false;
    }
    prose = prose || !t.empty();
  }
  return prose;
}

// An HTML page behind a short preamble of its own: the header lines a CGI
// program prints before the page ("Content-type: text/html", a blank line),
// or a template's parameter and directive lines (Play's "@(title: String)",
// Jinja's "{% extends %}"). Anything else before the page, prose or code
// that quotes one, leaves the file to the other rules.
bool htmlAfterPreamble(const std::vector<Line>& lines, std::size_t first) {
  constexpr std::size_t kMaxPreamble = 4;
  static constexpr string_view kHeaders[] = {"content-type:", "status:", "cache-control:",
                                             "pragma:", "expires:", "set-cookie:"};
  std::size_t preamble = 0;
  for (std::size_t i = first; i < lines.size() && preamble <= kMaxPreamble; ++i) {
    const string_view line = lines[i].trimmed;
    if (line.empty()) {
      continue;
    }
    if (startsWithNoCase(line, "<!DOCTYPE html") || startsWithNoCase(line, "<html")) {
      return preamble > 0;
    }
    const bool header = std::any_of(std::begin(kHeaders), std::end(kHeaders),
                                    [&](string_view h) { return startsWithNoCase(line, h); });
    const bool directive =
        line.starts_with("@") || line.starts_with("{%") || line.starts_with("{{");
    if (!header && !directive) {
      return false;
    }
    ++preamble;
  }
  return false;
}

// Whether the text holds nothing but "/* */" and "//" comments, as the
// licence notices that bundlers extract from their input ("app.js.LICENSE.txt")
// do. Such a text is no program of any one language, however much its
// comments look like one's.
bool onlySlashComments(const std::vector<Line>& lines) {
  bool in_block = false;
  bool any = false;
  for (const Line& line : lines) {
    string_view t = line.trimmed;
    while (!t.empty()) {
      if (in_block) {
        std::size_t end = t.find("*/");
        if (end == string_view::npos) {
          break;
        }
        in_block = false;
        t = trim(t.substr(end + 2));
      } else if (t.starts_with("//")) {
        break;
      } else if (t.starts_with("/*")) {
        in_block = true;
        t = t.substr(2);
      } else {
        return false;
      }
    }
    any = any || !line.trimmed.empty();
  }
  return any;
}

// Whether a line opens a CMake bracket comment, "#[[" or "#[==[" at the
// margin, as CMake's modules open their documentation (reStructuredText,
// often longer than what is read of the file). No other language writes
// "#[" and then "[".
bool opensBracketComment(const std::vector<Line>& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const Line& line) {
    if (!line.raw.starts_with("#[")) {
      return false;
    }
    const std::size_t open = line.raw.find_first_not_of('=', 2);
    return open != string_view::npos && line.raw[open] == '[';
  });
}

// Whether the text is a licence: it opens with a licence's title ("GNU
// LESSER GENERAL PUBLIC LICENSE", "Mozilla Public License Version 2.0",
// "The MIT License (MIT)") or one of the sentences licences are made of
// starts a line of its prose. Licences are prose, however much their
// numbered clauses, underlined titles and capitals resemble Markdown or a
// Dockerfile's instructions. A text that opens with a comment marker, a
// quote or markup is a program's or a page's, whatever notice it carries.
bool licenceText(const std::vector<Line>& lines) {
  static constexpr string_view kSentences[] = {
      "Permission is hereby granted",
      "Permission to use, copy, modify",
      "Redistribution and use in source and binary forms",
      "THE SOFTWARE IS PROVIDED",
      "THIS SOFTWARE IS PROVIDED",
      "This program is free software",
      "This library is free software",
      "Everyone is permitted to copy and distribute verbatim copies",
      "Licensed under the Apache License",
      "This is free and unencumbered software",
  };
  constexpr std::size_t kTitleLines = 3;
  constexpr std::size_t kProseLines = 40;
  constexpr std::size_t kTitleWords = 8;
  std::size_t seen = 0;
  for (const Line& line : lines) {
    const string_view t = line.trimmed;
    if (t.empty()) {
      continue;
    }
    if (++seen > kProseLines) {
      break;
    }
    // A title may stand between rules: "---- LLVM Exceptions to the
    // Apache 2.0 License ----".
    string_view title = t;
    if (t.front() == '-' || t.front() == '=') {
      const std::size_t rule = t.find_first_not_of(t.front());
      if (rule != string_view::npos && rule >= 4 && t.ends_with(t.substr(0, rule))) {
        title = trim(t.substr(rule, t.size() - 2 * rule));
      }
    }
    if (title.empty() || !isLetter(title.front())) {
      if (seen == 1) {
        return false;
      }
      continue;
    }
    if (std::any_of(std::begin(kSentences), std::end(kSentences),
                    [&](string_view s) { return startsWithNoCase(t, s); })) {
      return true;
    }
    if (seen <= kTitleLines &&
        (containsNoCase(title, "license") || containsNoCase(title, "licence")) &&
        title.find_first_of(";{}=<>[]$#") == string_view::npos &&
        static_cast<std::size_t>(std::count(title.begin(), title.end(), ' ')) < kTitleWords) {
      return true;
    }
  }
  return false;
}

bool isCFamily(string_view extension) {
  return extension == "c" || extension == "h" || extension == "cpp" || extension == "hpp";
}

// Whether a line holds what any C or C++ source has: a statement or a block
// (";", "{", "}" at its end) or a preprocessor directive. A configuration of
// "#" comments and "Keyword value" lines has none, however much the model
// takes its "#" lines for a header's.
bool hasCSyntax(const std::vector<Line>& lines) {
  static constexpr string_view kDirectives[] = {"#include", "#define", "#if", "#pragma",
                                                "#undef", "# include", "# define", "# if"};
  return std::any_of(lines.begin(), lines.end(), [](const Line& line) {
    const string_view t = line.trimmed;
    return t.ends_with(";") || t.ends_with("{") || t.ends_with("}") ||
           std::any_of(std::begin(kDirectives), std::end(kDirectives),
                       [&](string_view d) { return t.starts_with(d); });
  });
}

// When the model names a text the rules left as plain text: its kind must
// lead the runner-up by a margin, and plain text by a wider one, so that
// prose that looks a little like Markdown or code, where plain text comes
// close behind another kind, stays plain. Cross-validation over the tuned
// packages chose them (bench/train_text_model.py --cross-validate). Margins
// between kinds hold better than a floor on a kind's own score, which drops
// for every kind on texts unlike those the model was trained on.
constexpr double kModelLead = 0.5;
constexpr double kModelLeadOverText = 0.75;

}  // namespace

TextVerdict classifyText(std::string_view head,
                         std::string_view magic_description,
                         const text::TextModel* model) {
  if (head.starts_with("\xEF\xBB\xBF")) {
    head.remove_prefix(3);  // UTF-8 byte order mark
  }
  std::vector<Line> lines = splitLines(head);
  std::size_t first = 0;
  while (first < lines.size() && lines[first].trimmed.empty()) {
    ++first;
  }
  if (first == lines.size()) {
    return verdictOf(Kind::kText, "no content");
  }

  if (auto v = fromShebang(lines[first].raw)) {
    if (v->extension == "sh") {
      if (auto exec = fromExecTrick(lines)) {
        return *exec;
      }
    }
    return *v;
  }
  auto mode = fromEmacsMode(lines);
  if (!mode) {
    mode = fromVimModeline(lines);
  }
  if (mode) {
    // Perl's documentation files carry Perl's mode line too.
    if (mode->extension == "pl") {
      if (auto v = scoreLanguages(lines); v && v->extension == "pod") {
        return *v;
      }
    }
    return *mode;
  }

  string_view start = lines[first].trimmed;
  if (isVimHelpTitle(start)) {
    return verdictOf(Kind::kVimHelp, "*name.txt* help tag first");
  }
  if (int tags = 0; std::any_of(lines.begin(), lines.end(), [&](const Line& l) {
        return endsWithHelpTag(l.raw) && ++tags == 2;
      })) {
    return verdictOf(Kind::kVimHelp, "right-aligned *tag* lines");
  }
  if (start.starts_with("<?php")) {
    return verdictOf(Kind::kPhp, "<?php opening tag");
  }
  if (start.starts_with("StartFontMetrics")) {
    return verdict("afm", "Adobe font metrics", "StartFontMetrics");
  }
  if (start.starts_with("\\input texinfo")) {
    return verdictOf(Kind::kTexinfo, "\\input texinfo");
  }
  // An Info manual, makeinfo's output: prose whose menus and "* Node::"
  // cross references resemble Markdown lists.
  if (start.starts_with("This is ") && contains(start, ", produced by makeinfo")) {
    return verdict("txt", "GNU Info document", "produced by makeinfo");
  }
  // Haddock's index of a Haskell package for Hoogle: its declarations,
  // one per line, under "--" comments, in a text file of Hoogle's own.
  if (start == "-- Hoogle documentation, generated by Haddock") {
    return verdict("txt", "Hoogle documentation", "generated by Haddock");
  }
  if (start.starts_with("%!PS")) {
    return verdict("ps", "PostScript document", "%!PS header");
  }
  if (opensBracketComment(lines)) {
    return verdictOf(Kind::kCMake, "CMake bracket comment");
  }
  if (start.starts_with("/* XPM */")) {
    return verdict("xpm", "X pixmap image", "/* XPM */ header");
  }
  if (start.starts_with("<?xml")) {
    if (auto v = checkXmlDialect(head.substr(lines[first].raw.data() - head.data()))) {
      return *v;
    }
    bool svg = contains(head, "<svg");
    return verdict(svg ? "svg" : "xml", svg ? "SVG image" : "XML document",
                   "<?xml declaration");
  }
  if (startsWithNoCase(start, "<!DOCTYPE html") ||
      startsWithNoCase(start, "<html")) {
    return verdictOf(Kind::kHtml, "<html> start");
  }
  if (htmlAfterPreamble(lines, first)) {
    return verdictOf(Kind::kHtml, "<html> after a header or template line");
  }
  if (start.starts_with("<svg") ||
      (start.starts_with("<") && contains(head.substr(0, 1024), "<svg"))) {
    return verdict("svg", "SVG image", "<svg> element");
  }
  // Markup closes what it opens: "</tag>" or "<tag/>" follows somewhere; a
  // "<name> text" line alone is prose about a placeholder.
  if (!proseUnderComment(lines, first) && (start.starts_with("<!") ||
      (opensWithTag(start) && (contains(head, "</") || contains(head, "/>"))))) {
    // Markdown documents often open with an HTML block (a centred logo, a
    // comment); the rest of the file tells.
    if (auto v = scoreLanguages(lines); v && v->extension == "md") {
      return *v;
    }
    if (auto v = checkXmlDialect(head.substr(lines[first].raw.data() - head.data()))) {
      return *v;
    }
    return verdictOf(Kind::kXml, "markup start tag");
  }

  // The page under front matter names the file where it tells (Markdown, a
  // template's HTML); prose alone leaves the whole file to the rules below.
  const auto front_matter_end = frontMatterEnd(lines, first);
  if (front_matter_end) {
    auto offset = static_cast<std::size_t>(lines[*front_matter_end].raw.data() -
                                           head.data());
    TextVerdict page = classifyText(head.substr(offset), magic_description, model);
    if (page.extension == "yaml") {
      // Lists and "Key: value" lines of prose read as YAML on their own.
      return verdictOf(Kind::kMarkdown, "front matter over a page");
    }
    if (page.extension != "txt") {
      return page;
    }
  }
  if (contains(magic_description, "JSON") || isJsonDocument(head)) {
    if (contains(magic_description, "JSON") || start.starts_with("{") ||
        start.starts_with("[")) {
      return verdictOf(Kind::kJson, "well-formed JSON");
    }
  }
  if (isJsonCall(head)) {
    return verdictOf(Kind::kJavaScript, "JSON handed to a function");
  }
  if (isJsonAssignment(head)) {
    return verdictOf(Kind::kJavaScript, "JSON given to a variable");
  }
  if (auto v = checkTextArchive(lines)) {
    return *v;
  }
  if (auto v = checkAsn1Module(lines)) {
    return *v;
  }
  if (auto v = checkMarkdownExamples(lines)) {
    return *v;
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
  if (auto v = checkSubtitles(lines)) {
    return *v;
  }
  if (auto v = checkMail(lines)) {
    return *v;
  }
  if (auto v = checkWebQuery(lines)) {
    return *v;
  }
  if (auto v = checkDockerfile(lines)) {
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
    // A page of prose under its front matter is no YAML stream.
    if (front_matter_end) {
      return verdictOf(Kind::kMarkdown, "front matter over a page");
    }
    return *v;
  }

  if (auto v = scoreLanguages(lines)) {
    if (v->extension == "f90" && looksFixedFormFortran(lines)) {
      v->extension = "f";
    }
    return *v;
  }
  if (model != nullptr && !onlySlashComments(lines) && !licenceText(lines)) {
    if (auto guess = model->classify(head);
        guess && guess->extension != "txt" && guess->lead >= kModelLead &&
        guess->lead_over_text >= kModelLeadOverText &&
        (!isCFamily(guess->extension) || hasCSyntax(lines))) {
      return verdict(guess->extension, guess->description, "text model");
    }
  }
  return verdictOf(Kind::kText, "too little evidence for any format");
}

}  // namespace ident
