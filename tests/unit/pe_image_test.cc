#include "signatures/pe_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace signatures {
namespace {

// A file in memory. |claimed_size| may exceed the bytes held, as when the
// file is truncated between the size check and the read.
class MemoryFile : public ByteSource {
 public:
  explicit MemoryFile(std::string bytes, std::uint64_t claimed_size = UINT64_MAX)
      : bytes_(std::move(bytes)),
        size_(claimed_size == UINT64_MAX ? bytes_.size() : claimed_size) {}

  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, std::span<unsigned char> out) override {
    if (offset >= bytes_.size()) {
      return 0;
    }
    const std::size_t n = std::min<std::uint64_t>(out.size(), bytes_.size() - offset);
    std::copy_n(bytes_.data() + offset, n, out.data());
    return n;
  }

 private:
  std::string bytes_;
  std::uint64_t size_;
};

void putFixed32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
  }
}

// An "MZ" image with its PE header at |pe_offset| and the given COFF
// Characteristics.
std::string peImage(std::uint16_t characteristics, std::uint32_t pe_offset = 0x80) {
  std::string image(pe_offset + 24 + 64, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  putFixed32(image, 0x3C, pe_offset);
  image.replace(pe_offset, 4, std::string("PE\0\0", 4));
  image[pe_offset + 22] = static_cast<char>(characteristics & 0xff);
  image[pe_offset + 23] = static_cast<char>(characteristics >> 8);
  return image;
}

TEST(PeImageTest, CharacteristicsDecide) {
  static const struct {
    std::uint16_t characteristics;
    std::string_view want;
  } kCases[] = {
      {0x0102, "exe"},  // executable image
      {0x2102, "dll"},  // DLL and executable
      {0x1102, "sys"},  // system file
      {0x3002, "dll"},  // system and DLL: DLL wins
      {0x0000, "exe"},  // none of the bits
      {0x0200, "exe"},
  };
  for (const auto& c : kCases) {
    MemoryFile file(peImage(c.characteristics));
    EXPECT_EQ(refinePeExtension(file), c.want) << std::hex << c.characteristics;
  }
}

TEST(PeImageTest, ReadsHeaderAtAnyOffset) {
  MemoryFile low(peImage(0x2002, 0x40));
  EXPECT_EQ(refinePeExtension(low), "dll");
  MemoryFile high(peImage(0x1002, 0x400));
  EXPECT_EQ(refinePeExtension(high), "sys");
}

TEST(PeImageTest, NotAPeImageIsExe) {
  std::string dos_only = peImage(0x2002);
  dos_only[0x80] = 'N';  // "NE": a 16-bit image
  std::string far_offset = peImage(0x2002);
  putFixed32(far_offset, 0x3C, 0xFFFFFFF0u);  // would wrap in 32-bit arithmetic
  std::string past_end = peImage(0x2002);
  putFixed32(past_end, 0x3C, static_cast<std::uint32_t>(past_end.size() - 23));
  std::string truncated = peImage(0x2002);
  truncated.resize(0x80 + 20);  // header cut inside the file header

  const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"no PE signature", dos_only},
      {"offset near 4 GiB", far_offset},
      {"header one byte past the end", past_end},
      {"truncated file header", truncated},
      {"too short for the offset field", std::string("MZ\x90\x00", 4)},
      {"offset field cut short", std::string(0x3E, 'M')},
  };
  for (const auto& c : kCases) {
    MemoryFile file(c.bytes);
    EXPECT_EQ(refinePeExtension(file), "exe") << c.what;
  }
}

TEST(PeImageTest, ShortReadIsNotAPeImage) {
  // The size said the header fits, but the file shrank before the read.
  std::string image = peImage(0x2002);
  const std::uint64_t claimed = image.size();
  image.resize(0x80 + 10);
  MemoryFile file(image, claimed);
  EXPECT_EQ(refinePeExtension(file), "exe");
}

}  // namespace
}  // namespace signatures
