// What tells C from C++ for the text classifier. C++ accepts nearly all of
// C, so C++ scores C's evidence as well (see language_scores.cc) and a file
// is C++ only when syntax that C lacks appears. C sources and headers meant
// to build under both compilers keep their C++ side in "#ifdef __cplusplus"
// branches; what those branches say is no evidence of C++.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "language_rules.h"
#include "text/text_lines.h"

namespace ident::text {

// Follows a file's preprocessor conditionals line by line.
class CplusplusBranches {
 public:
  // Takes the next line (without its indentation) and returns true when it
  // lies in a branch that only a C++ compiler reads: "#ifdef __cplusplus",
  // "#if defined(__cplusplus) && ...", or the "#else" of "#ifndef
  // __cplusplus".
  bool enter(std::string_view text);

 private:
  struct Conditional {
    bool names_cplusplus;  // the condition tests __cplusplus
    bool negated;          // ... as "#ifndef" or "!defined"
    bool cpp_only;         // the current branch is read by C++ alone
  };
  std::vector<Conditional> open_;
  int cpp_only_depth_ = 0;  // open conditionals whose branch is C++-only
};

// True when |text| (a line without its indentation) is a comment line of C
// or C++: "//", "/*" or the "*" that continues a block comment.
bool isCCommentLine(std::string_view text);

// The grammar rules of C and C++ for line |i| of |lines|; called by
// scoreGrammarRules.
void scoreCFamilyGrammar(const std::vector<Line>& lines, std::size_t i,
                         GrammarHits& hits);

}  // namespace ident::text
