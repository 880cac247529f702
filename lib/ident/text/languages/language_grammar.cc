// Grammar rules: the ones that need more than one pattern, or a look at
// the neighbouring lines. Each names one piece of a language's syntax and
// counts into the rule of that name in its kind's definition
// (text/kinds/*.kind), which gives its weight. Those of C and C++ live in
// c_family.cc.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "c_family.h"
#include "language_rules.h"

namespace ident::text {

using std::string_view;
using namespace std::string_view_literals;

namespace {

// True when |t| holds text between runs of exactly |width| back quotes on
// one line, with no blank just inside either run: a `code span` (1), or
// reStructuredText's ``inline literal`` (2). TeX's ``quotes'' close with
// apostrophes, and Markdown fences are runs of three.
bool hasBackQuoted(string_view t, std::size_t width) {
  const string_view quotes = "``"sv.substr(0, width);
  for (std::size_t open = t.find(quotes); open != string_view::npos;
       open = t.find(quotes, open + width)) {
    const std::size_t first = open + width;
    if ((open > 0 && t[open - 1] == '`') || first >= t.size() || t[first] == '`' ||
        t[first] == ' ') {
      continue;
    }
    const std::size_t close = t.find(quotes, first);
    if (close == string_view::npos) {
      return false;
    }
    if (t[close - 1] != ' ' && (close + width == t.size() || t[close + width] != '`')) {
      return true;
    }
    open = close;
  }
  return false;
}

// "a", "a, b": names, each alone between commas.
bool isNameList(string_view s) {
  while (true) {
    s = trimLeft(s);
    const std::size_t n = identLength(s);
    if (n == 0) {
      return false;
    }
    s = trimLeft(s.substr(n));
    if (s.empty()) {
      return true;
    }
    if (s[0] != ',') {
      return false;
    }
    s.remove_prefix(1);
  }
}

// True when |under| underlines the title |title|: a run of one
// punctuation character, at least three and at least as wide as the title.
bool isTitleUnderline(const Line& title, const Line& under) {
  string_view u = under.raw;
  return u.size() >= 3 && !title.trimmed.empty() && u.size() >= title.raw.size() &&
         contains("=-~^*+#'`\"", u.substr(0, 1)) &&
         std::all_of(u.begin(), u.end(), [&](char c) { return c == u[0]; });
}

// True when a comment above the package clause on line |i| opens as Go's
// package documentation does, "// Package name ..." (or a block comment's
// line "Package name ...").
bool isDocumentedGoPackage(const std::vector<Line>& lines, std::size_t i) {
  for (std::size_t j = i; j > 0; --j) {
    string_view t = lines[j - 1].trimmed;
    if (t.starts_with("//") || t.starts_with("/*")) {
      t = trim(t.substr(2));
    }
    if (t.starts_with("Package ") && t.size() > 8 && isLower(t[8])) {
      return true;
    }
  }
  return false;
}

// The nearest line above line |i| that is not blank, or nullptr.
const Line* lineAbove(const std::vector<Line>& lines, std::size_t i) {
  while (i > 0 && lines[i - 1].trimmed.empty()) {
    --i;
  }
  return i > 0 ? &lines[i - 1] : nullptr;
}

// How the bracket at |t[k]| changes the depth of nesting: +1 for an opening
// (, [, { or <, -1 for a closing one; the ">" of an arrow "=>" closes none.
int bracketStep(string_view t, std::size_t k) {
  switch (t[k]) {
    case '(': case '[': case '{': case '<':
      return 1;
    case ')': case ']': case '}':
      return -1;
    case '>':
      return k > 0 && t[k - 1] == '=' ? 0 : -1;
    default:
      return 0;
  }
}

// The module an import or re-export line names: its last quoted string,
// "import a from './a.ts';" gives "./a.ts".
string_view quotedModule(string_view tr) {
  std::size_t close = tr.find_last_of("'\"");
  if (close == string_view::npos || close == 0) {
    return {};
  }
  std::size_t open = tr.find_last_of(tr[close], close - 1);
  if (open == string_view::npos) {
    return {};
  }
  return tr.substr(open + 1, close - open - 1);
}

// "Name," or "Name = value," (the last member without the comma).
bool isEnumMember(string_view tr) {
  std::size_t n = identLength(tr);
  if (n == 0) {
    return false;
  }
  string_view rest = tr.substr(n);
  return rest.empty() || rest == "," ||
         (rest.starts_with(" = ") && rest.size() > 3 && !contains(rest, ";") &&
          !contains(rest, "=>") && !contains(rest.substr(3), " = "));
}

// Whether line |i| lies inside the braces of "export enum Name {", "const
// enum Name {" or "declare enum Name {", among its members.
bool insideTypeScriptEnum(const std::vector<Line>& lines, std::size_t i) {
  constexpr std::size_t kMaxMembers = 64;
  for (std::size_t k = i; k > 0 && i - k < kMaxMembers; --k) {
    string_view above = lines[k - 1].trimmed;
    if (above.ends_with("{")) {
      for (string_view opening : {"export enum "sv, "export const enum "sv, "const enum "sv,
                                  "declare enum "sv, "export declare enum "sv,
                                  "declare const enum "sv}) {
        if (above.starts_with(opening)) {
          return true;
        }
      }
      return false;
    }
    if (!above.empty() && !isCCommentLine(above) && !isEnumMember(above)) {
      return false;
    }
  }
  return false;
}

// True when |t| declares a class member as TypeScript does: an access
// modifier, "readonly" or "static" perhaps, the name, then ": " and a type.
bool isTypedMember(string_view t) {
  bool modifier = false;
  for (string_view word : {"private "sv, "public "sv, "protected "sv}) {
    if (t.starts_with(word)) {
      t.remove_prefix(word.size());
      modifier = true;
      break;
    }
  }
  if (!modifier) {
    return false;
  }
  for (string_view word : {"static "sv, "readonly "sv}) {
    if (t.starts_with(word)) {
      t.remove_prefix(word.size());
    }
  }
  const std::size_t n = identLength(t);
  string_view rest = t.substr(n);
  if (rest.starts_with("?")) {
    rest.remove_prefix(1);
  }
  return n > 0 && rest.starts_with(": ") && rest.size() > 2 &&
         (isIdentChar(rest[2]) || rest[2] == '{' || rest[2] == '(' || rest[2] == '[');
}

// True when |t| holds an arrow function whose parameters all carry a type:
// "(name: Type, other?: Type<A>[]) =>" or "(...): Result =>".
bool hasTypedArrowParameters(string_view t) {
  for (std::size_t arrow = t.find(" =>"); arrow != string_view::npos;
       arrow = t.find(" =>", arrow + 3)) {
    string_view before = t.substr(0, arrow);
    // A return type between the parameters and the arrow.
    if (std::size_t colon = before.rfind("): "); colon != string_view::npos &&
                                                  before.find(')', colon + 1) == string_view::npos) {
      before = before.substr(0, colon + 1);
    }
    if (!before.ends_with(")")) {
      continue;
    }
    std::size_t open = before.rfind('(');
    if (open == string_view::npos || open + 2 >= before.size()) {
      continue;
    }
    string_view parameters = before.substr(open + 1, before.size() - open - 2);
    bool typed = !parameters.empty();
    while (typed && !parameters.empty()) {
      std::size_t comma = parameters.find(", ");
      string_view parameter = parameters.substr(0, comma);
      std::size_t n = identLength(parameter);
      string_view rest = parameter.substr(n);
      if (rest.starts_with("?")) {
        rest.remove_prefix(1);
      }
      typed = n > 0 && rest.size() > 2 && rest.starts_with(": ") &&
              std::all_of(rest.begin() + 2, rest.end(), [](char c) {
                return isIdentChar(c) || c == '<' || c == '>' || c == '[' || c == ']' ||
                       c == '.' || c == ' ' || c == '|';
              });
      parameters = comma == string_view::npos ? string_view() : parameters.substr(comma + 2);
    }
    if (typed) {
      return true;
    }
  }
  return false;
}

// The words that may stand before a TypeScript function's or method's name:
// "export default async function name(", "private static name(".
bool isDeclarationWord(string_view word) {
  static constexpr string_view kWords[] = {
      "export", "default", "async",     "function", "function*", "public",
      "private", "protected", "static", "abstract", "override",  "get",
      "set",     "declare"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// The index of the bracket that closes the one at |open| in |t|, counting
// (), [], {} and <> alike; npos when the line ends first.
std::size_t closingBracket(string_view t, std::size_t open) {
  int depth = 0;
  for (std::size_t k = open; k < t.size(); ++k) {
    const int step = bracketStep(t, k);
    depth += step;
    if (step < 0 && depth == 0) {
      return k;
    }
  }
  return string_view::npos;
}

// True when |parameters|, the text between a declaration's parentheses,
// names one parameter or more and gives each a type after its name:
// "name: Type", "name?: Type", "...rest: T[]", "name: Type = fallback",
// "private readonly name: Type" or "@Body() name: Type". JavaScript names
// its parameters alone; where a ":" follows a name there, it is inside a
// destructuring pattern, which opens with "{" or "[".
bool allParametersTyped(string_view parameters) {
  parameters = trim(parameters);
  if (parameters.empty()) {
    return false;
  }
  while (!parameters.empty()) {
    std::size_t end = 0;
    int depth = 0;
    while (end < parameters.size() && (depth > 0 || parameters[end] != ',')) {
      depth += bracketStep(parameters, end);
      ++end;
    }
    string_view parameter = trim(parameters.substr(0, end));
    parameters = end < parameters.size() ? trimLeft(parameters.substr(end + 1)) : string_view();
    if (parameter.starts_with("@")) {  // a parameter decorator
      std::size_t close = parameter.find(") ");
      if (close == string_view::npos) {
        return false;
      }
      parameter = trimLeft(parameter.substr(close + 2));
    }
    for (string_view word : {"public "sv, "private "sv, "protected "sv, "readonly "sv}) {
      if (parameter.starts_with(word)) {
        parameter.remove_prefix(word.size());
      }
    }
    if (parameter.starts_with("...")) {
      parameter.remove_prefix(3);
    }
    const std::size_t n = identLength(parameter);
    string_view rest = parameter.substr(n);
    if (rest.starts_with("?")) {
      rest.remove_prefix(1);
    }
    if (n == 0 || !rest.starts_with(": ") || rest.size() < 3 ||
        !(isIdentChar(rest[2]) || contains("{([\"'", rest.substr(2, 1)))) {
      return false;
    }
  }
  return true;
}

// True when |t| declares a function or a method whose parameters all carry
// types and opens its body on the line: "export function f(a: string,
// b: Options = {}) {", "  area(scale: number) {", with or without a return
// type. Kotlin's, Rust's, Python's and Swift's definitions open with "fun",
// "fn", "def" and "func"; Pascal's headings end in ";".
bool isTypedDeclaration(string_view t) {
  const string_view tr = trimRight(t);
  if (!tr.ends_with("{") && !tr.ends_with("{}")) {
    return false;
  }
  std::size_t open = t.find('(');
  if (open == string_view::npos || open == 0) {
    return false;
  }
  // The words before the parameters: declaration words, then the name with
  // its type parameters ("name<T>").
  string_view head = trimRight(t.substr(0, open));
  if (head.ends_with(">")) {
    std::size_t lt = head.find('<');
    if (lt == string_view::npos) {
      return false;
    }
    head = head.substr(0, lt);
  }
  bool named = false;
  while (!head.empty()) {
    std::size_t end = head.find(' ');
    string_view word = head.substr(0, end);
    head = end == string_view::npos ? string_view() : trimLeft(head.substr(end));
    if (head.empty()) {
      named = (identLength(word) == word.size() && !word.empty()) || word == "function";
      if (word == "if" || word == "for" || word == "while" || word == "switch" ||
          word == "catch" || word == "with" || word == "return") {
        return false;
      }
    } else if (!isDeclarationWord(word)) {
      return false;
    }
  }
  std::size_t close = closingBracket(t, open);
  if (!named || close == string_view::npos) {
    return false;
  }
  string_view after = trimLeft(t.substr(close + 1));
  if (!after.starts_with("{") && !after.starts_with(": ")) {
    return false;
  }
  return allParametersTyped(t.substr(open + 1, close - open - 1));
}

// True when |t| declares a constant or variable with a type after its name,
// "const rules: Rule[] = [" or "let timer: Timer | undefined;". Rust's
// "let x: u8" and "const N: usize" name lower-case primitives of their own
// (and Rust paths hold "::"), Kotlin writes "val" and "var".
bool isTypedVariable(string_view t) {
  for (string_view word : {"export "sv, "declare "sv}) {
    if (t.starts_with(word)) {
      t.remove_prefix(word.size());
    }
  }
  if (t.starts_with("const ")) {
    t.remove_prefix(6);
  } else if (t.starts_with("let ")) {
    t.remove_prefix(4);
  } else {
    return false;
  }
  const std::size_t n = identLength(t);
  string_view rest = t.substr(n);
  if (rest.starts_with("!") || rest.starts_with("?")) {
    rest.remove_prefix(1);
  }
  if (n == 0 || !rest.starts_with(":") || contains(t, "::")) {
    return false;
  }
  string_view type = trimLeft(rest.substr(1));
  if (type.empty()) {
    return false;
  }
  if (isUpper(type[0]) || type[0] == '{' || type[0] == '(' || type[0] == '[') {
    return true;
  }
  static constexpr string_view kTypeWords[] = {"string", "number", "boolean", "any",
                                               "unknown", "never", "object", "symbol",
                                               "bigint", "typeof", "keyof", "readonly"};
  return std::any_of(std::begin(kTypeWords), std::end(kTypeWords),
                     [&](string_view word) { return startsWithWord(type, word); });
}

// |t| without the modifiers Kotlin writes before a declaration
// ("private override fun", "internal lateinit var").
string_view withoutKotlinModifiers(string_view t) {
  static constexpr string_view kModifiers[] = {
      "private "sv, "protected "sv, "internal "sv, "public "sv, "override "sv, "open "sv,
      "lateinit "sv, "const "sv, "inline "sv, "suspend "sv, "operator "sv, "infix "sv};
  for (bool more = true; more;) {
    more = false;
    for (string_view modifier : kModifiers) {
      if (t.starts_with(modifier)) {
        t.remove_prefix(modifier.size());
        more = true;
      }
    }
  }
  return t;
}

// Kotlin properties typed after their names, with no ";" after them:
// "var mainJavaVersion: JavaVersion = JavaVersion.VERSION_1_8" or
// "val name: String". (TypeScript declares with "let" and "const".)
bool isKotlinTypedProperty(string_view t, string_view tr) {
  t = withoutKotlinModifiers(t);
  if (tr.ends_with(";") || !(t.starts_with("val ") || t.starts_with("var "))) {
    return false;
  }
  string_view rest = t.substr(4);
  const std::size_t n = identLength(rest);
  rest = rest.substr(n);
  if (rest.starts_with("?")) {
    rest.remove_prefix(1);
  }
  return n > 0 && rest.size() > 2 && rest.starts_with(": ") && isUpper(rest[2]);
}

// Kotlin extension functions, declared on a receiver type:
// "fun Task.trackInputs() =", "fun <T> List<T>.second(): T".
bool isKotlinExtensionFunction(string_view t) {
  t = withoutKotlinModifiers(t);
  if (!t.starts_with("fun ")) {
    return false;
  }
  string_view rest = t.substr(4);
  if (rest.starts_with("<")) {
    std::size_t close = closingBracket(rest, 0);
    if (close == string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ' ') {
      return false;
    }
    rest = rest.substr(close + 2);
  }
  std::size_t n = identLength(rest);
  if (n == 0 || !isUpper(rest[0])) {
    return false;
  }
  if (n < rest.size() && rest[n] == '<') {
    std::size_t close = closingBracket(rest, n);
    if (close == string_view::npos) {
      return false;
    }
    n = close + 1;
  }
  if (n < rest.size() && rest[n] == '?') {
    ++n;
  }
  if (n >= rest.size() || rest[n] != '.') {
    return false;
  }
  string_view name = rest.substr(n + 1);
  const std::size_t m = identLength(name);
  return m > 0 && m < name.size() && name[m] == '(';
}

}  // namespace

void scoreGrammarRules(const std::vector<Line>& lines, std::size_t i,
                       GrammarHits& hits) {
  const Line& line = lines[i];
  string_view t = line.text;
  string_view tr = line.trimmed;
  auto hit = [&](GrammarRule rule) { addHit(hits, rule); };

  scoreCFamilyGrammar(lines, i, hits);
  // The line without a trailing "# comment" (Ruby's "# :nodoc:" ends in a
  // colon that is no Python block).
  string_view code = tr;
  if (std::size_t hash = code.find(" #"); hash != string_view::npos) {
    code = trimRight(code.substr(0, hash));
  }
  // Python: "def f(...):", "class C(B):", "from m import n", block headers.
  if ((t.starts_with("def ") || t.starts_with("async def ")) &&
      (code.ends_with(":") || contains(t, ") ->"))) {
    hit(grammar::kPythonFunctionDef);
  }
  if (t.starts_with("class ") && code.ends_with(":")) {
    hit(grammar::kPythonClassDef);
  }
  if (t.starts_with("from ") && contains(t, " import ")) {
    hit(grammar::kPythonFromImport);
  }
  // A module's docstring opens its code, below "#" comments at most: no
  // other kind of text starts with three quotes.
  if (opensDocstring(t) &&
      line.raw.size() == t.size() &&
      std::all_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                  [](const Line& above) {
                    return above.trimmed.empty() || above.trimmed.starts_with("#");
                  })) {
    hit(grammar::kPythonModuleDocstring);
  }
  // ("import a.b.*" and "import a.b.Class" are Java's or Kotlin's; Python
  // imports "*" only with "from", and modules, not classes, with "import".)
  if (startsWithWord(t, "import") && !tr.ends_with(";") && !contains(t, "\"") &&
      !contains(t, "'") && !contains(t, "(") && !contains(t, "{") &&
      !contains(t, "*")) {
    std::size_t dot = tr.rfind('.');
    if (dot == string_view::npos || dot + 1 >= tr.size() || !isUpper(tr[dot + 1])) {
      hit(grammar::kPythonModuleImport);
    }
  }
  // A "for" header names its loop variable and what it runs over ("for
  // name in items:"); prose introduces a list with "for each entry:".
  if ((t.starts_with("elif ") || t.starts_with("except") ||
       t.starts_with("with ") ||
       (t.starts_with("for ") && contains(t, " in ")) ||
       t.starts_with("while ")) &&
      code.ends_with(":")) {
    hit(grammar::kPythonBlockHeader);
  }
  // Ruby: "def name" without a colon, "class A < B", "module A::B".
  if (t.starts_with("def ") && !code.ends_with(":") && !tr.ends_with("{") &&
      !contains(t, ") ->")) {
    hit(grammar::kRubyDefWithoutColon);
  }
  if (t.starts_with("class ") && contains(t, " < ") && !tr.ends_with("{")) {
    hit(grammar::kRubySubclass);
  }
  if (t.starts_with("module ") && t.size() > 7 && isUpper(t[7]) &&
      !contains(t, "=") && !contains(t, " where") && !tr.ends_with(";") &&
      !contains(t, ".")) {
    hit(grammar::kRubyModuleDeclaration);
  }
  // Lua: "local x = ...", "function M.f(...)", "if x then" without a semicolon.
  // Declared without a value, "local a, b" lists names, where a table of
  // columns ("local   all   postgres   peer") has words side by side.
  if (t.starts_with("local ") &&
      (contains(t, " = ") || (tr.find_first_of("=(") == string_view::npos &&
                              isNameList(t.substr(6))))) {
    hit(grammar::kLuaLocalBinding);
  }
  if (t.starts_with("function ") && t.find_first_of(".:") < t.find('(')) {
    hit(grammar::kLuaTableFunction);
  }
  if (t.starts_with("if ") && tr.ends_with(" then") && !contains(t, ";")) {
    hit(grammar::kLuaIfThen);
  }
  // JavaScript ES modules: "import x from 'y'", and the re-exports that
  // make up a package's index ("export * from './a'", "export { b } from
  // './b'").
  if ((t.starts_with("import ") ||
       (t.starts_with("export ") && !contains(t, "("))) &&
      (contains(t, " from '") || contains(t, " from \""))) {
    hit(grammar::kJavaScriptModuleImport);
  }
  if (t.starts_with("export ") &&
      (contains(t, "function") || contains(t, "const ") ||
       contains(t, "class "))) {
    hit(grammar::kJavaScriptExport);
  }
  // Java and Go packages: "package a.b.c;" versus "package name".
  if (t.starts_with("package ")) {
    string_view name = trim(t.substr(8));
    bool dotted = !name.empty() && name.back() == ';' &&
                  !contains(name, "::") && !contains(name, " ");
    // Go's clause may carry an import comment, "package v1 // import
    // "k8s.io/api/v1"".
    string_view go_name = name.substr(0, name.find(" //"));
    bool plain = !go_name.empty() && isLower(go_name[0]) &&
                 identLength(go_name) == go_name.size();
    if (dotted) {
      hit(grammar::kJavaDottedPackage);
    }
    if (plain) {
      hit(grammar::kGoPackageClause);
      if (isDocumentedGoPackage(lines, i)) {
        hit(grammar::kGoDocumentedPackage);
      }
    }
  }
  // cgo: the C code in the comment above 'import "C"' is the Go file's,
  // and its "#cgo" directives are Go's build settings.
  if (tr == "import \"C\"" || line.raw.starts_with("#cgo ")) {
    hit(grammar::kGoCgoImport);
  }
  // RSpec's examples and contexts are blocks: "it 'works' do", "context
  // 'when empty' do" (Vim's test scripts write "it 'works'" with no "do").
  if ((t.starts_with("it ") || t.starts_with("context ")) &&
      (tr.ends_with(" do") || (contains(t, " do |") && tr.ends_with("|")))) {
    hit(grammar::kRubySpecBlock);
  }
  // Blocks handed to a constant's method, "Rails.application.configure do",
  // "Puppet::Type.newtype(:x) do", and to a call with a symbol, "namespace
  // :db do", "task :seed do" (Lua's "do" follows a loop's head, Elixir's a
  // definition's).
  if (tr.ends_with(" do")) {
    std::size_t n = identLength(t);
    string_view after = t.substr(n);
    if (n > 0 && isUpper(t[0]) && (after.starts_with("::") || after.starts_with("."))) {
      hit(grammar::kRubyBlockCall);
    } else if (n > 0 && isLower(t[0]) && after.starts_with(" :") && t.size() > n + 2 &&
               isLetter(t[n + 2]) && identLength(t.substr(n + 2)) + n + 2 + 3 == t.size()) {
      hit(grammar::kRubyBlockCall);
    }
  }
  // Ruby's hash keys as symbols, ":name => value" (Perl's keys are bare
  // words, PHP's strings).
  for (std::size_t arrow = t.find(" => "); arrow != string_view::npos;
       arrow = t.find(" => ", arrow + 4)) {
    std::size_t start = arrow;
    while (start > 0 && (isLetter(t[start - 1]) || isDigit(t[start - 1]) || t[start - 1] == '_')) {
      --start;
    }
    if (start < arrow && start > 0 && t[start - 1] == ':' &&
        (start == 1 || t[start - 2] == ' ' || t[start - 2] == '(' || t[start - 2] == '{' ||
         t[start - 2] == ',')) {
      hit(grammar::kRubySymbolHashRocket);
      break;
    }
  }
  // Rust's use declarations name a crate in lower case, "use std::fmt;",
  // "use libc::{c_int, size_t};" (Perl's modules are capitalised, "use
  // File::Spec;", and PHP's namespaces take back slashes).
  if (t.starts_with("use ") && t.size() > 4 && isLower(t[4]) && contains(t, "::") &&
      tr.ends_with(";") && !contains(t, "\\")) {
    hit(grammar::kRustUseDeclaration);
  }
  // Interface declarations "interface Name {", "interface Name<T>" or
  // "interface Name extends Base"; a configuration's "interface PCM" names
  // no type.
  if (t.starts_with("interface ")) {
    const string_view rest = t.substr(10);
    const std::size_t n = identLength(rest);
    const string_view after = trimLeft(rest.substr(n));
    if (n > 0 && (after.starts_with("{") || after.starts_with("<") ||
                  after.starts_with("extends "))) {
      hit(grammar::kTypeScriptInterface);
    }
  }
  // TypeScript's CommonJS forms, "import fs = require('fs');" and "export =
  // fs;", which JavaScript cannot parse.
  if (t.starts_with("import ") && contains(t, " = require(")) {
    hit(grammar::kTypeScriptImportRequire);
  }
  // Imports that only a TypeScript module makes: of a module written in
  // TypeScript ("import './polyfills.ts';", as Deno and bundlers allow),
  // and of Angular's packages by name ("import { Component } from
  // '@angular/core';"; its built bundles import them "* as i0").
  if (t.starts_with("import ") || (t.starts_with("export ") && contains(t, " from "))) {
    string_view module = quotedModule(tr);
    if (module.ends_with(".ts") || module.ends_with(".tsx") ||
        (module.starts_with("@angular/") && !t.starts_with("import * as "))) {
      hit(grammar::kTypeScriptTypeScriptImport);
    }
  }
  if (t.starts_with("import ") && tr.ends_with(";") && !contains(t, "\"") &&
      !contains(t, "'") && contains(t, ".") && !contains(t, " from ")) {
    hit(grammar::kJavaDottedImport);
  }
  // A Java package documented or annotated where it is declared (a
  // package-info.java file holds little else): a doc comment's "*/" or an
  // annotation right above "package a.b;".
  if (t.starts_with("package ") && tr.ends_with(";") && contains(t, ".") &&
      t.find(' ', 8) == string_view::npos) {
    const Line* above = lineAbove(lines, i);
    if (above != nullptr &&
        (above->trimmed.ends_with("*/") || above->text.starts_with("@"))) {
      hit(grammar::kJavaDocumentedPackage);
    }
  }
  // A Java module's declaration (module-info.java): "module a.b {", then
  // "requires a.b;", "exports a.b to c.d;", "provides A with B;". Pascal's
  // "uses" clause lists unit names, with commas.
  if ((t.starts_with("module ") || t.starts_with("open module ")) && tr.ends_with("{") &&
      contains(t, ".")) {
    hit(grammar::kJavaModuleDirective);
  }
  for (string_view word : {"requires "sv, "exports "sv, "opens "sv, "uses "sv, "provides "sv}) {
    if (t.starts_with(word) && tr.ends_with(";") && !contains(t, ",")) {
      string_view name = t.substr(word.size());
      if (name.starts_with("transitive ") || name.starts_with("static ")) {
        name = name.substr(name.find(' ') + 1);
      }
      std::size_t n = 0;
      while (n < name.size() && (isIdentChar(name[n]) || name[n] == '.')) {
        ++n;
      }
      string_view rest = name.substr(n);
      if (contains(name.substr(0, n), ".") &&
          (rest == ";" || rest.starts_with(" to ") || rest.starts_with(" with "))) {
        hit(grammar::kJavaModuleDirective);
      }
    }
  }
  if (t.starts_with("type ") &&
      (contains(t, " struct {") || contains(t, " interface {"))) {
    hit(grammar::kGoTypeDeclaration);
  }
  // Perl and Rust both write "use A::B;"; Perl's packages have "::" too.
  if (t.starts_with("package ") && contains(t, "::") && tr.ends_with(";")) {
    hit(grammar::kPerlPackage);
  }
  // Kotlin packages and imports: dotted names without a semicolon.
  if ((t.starts_with("package ") || t.starts_with("import ")) &&
      !tr.ends_with(";") && !contains(t, "\"") && !contains(t, "'") &&
      !contains(t, " from ")) {
    string_view name = trim(t.substr(t.find(' ') + 1));
    std::size_t n = 0;
    while (n < name.size() &&
           (isIdentChar(name[n]) || name[n] == '.' || name[n] == '*')) {
      ++n;
    }
    std::size_t dot = name.rfind('.', n);
    bool typed = dot != string_view::npos && dot + 1 < n &&
                 (isUpper(name[dot + 1]) || name[dot + 1] == '*');
    if (n == name.size() && contains(name, ".")) {
      if (t.starts_with("package ")) {
        hit(grammar::kKotlinPackage);
      } else if (typed) {
        hit(grammar::kKotlinTypedImport);  // Scala and Groovy import so too
      }
    }
  }
  // Gradle's Kotlin scripts: a dependency of a configuration, called with
  // a quoted coordinate or a typed accessor ("api(libs.opentest4j)",
  // "testImplementation(kotlin(\"test\"))"), and a precompiled plugin
  // applied by its name in back quotes.
  {
    static constexpr string_view kConfigurations[] = {
        "implementation", "api", "compileOnly", "compileOnlyApi", "runtimeOnly",
        "testImplementation", "testRuntimeOnly", "testCompileOnly", "annotationProcessor",
        "kapt", "ksp", "classpath", "androidTestImplementation", "debugImplementation"};
    const std::size_t n = identLength(t);
    if (n > 0 && n < t.size() && t[n] == '(' && tr.ends_with(")") &&
        std::find(std::begin(kConfigurations), std::end(kConfigurations), t.substr(0, n)) !=
            std::end(kConfigurations)) {
      string_view argument = t.substr(n + 1);
      for (string_view start : {"\""sv, "libs."sv, "projects."sv, "project(\""sv,
                                "platform("sv, "kotlin(\""sv, "enforcedPlatform("sv}) {
        if (argument.starts_with(start)) {
          hit(grammar::kKotlinGradleDependency);
          break;
        }
      }
    }
    if (tr.size() > 2 && tr.front() == '`' && tr.back() == '`' &&
        tr.find('`', 1) == tr.size() - 1 && line.raw.size() > t.size()) {
      hit(grammar::kKotlinQuotedPlugin);
    }
  }
  if (isKotlinTypedProperty(t, tr)) {
    hit(grammar::kKotlinTypedProperty);
  }
  if (isKotlinExtensionFunction(t)) {
    hit(grammar::kKotlinExtensionFunction);
  }
  // Kotlin singletons "object Name {" (prose wraps lines before "object").
  if (t.starts_with("object ") && t.size() > 7 && isUpper(t[7])) {
    hit(grammar::kKotlinObject);
  }
  // Kotlin and TypeScript functions: "fun f(x: Int): Int", "f(x: T): R {".
  if (contains(t, "fun ") && contains(t, "): ")) {
    hit(grammar::kKotlinTypedFunction);
  }
  // Pascal's routine headings: "function F(A: Integer): Boolean;" ends in a
  // ";" where TypeScript's function opens its body (a TypeScript overload
  // without one comes before the function that has it); Pascal separates
  // its parameters with ";" ("(A: Integer; B: string)") where TypeScript
  // writes "," (its ";" stands only within an object type's braces), marks
  // them "const", "var" or "out", writes "class function" for a static
  // method and follows a heading with directives ("; virtual;").
  const bool pascal_heading = [&] {
    if ((t.starts_with("function ") && tr.ends_with(";")) ||
        t.starts_with("class function ") || t.starts_with("class procedure ")) {
      return true;
    }
    // The parameters, or the last of them where they go on from the line
    // before.
    std::size_t close = t.find("): ");
    if (close == string_view::npos) {
      return false;
    }
    std::size_t open = t.rfind('(', close);
    string_view parameters =
        open == string_view::npos ? t.substr(0, close) : t.substr(open + 1, close - open - 1);
    if (parameters.starts_with("const ") || parameters.starts_with("var ") ||
        parameters.starts_with("out ")) {
      return true;
    }
    int depth = 0;
    for (char c : parameters) {
      depth += c == '{' ? 1 : (c == '}' ? -1 : 0);
      if (c == ';' && depth == 0) {
        return true;
      }
    }
    // "): Boolean; virtual;": a word after the heading's ";".
    std::size_t end = t.find(';', close);
    return end != string_view::npos && end + 2 < t.size() && t[end + 1] == ' ' &&
           isLower(t[end + 2]) && tr.ends_with(";");
  }();
  if ((t.starts_with("function ") || t.starts_with("export function ")) &&
      contains(t, "): ") && !pascal_heading) {
    hit(grammar::kTypeScriptTypedFunction);
  }
  // TypeScript return types "): Observable<T>" and generic parameters
  // "function f<T>(" or "class Box<T>". A return type ends the signature: a
  // body, a ";", an arrow or the line's end follows it, where prose goes on
  // with words ("Jane (Acme): Added docs").
  // A ChangeLog names what an entry changed the same way: "* file.c
  // (name): Remove;" and, on the lines after, "(name, other): Likewise.";
  // a bullet is no signature, and a signature's parameters have types.
  const std::size_t names_end = t.find("): ");
  const bool changelog_entry =
      t.starts_with("* ") || t.starts_with("- ") ||
      (t.starts_with("(") && names_end != string_view::npos && names_end > 1 &&
       !contains(t.substr(0, names_end), ":"));
  if (std::size_t at = t.find("): ");
      at != string_view::npos && at + 3 < t.size() && isUpper(t[at + 3]) &&
      !contains(t, " ? ") && !pascal_heading && !changelog_entry) {
    string_view type = t.substr(at + 3);
    std::size_t n = 0;
    while (n < type.size() &&
           (isIdentChar(type[n]) || contains(".<>[]", type.substr(n, 1)))) {
      ++n;
    }
    string_view after = trim(type.substr(n));
    // A type never ends in a full stop, a sentence does (a ChangeLog's
    // "* file.c (name): Likewise.").
    if (n > 0 && type[n - 1] == '.') {
      after = "."sv;
    }
    if (after.empty() || after[0] == '{' || after[0] == ';' ||
        after[0] == '=' || after[0] == '|' || after[0] == ',') {
      hit(grammar::kTypeScriptReturnType);
    }
  }
  for (string_view word : {"function "sv, "class "sv, "interface "sv}) {
    std::size_t at = t.find(word);
    if (at != string_view::npos && (at == 0 || t[at - 1] == ' ')) {
      string_view rest = t.substr(at + word.size());
      std::size_t n = identLength(rest);
      if (n > 0 && n < rest.size() && rest[n] == '<' && n + 1 < rest.size() &&
          isUpper(rest[n + 1])) {
        hit(grammar::kTypeScriptGenericParameter);
      }
    }
  }
  // Arrow functions with typed parameters, "(req: Request, res: Response)
  // =>" or "(x: number): string =>": JavaScript's arrows take names alone,
  // C#'s lambdas put the type first.
  if (hasTypedArrowParameters(t)) {
    hit(grammar::kTypeScriptTypedArrowParameters);
  }
  // Class members declared with an access modifier and a type after the
  // name, "private cache: Map<string, Entry>;" or "protected name?: string":
  // Java and C# put the type first, Kotlin writes "val" or "var" between.
  if (isTypedMember(t)) {
    hit(grammar::kTypeScriptTypedMember);
  }
  // Functions and methods whose parameters carry types, constants and
  // variables typed after their names, type aliases ("type Id = string;",
  // which Haskell writes without the ";" and Go for structs and interfaces),
  // and classes under a decorator ("@Component({...})" then "export class").
  if (isTypedDeclaration(t)) {
    hit(grammar::kTypeScriptTypedParameters);
  }
  if (isTypedVariable(t)) {
    hit(grammar::kTypeScriptTypedVariable);
  }
  // Members of an exported, constant or declared enum, "Red = 'red'," or
  // "Pending,": JavaScript has no enums, and the opening words are not C's.
  if (!t.empty() && line.raw.size() != t.size() && isUpper(t[0]) && isEnumMember(tr) &&
      insideTypeScriptEnum(lines, i)) {
    hit(grammar::kTypeScriptEnumMember);
  }
  if (t.starts_with("type ") && t.size() > 5 && isUpper(t[5])) {
    std::size_t n = identLength(t.substr(5));
    string_view rest = t.substr(5 + n);
    if (rest.starts_with("<")) {
      std::size_t close = closingBracket(rest, 0);
      rest = close == string_view::npos ? string_view() : rest.substr(close + 1);
    }
    if (rest.starts_with(" = ") &&
        (tr.ends_with(";") || tr.ends_with("{") || tr.ends_with("|") || tr.ends_with("=") ||
         tr.ends_with("("))) {
      hit(grammar::kTypeScriptTypeAlias);
    }
  }
  if ((t.starts_with("export class ") || t.starts_with("export default class ") ||
       t.starts_with("export abstract class "))) {
    const Line* above = lineAbove(lines, i);
    if (above != nullptr &&
        (above->text.starts_with("@") || above->trimmed == "})")) {
      hit(grammar::kTypeScriptDecoratedClass);
    }
  }
  // C# namespaces "namespace A.B" (PHP writes "namespace A\B;").
  if (t.starts_with("namespace ") && !contains(t, "\\") &&
      !contains(t, "::") && !contains(t, "=")) {
    string_view name = trim(t.substr(10));
    if (name.ends_with(";") || name.ends_with("{")) {
      name = trimRight(name.substr(0, name.size() - 1));
    }
    if (!name.empty() && isUpper(name[0]) &&
        std::all_of(name.begin(), name.end(),
                    [](char c) { return isIdentChar(c) || c == '.'; })) {
      hit(grammar::kCSharpNamespace);
    }
  }
  // Elixir: "def name(args) do" (Ruby's def has no "do").
  if ((t.starts_with("def ") || t.starts_with("defp ")) &&
      (tr.ends_with(" do") || contains(t, ", do:"))) {
    hit(grammar::kElixirDefDo);
  }
  // Elixir aliases name a module ("alias MyApp.Repo"); XKB keymaps alias
  // key codes ("alias <AC12> = <BKSL>;").
  if (t.starts_with("alias ") && t.size() > 6 && isUpper(t[6])) {
    hit(grammar::kElixirAlias);
  }
  // Erlang function clauses "name(Args) ->" at the margin.
  if (!line.raw.empty() && isLower(line.raw[0]) && tr.ends_with("->")) {
    std::size_t n = identLength(line.raw);
    if (n < line.raw.size() && line.raw[n] == '(') {
      hit(grammar::kErlangFunctionClause);
    }
  }
  // R assignments "name <- value" at the margin.
  if (!line.raw.empty() && (isIdentChar(line.raw[0]) || line.raw[0] == '.')) {
    std::size_t n = 0;
    while (n < line.raw.size() &&
           (isIdentChar(line.raw[n]) || line.raw[n] == '.')) {
      ++n;
    }
    if (line.raw.substr(n).starts_with(" <- ")) {
      hit(grammar::kRAssignment);
    }
  }
  // ... and inside functions, assigned from a call: "p <- ggplot(x)".
  if (line.raw.size() > t.size() && isLower(t[0])) {
    std::size_t n = 0;
    while (n < t.size() && (isIdentChar(t[n]) || t[n] == '.')) {
      ++n;
    }
    string_view rest = t.substr(n);
    if (rest.starts_with(" <- ") && tr.ends_with(")") && contains(rest, "(") &&
        !contains(rest, "$")) {
      hit(grammar::kRCallAssignment);
    }
  }
  // Assembly: GNU as directives, NASM's, and instruction lines whose
  // operands name registers or immediates. roff's requests look the same
  // (".if", ".fill") but read number registers and strings with "\n[" or
  // "\*(" and open blocks with "\{".
  const bool roff_escapes = contains(t, "\\n[") || contains(t, "\\n(") ||
                            contains(t, "\\*[") || contains(t, "\\*(") ||
                            contains(t, "\\{");
  if (t.size() > 2 && t[0] == '.' && isLower(t[1]) && !roff_escapes) {
    static constexpr string_view kDirectives[] = {
        ".globl",  ".global", ".text",  ".data",   ".section", ".type",
        ".size",   ".align",  ".p2align", ".balign", ".long",   ".quad",
        ".byte",   ".word",   ".short", ".string", ".asciz",   ".ascii",
        ".file",   ".ident",  ".macro", ".endm",   ".equ",     ".set",
        ".hidden", ".weak",   ".extern", ".include", ".bss",   ".rodata",
        ".arch",   ".syntax", ".thumb", ".arm",    ".code",    ".intel_syntax",
        ".option", ".endr",   ".rept",  ".irp",    ".if",      ".endif",
        ".cfi_startproc", ".cfi_endproc", ".previous", ".local", ".comm",
        ".zero",   ".skip",   ".fill",  ".int",    ".loc",     ".org"};
    std::size_t n = 1;
    while (n < t.size() && (isIdentChar(t[n]))) {
      ++n;
    }
    string_view word = t.substr(0, n);
    if ((n == t.size() || isSpace(t[n])) &&
        (std::find(std::begin(kDirectives), std::end(kDirectives), word) !=
             std::end(kDirectives) ||
         word.starts_with(".cfi_"))) {
      hit(grammar::kAssemblyDirective);
    }
  }
  if (line.raw.size() > t.size() && (isLower(t[0]) || isUpper(t[0]))) {
    std::size_t n = identLength(t);
    bool one_case = std::all_of(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n),
                                [](char c) { return !isLower(c); }) ||
                    std::all_of(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n),
                                [](char c) { return !isUpper(c); });
    if (one_case && n >= 2 && n <= 8 && n < t.size() && isSpace(t[n])) {
      string_view operands = trim(t.substr(n));
      // A comment may follow the operands, after a tab or a marker.
      operands = trimRight(operands.substr(
          0, std::min({operands.find('\t'), operands.find("//"),
                       operands.find(';'), operands.find(" @ ")})));
      std::size_t comma = operands.find(',');
      // Operands: registers and immediates ("%eax", "$1", "#4", "[sp]"),
      // or a comma list of single tokens, one with a digit ("r0, r1, #2").
      bool tokens = comma != string_view::npos;
      bool digit = false;
      for (std::size_t k = 0; tokens && k < operands.size(); ++k) {
        char c = operands[k];
        digit |= isDigit(c);
        if (c == ' ' && (k == 0 || operands[k - 1] != ',')) {
          tokens = false;  // words, not operands
        }
      }
      // The first operand is one token: "space 170304K, 3% used" in a log
      // is words.
      bool first_token =
          comma != string_view::npos &&
          trimRight(operands.substr(0, comma)).find(' ') == string_view::npos;
      // A lone "$NAME" is a shell variable ("cd $SRCDIR"); immediates are
      // numbers, or come beside another operand.
      bool immediate =
          !operands.empty() && operands[0] == '$' &&
          (comma != string_view::npos ||
           (operands.size() > 1 && (isDigit(operands[1]) || operands[1] == '-')));
      bool registers = !operands.empty() &&
                       (operands[0] == '%' || immediate ||
                        (first_token &&
                         (contains(operands, "%") ||
                          contains(operands.substr(comma), " #") ||
                          contains(operands, "["))) ||
                        (tokens && digit)) &&
                       !contains(operands, "(\"") && !tr.ends_with(";") &&
                       !tr.ends_with("{") && !contains(operands, " = ");
      if (registers) {
        hit(grammar::kAssemblyInstruction);
      }
    }
  }
  // Instructions that take no operands, alone on an indented line (a
  // comment may follow): "hlt", "cli", "syscall", "wfi", "ecall".
  if (line.raw.size() > t.size()) {
    static constexpr string_view kBare[] = {
        "hlt",    "cli",     "sti",    "nop",     "iret",    "iretq",  "pusha",  "popa",
        "pushad", "popad",   "pushf",  "popf",    "pushfd",  "popfd",  "cld",    "std",
        "clc",    "stc",     "lodsb",  "lodsw",   "lodsd",   "stosb",  "stosw",  "stosd",
        "movsb",  "movsw",   "cbw",    "cwde",    "cdq",     "cqo",    "syscall", "sysret",
        "sysenter", "leave", "int3",   "rdtsc",   "cpuid",   "wfi",    "wfe",    "eret",
        "ecall",  "ebreak",  "mret",   "sret",    "isb",     "reti",   "sei",    "vzeroupper"};
    std::size_t n = identLength(t);
    string_view after = trimLeft(t.substr(n));
    if (n > 0 && (after.empty() || after[0] == ';' || after[0] == '#' || after.starts_with("//") ||
                  after.starts_with("/*") || after[0] == '@')) {
      string_view word = t.substr(0, n);
      if (std::find(std::begin(kBare), std::end(kBare), word) != std::end(kBare)) {
        hit(grammar::kAssemblyBareInstruction);
      }
    }
  }
  // Go's assembler: "TEXT ·name(SB),NOSPLIT,$0"; gmp's m4 prologues.
  if ((t.starts_with("TEXT ") || t.starts_with("GLOBL ") ||
       t.starts_with("DATA ")) &&
      contains(t, "(SB)")) {
    hit(grammar::kAssemblyAssemblerKeyword);
  }
  if (t.starts_with("ASM_START()") || t.starts_with("PROLOGUE(") ||
      t.starts_with("EPILOGUE(")) {
    hit(grammar::kAssemblyAssemblerKeyword);
  }
  // NASM: "section .text", "bits 64", its preprocessor, data definitions.
  if (t.starts_with("section .") || t == "bits 16" || t == "bits 32" ||
      t == "bits 64" || t.starts_with("%macro ") || t == "%endmacro" ||
      t.starts_with("%define ") || t.starts_with("%include \"") ||
      t.starts_with("default rel")) {
    hit(grammar::kAssemblyAssemblerKeyword);
  }
  // Rust functions "fn name(" or "fn name<T>(" ("fn := x" in other
  // languages is a variable).
  if (t.starts_with("fn ")) {
    std::size_t n = identLength(t.substr(3));
    if (n > 0 && 3 + n < t.size() && (t[3 + n] == '(' || t[3 + n] == '<')) {
      hit(grammar::kRustFunctionDefinition);
    }
  }
  // Tcl: "proc name {args} {" and "set name value".
  if (t.starts_with("proc ") && tr.ends_with("{")) {
    hit(grammar::kTclProc);
  }
  if (t.starts_with("set ") && !contains(t, "=") && tr.size() > 4 &&
      isIdentChar(tr[4])) {
    hit(grammar::kTclSet);
  }
  // Tk's "bind .w <Control-q> {...}" names an event in angle brackets;
  // tmux binds keys by name ("bind C-a send-prefix").
  if (t.starts_with("bind ") && contains(t, " <") && contains(t, ">")) {
    hit(grammar::kTclTkBinding);
  }
  // awk: "/regexp/ {" rules and "function f(a, b,   locals)".
  if (t.starts_with("/") && tr.ends_with("/ {")) {
    hit(grammar::kAwkPatternRule);
  }
  // PowerShell cmdlets: Verb-Noun with a capital on each side.
  for (std::size_t at = t.find('-'); at != string_view::npos;
       at = t.find('-', at + 1)) {
    if (at < 3 || at + 2 >= t.size() || !isUpper(t[at + 1]) ||
        !isLower(t[at + 2])) {
      continue;
    }
    std::size_t start = at;
    while (start > 0 && isIdentChar(t[start - 1])) {
      --start;
    }
    // The name stands alone: no "-" before the verb or after the noun
    // ("Allow-Remove-Essential" and "Remove-Unused-Packages" are compound
    // words, option names) and a noun of three letters or more ("Add-On" is
    // English).
    std::size_t noun = identLength(t.substr(at + 1));
    // A cmdlet is called where a statement or a pipeline stage starts: at
    // the line's start or after "|", "(", "{", ";", "=" or "&"; a word
    // before it ("handling of Set-Cookie headers", "'Import-Package'")
    // makes it a name that text mentions.
    string_view before = trimRight(t.substr(0, start));
    bool statement_start = before.empty() || contains("|({;=&", before.substr(before.size() - 1));
    if (at - start >= 3 && isUpper(t[start]) && isLower(t[start + 1]) &&
        (start == 0 || t[start - 1] != '-') && noun >= 3 &&
        (at + 1 + noun == t.size() || t[at + 1 + noun] != '-') && statement_start) {
      static constexpr string_view kVerbs[] = {
          "Get",    "Set",  "New",     "Remove", "Write", "Test",
          "Invoke", "Add",  "Out",     "Start",  "Stop",  "Import",
          "Export", "Join", "Split",   "Select", "Where", "ForEach",
          "Copy",   "Move", "Convert", "Resolve"};
      string_view verb = t.substr(start, at - start);
      if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) !=
          std::end(kVerbs)) {
        hit(grammar::kPowerShellCmdlet);
        break;
      }
    }
  }
  // CSS declarations "name: value;" and selectors "a.b, c:hover {".
  {
    std::size_t name = 0;
    while (name < t.size() && (isLower(t[name]) || t[name] == '-')) {
      ++name;
    }
    if (name > 1 && name < t.size() && t[name] == ':' && tr.ends_with(";")) {
      string_view value = trim(t.substr(name + 1));
      if (value.size() > 1 && !contains(value, "=") && !contains(value, "::")) {
        hit(grammar::kCssDeclaration);
      }
    }
    if (tr.size() > 2 && tr.ends_with("{") &&
        (t[0] == '.' || t[0] == '#' || t[0] == '*' || t[0] == '[' ||
         (isLower(t[0]) && contains(t, ",")) || contains(t, ":hover"))) {
      if (!contains(t, "(") && !contains(t, "=") && !contains(t, ";")) {
        hit(grammar::kCssSelector);
      }
    }
    // Minified style sheets: many "{name:value" and ";name:value" runs on
    // one long line, and none of a script's functions.
    if (t.size() > 200 && !contains(t.substr(0, kSearchWidth), "function")) {
      int runs = 0;
      for (std::size_t at = t.find_first_of("{;"); at != string_view::npos && runs < 8;
           at = t.find_first_of("{;", at + 1)) {
        std::size_t n = at + 1;
        while (n < t.size() && (isLower(t[n]) || t[n] == '-')) {
          ++n;
        }
        if (n > at + 2 && n < t.size() && t[n] == ':') {
          ++runs;
        }
      }
      if (runs >= 8) {
        hit(grammar::kCssMinified);
      }
    }
    // One-line rules "selector { name: value; }".
    if (std::size_t open = t.find('{');
        open != string_view::npos && open > 0 && tr.ends_with("}") &&
        (t[0] == '.' || t[0] == '#' || t[0] == '*' || isLower(t[0]) ||
         isUpper(t[0]))) {
      string_view selector = t.substr(0, open);
      string_view body = trimLeft(t.substr(open + 1));
      std::size_t n = 0;
      while (n < body.size() && (isLower(body[n]) || body[n] == '-')) {
        ++n;
      }
      bool plain_selector = selector.find_first_of("=();\"'") == string_view::npos &&
                            !contains(selector, ": ") && !contains(selector, "::");
      if (plain_selector && n > 1 && n < body.size() && body[n] == ':' &&
          !body.substr(n).starts_with("::")) {
        hit(grammar::kCssOneLineRule);
      }
    }
  }
  // Makefiles: a "target: prerequisites" line followed by a tab-indented
  // recipe, and assignments with make's own operators. A recipe line is a
  // command, not a sentence, a bullet, a bare file name, or a name or a
  // date continuing a "Copyright:" field (a capital or a digit opens a
  // command only as "VAR=value command"); targets are names and paths, not
  // a bullet or a "<placeholder>" of a list of terms.
  if (line.raw.starts_with("\t") && i > 0 && !isProseLine(line.raw) &&
      (contains(t, " ") || t[0] == '$' || t[0] == '@') &&
      !t.starts_with("- ") && !t.starts_with("* ") &&
      (!(isUpper(t[0]) || isDigit(t[0])) || t.find('=') < t.find(' '))) {
    std::size_t j = i;
    while (j > 0 && lines[j - 1].raw.starts_with("\t")) {
      --j;
    }
    if (j > 0) {
      string_view rule = lines[j - 1].raw;
      std::size_t colon = rule.find(':');
      if (colon != string_view::npos && colon > 0 &&
          (isIdentChar(rule[0]) || contains(".$/%", rule.substr(0, 1))) &&
          rule.find_first_of(";<>") == string_view::npos &&
          (rule.find('(') == string_view::npos || contains(rule, "$("))) {
        hit(grammar::kMakefileRecipeLine);
      }
    }
  }
  if (!line.raw.empty() && (isIdentChar(line.raw[0]))) {
    std::size_t n = identLength(line.raw);
    string_view rest = trimLeft(line.raw.substr(n));
    if ((rest.starts_with(":=") || rest.starts_with("?=") ||
         rest.starts_with("+=") || rest.starts_with("::=")) &&
        !tr.ends_with(";")) {
      hit(grammar::kMakefileMakeAssignment);
    }
  }
  // "NAME = words" in capitals with blanks around "=", which the shell does
  // not allow; and "$(NAME)" references, where the shell writes "${NAME}".
  if (!line.raw.empty() && isUpper(line.raw[0])) {
    std::size_t n = identLength(line.raw);
    string_view rest = line.raw.substr(n);
    if (rest.starts_with(" = ") &&
        std::all_of(line.raw.begin(),
                    line.raw.begin() + static_cast<std::ptrdiff_t>(n),
                    [](char c) { return !isLower(c); }) &&
        rest.find_first_of("\"';") == string_view::npos) {
      hit(grammar::kMakefileCapitalAssignment);
    }
  }
  if (std::size_t at = t.find("$("); at != string_view::npos) {
    std::size_t n = identLength(t.substr(at + 2));
    if (n > 1 && at + 2 + n < t.size() && t[at + 2 + n] == ')' &&
        std::all_of(t.begin() + static_cast<std::ptrdiff_t>(at + 2),
                    t.begin() + static_cast<std::ptrdiff_t>(at + 2 + n),
                    [](char c) { return !isLower(c); })) {
      hit(grammar::kMakefileVariableReference);
    }
  }
  // Haskell type signatures "name :: Type" (RDoc's "home :: URL" lists
  // are not).
  if (!line.raw.empty() && isLower(line.raw[0])) {
    std::size_t n = identLength(line.raw);
    if (line.raw.substr(n).starts_with(" :: ") && !contains(line.raw, "://")) {
      hit(grammar::kHaskellTypeSignature);
    }
  }
  if (t.starts_with("module ") && tr.ends_with(" where")) {
    hit(grammar::kHaskellModuleWhere);
  }
  // Haskell modules with an export list: "module Data.Map.Strict" alone on
  // its line, the list following; imports of hierarchical modules.
  if (line.raw.starts_with("module ") && line.raw.size() > 7 &&
      isUpper(line.raw[7]) && contains(tr, ".") &&
      std::all_of(tr.begin() + 7, tr.end(),
                  [](char c) { return isIdentChar(c) || c == '.'; })) {
    hit(grammar::kHaskellModuleExportList);
  }
  if (line.raw.starts_with("import ") && line.raw.size() > 7 &&
      isUpper(line.raw[7]) && contains(tr, ".") && !tr.ends_with(";") &&
      !contains(tr, "\"") && !contains(tr, "*")) {
    std::size_t n = 7;
    while (n < tr.size() && (isIdentChar(tr[n]) || tr[n] == '.')) {
      ++n;
    }
    string_view rest = trim(tr.substr(n));
    if (rest.empty() || rest.starts_with("(") || rest.starts_with("as ") ||
        rest.starts_with("hiding")) {
      hit(grammar::kHaskellHierarchicalImport);
    }
  }
  if (t.starts_with("data ") && t.size() > 5 && isUpper(t[5]) &&
      contains(t, " = ")) {
    hit(grammar::kHaskellDataDeclaration);
  }
  // Shell functions "name() {" at the start of a line.
  if (!line.raw.empty() && (isIdentChar(line.raw[0]))) {
    std::size_t n = 0;
    while (n < line.raw.size() &&
           (isIdentChar(line.raw[n]) || line.raw[n] == '-')) {
      ++n;
    }
    string_view rest = line.raw.substr(n);
    if (rest == "()" || rest == "() {" || rest == "(){" || rest == " () {" ||
        rest == " ()") {
      hit(grammar::kShellFunctionDefinition);
    }
  }
  if (startsWithWord(t, "case") && tr.ends_with(" in")) {
    hit(grammar::kShellCaseIn);
  }
  // ";;" closes a branch of a case, alone or after a command with its
  // arguments; ";;;" or a row without blanks ("24C2;F8BD;;") ends
  // ";"-separated fields, some empty.
  if (tr.ends_with(";;") && !tr.ends_with(";;;") &&
      (tr == ";;" || contains(tr, " "))) {
    hit(grammar::kShellCaseBranchEnd);
  }
  // reStructuredText: directives ".. name::" and section underlines in any of
  // its adornment characters beyond Markdown's "=" and "-".
  if (t.starts_with(".. ")) {
    std::size_t n = 3;
    while (n < t.size() && (isIdentChar(t[n]) || t[n] == '-' || t[n] == ':')) {
      ++n;
    }
    if (n > 5 && t.substr(3, n - 3).ends_with("::")) {
      hit(grammar::kRestDirective);
    }
  }
  if (i > 0 && tr.size() >= 3 && !lines[i - 1].trimmed.empty() &&
      line.raw.size() >= lines[i - 1].raw.size() &&
      std::all_of(tr.begin(), tr.end(), [&](char c) { return c == tr[0]; }) &&
      line.raw == tr) {
    char c = tr[0];
    if (contains("~^*+#'`\"", string_view(&c, 1))) {
      hit(grammar::kRestUnderline);
    }
    if (c == '=' || c == '-') {
      hit(grammar::kMarkdownSetextUnderline);
    }
  }
  // Markdown "##" headings stand apart: a blank line before them, and no
  // "#" line after (runs of "##" lines are a script's comments).
  if (line.raw.starts_with("## ") || line.raw.starts_with("### ") ||
      line.raw.starts_with("#### ")) {
    bool blank_before = i == 0 || lines[i - 1].trimmed.empty();
    bool blank_after = i + 1 == lines.size() || lines[i + 1].trimmed.empty();
    bool hash_before = i > 0 && lines[i - 1].raw.starts_with("#");
    bool hash_after = i + 1 < lines.size() && lines[i + 1].raw.starts_with("#");
    if ((blank_before && !hash_after) || (blank_after && !hash_before)) {
      hit(grammar::kMarkdownSectionHeading);
    }
  }
  // reStructuredText literal blocks: a paragraph ending in "::", a blank
  // line, then the indented block ("--all::" over its definition is an
  // AsciiDoc list).
  if (tr.ends_with("::") && i + 2 < lines.size() &&
      lines[i + 1].trimmed.empty() && !lines[i + 2].raw.empty() &&
      isSpace(lines[i + 2].raw[0])) {
    hit(grammar::kRestLiteralBlock);
  }
  // reStructuredText titles with an overline: a run of "=" or "-", the
  // title, and the same run again.
  if (i >= 2 && tr.size() >= 3 && (tr[0] == '=' || tr[0] == '-') &&
      line.raw == tr && lines[i - 2].raw == line.raw &&
      !lines[i - 1].trimmed.empty() &&
      std::all_of(tr.begin(), tr.end(), [&](char c) { return c == tr[0]; })) {
    hit(grammar::kRestOverlinedTitle);
  }
  // Markdown links "[text](target)" with a word inside the brackets.
  if (std::size_t close = t.find("](");
      close != string_view::npos && close > 0) {
    std::size_t open = t.rfind('[', close);
    if (open != string_view::npos && close - open > 1 &&
        isIdentChar(t[open + 1])) {
      hit(grammar::kMarkdownLink);
    }
  }
  // Markdown reference links "[text][ref]" after a blank or an opening
  // bracket, where code indexes "a[i][j]" after a name.
  if (std::size_t mid = t.find("]["); mid != string_view::npos && mid > 0) {
    const std::size_t open = t.rfind('[', mid - 1);
    const std::size_t close = t.find(']', mid + 2);
    const auto label_char = [](char c) { return isIdentChar(c) || c == '-' || c == '.' || c == ' '; };
    if (open != string_view::npos && close != string_view::npos && close > mid + 2 &&
        mid > open + 1 && (isIdentChar(t[open + 1]) || contains("`!*", t.substr(open + 1, 1))) &&
        (open == 0 || isSpace(t[open - 1]) || t[open - 1] == '(') &&
        std::all_of(t.begin() + static_cast<std::ptrdiff_t>(mid + 2),
                    t.begin() + static_cast<std::ptrdiff_t>(close), label_char)) {
      hit(grammar::kMarkdownReferenceLink);
    }
  }
  // Plain text writes ``literals`` too, and underlines its titles; a
  // ``literal`` closed on its line below a title underlined as wide as
  // it is reStructuredText's pair.
  if (hasBackQuoted(t.substr(0, kSearchWidth), 2) &&
      std::any_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                  [&](const Line& l) {
                    std::size_t k = static_cast<std::size_t>(&l - lines.data());
                    return k > 0 && isTitleUnderline(lines[k - 1], l);
                  })) {
    hit(grammar::kRestLiteralBelowTitle);
  }
  // Markdown code spans: `text` between single back quotes. TeX-style
  // `quotes' close with an apostrophe, reStructuredText writes ``literals``.
  if (hasBackQuoted(t.substr(0, kSearchWidth), 1)) {
    hit(grammar::kMarkdownCodeSpan);
  }
  // Ruby mixins: "include Comparable" (a makefile's include names a path).
  if (t.starts_with("include ") && t.size() > 8 && isUpper(t[8]) &&
      identLength(t.substr(8)) + 8 == tr.size()) {
    hit(grammar::kRubyMixin);
  }
  // Lua method calls "obj:method(" and "if x then" without a semicolon.
  if (std::size_t n = identLength(t);
      n > 0 && n + 1 < t.size() && t[n] == ':' && t[n + 1] != ':') {
    std::size_t m = identLength(t.substr(n + 1));
    if (m > 0 && n + 1 + m < t.size() && t[n + 1 + m] == '(') {
      hit(grammar::kLuaMethodCall);
    }
  }
  if (t.starts_with("elseif ") && tr.ends_with(" then")) {
    hit(grammar::kLuaElseifThen);
  }
  // JavaScript: a top-level "var name = " (the shell writes no blanks around
  // its "=").
  // As a file's first statement it is strong evidence on its own.
  for (string_view word : {"var "sv, "let "sv, "const "sv}) {
    if (!line.raw.starts_with(word)) {
      continue;
    }
    string_view rest = trimRight(line.raw.substr(word.size()));
    std::size_t n = identLength(rest);
    // "let name = &option" reads one of Vim's options.
    if (n > 0 && !rest.substr(n).starts_with(" = &") &&
        (rest.substr(n).starts_with(" = ") || rest.substr(n) == " =")) {
      bool first = std::all_of(lines.begin(),
                               lines.begin() + static_cast<std::ptrdiff_t>(i),
                               [](const Line& l) { return l.trimmed.empty(); });
      hit(first ? grammar::kJavaScriptFirstStatementVariable
                : grammar::kJavaScriptTopLevelVariable);
      // Go declares package variables and constants the same way (Go
      // counts only in files that open with its package clause).
      if (word != "let "sv) {
        hit(grammar::kGoPackageVariable);
      }
    }
  }
  // JavaScript callbacks: "function(a, b) {" as an argument or value.
  if (tr.ends_with("{") && (contains(t, "(function") || contains(t, ", function") ||
                            contains(t, "= function") || contains(t, ": function"))) {
    hit(grammar::kJavaScriptCallbackFunction);
  }
  // Python module attributes: __all__ = [...], __version__ = "1.0".
  if (line.raw.starts_with("__") &&
      (contains(t, "__ = ") || contains(t, "__ += "))) {
    hit(grammar::kPythonModuleAttribute);
  }
  // awk functions list their locals after a wide gap: f(a, b,    i, j).
  if (t.starts_with("function ") && contains(t, ",    ")) {
    hit(grammar::kAwkFunctionLocals);
  }
  // Batch variables: %NAME% and %1.
  if (std::size_t pct = t.find('%');
      pct != string_view::npos && pct + 2 < t.size()) {
    std::size_t n = identLength(t.substr(pct + 1));
    if ((n > 0 && pct + 1 + n < t.size() && t[pct + 1 + n] == '%') ||
        (n == 1 && isDigit(t[pct + 1]))) {
      hit(grammar::kBatchVariable);
    }
  }
  // Emacs Lisp file headers: ";;; name.el --- summary".
  if (t.starts_with(";;; ") && contains(t, ".el ---")) {
    hit(grammar::kEmacsLispFileHeader);
  }
  // CMake calls one command per line: name(ARGS) with no semicolon.
  if (std::size_t n = identLength(line.raw);
      n > 0 && n < line.raw.size() && line.raw[n] == '(' && tr.ends_with(")") &&
      !contains(t, ";") && !contains(t, "\"\"\"")) {
    hit(grammar::kCMakeCommandCall);
  }
  // Markdown documents open with a heading set off by a blank line.
  if (i + 1 < lines.size() && line.raw.starts_with("# ") &&
      lines[i + 1].trimmed.empty() &&
      std::all_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                  [](const Line& l) { return l.trimmed.empty(); })) {
    hit(grammar::kMarkdownOpeningHeading);
  }
  // Pascal "function Name(args): Type;", the headers "program Name;" and
  // "unit A.B;", routines "procedure TForm.Click(Sender: TObject);" and
  // "uses A, B;" clauses. Prose opens lines with the same words, but not
  // with a name and then ";" or "(".
  if (startsWithNoCase(t, "function ") && tr.ends_with(";") &&
      contains(t, "):")) {
    hit(grammar::kPascalFunctionHeading);
  }
  auto pascal_name_then = [&](std::size_t start, string_view next) {
    std::size_t n = start;
    while (n < t.size() && (isIdentChar(t[n]) || t[n] == '.')) {
      ++n;
    }
    string_view rest = trimLeft(t.substr(n));
    return n > start && !rest.empty() && contains(next, rest.substr(0, 1));
  };
  if ((startsWithNoCase(t, "program ") && pascal_name_then(8, ";(")) ||
      (startsWithNoCase(t, "unit ") && pascal_name_then(5, ";")) ||
      (startsWithNoCase(t, "library ") && pascal_name_then(8, ";"))) {
    hit(grammar::kPascalProgramHeader);
  }
  if ((startsWithNoCase(t, "procedure ") && pascal_name_then(10, ";(")) ||
      (startsWithNoCase(t, "constructor ") && pascal_name_then(12, ";(")) ||
      (startsWithNoCase(t, "destructor ") && pascal_name_then(11, ";("))) {
    hit(grammar::kPascalProcedure);
  }
  if (startsWithNoCase(t, "uses ") &&
      (tr.ends_with(";") || tr.ends_with(","))) {
    // Names, dots and commas, with blanks only after the commas.
    string_view list = trim(tr.substr(5, tr.size() - 6));
    bool names = !list.empty();
    for (std::size_t k = 0; k < list.size() && names; ++k) {
      char c = list[k];
      names = isIdentChar(c) || c == '.' || c == ',' ||
              (c == ' ' && list[k - 1] == ',');
    }
    if (names) {
      hit(grammar::kPascalUsesClause);
    }
  }
  // OCaml signatures "val name : type" (Kotlin writes "val name: Type"),
  // local definitions "let x = e in", and match cases "| C x -> e".
  if (t.starts_with("val ") || t.starts_with("external ")) {
    string_view rest = t.substr(t.find(' ') + 1);
    std::size_t n = identLength(rest);
    if (n > 0 && rest.substr(n).starts_with(" : ")) {
      hit(grammar::kOcamlValSignature);
    }
  }
  if (startsWithWord(t, "let") && tr.ends_with(" in") && contains(t, " = ")) {
    hit(grammar::kOcamlLetIn);
  }
  if (t.starts_with("| ") && contains(t, " -> ") && !contains(t, " | ")) {
    hit(grammar::kOcamlMatchCase);
  }
  // OCaml pattern matches "match x with" and handlers "try ... with" (prose
  // wraps lines before "with" too).
  if (tr.ends_with(" with") &&
      (startsWithWord(t, "match") || startsWithWord(t, "try") ||
       contains(t, "= match ") || contains(t, "(match "))) {
    hit(grammar::kOcamlMatchWith);
  }
  // SQL statements on one line, closed by ";": "SET @x = 1;", "DROP
  // PROCEDURE IF EXISTS p;". Sentences that open with the same verbs end
  // in a full stop.
  if (tr.ends_with(";")) {
    static constexpr string_view kStatements[] = {
        "select ",   "insert into ", "update ", "delete from ", "create ",
        "drop ",     "alter ",       "grant ",  "revoke ",      "truncate ",
        "prepare ",  "execute ",     "deallocate ", "set @",    "use "};
    for (string_view statement : kStatements) {
      if (startsWithNoCase(t, statement)) {
        hit(containsNoCase(t, " if exists ") || containsNoCase(t, " if not exists ")
                ? grammar::kSqlIfExistsClause
                : grammar::kSqlStatement);
        break;
      }
    }
  }
  // Fortran "program name" alone on its line, and "call name(args)" or
  // "call name": prose goes on with more words after either.
  if (startsWithNoCase(t, "program ") || startsWithNoCase(t, "call ")) {
    string_view rest = t.substr(t.find(' ') + 1);
    std::size_t n = identLength(rest);
    string_view after = trimLeft(rest.substr(n));
    if (n > 0 && (after.empty() || after[0] == '!' ||
                  (after[0] == '(' && !startsWithNoCase(t, "program ")))) {
      hit(grammar::kFortranProgramOrCall);
    }
  }
  // Fortran free-form declarations "real(8), intent(in) :: x".
  if (contains(t, " :: ") &&
      (startsWithNoCase(t, "real") || startsWithNoCase(t, "integer") ||
       startsWithNoCase(t, "character") || startsWithNoCase(t, "logical") ||
       startsWithNoCase(t, "type("))) {
    hit(grammar::kFortranDeclaration);
  }
}

}  // namespace ident::text
