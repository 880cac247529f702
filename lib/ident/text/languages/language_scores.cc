#include "language_scores.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "c_family.h"
#include "language_rules.h"

namespace ident::text {
namespace {

using std::string_view;

// A kind needs at least this score from its line rules to be named.
constexpr int kMinScore = 6;
// Rules count at most this many matching lines, so that one repeated
// construct cannot outweigh varied evidence.
constexpr int kMaxHitsPerRule = 3;
// Prose conventions (bullets, underlined titles, verbs that are also SQL
// keywords) count towards a kind only beside this much of its own grammar:
// a directive or a link beside underlined titles is reStructuredText, one
// or two words in back quotes among bullets is a plain changelog.
constexpr int kMinDistinctiveBesideProse = 3;

constexpr std::size_t kCppIndex = static_cast<std::size_t>(Kind::kCpp);
constexpr std::size_t kTypeScriptIndex =
    static_cast<std::size_t>(Kind::kTypeScript);
constexpr std::size_t kPythonIndex = static_cast<std::size_t>(Kind::kPython);
constexpr std::size_t kMarkdownIndex = static_cast<std::size_t>(Kind::kMarkdown);

// A set of ASCII characters, as two 64-bit words.
struct CharSet {
  std::uint64_t bits[2] = {0, 0};
  void add(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u < 128) {
      bits[u >> 6] |= std::uint64_t{1} << (u & 63);
    }
  }
  bool within(const CharSet& other) const {
    return ((bits[0] & ~other.bits[0]) | (bits[1] & ~other.bits[1])) == 0;
  }
};

// The pattern rules by the first character a line needs for them to match,
// so that each line meets only the rules that could match it.
struct RuleIndex {
  std::array<std::vector<std::uint16_t>, 256> by_first_char;
  std::vector<std::uint16_t> anywhere;  // rules not tied to the line's start
  // Per rule, the ASCII characters its pattern needs (letters in lower case
  // for the rules that ignore case): a line lacking one cannot match.
  std::vector<CharSet> needs;
};

// "12 | code" or "12|code": a line number, then a bar.
bool isListingLine(string_view text) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) {
    ++n;
  }
  if (n == 0) {
    return false;
  }
  while (n < text.size() && text[n] == ' ') {
    ++n;
  }
  return n < text.size() && text[n] == '|';
}

RuleIndex buildRuleIndex() {
  RuleIndex index;
  const std::span<const Rule> rules = patternRules();
  for (std::size_t r = 0; r < rules.size(); ++r) {
    const Rule& rule = rules[r];
    auto id = static_cast<std::uint16_t>(r);
    bool no_case = rule.match == Match::kPrefixNoCase ||
                   rule.match == Match::kEqualsNoCase ||
                   rule.match == Match::kContainsNoCase;
    CharSet needs;
    for (char c : rule.pattern) {
      needs.add(no_case ? toLower(c) : c);
    }
    index.needs.push_back(needs);
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

// True when the first line of |lines| that is neither blank nor a "#"
// comment is an import of dotted names ("from a.b import c", "import a.b")
// or opens a Python docstring: a module, where no document starts so.
bool opensAsProgram(const std::vector<Line>& lines) {
  auto dotted = [](string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return isLetter(c) || isDigit(c) || c == '_' || c == '.';
    });
  };
  for (const Line& line : lines) {
    const string_view t = line.trimmed;
    if (t.empty() || t[0] == '#') {
      continue;
    }
    if (opensDocstring(t)) {
      return true;
    }
    if (t.starts_with("from ")) {
      const std::size_t import = t.find(" import ");
      return import != string_view::npos && dotted(t.substr(5, import - 5));
    }
    if (t.starts_with("import ")) {
      string_view name = t.substr(7);
      name = name.substr(0, name.find(" as "));
      return dotted(name);
    }
    return false;
  }
  return false;
}

}  // namespace

std::optional<TextVerdict> scoreLanguages(const std::vector<Line>& lines) {
  constexpr std::size_t kKinds = kKindCount;
  const std::span<const Rule> rules = patternRules();
  const std::size_t rule_count = rules.size();
  static const RuleIndex index = buildRuleIndex();
  std::vector<int> rule_hits(rule_count, 0);
  GrammarHits special = {};
  // Perl's documentation blocks run from a "=word" line at column 0 to
  // "=cut"; their examples are not the file's own code.
  bool in_pod = false;
  int nonblank_lines = 0;
  int hash_lines = 0;
  // "#" title lines set off by a blank line below, and those that run
  // straight on into the next line: text, or more "#" lines of a comment.
  int hash_titles_set_off = 0;
  int hash_titles_run_on = 0;
  CplusplusBranches cplusplus_branches;
  // TeX sources speak TeX at the left margin: a control word or a "%"
  // comment opens some unindented line. Prose that only quotes TeX in
  // indented examples does not.
  bool tex_at_margin = false;
  // Likewise a Python module's statements start at the left margin, where
  // a document quotes Python in indented examples and interactive sessions.
  bool python_at_margin = false;
  // Inside a "/* ... */" comment that spans lines.
  bool in_block_comment = false;
  // Under a "target: prerequisites" line, and on one of its recipe lines.
  bool in_recipe = false;
  bool recipe_line = false;
  // Go's grammar puts the package clause before anything but comments; a
  // test script or a document that quotes Go has other lines first.
  bool seen_code = false;
  bool go_package_first = false;
  // A cgo file: its C preamble, in a comment above 'import "C"', is Go's.
  bool cgo = false;
  // Inside a Markdown code fence ("```" lines).
  bool in_fence = false;
  // Inside a roff macro definition: ".de name" down to the ".." that ends
  // it, which reStructuredText would take for an empty comment.
  bool in_roff_macro = false;
  // Below a "$ command" line until the next blank line: what the command
  // printed ("$ cat empty.s" and the file's lines), which a document shows.
  bool in_session = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.trimmed.empty()) {
      in_session = false;
      continue;
    }
    ++nonblank_lines;
    if (line.raw.starts_with("#")) {
      ++hash_lines;
      std::size_t marks = line.raw.find_first_not_of('#');
      if (marks != string_view::npos && line.raw[marks] == ' ' &&
          i + 1 < lines.size()) {
        if (lines[i + 1].trimmed.empty()) {
          ++hash_titles_set_off;
        } else {
          ++hash_titles_run_on;
        }
      }
    }
    tex_at_margin |= line.raw.starts_with("\\") || line.raw.starts_with("%");
    // Comments and the branches a C++ compiler alone reads say nothing of
    // whether the file itself is C++.
    bool comment = in_block_comment || isCCommentLine(line.text);
    if (in_block_comment) {
      in_block_comment = !contains(line.text, "*/");
    } else if (std::size_t open = line.text.find("/*");
               open != string_view::npos &&
               line.text.substr(0, open + 1).find("//") == string_view::npos) {
      in_block_comment = line.text.find("*/", open + 2) == string_view::npos;
    }
    if (!seen_code && !comment) {
      seen_code = true;
      go_package_first = line.text.starts_with("package ");
    }
    // Its "#cgo" directives come first, and the import may lie beyond
    // what is read.
    cgo |= line.trimmed == "import \"C\"" || line.raw.starts_with("#cgo ");
    bool cpp_silent = cplusplus_branches.enter(line.text) || comment;
    bool directive =
        line.raw.size() > 1 && line.raw[0] == '=' && isLower(line.raw[1]);
    if (directive) {
      in_pod = !line.raw.starts_with("=cut");
    }
    bool pod_line = in_pod || directive;
    // A makefile's recipes are shell commands: they are the makefile's.
    if (line.raw.starts_with("\t") && in_recipe) {
      recipe_line = true;
    } else if (!line.raw.empty() && !isSpace(line.raw[0])) {
      std::size_t colon = line.raw.find(':');
      in_recipe = colon != string_view::npos && colon > 0 &&
                  line.raw[0] != '#' &&
                  line.raw.find_first_of("=;({\"'") > colon &&
                  (colon + 1 == line.raw.size() || line.raw[colon + 1] != ':') &&
                  i + 1 < lines.size() && lines[i + 1].raw.starts_with("\t");
      recipe_line = false;
    }
    // The characters of the line, each letter also in lower case, so that
    // most rules are turned down without a search.
    CharSet present;
    for (char c : line.text) {
      present.add(c);
      present.add(toLower(c));
    }
    const bool margin = !isSpace(line.raw[0]);
    // A quotation, a session's prompt ("> expr", ">>> expr", "$ command")
    // or a numbered listing line ("12 |   let x = 1;" in a compiler's
    // message, a coverage report) shows code the file talks about; only
    // Markdown quotes so itself.
    // So is a Markdown document's fenced block.
    const bool fence = line.text.starts_with("```");
    in_session |= line.raw.starts_with("$ ");
    in_roff_macro |= line.raw.starts_with(".de ") || line.raw.starts_with(".am ");
    const bool roff_macro_line = in_roff_macro;
    if (line.trimmed == "..") {
      in_roff_macro = false;
    }
    const bool prompt = (in_fence && !fence) || line.raw.starts_with("> ") ||
                        line.raw.starts_with(">>> ") || in_session ||
                        isListingLine(line.text);
    in_fence = in_fence != fence;
    // CMake's commands end in ")" and batch files' at the line's end: a
    // line that ends in "{" or ";" is C's ("if( info != 0 ) {", "goto
    // found;").
    const bool c_statement =
        line.trimmed.ends_with("{") || line.trimmed.ends_with(";");
    // Doc comments written in Markdown ("// See [`Plugin`](#state.Plugin)")
    // are the code's, not a Markdown document's.
    const bool line_comment = line.text.starts_with("//");
    auto apply = [&](std::uint16_t r) {
      if (!index.needs[r].within(present)) {
        return;
      }
      if ((prompt && rules[r].kind != Kind::kMarkdown) ||
          (recipe_line && rules[r].kind == Kind::kShell) ||
          pod_line != (rules[r].kind == Kind::kPod) ||
          (cpp_silent && rules[r].kind == Kind::kCpp) ||
          (roff_macro_line && rules[r].kind == Kind::kRest) ||
          (c_statement && (rules[r].kind == Kind::kCMake ||
                           rules[r].kind == Kind::kBatch)) ||
          (comment && rules[r].kind == Kind::kTypeScript) ||
          (line_comment && rules[r].kind == Kind::kMarkdown)) {
        return;
      }
      if (rule_hits[r] < kMaxHitsPerRule && matches(rules[r], line)) {
        ++rule_hits[r];
        python_at_margin |= margin && rules[r].kind == Kind::kPython;
      }
    };
    for (std::uint16_t r :
         index.by_first_char[static_cast<unsigned char>(line.text[0])]) {
      apply(r);
    }
    for (std::uint16_t r : index.anywhere) {
      apply(r);
    }
    if (!pod_line && !prompt) {
      int cpp_before[kGrammarSlots];
      std::copy(std::begin(special[kCppIndex]), std::end(special[kCppIndex]),
                cpp_before);
      int ts_before[kGrammarSlots];
      std::copy(std::begin(special[kTypeScriptIndex]),
                std::end(special[kTypeScriptIndex]), ts_before);
      int md_before[kGrammarSlots];
      std::copy(std::begin(special[kMarkdownIndex]), std::end(special[kMarkdownIndex]),
                md_before);
      int python_before[kGrammarSlots];
      std::copy(std::begin(special[kPythonIndex]),
                std::end(special[kPythonIndex]), python_before);
      scoreGrammarRules(lines, i, special);
      python_at_margin |=
          margin &&
          !std::equal(std::begin(python_before), std::end(python_before),
                      std::begin(special[kPythonIndex]));
      if (cpp_silent) {
        std::copy(std::begin(cpp_before), std::end(cpp_before),
                  special[kCppIndex]);
      }
      // Types written in doc comments ("@param {T} x: string") are no
      // evidence of TypeScript.
      if (comment) {
        std::copy(std::begin(ts_before), std::end(ts_before),
                  special[kTypeScriptIndex]);
      }
      if (line_comment) {
        std::copy(std::begin(md_before), std::end(md_before), special[kMarkdownIndex]);
      }
    }
  }

  // Qualified names ("a::b") tell C++ from C; without C evidence beyond
  // hints (a NULL, a "static") they are Perl's, R's, Rust's or a log's.
  // So do "class X {" lines, which are as much Java's, C#'s or PHP's.
  {
    constexpr std::size_t kC = static_cast<std::size_t>(Kind::kC);
    bool c_evidence = false;
    for (int slot = 0; slot < kGrammarSlots && !c_evidence; ++slot) {
      c_evidence = special[kC][slot] > 0 && grammarRule(Kind::kC, slot).weight > 1;
    }
    for (std::size_t r = 0; r < rule_count && !c_evidence; ++r) {
      c_evidence =
          rules[r].kind == Kind::kC && rules[r].weight > 1 && rule_hits[r] > 0;
    }
    if (!c_evidence) {
      special[kCppIndex][grammar::kCppQualifiedName.slot] = 0;
      special[kCppIndex][grammar::kCppClassOrNamespace.slot] = 0;
    }
  }
  std::array<int, kKinds> own{};
  // C's score from preprocessor lines alone, which assembler sources run
  // through the C preprocessor (".S" files) share.
  int c_preprocessor = 0;
  std::array<std::string, kKinds> best_rule;
  std::array<int, kKinds> best_rule_score{};
  // The score of a kind's own constructs, beyond prose conventions.
  std::array<int, kKinds> distinctive{};
  // That score without what headings gave it.
  std::array<int, kKinds> beyond_headings{};
  // Whether a rule above a hint's weight hit: hints alone ("nil", "-- "
  // comments, "printf(") turn up in any text that quotes some code.
  std::array<bool, kKinds> beyond_hints{};
  // How many different rules hit, and whether one of them is more than a
  // middling pattern found anywhere in a line: a name mentioned again and
  // again ("JSON.parse", "lapply(") is what prose about code does.
  std::array<int, kKinds> rules_hit{};
  std::array<bool, kKinds> beyond_mentions{};
  for (std::size_t r = 0; r < rule_count; ++r) {
    if (rule_hits[r] == 0) {
      continue;
    }
    std::size_t k = static_cast<std::size_t>(rules[r].kind);
    int score = rules[r].weight * rule_hits[r];
    own[k] += score;
    beyond_hints[k] |= rules[r].weight > 1 && !rules[r].prose_convention;
    ++rules_hit[k];
    beyond_mentions[k] |= rules[r].weight > 2 ||
                          (rules[r].match != Match::kContains &&
                           rules[r].match != Match::kContainsWord &&
                           rules[r].match != Match::kContainsType &&
                           rules[r].match != Match::kContainsNoCase);
    if (rules[r].kind == Kind::kC && rules[r].pattern.starts_with("#")) {
      c_preprocessor += score;
    }
    if (!rules[r].prose_convention) {
      distinctive[k] += score;
      beyond_headings[k] += score;
    }
    if (score > best_rule_score[k]) {
      best_rule_score[k] = score;
      // Appended rather than joined with +, which GCC 12 at -O3 wrongly
      // takes for an overlapping copy.
      best_rule[k] = '"';
      best_rule[k] += rules[r].pattern;
      best_rule[k] += '"';
    }
  }
  for (std::size_t k = 0; k < kKinds; ++k) {
    for (int slot = 0; slot < kGrammarSlots; ++slot) {
      int n = std::min(special[k][slot], kMaxHitsPerRule);
      if (n == 0) {
        continue;
      }
      const GrammarRuleInfo& rule = grammarRule(static_cast<Kind>(k), slot);
      int score = n * rule.weight;
      own[k] += score;
      beyond_hints[k] |= rule.weight > 1 && !rule.prose_convention;
      ++rules_hit[k];
      beyond_mentions[k] = true;
      if (!rule.prose_convention) {
        distinctive[k] += score;
        if (!rule.heading) {
          beyond_headings[k] += score;
        }
      }
      if (score > best_rule_score[k]) {
        best_rule_score[k] = score;
        best_rule[k] = "grammar rule ";
        best_rule[k] += rule.name;
      }
    }
  }

  for (std::size_t k = 0; k < kKinds; ++k) {
    bool beside_prose = distinctive[k] < own[k];
    if (distinctive[k] == 0 || !beyond_hints[k] ||
        (rules_hit[k] == 1 && !beyond_mentions[k]) ||
        (beside_prose && distinctive[k] < kMinDistinctiveBesideProse)) {
      own[k] = 0;  // bullets and underlines alone are plain text
    }
  }
  if (!tex_at_margin) {
    own[static_cast<std::size_t>(Kind::kTex)] = 0;
  }
  if (!python_at_margin) {
    own[kPythonIndex] = 0;
  }
  if (!go_package_first) {
    own[static_cast<std::size_t>(Kind::kGo)] = 0;
  } else if (cgo) {
    own[static_cast<std::size_t>(Kind::kC)] = 0;
    own[kCppIndex] = 0;
  }

  std::array<int, kKinds> total = own;
  // A child kind adds its parent's score to its own once it shows evidence
  // of its own: C++ files are full of C preprocessor lines, Emacs Lisp of
  // Lisp forms, Perl modules of POD, Autoconf's m4 macros wrap shell code,
  // TypeScript is JavaScript with types, and assembler is often written
  // through m4 macros (where a few instruction-like lines in an m4 file must
  // not be enough).
  for (std::size_t k = 0; k < kKinds; ++k) {
    const KindInfo& info = kindInfo(static_cast<Kind>(k));
    if (info.has_parent && own[k] >= info.parent_min_own) {
      total[k] += own[static_cast<std::size_t>(info.parent)];
    }
  }
  if (constexpr std::size_t kAsm = static_cast<std::size_t>(Kind::kAssembly);
      own[kAsm] >= kindInfo(Kind::kAssembly).parent_min_own) {
    total[kAsm] += c_preprocessor;
  }
  // A program whose code opens with an import or a docstring is no
  // document, whatever markup its docstrings and comments are written in.
  if (opensAsProgram(lines)) {
    total[static_cast<std::size_t>(Kind::kMarkdown)] = 0;
    total[static_cast<std::size_t>(Kind::kRest)] = 0;
  }
  // Files of "#" comment lines (test scripts, configuration) are not
  // Markdown documents full of headings.
  if (hash_lines * 5 >= nonblank_lines * 4) {
    total[static_cast<std::size_t>(Kind::kMarkdown)] = 0;
  }
  // Nor is a file whose "#" lines mostly run straight on into the line
  // below, as comments over commands, comments of several lines or a
  // changelog's version lines over their dates do, unless it has
  // Markdown's markup beyond headings (links, code spans, fences): Markdown
  // sets its headings off by a blank line.
  if (constexpr std::size_t kMd = static_cast<std::size_t>(Kind::kMarkdown);
      hash_titles_run_on > 0 && hash_titles_run_on >= hash_titles_set_off &&
      beyond_headings[kMd] < 2) {
    total[kMd] = 0;
  }

  // A file with batch commands enough to be named by them is a batch file
  // even where VBScript scores higher: cmd.exe runs it, and the VBScript
  // in it is read from it by a "cscript //e:vbscript" line, whereas a .vbs
  // file cannot hold a batch command at all.
  if (constexpr std::size_t kBat = static_cast<std::size_t>(Kind::kBatch);
      total[kBat] >= kMinScore) {
    total[static_cast<std::size_t>(Kind::kVBScript)] = 0;
  }

  std::size_t best = kKinds;
  for (std::size_t k = 0; k < kKinds; ++k) {
    if (total[k] < kMinScore) {
      continue;
    }
    if (best == kKinds || total[k] > total[best] ||
        (total[k] == total[best] &&
         kindInfo(static_cast<Kind>(k)).specificity >
             kindInfo(static_cast<Kind>(best)).specificity)) {
      best = k;
    }
  }
  if (best == kKinds) {
    return std::nullopt;
  }
  const KindInfo& info = kindInfo(static_cast<Kind>(best));
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

}  // namespace ident::text
