#include "json_scanner.h"

#include <cstddef>
#include <string_view>

#include "text/text_lines.h"

namespace ident::text {
namespace {

using std::string_view;
using namespace std::string_view_literals;

// A JSON scanner that accepts a document cut short by the end of |head|
// only when the cut came late (a long document read in part).
class JsonScanner {
 public:
  explicit JsonScanner(string_view s) : s_(s) {}

  // True when the text is one JSON object or array, possibly truncated.
  bool scan() {
    skipSpace();
    return document("");
  }

  // True when the text is a call of a named function, "cb(" or "a.b(",
  // whose one argument is a JSON object or array, possibly truncated.
  bool scanCall() {
    skipSpace();
    if (name().empty() || pos_ >= s_.size() || s_[pos_] != '(') {
      return false;
    }
    ++pos_;
    skipSpace();
    return document(")");
  }

  // True when the text gives one JSON object or array to a variable, as
  // only JavaScript writes it: declared ("var data = [...]"), a property
  // ("window.SIDEBAR_ITEMS = {...}") or a statement ended by ";". A bare
  // "name = {...}" is as much a Python module's.
  bool scanAssignment() {
    skipSpace();
    bool declared = false;
    for (string_view keyword : {"var "sv, "let "sv, "const "sv}) {
      if (s_.substr(pos_).starts_with(keyword)) {
        pos_ += keyword.size();
        skipSpace();
        declared = true;
        break;
      }
    }
    const string_view variable = name();
    if (variable.empty()) {
      return false;
    }
    const bool property = variable.find('.') != string_view::npos;
    skipSpace();
    if (pos_ + 1 >= s_.size() || s_[pos_] != '=' || s_[pos_ + 1] == '=') {
      return false;
    }
    ++pos_;
    skipSpace();
    if (!document("", true)) {
      return false;
    }
    return declared || property || ended_;
  }

 private:
  // A JavaScript name from here, dotted as "a.b" may be; empty, and
  // nothing read, where none starts.
  string_view name() {
    const std::size_t start = pos_;
    while (pos_ < s_.size() && (isIdentChar(s_[pos_]) || s_[pos_] == '$' || s_[pos_] == '.')) {
      ++pos_;
    }
    if (pos_ == start || isDigit(s_[start])) {
      pos_ = start;
      return {};
    }
    return s_.substr(start, pos_ - start);
  }

  // One object or array from here, then blanks, |close|, a ";" where
  // |close| or |semicolon| allows one, and blanks up to the end.
  bool document(string_view close, bool semicolon = false) {
    if (pos_ >= s_.size() || (s_[pos_] != '{' && s_[pos_] != '[')) {
      return false;
    }
    if (!value(0)) {
      return truncated_ && pos_ >= 512;
    }
    skipSpace();
    if (s_.substr(pos_).starts_with(close)) {
      pos_ += close.size();
    } else {
      return false;
    }
    if ((semicolon || !close.empty()) && pos_ < s_.size() && s_[pos_] == ';') {
      ++pos_;
      ended_ = true;
    }
    skipSpace();
    return pos_ == s_.size();
  }

  bool value(int depth) {
    if (depth > 64) {
      return false;
    }
    skipSpace();
    if (atEnd()) {
      return false;
    }
    char c = s_[pos_];
    if (c == '{') {
      return container(depth, '}', true);
    }
    if (c == '[') {
      return container(depth, ']', false);
    }
    if (c == '"') {
      return string();
    }
    if (c == '-' || isDigit(c)) {
      return number();
    }
    for (string_view word : {"true"sv, "false"sv, "null"sv}) {
      if (s_.substr(pos_).starts_with(word)) {
        pos_ += word.size();
        return true;
      }
      if (word.starts_with(s_.substr(pos_))) {
        return atEnd(s_.size());
      }
    }
    return false;
  }
  bool container(int depth, char close, bool object) {
    ++pos_;
    skipSpace();
    if (atEnd()) {
      return false;
    }
    if (s_[pos_] == close) {
      ++pos_;
      return true;
    }
    for (;;) {
      if (object) {
        skipSpace();
        if (atEnd() || s_[pos_] != '"' || !string()) {
          return false;
        }
        skipSpace();
        if (atEnd() || s_[pos_] != ':') {
          return false;
        }
        ++pos_;
      }
      if (!value(depth + 1)) {
        return false;
      }
      skipSpace();
      if (atEnd()) {
        return false;
      }
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] != close) {
        return false;
      }
      ++pos_;
      return true;
    }
  }
  bool string() {
    ++pos_;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '"') {
        return true;
      }
      if (c == '\\') {
        ++pos_;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        return false;
      }
    }
    return atEnd(s_.size());
  }
  bool number() {
    std::size_t start = pos_;
    while (pos_ < s_.size() && (isDigit(s_[pos_]) ||
                                contains("+-.eE", string_view(&s_[pos_], 1)))) {
      ++pos_;
    }
    return pos_ > start;
  }
  void skipSpace() {
    while (pos_ < s_.size() && (isSpace(s_[pos_]) || s_[pos_] == '\n')) {
      ++pos_;
    }
  }
  // Records that the input ran out; the caller fails this path.
  bool atEnd(std::size_t at = std::string_view::npos) {
    if (at == std::string_view::npos) {
      at = pos_;
    }
    if (at >= s_.size()) {
      truncated_ = true;
      return true;
    }
    return false;
  }

  string_view s_;
  std::size_t pos_ = 0;
  bool truncated_ = false;
  bool ended_ = false;  // a ";" closed the statement
};

}  // namespace

bool isJsonDocument(std::string_view head) { return JsonScanner(head).scan(); }

bool isJsonCall(std::string_view head) { return JsonScanner(head).scanCall(); }

bool isJsonAssignment(std::string_view head) { return JsonScanner(head).scanAssignment(); }

}  // namespace ident::text
