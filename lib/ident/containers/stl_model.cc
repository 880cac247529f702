#include "stl_model.h"

#include <cstdint>
#include <string>

#include "io/byte_order.h"

namespace ident {

namespace {

constexpr std::size_t kHeaderSize = 80;
constexpr std::uint64_t kTriangleSize = 50;

}  // namespace

std::optional<Result> identifyBinaryStl(const ByteSource& source) {
  std::string count_bytes;
  if (source.size() < kHeaderSize + 4 + kTriangleSize ||
      !source.readAt(kHeaderSize, 4, &count_bytes) || count_bytes.size() != 4) {
    return std::nullopt;
  }
  const std::uint64_t count = little32(count_bytes, 0);
  if (count == 0 || source.size() != kHeaderSize + 4 + count * kTriangleSize) {
    return std::nullopt;
  }
  return Result{"stl", "STL model, binary, " + std::to_string(count) + " triangles"};
}

}  // namespace ident
