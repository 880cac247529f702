#include "fixed_signatures.h"

#include <algorithm>

namespace ident {

namespace {

using namespace std::string_view_literals;
using Kind = FixedTest::Kind;

// Each block mirrors one definition of trueext-common.magic; the engine's
// tests hold the two to the same answers.

constexpr FixedBranch kJpeg[] = {{"image/jpeg", {}}};

constexpr FixedBranch kPng[] = {{"image/png", {}}};

constexpr FixedTest kGif87[] = {{Kind::kBytes, 4, "7a"}};
constexpr FixedTest kGif89[] = {{Kind::kBytes, 4, "9a"}};
constexpr FixedBranch kGif[] = {{"image/gif", kGif87}, {"image/gif", kGif89}};

// Windows bitmaps by the size of their information header.
constexpr FixedTest kBmp3[] = {{Kind::kLittle32, 14, {}, 40}};
constexpr FixedTest kBmp4[] = {{Kind::kLittle32, 14, {}, 108}};
constexpr FixedTest kBmp5[] = {{Kind::kLittle32, 14, {}, 124}};
constexpr FixedBranch kBmp[] = {{"image/bmp", kBmp3}, {"image/bmp", kBmp4}, {"image/bmp", kBmp5}};

constexpr FixedTest kWave[] = {{Kind::kBytes, 8, "WAVE"}};
constexpr FixedTest kWebp[] = {{Kind::kBytes, 8, "WEBP"}};
constexpr FixedBranch kRiff[] = {{"audio/x-wav", kWave}, {"image/webp", kWebp}};

constexpr FixedTest kIsom[] = {{Kind::kBytes, 8, "isom"}};
constexpr FixedTest kMp42[] = {{Kind::kBytes, 8, "mp42"}};
constexpr FixedBranch kIsoMedia[] = {{"video/mp4", kIsom}, {"video/mp4", kMp42}};

constexpr FixedBranch kFlac[] = {{"audio/flac", {}}};

// Only a database without an application id.
constexpr FixedTest kPlainSqlite[] = {{Kind::kBig32, 68, {}, 0}};
constexpr FixedBranch kSqlite[] = {{"application/vnd.sqlite3", kPlainSqlite}};

constexpr FixedBranch kXz[] = {{"application/x-xz", {}}};

// A block size digit, then the first block's magic.
constexpr FixedTest kBzip2Block[] = {
    {Kind::kByteAbove, 3, {}, 0x30}, {Kind::kByteBelow, 3, {}, 0x3a}, {Kind::kBytes, 4, "1AY&SY"}};
constexpr FixedBranch kBzip2[] = {{"application/x-bzip2", kBzip2Block}};

constexpr FixedDefinition kDefinitions[] = {
    {{Kind::kBytes, 0, "\xff\xd8\xff"}, kJpeg},
    {{Kind::kBytes, 0, "\x89PNG\r\n\x1a\n"}, kPng},
    {{Kind::kBytes, 0, "GIF8"}, kGif},
    {{Kind::kBytes, 0, "BM"}, kBmp},
    {{Kind::kBytes, 0, "RIFF"}, kRiff},
    {{Kind::kBytes, 4, "ftyp"}, kIsoMedia},
    // MPEG audio after an ID3 tag: where the frame lies is read from the
    // tag, so libmagic decides.
    {{Kind::kBytes, 0, "ID3"}, {}},
    {{Kind::kBytes, 0, "fLaC"}, kFlac},
    {{Kind::kBytes, 0, "SQLite format 3\0"sv}, kSqlite},
    {{Kind::kBytes, 0, "\xfd" "7zXZ\0"sv}, kXz},
    {{Kind::kBytes, 0, "BZh"}, kBzip2},
    // A zip archive is known only from its entries.
    {{Kind::kBytes, 0, "PK\x03\x04"}, {}},
};

constexpr std::size_t end(const FixedTest& test) {
  return test.offset + (test.kind == Kind::kBytes ? test.bytes.size()
                        : test.kind == Kind::kLittle32 || test.kind == Kind::kBig32 ? 4
                                                                                    : 1);
}

constexpr bool withinSignatureBytes() {
  for (const FixedDefinition& definition : kDefinitions) {
    if (end(definition.first) > kFixedSignatureBytes) {
      return false;
    }
    for (const FixedBranch& branch : definition.branches) {
      for (const FixedTest& test : branch.tests) {
        if (end(test) > kFixedSignatureBytes) {
          return false;
        }
      }
    }
  }
  return true;
}
static_assert(withinSignatureBytes(), "a test reads beyond the bytes the host reads");

std::uint32_t number(std::string_view bytes, bool big_endian) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[big_endian ? i : 3 - i]);
    value = (value << 8) | byte;
  }
  return value;
}

}  // namespace

bool FixedTest::holds(std::string_view head) const {
  const std::size_t last = end(*this);
  if (last > head.size()) {
    return false;
  }
  const std::string_view at = head.substr(offset, last - offset);
  switch (kind) {
    case Kind::kBytes:
      return at == bytes;
    case Kind::kLittle32:
      return number(at, false) == value;
    case Kind::kBig32:
      return number(at, true) == value;
    case Kind::kByteAbove:
      return static_cast<unsigned char>(at[0]) > value;
    case Kind::kByteBelow:
      return static_cast<unsigned char>(at[0]) < value;
  }
  return false;
}

std::span<const FixedDefinition> fixedDefinitions() { return kDefinitions; }

std::optional<std::string_view> fixedSignatureType(std::string_view head) {
  const FixedDefinition* taken = nullptr;
  for (const FixedDefinition& definition : kDefinitions) {
    if (definition.first.holds(head)) {
      if (taken != nullptr) {
        return std::nullopt;
      }
      taken = &definition;
    }
  }
  if (taken == nullptr) {
    return std::nullopt;
  }
  for (const FixedBranch& branch : taken->branches) {
    if (std::all_of(branch.tests.begin(), branch.tests.end(),
                    [head](const FixedTest& test) { return test.holds(head); })) {
      return branch.mime;
    }
  }
  return std::nullopt;
}

}  // namespace ident
