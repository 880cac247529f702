#include "analysis.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace ident {
namespace {

using namespace std::string_view_literals;

TEST(AnalysisTest, TruncateUtf8KeepsWholeCharacters) {
  static const struct {
    std::string_view text;
    std::size_t max;
    std::string_view want;
  } kCases[] = {
      {"short"sv, 10, "short"sv},
      {"exactly"sv, 7, "exactly"sv},
      {"abcdef"sv, 3, "abc"sv},
      {"ab\xc3\xa9"sv, 3, "ab"sv},                  // é would be cut after its lead byte
      {"ab\xc3\xa9x"sv, 4, "ab\xc3\xa9"sv},         // é fits whole
      {"a\xe2\x82\xac"sv, 3, "a"sv},                // € cut after two of three bytes
      {"\xf0\x9f\x98\x80z"sv, 3, ""sv},             // a four-byte emoji cannot fit
      {"\x80\x80\x80\x80\x80\x80"sv, 4, "\x80\x80\x80\x80"sv},  // not UTF-8: a byte cut
      {""sv, 0, ""sv},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(truncateUtf8(c.text, c.max), c.want);
  }
}

TEST(AnalysisTest, SingleLineBlanksControlBytes) {
  EXPECT_EQ(singleLine("a\nb\tc\rd\x7f"), "a b c d");
  EXPECT_EQ(singleLine("  padded \n"), "padded");
  EXPECT_EQ(singleLine("\n\n"), "");
}

TEST(AnalysisTest, EncodingRoundTrips) {
  Analysis analysis;
  analysis.results.push_back({"png", "PNG image data, 1 x 1", false});
  analysis.results.push_back({"", "something without an extension", false});
  analysis.results.push_back({"py", "", true});
  const std::optional<Analysis> back = decodeAnalysis(encodeAnalysis(analysis));
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->results.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back->results[i].extension, analysis.results[i].extension);
    EXPECT_EQ(back->results[i].description, analysis.results[i].description);
    EXPECT_EQ(back->results[i].describe_later, analysis.results[i].describe_later);
  }
}

TEST(AnalysisTest, EncodingCutsLongTextsAndExtraResults) {
  Analysis analysis;
  // 200 two-byte characters: 400 bytes, cut to 258 so as not to split one.
  std::string long_text;
  for (int i = 0; i < 200; ++i) {
    long_text += "\xc3\xa9";
  }
  analysis.results.assign(kMaxResults + 5, Result{"ext", long_text, false});
  const std::optional<Analysis> back = decodeAnalysis(encodeAnalysis(analysis));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->results.size(), kMaxResults);
  EXPECT_EQ(back->results[0].description.size(), 258u);
}

TEST(AnalysisTest, DecodingRefusesMalformedBytes) {
  Analysis one;
  one.results.push_back({"png", "PNG image", false});
  const std::string good = encodeAnalysis(one);
  static const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"count only half there", std::string("\x01", 1)},
      {"count beyond the limit", std::string("\xff\x00", 2)},
      {"result missing", std::string("\x01\x00", 2)},
      {"text longer than the rest", std::string("\x01\x00\x09\x00png", 7)},
      {"text longer than allowed", std::string("\x01\x00\x04\x01", 4) + std::string(260, 'a')},
      {"flag missing", good.substr(0, good.size() - 1)},
      {"flag not 0 or 1", good.substr(0, good.size() - 1) + "\x02"},
      {"trailing bytes", good + "x"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(decodeAnalysis(c.bytes).has_value());
  }
  EXPECT_TRUE(decodeAnalysis(good).has_value());
}

}  // namespace
}  // namespace ident
