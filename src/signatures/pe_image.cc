#include "signatures/pe_image.h"

#include <array>
#include <cstdint>

namespace signatures {
namespace {

constexpr std::uint64_t kPeOffsetField = 0x3C;
constexpr std::size_t kPeHeaderSize = 24;  // "PE\0\0" + 20-byte COFF header
constexpr std::size_t kCharacteristicsAt = 22;

constexpr std::uint16_t kSystemFile = 0x1000;
constexpr std::uint16_t kDll = 0x2000;

std::uint32_t decodeFixed32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t decodeFixed16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::string_view refinePeExtension(ByteSource& file) {
  const std::uint64_t size = file.size();
  std::array<unsigned char, 4> field{};
  if (kPeOffsetField + field.size() > size || file.readAt(kPeOffsetField, field) != field.size()) {
    return "exe";
  }
  // 64-bit arithmetic: an offset near 4 GiB must not wrap past the check.
  const std::uint64_t pe_offset = decodeFixed32(field.data());
  if (pe_offset + kPeHeaderSize > size) {
    return "exe";
  }
  std::array<unsigned char, kPeHeaderSize> header{};
  if (file.readAt(pe_offset, header) != header.size()) {
    return "exe";
  }
  if (header[0] != 'P' || header[1] != 'E' || header[2] != 0 || header[3] != 0) {
    return "exe";
  }
  const std::uint16_t characteristics = decodeFixed16(header.data() + kCharacteristicsAt);
  if (characteristics & kDll) {
    return "dll";
  }
  if (characteristics & kSystemFile) {
    return "sys";
  }
  return "exe";  // the executable-image bit (0x0002), or none of the bits
}

}  // namespace signatures
