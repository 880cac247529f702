#include "language_rules.h"

#include <cstddef>
#include <string_view>

namespace ident::text {

using std::string_view;

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
    case Match::kContainsType:
      // A type annotation ends its declaration: a ";", ",", ")", "=", "|",
      // "[]" or the line's end follows, where prose goes on with a word
      // ("Note: any value", "0003: string results are wrong").
      for (std::size_t at = near.find(rule.pattern); at != string_view::npos;
           at = near.find(rule.pattern, at + 1)) {
        string_view rest = trimLeft(near.substr(at + rule.pattern.size()));
        if (rest.empty() || !isIdentChar(rest[0])) {
          return true;
        }
      }
      return false;
    case Match::kColumnZero:
      return line.raw.starts_with(rule.pattern);
  }
  return false;
}

}  // namespace ident::text
