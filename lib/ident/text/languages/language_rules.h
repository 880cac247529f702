// How the text classifier scores languages from a file's lines: pattern
// rules, one pattern tried against each line, and grammar rules, code that
// looks at a line and its neighbours. Each kind's definition in text/kinds/
// lists its pattern rules and names and weighs its grammar rules;
// language_grammar.cc and c_family.cc hold the grammar rules' code, and
// language_scores.cc adds the hits up.
#pragma once

#include <cstddef>
#include <vector>

#include "text/kinds.h"
#include "text/text_lines.h"

namespace ident::text {

// How far into a line the rules that match anywhere look: a minified line
// of 8 KiB would otherwise cost every rule a full scan.
inline constexpr std::size_t kSearchWidth = 320;

// True when |rule| matches |line|. Patterns inside a line are sought near
// its start only.
bool matches(const Rule& rule, const Line& line);

// Grammar rules count their hits per kind in numbered slots; each slot is
// one rule of the kind's definition, with its own weight.
using GrammarHits = int[kKindCount][kGrammarSlots];

inline void addHit(GrammarHits& hits, GrammarRule rule) {
  ++hits[static_cast<std::size_t>(rule.kind)][rule.slot];
}

// Runs the grammar rules on line |i| of |lines| (they may look at its
// neighbours) and adds one to the slot of each rule that matches.
void scoreGrammarRules(const std::vector<Line>& lines, std::size_t i,
                       GrammarHits& hits);

}  // namespace ident::text
