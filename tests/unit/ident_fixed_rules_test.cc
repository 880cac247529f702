// The host's table of fixed signatures is made from the commonest formats'
// definitions at build time; these cases hold the reading of libmagic's
// text form to what libmagic makes of it.
#include "tools/fixed_signature_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace ident {
namespace {

using namespace std::string_literals;
using Kind = FixedTest::Kind;

RuleTest bytesAt(std::size_t offset, std::string bytes) {
  return {Kind::kBytes, offset, std::move(bytes), 0};
}
RuleTest numberAt(Kind kind, std::size_t offset, std::uint32_t value) {
  return {kind, offset, "", value};
}

struct ReadCase {
  const char* what;
  std::string magic;
  std::vector<RuleDefinition> want;
};

TEST(FixedRulesTest, ReadsWhatTheHostCanRun) {
  const ReadCase cases[] = {
      {"a type on the first line, escapes in the string",
       "# comment\n\n0\tstring\t\\x89PNG\\r\\n\\032\\n\tPNG\n!:mime\timage/png\n",
       {{bytesAt(0, "\x89PNG\r\n\x1a\n"), {{"image/png", {}}}}}},
      {"escaped spaces and a NUL end one field",
       "0\tstring\tSQLite\\ format\\ 3\\0\n>68\tubelong\t0\tSQLite\n!:mime\tapplication/vnd.sqlite3\n",
       {{bytesAt(0, "SQLite format 3\0"s),
         {{"application/vnd.sqlite3", {numberAt(Kind::kBig32, 68, 0)}}}}}},
      {"siblings are branches in order, hex values",
       "0\tstring\tBM\n>14\tulelong\t40\ta\n!:mime\timage/bmp\n>14\tulelong\t0x6c\tb\n"
       "!:mime\timage/x-other\n",
       {{bytesAt(0, "BM"),
         {{"image/bmp", {numberAt(Kind::kLittle32, 14, 40)}},
          {"image/x-other", {numberAt(Kind::kLittle32, 14, 108)}}}}}},
      {"a nested path is one branch; byte comparisons and equality",
       "0\tstring\tBZh\n>3\tubyte\t>0x30\n>>3\tubyte\t<0x3a\n>>>4\tubyte\t=0x31\tbz\n"
       "!:mime\tapplication/x-bzip2\n",
       {{bytesAt(0, "BZh"),
         {{"application/x-bzip2",
           {numberAt(Kind::kByteAbove, 3, 0x30), numberAt(Kind::kByteBelow, 3, 0x3a),
            bytesAt(4, "1")}}}}}},
      {"an offset read from the file leaves the definition to libmagic",
       "0\tstring\tID3\n>3\tubyte\t<5\n>>(6.I+10)\tbeshort\t0xfffa\tmp3\n!:mime\taudio/mpeg\n"
       "0\tstring\tfLaC\tflac\n!:mime\taudio/flac\n",
       {{bytesAt(0, "ID3"), {}}, {bytesAt(0, "fLaC"), {{"audio/flac", {}}}}}},
      {"so does a mask, a signed comparison of a number, or a path without a type",
       "0\tstring\tA\n>4\tbeshort&0xfffe\t0xfffa\tx\n!:mime\tx/a\n"
       "0\tstring\tB\n>4\tulelong\t>3\tx\n!:mime\tx/b\n"
       "0\tstring\tC\n>4\tstring\tc\tno type\n>4\tstring\td\td\n!:mime\tx/c\n",
       {{bytesAt(0, "A"), {}}, {bytesAt(0, "B"), {}}, {bytesAt(0, "C"), {}}}},
      {"other annotations are not types",
       "0\tstring\tfLaC\tflac\n!:ext\tflac\n!:mime\taudio/flac\n!:strength\t+10\n",
       {{bytesAt(0, "fLaC"), {{"audio/flac", {}}}}}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string err;
    const auto rules = readFixedRules(c.magic, &err);
    ASSERT_TRUE(rules.has_value()) << err;
    EXPECT_EQ(*rules, c.want);
  }
}

TEST(FixedRulesTest, RefusesWhatTheHostCannotTellApart) {
  const struct {
    const char* magic;
    const char* message;
  } cases[] = {
      {"0\tbelong\t0xcafebabe\tclass\n", "must start with a string"},
      {"(4.l)\tstring\tx\tx\n", "must start with a string"},
      {">4\tstring\tx\tx\n", "deeper than"},
      {"0\tstring\tA\n>>4\tstring\tx\tx\n", "deeper than"},
      {"!:mime\tx/a\n", "a type without a test"},
      {"0\tstring\n", "an offset, a type and a value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.magic);
    std::string err;
    EXPECT_FALSE(readFixedRules(c.magic, &err).has_value());
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
}

TEST(FixedRulesTest, TheShippedDefinitionsMakeATable) {
  // Every definition the library ships is one the host can hold; a
  // definition added to it that cannot be read fails the build itself.
  const std::string text =
      testutil::readFile(IDENT_BUILD_DIR + std::string("trueext-common.magic"));
  std::string err;
  const auto rules = readFixedRules(text, &err);
  ASSERT_TRUE(rules.has_value()) << err;
  std::size_t answered = 0;
  for (const RuleDefinition& definition : *rules) {
    answered += definition.branches.empty() ? 0 : 1;
  }
  EXPECT_EQ(rules->size(), fixedDefinitions().size());
  EXPECT_GE(answered, rules->size() - 1) << "only MPEG audio behind a tag is left to libmagic";
}

}  // namespace
}  // namespace ident
