#include "tools/text_kind_definitions.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ident::tools {
namespace {

using std::string;
using std::string_view;

constexpr std::pair<string_view, string_view> kMatches[] = {
    {"prefix", "kPrefix"},
    {"prefix-word", "kPrefixWord"},
    {"prefix-nocase", "kPrefixNoCase"},
    {"equals", "kEquals"},
    {"equals-nocase", "kEqualsNoCase"},
    {"suffix", "kSuffix"},
    {"contains", "kContains"},
    {"contains-word", "kContainsWord"},
    {"contains-nocase", "kContainsNoCase"},
    {"contains-type", "kContainsType"},
    {"column-zero", "kColumnZero"},
};

bool isIdentifier(string_view s) {
  return !s.empty() && std::isalpha(static_cast<unsigned char>(s[0])) &&
         std::all_of(s.begin(), s.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool isExtension(string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c));
  });
}

string lower(string_view s) {
  string out(s);
  for (char& c : out) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

string_view trim(string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Splits |s| at blanks.
std::vector<string_view> words(string_view s) {
  std::vector<string_view> out;
  while (true) {
    s = trim(s);
    if (s.empty()) {
      return out;
    }
    std::size_t end = s.find_first_of(" \t");
    out.push_back(s.substr(0, end));
    if (end == string_view::npos) {
      return out;
    }
    s.remove_prefix(end);
  }
}

// A weight: a digit from 1 to 9.
bool readWeight(string_view s, int* weight) {
  if (s.size() != 1 || s[0] < '1' || s[0] > '9') {
    return false;
  }
  *weight = s[0] - '0';
  return true;
}

// A number from 0 to 999.
bool readNumber(string_view s, int* number) {
  if (s.empty() || s.size() > 3 ||
      !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  *number = 0;
  for (char c : s) {
    *number = *number * 10 + (c - '0');
  }
  return true;
}

// Reads the C string at the start of |s| ("..." with \\, \", \t, \n) into
// |out|; returns what follows it, or std::nullopt when it is not one.
std::optional<string_view> readString(string_view s, string* out) {
  if (s.empty() || s[0] != '"') {
    return std::nullopt;
  }
  out->clear();
  for (std::size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      return s.substr(i + 1);
    }
    if (c == '\\') {
      if (++i == s.size()) {
        return std::nullopt;
      }
      switch (s[i]) {
        case '\\': c = '\\'; break;
        case '"': c = '"'; break;
        case 't': c = '\t'; break;
        case 'n': c = '\n'; break;
        default: return std::nullopt;
      }
    }
    out->push_back(c);
  }
  return std::nullopt;
}

// |s| as a C++ string literal.
string literal(string_view s) {
  string out = "\"";
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u >= 0x7f) {
      char octal[5];
      std::snprintf(octal, sizeof octal, "\\%03o", u);
      out += octal;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

string baseName(string_view path) {
  std::size_t slash = path.find_last_of('/');
  return string(slash == string_view::npos ? path : path.substr(slash + 1));
}

class FileReader {
 public:
  FileReader(const KindFile& file, string* err) : file_(file), err_(err) {}

  std::optional<KindDefinition> read() {
    std::set<string> seen;
    std::istringstream in(file_.text);
    string raw;
    while (std::getline(in, raw)) {
      ++line_;
      string_view text = trim(raw);
      if (text.empty() || text[0] == '#') {
        continue;
      }
      std::size_t end = text.find_first_of(" \t");
      string_view field = text.substr(0, end);
      string_view value = end == string_view::npos ? string_view() : trim(text.substr(end));
      bool repeatable = field == "pattern" || field == "grammar";
      if (!repeatable && !seen.insert(string(field)).second) {
        return fail("\"" + string(field) + "\" given twice");
      }
      if (!readField(field, value)) {
        return std::nullopt;
      }
    }
    line_ = 0;
    const string expected = baseName(file_.path);
    if (kind_.name.empty()) {
      return fail("no \"kind\"");
    }
    if (lower(kind_.name) + ".kind" != expected) {
      return fail("kind " + kind_.name + " belongs in " + lower(kind_.name) + ".kind");
    }
    if (kind_.extension.empty()) {
      return fail("no \"extension\"");
    }
    if (kind_.description.empty()) {
      return fail("no \"description\"");
    }
    if ((!kind_.patterns.empty() || !kind_.grammar.empty()) && !seen.contains("specificity")) {
      return fail("rules but no \"specificity\"");
    }
    return std::move(kind_);
  }

 private:
  bool readField(string_view field, string_view value) {
    if (field == "kind") {
      if (!isIdentifier(value)) {
        return fail("a kind's name is letters and digits"), false;
      }
      kind_.name = value;
    } else if (field == "extension") {
      if (!isExtension(value)) {
        return fail("an extension is lower-case letters and digits"), false;
      }
      kind_.extension = value;
    } else if (field == "description") {
      if (value.empty()) {
        return fail("an empty description"), false;
      }
      kind_.description = value;
    } else if (field == "specificity") {
      if (!readNumber(value, &kind_.specificity)) {
        return fail("a specificity is a number below 1000"), false;
      }
    } else if (field == "parent") {
      std::vector<string_view> w = words(value);
      if (w.size() != 2 || !isIdentifier(w[0]) || !readNumber(w[1], &kind_.parent_min_own)) {
        return fail("\"parent\" takes a kind and the score from which it inherits"), false;
      }
      kind_.parent = w[0];
    } else if (field == "interpreters" || field == "editor-modes") {
      auto& names = field == "interpreters" ? kind_.interpreters : kind_.editor_modes;
      for (string_view w : words(value)) {
        std::size_t eq = w.find('=');
        NameDefinition name{string(w.substr(0, eq)), ""};
        if (eq != string_view::npos) {
          name.extension = w.substr(eq + 1);
          if (!isExtension(name.extension)) {
            return fail("an extension is lower-case letters and digits"), false;
          }
        }
        if (name.name.empty()) {
          return fail("an empty name"), false;
        }
        names.push_back(std::move(name));
      }
      if (names.empty()) {
        return fail("\"" + string(field) + "\" without a name"), false;
      }
    } else if (field == "pattern") {
      return readPattern(value);
    } else if (field == "grammar") {
      return readGrammar(value);
    } else {
      return fail("unknown field \"" + string(field) + "\""), false;
    }
    return true;
  }

  bool readPattern(string_view value) {
    std::vector<string_view> w = words(value);
    PatternDefinition rule;
    if (w.size() < 3 || !readWeight(w[0], &rule.weight)) {
      return fail("a pattern is: pattern WEIGHT MATCH \"TEXT\" [prose]"), false;
    }
    auto match = std::find_if(std::begin(kMatches), std::end(kMatches),
                              [&](const auto& m) { return m.first == w[1]; });
    if (match == std::end(kMatches)) {
      return fail("unknown match \"" + string(w[1]) + "\""), false;
    }
    rule.match = match->second;
    // The pattern starts at its quote; it may hold blanks.
    string_view rest = value.substr(static_cast<std::size_t>(w[2].data() - value.data()));
    std::optional<string_view> after = readString(rest, &rule.pattern);
    if (!after || rule.pattern.empty()) {
      return fail("a pattern is a non-empty C string"), false;
    }
    string_view flag = trim(*after);
    if (flag == "prose") {
      rule.prose = true;
    } else if (!flag.empty()) {
      return fail("unknown flag \"" + string(flag) + "\""), false;
    }
    kind_.patterns.push_back(std::move(rule));
    return true;
  }

  bool readGrammar(string_view value) {
    std::vector<string_view> w = words(value);
    GrammarDefinition rule;
    if (w.size() < 2 || !readWeight(w[0], &rule.weight) || !isIdentifier(w[1])) {
      return fail("a grammar rule is: grammar WEIGHT Name [prose] [heading]"), false;
    }
    rule.name = w[1];
    for (std::size_t i = 2; i < w.size(); ++i) {
      if (w[i] == "prose") {
        rule.prose = true;
      } else if (w[i] == "heading") {
        rule.heading = true;
      } else {
        return fail("unknown flag \"" + string(w[i]) + "\""), false;
      }
    }
    for (const GrammarDefinition& other : kind_.grammar) {
      if (other.name == rule.name) {
        return fail("grammar rule " + rule.name + " given twice"), false;
      }
    }
    kind_.grammar.push_back(std::move(rule));
    return true;
  }

  std::nullopt_t fail(const string& what) {
    *err_ = file_.path + (line_ > 0 ? ":" + std::to_string(line_) : "") + ": " + what;
    return std::nullopt;
  }

  const KindFile& file_;
  string* err_;
  KindDefinition kind_;
  int line_ = 0;
};

std::size_t grammarSlots(const std::vector<KindDefinition>& kinds) {
  std::size_t slots = 1;
  for (const KindDefinition& kind : kinds) {
    slots = std::max(slots, kind.grammar.size());
  }
  return slots;
}

}  // namespace

std::optional<std::vector<KindDefinition>> readKindDefinitions(std::vector<KindFile> files,
                                                               string* err) {
  std::sort(files.begin(), files.end(), [](const KindFile& a, const KindFile& b) {
    return baseName(a.path) < baseName(b.path);
  });
  std::vector<KindDefinition> kinds;
  for (const KindFile& file : files) {
    std::optional<KindDefinition> kind = FileReader(file, err).read();
    if (!kind) {
      return std::nullopt;
    }
    kinds.push_back(std::move(*kind));
  }
  if (kinds.empty()) {
    *err = "no kinds";
    return std::nullopt;
  }
  std::map<string, string> interpreters;
  std::map<string, string> modes;
  std::map<int, string> specificities;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    const KindDefinition& kind = kinds[k];
    const string where = baseName(files[k].path) + ": ";
    if (!kind.parent.empty() &&
        (kind.parent == kind.name ||
         std::none_of(kinds.begin(), kinds.end(),
                      [&](const KindDefinition& other) { return other.name == kind.parent; }))) {
      *err = where + "no parent kind " + kind.parent;
      return std::nullopt;
    }
    if (!kind.patterns.empty() || !kind.grammar.empty()) {
      auto [at, fresh] = specificities.emplace(kind.specificity, kind.name);
      if (!fresh) {
        *err = where + "specificity " + std::to_string(kind.specificity) + " is " + at->second +
               "'s too: a tie between them would fall to the order of the files";
        return std::nullopt;
      }
    }
    for (const auto& [names, claimed] :
         {std::pair{&kind.interpreters, &interpreters}, std::pair{&kind.editor_modes, &modes}}) {
      for (const NameDefinition& name : *names) {
        auto [at, fresh] = claimed->emplace(name.name, kind.name);
        if (!fresh) {
          *err = where + "\"" + name.name + "\" already names " + at->second;
          return std::nullopt;
        }
      }
    }
  }
  return kinds;
}

string kindHeader(const std::vector<KindDefinition>& kinds) {
  std::ostringstream out;
  out << "// Made by make_text_kinds from text/kinds/*.kind; edit those.\n"
         "#pragma once\n\n#include <cstddef>\n\nnamespace ident::text {\n\n"
         "enum class Kind {\n";
  for (const KindDefinition& kind : kinds) {
    out << "  k" << kind.name << ",\n";
  }
  out << "  kCount\n};\n\n"
      << "inline constexpr std::size_t kKindCount = " << kinds.size() << ";\n"
      << "// The most grammar rules one kind has.\n"
      << "inline constexpr int kGrammarSlots = " << grammarSlots(kinds) << ";\n\n"
      << "// A grammar rule: the slot of its kind that its hits count into.\n"
      << "struct GrammarRule {\n  Kind kind;\n  int slot;\n};\n\nnamespace grammar {\n";
  for (const KindDefinition& kind : kinds) {
    for (std::size_t slot = 0; slot < kind.grammar.size(); ++slot) {
      out << "inline constexpr GrammarRule k" << kind.name << kind.grammar[slot].name << "{Kind::k"
          << kind.name << ", " << slot << "};\n";
    }
  }
  out << "}  // namespace grammar\n\n}  // namespace ident::text\n";
  return out.str();
}

string kindSource(const std::vector<KindDefinition>& kinds) {
  const std::size_t slots = grammarSlots(kinds);
  std::ostringstream out;
  out << "// Made by make_text_kinds from text/kinds/*.kind; edit those.\n"
         "#include \"text/kinds.h\"\n\n#include <array>\n\nnamespace ident::text {\nnamespace {\n\n"
         "constexpr KindInfo kKinds[] = {\n";
  for (const KindDefinition& kind : kinds) {
    out << "    {" << literal(kind.name) << ", " << literal(kind.extension) << ", "
        << literal(kind.description) << ", " << kind.specificity << ", "
        << (kind.parent.empty() ? "false, Kind::k" + kind.name : "true, Kind::k" + kind.parent)
        << ", " << kind.parent_min_own << "},\n";
  }
  out << "};\nstatic_assert(std::size(kKinds) == kKindCount);\n\nconstexpr Rule kRules[] = {\n";
  for (const KindDefinition& kind : kinds) {
    for (const PatternDefinition& rule : kind.patterns) {
      out << "    {Kind::k" << kind.name << ", " << rule.weight << ", Match::" << rule.match << ", "
          << literal(rule.pattern) << ", " << (rule.prose ? "true" : "false") << "},\n";
    }
  }
  out << "};\n\nconstexpr GrammarRuleInfo kGrammar[kKindCount][kGrammarSlots] = {\n";
  for (const KindDefinition& kind : kinds) {
    out << "    {";
    for (std::size_t slot = 0; slot < slots; ++slot) {
      if (slot < kind.grammar.size()) {
        const GrammarDefinition& rule = kind.grammar[slot];
        out << "{" << literal(rule.name) << ", " << rule.weight << ", "
            << (rule.prose ? "true" : "false") << ", " << (rule.heading ? "true" : "false") << "}";
      } else {
        out << "{\"\", 0, false, false}";
      }
      out << (slot + 1 < slots ? ", " : "");
    }
    out << "},\n";
  }
  for (const auto& [table, field] : {std::pair{"kInterpreters", &KindDefinition::interpreters},
                                     std::pair{"kEditorModes", &KindDefinition::editor_modes}}) {
    out << "};\n\nconstexpr NamedKind " << table << "[] = {\n";
    for (const KindDefinition& kind : kinds) {
      for (const NameDefinition& name : kind.*field) {
        out << "    {" << literal(name.name) << ", Kind::k" << kind.name << ", "
            << literal(name.extension.empty() ? kind.extension : name.extension) << "},\n";
      }
    }
  }
  out << "};\n\n}  // namespace\n\n"
         "const KindInfo& kindInfo(Kind kind) { return kKinds[static_cast<std::size_t>(kind)]; }\n\n"
         "std::span<const Rule> patternRules() { return kRules; }\n\n"
         "const GrammarRuleInfo& grammarRule(Kind kind, int slot) {\n"
         "  return kGrammar[static_cast<std::size_t>(kind)][slot];\n}\n\n"
         "std::span<const NamedKind> interpreters() { return kInterpreters; }\n\n"
         "std::span<const NamedKind> editorModes() { return kEditorModes; }\n\n"
         "}  // namespace ident::text\n";
  return out.str();
}

}  // namespace ident::tools
