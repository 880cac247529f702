#include "containers/compound_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "byte_source.h"
#include "engine.h"

namespace ident {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xfffffffe;
constexpr std::uint32_t kFree = 0xffffffff;

void put16(std::string* bytes, std::size_t at, std::uint32_t value) {
  (*bytes)[at] = static_cast<char>(value & 0xff);
  (*bytes)[at + 1] = static_cast<char>((value >> 8) & 0xff);
}

void put32(std::string* bytes, std::size_t at, std::uint32_t value) {
  put16(bytes, at, value & 0xffff);
  put16(bytes, at + 2, value >> 16);
}

// A directory entry named |name| (ASCII) of object type |type|.
std::string entry(std::string_view name, int type) {
  std::string bytes(128, '\0');
  for (std::size_t i = 0; i < name.size(); ++i) {
    bytes[2 * i] = name[i];
  }
  put16(&bytes, 0x40, static_cast<std::uint32_t>(2 * (name.size() + 1)));
  bytes[0x42] = static_cast<char>(type);
  return bytes;
}

// A compound file with 512-byte sectors whose directory (a root entry and
// |stream|) sits in sector |directory_at|, far enough in that the file is
// larger than the head libmagic sees. Sectors 0..4 hold the allocation table
// (they cover sectors 0..639); |next| is the directory sector's table entry.
std::string compoundFile(std::string_view stream, std::uint32_t directory_at = 600,
                         std::uint32_t next = kEndOfChain, std::string_view root_class = {}) {
  constexpr std::uint32_t kFatSectors = 5;
  std::string file((directory_at + 2) * kSector, '\0');
  file.replace(0, 8, "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv);
  put16(&file, 0x1a, 3);       // major version: 512-byte sectors
  put16(&file, 0x1c, 0xfffe);  // byte order
  put16(&file, 0x1e, 9);       // sector shift
  put16(&file, 0x20, 6);       // mini sector shift
  put32(&file, 0x2c, kFatSectors);
  put32(&file, 0x30, directory_at);
  put32(&file, 0x44, kEndOfChain);  // no further allocation-table list
  for (std::uint32_t i = 0; i < 109; ++i) {
    put32(&file, 0x4c + 4 * i, i < kFatSectors ? i : kFree);
  }
  for (std::uint32_t sector = 0; sector < kFatSectors * 128; ++sector) {
    put32(&file, kSector + 4 * sector, sector == directory_at ? next : kFree);
  }
  std::string root = entry("Root Entry", 5);
  root.replace(0x50, root_class.size(), root_class);
  const std::size_t directory = (directory_at + 1) * kSector;
  file.replace(directory, 128, root);
  if (!stream.empty()) {
    file.replace(directory + 128, 128, entry(stream, 2));
  }
  return file;
}

std::string resultOf(std::string_view bytes) {
  const std::optional<Result> result = identifyCompoundDocument(BufferSource(bytes));
  return result ? result->extension : "(none)";
}

TEST(CompoundDocumentTest, KindsFromTheirStreams) {
  static const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"word", compoundFile("WordDocument"), "doc"},
      {"excel", compoundFile("Workbook"), "xls"},
      {"excel 5", compoundFile("Book"), "xls"},
      {"powerpoint", compoundFile("PowerPoint Document"), "ppt"},
      {"visio", compoundFile("VisioDocument"), "vsd"},
      {"outlook message", compoundFile("__substg1.0_0037001F"), "msg"},
      {"windows installer",
       compoundFile("", 600, kEndOfChain,
                    "\x84\x10\x0c\x00\x00\x00\x00\x00\xc0\x00\x00\x00\x00\x00\x00\x46"sv),
       "msi"},
      {"some other stream", compoundFile("Contents"), "(none)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(c.bytes), c.want);
  }
}

TEST(CompoundDocumentTest, RealOfficeFilesFromLibreOffice) {
  static const struct {
    const char* sample;
    const char* want;
  } kCases[] = {{"doc", "doc"}, {"xls", "xls"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.sample);
    std::ifstream in(std::filesystem::path(IDENT_SAMPLES_DIR) / (std::string(c.sample) + ".sample"),
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(resultOf(bytes.str()), c.want);
  }
}

// libmagic reads only the head, so a directory further in is ours to find.
TEST(CompoundDocumentTest, EngineNamesADocumentWhoseDirectoryLiesPastTheHead) {
  const std::string file = compoundFile("PowerPoint Document", 700);
  ASSERT_GT(file.size(), Engine::kHeadBytes);
  Engine engine;
  std::string err;
  ASSERT_TRUE(engine.load(IDENT_BUILD_DIR, &err)) << err;
  const Analysis analysis = engine.analyze(BufferSource(file));
  ASSERT_FALSE(analysis.results.empty());
  EXPECT_EQ(analysis.results.front().extension, "ppt");
}

TEST(CompoundDocumentTest, DamagedFilesAreSafe) {
  std::string bad_shift = compoundFile("WordDocument");
  put16(&bad_shift, 0x1e, 30);
  std::string bad_order = compoundFile("WordDocument");
  put16(&bad_order, 0x1c, 0xfeff);
  std::string directory_past_end = compoundFile("WordDocument");
  put32(&directory_past_end, 0x30, 0x00ffffff);
  std::string table_past_end = compoundFile("Contents");
  put32(&table_past_end, 0x4c + 4 * 4, 0x00ffffff);
  static const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"signature only", "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"},
      {"header cut short", compoundFile("WordDocument").substr(0, 300)},
      {"sector size not 512 or 4096", bad_shift},
      {"wrong byte order mark", bad_order},
      {"directory sector past the end", directory_past_end},
      {"allocation table sector past the end", table_past_end},
      // The directory chain points back at itself: the walk must end.
      {"directory chain loops", compoundFile("Contents", 600, 600)},
      {"file cut inside the directory", compoundFile("WordDocument").substr(0, 601 * kSector + 64)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(c.bytes), "(none)");
  }
}

}  // namespace
}  // namespace ident
