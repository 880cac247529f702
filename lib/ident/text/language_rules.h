// The languages the text classifier scores from a file's lines, and the two
// sorts of rule that score them: pattern rules, one pattern tried against
// each line, and grammar rules, code that looks at a line and its
// neighbours. language_scores.cc adds the hits up.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "text_lines.h"

namespace ident::text {

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
  kKotlin,
  kCSharp,
  kTypeScript,
  kR,
  kErlang,
  kElixir,
  kCount
};

inline constexpr std::size_t kKindCount =
    static_cast<std::size_t>(Kind::kCount);

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
  kContainsType,    // ... not followed by a word: ": string;", not ": string is"
  kColumnZero,      // the raw line (with indentation) starts with the pattern
};

struct Rule {
  Kind kind;
  int weight;  // 3: grammar nearly no other language has; 1: a hint
  Match match;
  std::string_view pattern;
  // Plain prose writes it too (bullets, underlined titles, ``quotes'', verbs
  // such as "Update" that are also keywords): it adds to a kind's score only
  // beside enough of the kind's own grammar.
  bool prose_convention = false;
};

// How far into a line the rules that match anywhere look: a minified line
// of 8 KiB would otherwise cost every rule a full scan.
inline constexpr std::size_t kSearchWidth = 320;

// True when |rule| matches |line|. Patterns inside a line are sought near
// its start only.
bool matches(const Rule& rule, const Line& line);

// The pattern rules, grouped by kind.
std::span<const Rule> patternRules();

// Grammar rules count their hits per kind in numbered slots; each slot has
// its own weight.
inline constexpr int kGrammarSlots = 8;
using GrammarHits = int[kKindCount][kGrammarSlots];

// Runs the grammar rules on line |i| of |lines| (they may look at its
// neighbours) and adds one to the slot of each rule that matches.
void scoreGrammarRules(const std::vector<Line>& lines, std::size_t i,
                       GrammarHits& hits);

// The score one hit of grammar rule |slot| of |kind| is worth.
int grammarRuleWeight(Kind kind, int slot);

// True when grammar rule |slot| of |kind| is a prose convention, as
// Rule::prose_convention.
bool isProseConventionSlot(Kind kind, int slot);

// True when grammar rule |slot| of |kind| matches a heading line.
bool isHeadingSlot(Kind kind, int slot);

}  // namespace ident::text
