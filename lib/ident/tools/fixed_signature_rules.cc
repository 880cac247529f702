#include "tools/fixed_signature_rules.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace ident {

namespace {

using Kind = FixedTest::Kind;

// One line of a definition: its level (the number of leading '>'), its test
// when the host can run it, and the type a "!:mime" line gives it.
struct RuleLine {
  int level = 0;
  std::optional<RuleTest> test;
  std::string mime;
};

// The whitespace-separated fields of |line|; a backslash keeps the next
// character in its field (libmagic's "\ " in a string).
std::vector<std::string> fieldsOf(std::string_view line) {
  std::vector<std::string> fields;
  std::string field;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      if (!field.empty()) {
        fields.push_back(std::move(field));
        field.clear();
      }
      continue;
    }
    field.push_back(c);
    if (c == '\\' && i + 1 < line.size()) {
      field.push_back(line[++i]);
    }
  }
  if (!field.empty()) {
    fields.push_back(std::move(field));
  }
  return fields;
}

// libmagic's escapes in a string test's value.
std::string unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes.push_back(text[i]);
      continue;
    }
    const char c = text[++i];
    if (c == 'x' && i + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
      int value = 0;
      for (int digits = 0; digits < 2 && i + 1 < text.size() &&
                           std::isxdigit(static_cast<unsigned char>(text[i + 1]));
           ++digits) {
        const char d = text[++i];
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(d))
                                  ? d - '0'
                                  : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10);
      }
      bytes.push_back(static_cast<char>(value));
    } else if (c >= '0' && c <= '7') {
      int value = c - '0';
      for (int digits = 1; digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' &&
                           text[i + 1] <= '7';
           ++digits) {
        value = value * 8 + (text[++i] - '0');
      }
      bytes.push_back(static_cast<char>(value));
    } else {
      bytes.push_back(c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c);
    }
  }
  return bytes;
}

// A whole unsigned number in libmagic's notation (decimal, 0x hex, 0 octal).
std::optional<std::uint64_t> numberOf(const std::string& text) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
    return std::nullopt;
  }
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0') {
    return std::nullopt;
  }
  return value;
}

// The test of |offset|, |type| and |value| when the host can run it: a
// fixed offset, and a string, a 32-bit number equal to a value or a byte
// compared with one.
std::optional<RuleTest> testOf(const std::string& offset, const std::string& type,
                               const std::string& value) {
  const std::optional<std::uint64_t> at = numberOf(offset);
  if (!at) {
    return std::nullopt;  // an offset read from the file, or relative to a match
  }
  RuleTest test;
  test.offset = static_cast<std::size_t>(*at);
  if (type == "string") {
    test.bytes = unescape(value);
    return test;
  }
  const bool compared = !value.empty() && (value[0] == '<' || value[0] == '>');
  const std::optional<std::uint64_t> number =
      numberOf(!value.empty() && (compared || value[0] == '=') ? value.substr(1) : value);
  if (!number) {
    return std::nullopt;
  }
  if (type == "ubyte" && *number <= 0xff) {
    if (!compared) {
      test.bytes = std::string(1, static_cast<char>(*number));
      return test;
    }
    test.kind = value[0] == '>' ? Kind::kByteAbove : Kind::kByteBelow;
    test.value = static_cast<std::uint32_t>(*number);
    return test;
  }
  if ((type == "ulelong" || type == "ubelong") && !compared && *number <= 0xffffffffu) {
    test.kind = type == "ulelong" ? Kind::kLittle32 : Kind::kBig32;
    test.value = static_cast<std::uint32_t>(*number);
    return test;
  }
  return std::nullopt;
}

// The branches of one definition's continuation lines, or none where a
// line's test cannot run in the host or a path ends without a type.
std::vector<RuleBranch> branchesOf(const RuleLine& top, const std::vector<RuleLine>& lines) {
  std::vector<RuleBranch> branches;
  if (!top.mime.empty()) {
    branches.push_back({top.mime, {}});
  }
  std::vector<RuleTest> path;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const RuleLine& line = lines[i];
    if (!line.test) {
      return {};
    }
    path.resize(static_cast<std::size_t>(line.level - 1));
    path.push_back(*line.test);
    const bool leaf = i + 1 == lines.size() || lines[i + 1].level <= line.level;
    if (!line.mime.empty()) {
      branches.push_back({line.mime, path});
    } else if (leaf) {
      return {};
    }
  }
  return branches;
}

// |bytes| as a C++ string literal with an explicit length: printable
// characters as they are, others as three-digit octal escapes, which never
// run into the next character.
std::string literal(std::string_view bytes) {
  std::string text = "std::string_view(\"";
  char escaped[5];
  for (const char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      text.push_back(c);
      continue;
    }
    std::snprintf(escaped, sizeof escaped, "\\%03o", static_cast<unsigned char>(c));
    text += escaped;
  }
  return text + "\", " + std::to_string(bytes.size()) + ")";
}

const char* kindSource(Kind kind) {
  switch (kind) {
    case Kind::kBytes:
      return "Kind::kBytes";
    case Kind::kLittle32:
      return "Kind::kLittle32";
    case Kind::kBig32:
      return "Kind::kBig32";
    case Kind::kByteAbove:
      return "Kind::kByteAbove";
    case Kind::kByteBelow:
      return "Kind::kByteBelow";
  }
  return "";
}

std::string testSource(const RuleTest& test) {
  std::string text = "{";
  text += kindSource(test.kind);
  text += ", " + std::to_string(test.offset) + ", ";
  text += test.kind == Kind::kBytes ? literal(test.bytes) : "{}";
  text += ", " + std::to_string(test.value) + "}";
  return text;
}

}  // namespace

std::optional<std::vector<RuleDefinition>> readFixedRules(std::string_view magic,
                                                          std::string* err) {
  std::vector<RuleDefinition> definitions;
  std::optional<RuleLine> top;
  std::vector<RuleLine> lines;
  const auto finish = [&] {
    if (top) {
      definitions.push_back({*top->test, branchesOf(*top, lines)});
    }
    lines.clear();
  };
  int number = 0;
  std::size_t start = 0;
  while (start < magic.size()) {
    std::size_t stop = magic.find('\n', start);
    if (stop == std::string_view::npos) {
      stop = magic.size();
    }
    const std::string_view line = magic.substr(start, stop - start);
    start = stop + 1;
    ++number;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (line.empty() || line[0] == '#') {
      continue;
    }
    const std::vector<std::string> fields = fieldsOf(line);
    if (fields.empty()) {
      continue;
    }
    if (fields[0].starts_with("!:")) {
      if (fields[0] == "!:mime") {
        if (!top || fields.size() < 2) {
          *err = where + "a type without a test";
          return std::nullopt;
        }
        (lines.empty() ? *top : lines.back()).mime = fields[1];
      }
      continue;
    }
    if (fields.size() < 3) {
      *err = where + "a test needs an offset, a type and a value";
      return std::nullopt;
    }
    RuleLine rule;
    std::string offset = fields[0];
    while (rule.level < static_cast<int>(offset.size()) && offset[rule.level] == '>') {
      ++rule.level;
    }
    offset.erase(0, static_cast<std::size_t>(rule.level));
    rule.test = testOf(offset, fields[1], fields[2]);
    if (rule.level == 0) {
      finish();
      if (!rule.test || rule.test->kind != Kind::kBytes || fields[1] != "string") {
        *err = where + "a definition must start with a string at a fixed offset";
        return std::nullopt;
      }
      top = std::move(rule);
      continue;
    }
    const int previous = lines.empty() ? 0 : lines.back().level;
    if (!top || rule.level > previous + 1) {
      *err = where + "a continuation deeper than the line before allows";
      return std::nullopt;
    }
    lines.push_back(std::move(rule));
  }
  finish();
  return definitions;
}

std::string fixedRulesSource(const std::vector<RuleDefinition>& definitions) {
  std::string arrays;
  std::string table = "constexpr FixedDefinition kDefinitions[] = {\n";
  for (std::size_t d = 0; d < definitions.size(); ++d) {
    const RuleDefinition& definition = definitions[d];
    std::string branches;
    for (std::size_t b = 0; b < definition.branches.size(); ++b) {
      const RuleBranch& branch = definition.branches[b];
      std::string tests = "{}";
      if (!branch.tests.empty()) {
        tests = "kTests" + std::to_string(d) + "_" + std::to_string(b);
        arrays += "constexpr FixedTest " + tests + "[] = {";
        for (const RuleTest& test : branch.tests) {
          arrays += testSource(test) + ", ";
        }
        arrays += "};\n";
      }
      branches += "{" + literal(branch.mime) + ", " + tests + "}, ";
    }
    std::string branch_array = "{}";
    if (!definition.branches.empty()) {
      branch_array = "kBranches" + std::to_string(d);
      arrays += "constexpr FixedBranch " + branch_array + "[] = {" + branches + "};\n";
    }
    table += "    {" + testSource(definition.first) + ", " + branch_array + "},\n";
  }
  return "// Made from trueext-common.magic by make_fixed_signatures at build time.\n" + arrays +
         table + "};\n";
}

std::optional<std::string> fixedSignatureTable(std::string_view magic, std::string* err) {
  const std::optional<std::vector<RuleDefinition>> definitions = readFixedRules(magic, err);
  if (!definitions) {
    return std::nullopt;
  }
  return fixedRulesSource(*definitions);
}

}  // namespace ident
