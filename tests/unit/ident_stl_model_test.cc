#include "containers/stl_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "io/byte_source.h"

namespace ident {
namespace {

// A binary STL model of six triangles (a pyramid) written by assimp.
std::string realModel() {
  std::ifstream in(std::filesystem::path(IDENT_SAMPLES_DIR) / "stl.sample", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(StlModelTest, OnlyASizeThatAgreesWithTheTriangleCount) {
  const std::string model = realModel();
  ASSERT_EQ(model.size(), 84U + 50U * 6U);
  std::string no_triangles = model.substr(0, 84);
  no_triangles.replace(80, 4, std::string(4, '\0'));
  std::string huge_count = model;
  huge_count.replace(80, 4, "\xff\xff\xff\xff");
  static const struct {
    const char* what;
    std::string bytes;
    bool want;
  } kCases[] = {
      {"real model", model, true},
      {"one byte more", model + "x", false},
      {"one byte less", model.substr(0, model.size() - 1), false},
      {"header and a zero count only", no_triangles, false},
      {"count far beyond the size", huge_count, false},
      {"shorter than a header", model.substr(0, 40), false},
      {"empty", "", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::optional<Result> result = identifyBinaryStl(BufferSource(c.bytes));
    EXPECT_EQ(result.has_value(), c.want);
    if (result) {
      EXPECT_EQ(result->extension, "stl");
    }
  }
}

}  // namespace
}  // namespace ident
