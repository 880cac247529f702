#include "text_lines.h"

namespace ident::text {

using std::string_view;

string_view trimLeft(string_view s) {
  while (!s.empty() && isSpace(s.front())) {
    s.remove_prefix(1);
  }
  return s;
}
string_view trimRight(string_view s) {
  while (!s.empty() && isSpace(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

bool startsWithNoCase(string_view s, string_view prefix) {
  if (s.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (toLower(s[i]) != toLower(prefix[i])) {
      return false;
    }
  }
  return true;
}
bool containsNoCase(string_view s, string_view part) {
  for (std::size_t at = 0; at + part.size() <= s.size(); ++at) {
    if (startsWithNoCase(s.substr(at), part)) {
      return true;
    }
  }
  return false;
}

bool containsWord(string_view s, string_view word) {
  for (std::size_t at = s.find(word); at != string_view::npos;
       at = s.find(word, at + 1)) {
    bool left_ok = at == 0 || !isIdentChar(s[at - 1]);
    bool right_ok =
        at + word.size() == s.size() || !isIdentChar(s[at + word.size()]);
    if (left_ok && right_ok) {
      return true;
    }
  }
  return false;
}

std::size_t identLength(string_view s) {
  std::size_t n = 0;
  while (n < s.size() && isIdentChar(s[n])) {
    ++n;
  }
  return n;
}

std::vector<Line> splitLines(string_view s) {
  std::vector<Line> lines;
  while (!s.empty() && lines.size() < kMaxLines) {
    std::size_t end = s.find('\n');
    string_view raw = s.substr(0, end);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
    }
    lines.push_back({raw, trimLeft(raw), trim(raw)});
    if (end == string_view::npos) {
      break;
    }
    s.remove_prefix(end + 1);
  }
  return lines;
}

bool isProseLine(std::string_view s) {
  std::string_view t = trim(s);
  if (t.empty() || !isLetter(t[0])) {
    return false;
  }
  int words = 1;
  for (std::size_t k = 0; k < t.size(); ++k) {
    char c = t[k];
    if (contains("{}[]=<>;$|\\_@#*`&", std::string_view(&c, 1))) {
      return false;
    }
    if (c == ' ' && k + 1 < t.size() && t[k + 1] != ' ') {
      ++words;
    }
  }
  return words >= 6;
}

}  // namespace ident::text
