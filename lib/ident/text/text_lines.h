// Line and token helpers shared by the parts of the text classifier: the
// file's first bytes cut into lines, and the character tests its rules use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text_verdict.h"

namespace ident::text {

// Lines beyond this count add little and cost time on long files.
inline constexpr std::size_t kMaxLines = 300;

inline bool isIdentChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_';
}
inline bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}
inline bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
inline bool isLower(char c) { return c >= 'a' && c <= 'z'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isLetter(char c) { return isUpper(c) || isLower(c); }
inline char toLower(char c) {
  return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

// Blanks are spaces, tabs, carriage returns, form and vertical feeds; the
// line break itself never reaches these.
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);
inline std::string_view trim(std::string_view s) {
  return trimRight(trimLeft(s));
}

inline bool contains(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

// ASCII case-insensitive comparisons.
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool containsNoCase(std::string_view s, std::string_view part);
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWithNoCase(a, b);
}

// Whether |t| opens a Python docstring: three quotes, plain or raw. No
// other kind of text starts a line so.
inline bool opensDocstring(std::string_view t) {
  return t.starts_with("\"\"\"") || t.starts_with("r\"\"\"") || t.starts_with("'''");
}

// True when |s| starts with the word |word|: the next character, if any, is
// not part of an identifier.
inline bool startsWithWord(std::string_view s, std::string_view word) {
  return s.starts_with(word) &&
         (s.size() == word.size() || !isIdentChar(s[word.size()]));
}
// True when |word| occurs in |s| with no identifier character on either side.
bool containsWord(std::string_view s, std::string_view word);

// True when |s| reads as running prose: it opens with a word, holds six
// words or more and none of the brackets, operators and sigils of code.
bool isProseLine(std::string_view s);

// Length of the identifier at the start of |s| (letters, digits, '_').
std::size_t identLength(std::string_view s);

struct Line {
  std::string_view raw;   // without the line break
  std::string_view text;  // leading blanks removed
  std::string_view trimmed;
};

// Cuts |s| at "\n" (dropping a "\r" before it) into at most kMaxLines lines
// that view into |s|.
std::vector<Line> splitLines(std::string_view s);

inline TextVerdict verdict(std::string_view extension,
                           std::string_view description, std::string evidence) {
  return {std::string(extension), std::string(description),
          std::move(evidence)};
}

}  // namespace ident::text
