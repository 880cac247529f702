// The text kinds the classifier names, defined one file per kind in
// text/kinds/ and turned into these tables at build time by
// tools/make_text_kinds: each kind's extension and description, the kind
// whose score it inherits, the interpreters and editor modes that name it,
// its pattern rules and the weights of its grammar rules.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "text_kind_ids.h"  // generated: enum Kind, grammar::k* rule names
#include "text_verdict.h"

namespace ident::text {

struct KindInfo {
  std::string_view name;  // as in its definition: "Cpp", "EmacsLisp"
  std::string_view extension;
  std::string_view description;
  int specificity;  // breaks ties between languages' scores: higher wins
  // A child kind adds its parent's score to its own once its own score
  // reaches |parent_min_own|: C++ inherits C's, TypeScript JavaScript's.
  bool has_parent;
  Kind parent;
  int parent_min_own;
};

const KindInfo& kindInfo(Kind kind);

// The verdict that names |kind|, with the evidence for it.
inline TextVerdict verdictOf(Kind kind, std::string evidence) {
  const KindInfo& info = kindInfo(kind);
  return {std::string(info.extension), std::string(info.description), std::move(evidence)};
}

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

// A pattern rule: one pattern tried against each line of a file.
struct Rule {
  Kind kind;
  int weight;  // 3: grammar nearly no other language has; 1: a hint
  Match match;
  std::string_view pattern;
  // Plain prose writes it too (bullets, underlined titles, ``quotes'', verbs
  // such as "Update" that are also keywords): it adds to a kind's score only
  // beside enough of the kind's own grammar.
  bool prose_convention;
};

// Every kind's pattern rules, grouped by kind.
std::span<const Rule> patternRules();

// A grammar rule, code in languages/ that looks at a line and its
// neighbours; its kind's definition names it and gives its weight.
struct GrammarRuleInfo {
  std::string_view name;  // "" past the kind's last rule
  int weight;             // 0 past the kind's last rule
  bool prose_convention;  // as Rule::prose_convention
  bool heading;           // it matches a heading line
};

// Grammar rule |slot| (0 <= slot < kGrammarSlots) of |kind|.
const GrammarRuleInfo& grammarRule(Kind kind, int slot);

// A name that says which kind a file is: an interpreter on a "#!" line or
// an editor mode. Its extension is the kind's unless the definition gives
// the name one of its own (Emacs's "fortran" mode is fixed-form, ".f").
struct NamedKind {
  std::string_view name;
  Kind kind;
  std::string_view extension;
};

std::span<const NamedKind> interpreters();
std::span<const NamedKind> editorModes();

}  // namespace ident::text
