#include "c_family.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace ident::text {

using std::string_view;

namespace {

// The directive of a preprocessor line, after the '#' and the blanks C
// allows there: "#  include <x>" gives "include <x>". Empty for other lines.
string_view directiveOf(string_view text) {
  if (!text.starts_with("#")) {
    return {};
  }
  return trimLeft(text.substr(1));
}

// "const Type& name", "const Type &name" or "const Type&&" opening a
// parameter: C has no references. The type may be qualified and templated
// (const std::map<K, V>& m).
bool hasConstReferenceParameter(string_view t) {
  for (std::size_t at = t.find("const "); at != string_view::npos;
       at = t.find("const ", at + 1)) {
    if (at == 0 || (t[at - 1] != '(' && !t.substr(0, at).ends_with(", "))) {
      continue;
    }
    std::size_t n = at + 6;
    int angle = 0;
    std::size_t type_start = n;
    while (n < t.size()) {
      char c = t[n];
      if (c == '<') {
        ++angle;
      } else if (c == '>' && angle > 0) {
        --angle;
      } else if (angle == 0 && !isIdentChar(c) && c != ':') {
        break;
      } else if (c == ')' || c == ';') {
        break;
      }
      ++n;
    }
    if (n == type_start || angle != 0) {
      continue;
    }
    while (n < t.size() && t[n] == ' ') {
      ++n;
    }
    if (n >= t.size() || t[n] != '&') {
      continue;
    }
    while (n < t.size() && t[n] == '&') {
      ++n;
    }
    while (n < t.size() && t[n] == ' ') {
      ++n;
    }
    if (n == t.size() || isIdentChar(t[n]) || t[n] == ',' || t[n] == ')') {
      return true;
    }
  }
  return false;
}

// A declaration of a pointer with one of C's own types: "char *name",
// "static const char* p", "void *(*fn)(void)". Go writes "*T" after the
// name, and languages without pointers have no "type *name".
bool declaresPointer(string_view t) {
  static constexpr string_view kQualifiers[] = {
      "static",   "extern",   "const", "volatile",
      "register", "unsigned", "signed"};
  static constexpr string_view kTypes[] = {"char",   "int",      "long",
                                           "short",  "void",     "float",
                                           "double", "unsigned", "signed"};
  bool typed = false;
  for (bool more = true; more;) {
    more = false;
    for (string_view type : kTypes) {
      if (startsWithWord(t, type)) {
        t = trimLeft(t.substr(type.size()));
        typed = more = true;
        break;
      }
    }
    if (more) {
      continue;
    }
    for (string_view qualifier : kQualifiers) {
      if (startsWithWord(t, qualifier)) {
        t = trimLeft(t.substr(qualifier.size()));
        more = true;
        break;
      }
    }
  }
  if (!typed || !t.starts_with("*")) {
    return false;
  }
  while (t.starts_with("*")) {
    t.remove_prefix(1);
  }
  t = trimLeft(t);
  return !t.empty() && (isIdentChar(t[0]) || t[0] == '(') && !isDigit(t[0]);
}

}  // namespace

bool CplusplusBranches::enter(string_view text) {
  string_view directive = directiveOf(text);
  string_view word = directive.substr(0, identLength(directive));
  string_view condition = trimLeft(directive.substr(word.size()));
  bool names_cplusplus = containsWord(condition, "__cplusplus");
  bool negated = word == "ifndef" || condition.starts_with("!") ||
                 contains(condition, "!defined") ||
                 contains(condition, "! defined");
  auto set_branch = [&](Conditional& c, bool cpp_only) {
    cpp_only_depth_ +=
        static_cast<int>(cpp_only) - static_cast<int>(c.cpp_only);
    c.cpp_only = cpp_only;
  };
  if (word == "if" || word == "ifdef" || word == "ifndef") {
    open_.push_back({names_cplusplus, negated, false});
    set_branch(open_.back(), names_cplusplus && !negated);
  } else if (word == "elif" && !open_.empty()) {
    open_.back().names_cplusplus = names_cplusplus;
    open_.back().negated = negated;
    set_branch(open_.back(), names_cplusplus && !negated);
  } else if (word == "else" && !open_.empty()) {
    Conditional& c = open_.back();
    set_branch(c, c.names_cplusplus && c.negated);
  } else if (word == "endif" && !open_.empty()) {
    set_branch(open_.back(), false);
    open_.pop_back();
  }
  return cpp_only_depth_ > 0;
}

bool isCCommentLine(string_view text) {
  return text.starts_with("//") || text.starts_with("/*") ||
         text.starts_with("*");
}

void scoreCFamilyGrammar(const std::vector<Line>& lines, std::size_t i,
                         GrammarHits& hits) {
  const Line& line = lines[i];
  string_view t = line.text;
  string_view tr = line.trimmed;
  auto hit = [&](GrammarRule rule) { addHit(hits, rule); };

  // C++ standard headers have no ".h": #include <vector>; C++ projects name
  // theirs .hpp, .hh or .hxx. C allows blanks after the '#'.
  if (string_view include = directiveOf(t);
      startsWithWord(include, "include")) {
    string_view target = trimLeft(include.substr(7));
    bool standard = target.starts_with("<") && !contains(target, ".h>");
    bool cpp_header = contains(target, ".hpp") || contains(target, ".hh") ||
                      contains(target, ".hxx");
    if (standard || cpp_header) {
      hit(grammar::kCppStandardHeaderInclude);
    }
  }
  // "namespace x {" and "class X {": C has neither keyword.
  if ((t.starts_with("namespace ") || t.starts_with("class ")) &&
      tr.ends_with("{") && !contains(t, "=") && !contains(t, "(")) {
    hit(grammar::kCppClassOrNamespace);
  }
  // C++ member definitions at the start of a line: "int Counter::Next() {",
  // the body opening there or on the next line (or a constructor's ":").
  bool opens_body =
      tr.ends_with("{") ||
      (i + 1 < lines.size() && (lines[i + 1].trimmed.starts_with("{") ||
                                lines[i + 1].trimmed.starts_with(":")));
  if (opens_body && !line.raw.empty() && !isSpace(line.raw[0]) &&
      !tr.ends_with(";") && !t.starts_with("sub ") && !t.starts_with("def ") &&
      !t.starts_with("use ") && !t.starts_with("package ")) {
    std::size_t colons = t.find("::");
    std::size_t paren = t.find('(');
    if (colons != string_view::npos && paren != string_view::npos &&
        colons < paren && colons > 0 && isIdentChar(t[colons - 1]) &&
        identLength(t.substr(colons + 2)) + colons + 2 == paren) {
      hit(grammar::kCppMemberDefinition);
    }
  }
  // A file that refuses any compiler but C++'s: "#ifndef __cplusplus" with
  // an "#error" right under it.
  if (string_view directive = directiveOf(t);
      (startsWithWord(directive, "ifndef") ||
       directive.starts_with("if !defined")) &&
      containsWord(directive, "__cplusplus")) {
    for (std::size_t j = i + 1; j < lines.size() && j <= i + 2; ++j) {
      if (startsWithWord(directiveOf(lines[j].text), "error")) {
        hit(grammar::kCppCplusplusOnlyGuard);
      }
    }
  }
  if (t.find('(') != string_view::npos && hasConstReferenceParameter(t)) {
    hit(grammar::kCppConstReferenceParameter);
  }
  // Qualified names "testing::Test" or "::close(fd)" in code: C has no
  // scope operator. Perl and Rust write "::" too, but bring no C evidence
  // for C++ to add to.
  if (!t.starts_with("#") && !t.starts_with("use ") &&
      !t.starts_with("package ")) {
    string_view near = t.substr(0, kSearchWidth);
    std::size_t at = near.find("::");
    std::size_t quote = near.find_first_of("\"'");
    if (at != string_view::npos && at + 2 < near.size() &&
        isIdentChar(near[at + 2]) && (at == 0 || isIdentChar(near[at - 1])) &&
        (quote == string_view::npos || quote > at)) {
      hit(grammar::kCppQualifiedName);
    }
  }
  // C function definitions: "int name(args)" at column 0, its body's "{"
  // alone on the next line.
  if (i + 1 < lines.size() && lines[i + 1].raw == "{" && !line.raw.empty() &&
      isIdentChar(line.raw[0]) && tr.ends_with(")") && !contains(t, ";") &&
      !contains(t, "::") && !startsWithWord(t, "function") &&
      !startsWithWord(t, "sub") && !startsWithWord(t, "def") &&
      !startsWithWord(t, "func")) {
    std::size_t paren = t.find('(');
    string_view before = trimRight(t.substr(0, paren));
    std::size_t space = before.find_last_of(" *");
    if (paren != string_view::npos && space != string_view::npos &&
        identLength(before.substr(space + 1)) > 0) {
      hit(grammar::kCFunctionDefinition);
    }
  }
  if (declaresPointer(t)) {
    hit(grammar::kCPointerDeclaration);
  }
  // Directives indented after the "#" ("#  define X 1" in nested
  // conditionals), which the pattern rules for "#define " miss.
  if (t.size() > 2 && t[0] == '#' && isSpace(t[1])) {
    string_view directive = directiveOf(t);
    string_view word = directive.substr(0, identLength(directive));
    string_view rest = trimLeft(directive.substr(word.size()));
    bool c_directive =
        (word == "include" && (rest.starts_with("<") || rest.starts_with("\""))) ||
        (word == "define" && !rest.empty() && isUpper(rest[0])) ||
        ((word == "ifdef" || word == "ifndef") && !rest.empty() &&
         identLength(rest) == rest.size()) ||
        (word == "endif" && (rest.empty() || rest.starts_with("/*"))) ||
        ((word == "if" || word == "elif") && rest.starts_with("defined"));
    if (c_directive) {
      hit(grammar::kCIndentedDirective);
    }
  }
}

}  // namespace ident::text
