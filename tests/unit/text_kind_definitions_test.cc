// Text kinds are defined one file a kind and turned into the classifier's
// tables at build time. These cases hold the reader to refusing every
// mistake with its file and line (a mistake must fail the build, not weigh
// a rule silently), and the tables to what the definitions say.
#include "tools/text_kind_definitions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "text/kinds.h"
#include "text/text_classifier.h"

namespace ident {
namespace {

using tools::KindFile;
using tools::readKindDefinitions;

constexpr const char* kLua =
    "# A comment, and blank lines, are skipped.\n"
    "kind         Lua\n"
    "extension    lua\n"
    "description  Lua script\n"
    "specificity  1\n"
    "interpreters lua luajit\n"
    "editor-modes lua\n"
    "\n"
    "pattern 3 prefix \"local function \"\n"
    "pattern 1 contains \"require(\\\"\" prose\n"
    "grammar 2 MethodCall\n"
    "grammar 3 ElseifThen heading\n";

TEST(TextKindDefinitionsTest, ReadsEveryField) {
  std::string err;
  auto kinds = readKindDefinitions(
      {{"kinds/lua.kind", kLua},
       {"kinds/fortran.kind",
        "kind Fortran\nextension f90\ndescription Fortran source\neditor-modes fortran=f f90\n"}},
      &err);
  ASSERT_TRUE(kinds) << err;
  ASSERT_EQ(kinds->size(), 2u);
  // Ordered by name, whatever the order of the files.
  EXPECT_EQ((*kinds)[0].name, "Fortran");
  EXPECT_EQ((*kinds)[0].editor_modes[0].extension, "f");
  EXPECT_EQ((*kinds)[0].editor_modes[1].extension, "");
  const tools::KindDefinition& lua = (*kinds)[1];
  EXPECT_EQ(lua.description, "Lua script");
  EXPECT_EQ(lua.specificity, 1);
  EXPECT_EQ(lua.interpreters.size(), 2u);
  ASSERT_EQ(lua.patterns.size(), 2u);
  EXPECT_EQ(lua.patterns[1].match, "kContains");
  EXPECT_EQ(lua.patterns[1].pattern, "require(\"");
  EXPECT_TRUE(lua.patterns[1].prose);
  ASSERT_EQ(lua.grammar.size(), 2u);
  EXPECT_EQ(lua.grammar[1].weight, 3);
  EXPECT_TRUE(lua.grammar[1].heading);

  const std::string header = tools::kindHeader(*kinds);
  EXPECT_NE(header.find("kGrammarSlots = 2;"), std::string::npos) << header;
  EXPECT_NE(header.find("inline constexpr GrammarRule kLuaElseifThen{Kind::kLua, 1};"),
            std::string::npos)
      << header;
  const std::string source = tools::kindSource(*kinds);
  EXPECT_NE(source.find("{Kind::kLua, 1, Match::kContains, \"require(\\\"\", true}"),
            std::string::npos)
      << source;
  EXPECT_NE(source.find("{\"fortran\", Kind::kFortran, \"f\"}"), std::string::npos) << source;
}

TEST(TextKindDefinitionsTest, RefusesMistakesWithTheirPlace) {
  const std::string lua = kLua;
  auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = lua;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    const char* what;
    std::vector<KindFile> files;
    const char* error;  // the start of the message
  };
  const Case cases[] = {
      {"no extension", {{"k/lua.kind", replaced("extension    lua\n", "")}},
       "k/lua.kind: no \"extension\""},
      {"no description", {{"k/lua.kind", replaced("description  Lua script\n", "")}},
       "k/lua.kind: no \"description\""},
      {"rules without a specificity", {{"k/lua.kind", replaced("specificity  1\n", "")}},
       "k/lua.kind: rules but no \"specificity\""},
      {"a field twice", {{"k/lua.kind", lua + "extension luac\n"}},
       "k/lua.kind:13: \"extension\" given twice"},
      {"an unknown field", {{"k/lua.kind", lua + "weight 3\n"}},
       "k/lua.kind:13: unknown field"},
      {"an unknown match", {{"k/lua.kind", replaced("prefix \"local", "starts \"local")}},
       "k/lua.kind:9: unknown match"},
      {"a weight that is no digit", {{"k/lua.kind", replaced("grammar 2", "grammar 12")}},
       "k/lua.kind:11: a grammar rule is"},
      {"a pattern without its closing quote",
       {{"k/lua.kind", replaced("\"local function \"", "\"local function")}},
       "k/lua.kind:9: a pattern is a non-empty C string"},
      {"an escape C++ would read otherwise",
       {{"k/lua.kind", replaced("\"local function \"", "\"local\\x41\"")}},
       "k/lua.kind:9: a pattern is a non-empty C string"},
      {"a grammar rule twice", {{"k/lua.kind", lua + "grammar 1 MethodCall\n"}},
       "k/lua.kind:13: grammar rule MethodCall given twice"},
      {"a file named for another kind", {{"k/moon.kind", lua}},
       "k/moon.kind: kind Lua belongs in lua.kind"},
      {"a parent that does not exist", {{"k/lua.kind", lua + "parent Moon 3\n"}},
       "lua.kind: no parent kind Moon"},
      {"a specificity two kinds share, which leaves their ties to chance",
       {{"k/lua.kind", lua},
        {"k/moon.kind",
         "kind Moon\nextension moon\ndescription MoonScript\nspecificity 1\npattern 1 prefix \"x\"\n"}},
       "moon.kind: specificity 1 is Lua's too"},
      {"an interpreter two kinds claim",
       {{"k/lua.kind", lua},
        {"k/moon.kind", "kind Moon\nextension moon\ndescription MoonScript\ninterpreters lua\n"}},
       "moon.kind: \"lua\" already names Lua"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_FALSE(readKindDefinitions(c.files, &err)) << c.what;
    EXPECT_EQ(err.rfind(c.error, 0), 0u) << c.what << ": " << err;
  }
}

// The tables the build made from text/kinds/: every kind is reachable by
// its name, and a name that says which kind a file is names that kind.
TEST(TextKindDefinitionsTest, BuiltTablesNameEachKind) {
  std::set<std::string_view> names;
  for (std::size_t k = 0; k < text::kKindCount; ++k) {
    const text::KindInfo& info = text::kindInfo(static_cast<text::Kind>(k));
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    EXPECT_FALSE(info.extension.empty()) << info.name;
  }
  for (const text::NamedKind& mode : text::editorModes()) {
    if (mode.kind == text::Kind::kRoff) {
      continue;  // a roff mode names no manual page by itself
    }
    const std::string head = "-*- mode: " + std::string(mode.name) + " -*-\nx\n";
    TextVerdict verdict = classifyText(head, "ASCII text");
    EXPECT_EQ(verdict.extension, mode.extension) << mode.name;
    EXPECT_EQ(verdict.description, text::kindInfo(mode.kind).description) << mode.name;
  }
}

}  // namespace
}  // namespace ident
