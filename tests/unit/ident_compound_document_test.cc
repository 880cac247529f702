#include "containers/compound_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"
#include "engine.h"
#include "loaded_engine.h"

namespace ident {
namespace {

using namespace std::string_view_literals;

constexpr std::size_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xfffffffe;
constexpr std::uint32_t kFree = 0xffffffff;
constexpr std::uint32_t kNoEntry = 0xffffffff;
constexpr std::uint32_t kFatSectors = 5;  // sectors 0..4, covering sectors 0..639
constexpr std::uint32_t kFirstDataSector = kFatSectors;
constexpr std::size_t kMiniSector = 64;
constexpr std::size_t kMiniCutoff = 4096;
constexpr int kStream = 2;
constexpr int kStorage = 1;

void put16(std::string* bytes, std::size_t at, std::uint32_t value) {
  (*bytes)[at] = static_cast<char>(value & 0xff);
  (*bytes)[at + 1] = static_cast<char>((value >> 8) & 0xff);
}

void put32(std::string* bytes, std::size_t at, std::uint32_t value) {
  put16(bytes, at, value & 0xffff);
  put16(bytes, at + 2, value >> 16);
}

// A directory entry named |name| (ASCII) of object type |type|, with no
// tree links.
std::string entry(std::string_view name, int type) {
  std::string bytes(128, '\0');
  for (std::size_t i = 0; i < name.size(); ++i) {
    bytes[2 * i] = name[i];
  }
  put16(&bytes, 0x40, static_cast<std::uint32_t>(2 * (name.size() + 1)));
  bytes[0x42] = static_cast<char>(type);
  put32(&bytes, 0x44, kNoEntry);
  put32(&bytes, 0x48, kNoEntry);
  put32(&bytes, 0x4c, kNoEntry);
  return bytes;
}

// What a test compound file holds: the root's class ID and the entries of
// its directory after the root. Streams of 4096 bytes and more get regular
// sectors from sector 5 on, shorter ones mini sectors in the mini stream
// (placed after them, with its table); a stream |nested| lies below the
// storage before it instead of below the root.
struct Child {
  std::string name;
  int type = kStream;
  std::string data;
  bool nested = false;
};

struct Layout {
  std::vector<Child> children;
  std::string_view root_class;
  // The sector of the directory, far enough in by default that the file is
  // larger than the head libmagic sees; its allocation-table entry.
  std::uint32_t directory_at = 600;
  std::uint32_t directory_next = kEndOfChain;
};

Child stream(std::string name, std::string data = {}) {
  Child child;
  child.name = std::move(name);
  child.data = std::move(data);
  return child;
}
Child storage(std::string name) {
  Child child = stream(std::move(name));
  child.type = kStorage;
  return child;
}
Child nestedStream(std::string name) {
  Child child = stream(std::move(name));
  child.nested = true;
  return child;
}
Layout withChildren(std::vector<Child> children) {
  Layout layout;
  layout.children = std::move(children);
  return layout;
}

// Writes |data| into regular sectors from |sector| on, chained in the
// allocation table; returns the sector after them.
std::uint32_t place(std::string* file, std::uint32_t sector, std::string_view data) {
  const auto sectors = static_cast<std::uint32_t>((data.size() + kSector - 1) / kSector);
  file->replace((sector + 1) * kSector, data.size(), data);
  for (std::uint32_t k = 0; k < sectors; ++k) {
    put32(file, kSector + 4 * (sector + k), k + 1 < sectors ? sector + k + 1 : kEndOfChain);
  }
  return sector + sectors;
}

std::string compoundFile(const Layout& layout) {
  std::string file((layout.directory_at + 2) * kSector, '\0');
  file.replace(0, 8, "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv);
  put16(&file, 0x1a, 3);       // major version: 512-byte sectors
  put16(&file, 0x1c, 0xfffe);  // byte order
  put16(&file, 0x1e, 9);       // sector shift
  put16(&file, 0x20, 6);       // mini sector shift
  put32(&file, 0x2c, kFatSectors);
  put32(&file, 0x30, layout.directory_at);
  put32(&file, 0x38, kMiniCutoff);  // mini stream cutoff
  put32(&file, 0x3c, kEndOfChain);  // no mini allocation table unless a stream needs one
  put32(&file, 0x44, kEndOfChain);  // no further allocation-table list
  for (std::uint32_t i = 0; i < 109; ++i) {
    put32(&file, 0x4c + 4 * i, i < kFatSectors ? i : kFree);
  }
  for (std::uint32_t sector = 0; sector < kFatSectors * 128; ++sector) {
    put32(&file, kSector + 4 * sector, sector == layout.directory_at ? layout.directory_next : kFree);
  }
  std::string root = entry("Root Entry", 5);
  root.replace(0x50, layout.root_class.size(), layout.root_class);
  std::vector<std::string> entries{root};
  std::uint32_t next_data = kFirstDataSector;
  std::string mini_stream;
  std::string mini_table(kSector, '\xff');
  std::uint32_t parent = 0;
  std::uint32_t previous_sibling = kNoEntry;
  std::uint32_t previous_nested = kNoEntry;
  for (const Child& child : layout.children) {
    const auto index = static_cast<std::uint32_t>(entries.size());
    std::string bytes = entry(child.name, child.type);
    if (child.data.size() >= kMiniCutoff) {
      put32(&bytes, 0x74, next_data);
      put32(&bytes, 0x78, static_cast<std::uint32_t>(child.data.size()));
      next_data = place(&file, next_data, child.data);
    } else if (!child.data.empty()) {
      // In the mini stream: 64-byte mini sectors, chained in the mini
      // allocation table.
      const auto first = static_cast<std::uint32_t>(mini_stream.size() / kMiniSector);
      const auto count = static_cast<std::uint32_t>((child.data.size() + kMiniSector - 1) / kMiniSector);
      put32(&bytes, 0x74, first);
      put32(&bytes, 0x78, static_cast<std::uint32_t>(child.data.size()));
      mini_stream += child.data;
      mini_stream.resize((first + count) * kMiniSector, '\0');
      for (std::uint32_t k = 0; k < count; ++k) {
        put32(&mini_table, 4 * (first + k), k + 1 < count ? first + k + 1 : kEndOfChain);
      }
    }
    if (child.nested) {
      // Below the last storage: its child, or the right sibling of the
      // previous nested entry.
      if (previous_nested == kNoEntry) {
        put32(&entries[parent], 0x4c, index);
      } else {
        put32(&entries[previous_nested], 0x48, index);
      }
      previous_nested = index;
    } else {
      if (previous_sibling == kNoEntry) {
        put32(&entries[0], 0x4c, index);
      } else {
        put32(&entries[previous_sibling], 0x48, index);
      }
      previous_sibling = index;
      if (child.type == kStorage) {
        parent = index;
        previous_nested = kNoEntry;
      }
    }
    entries.push_back(std::move(bytes));
  }
  if (!mini_stream.empty()) {
    // The mini stream is the root's stream; its table has a sector of its own.
    put32(&entries[0], 0x74, next_data);
    put32(&entries[0], 0x78, static_cast<std::uint32_t>(mini_stream.size()));
    next_data = place(&file, next_data, mini_stream);
    put32(&file, 0x3c, next_data);
    put32(&file, 0x40, 1);
    next_data = place(&file, next_data, mini_table);
  }
  const std::size_t directory = (layout.directory_at + 1) * kSector;
  for (std::size_t i = 0; i < entries.size() && i < 4; ++i) {
    file.replace(directory + 128 * i, 128, entries[i]);
  }
  return file;
}

// The older fixture's form: one stream below the root.
std::string compoundFile(std::string_view name, std::uint32_t directory_at = 600,
                         std::uint32_t next = kEndOfChain, std::string_view root_class = {}) {
  Layout layout;
  if (!name.empty()) {
    layout.children.push_back(stream(std::string(name)));
  }
  layout.root_class = root_class;
  layout.directory_at = directory_at;
  layout.directory_next = next;
  return compoundFile(layout);
}

std::uint32_t decode32At(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

// A class ID as stored: |head| (its first eight bytes) and |tail|.
std::string classId(std::string_view head, std::string_view tail) {
  return std::string(head) + std::string(tail);
}
constexpr std::string_view kOle = "\xc0\x00\x00\x00\x00\x00\x00\x46"sv;

// The first bytes of Word's main stream: its magic number and flags.
std::string wordStream(bool is_template) {
  std::string fib(4096, '\0');
  put16(&fib, 0, 0xa5ec);
  put16(&fib, 0x0a, is_template ? 0x0001 : 0x0200);
  return fib;
}

// Excel's workbook stream: BOF, a few records, TEMPLATE where asked, EOF.
std::string workbookStream(bool is_template) {
  std::string records;
  const auto record = [&records](std::uint32_t type, std::size_t length) {
    std::string bytes(4 + length, '\x01');
    put16(&bytes, 0, type);
    put16(&bytes, 2, static_cast<std::uint32_t>(length));
    records += bytes;
  };
  record(0x0809, 16);  // BOF
  record(0x00e1, 2);   // InterfaceHdr
  if (is_template) {
    record(0x0060, 0);
  }
  record(0x005c, 112);  // WriteAccess
  record(0x000a, 0);    // EOF
  record(0x0060, 0);    // past the globals: says nothing
  records.resize(4096, '\0');
  return records;
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
      {"powerpoint 4", compoundFile("PP40"), "ppt"},
      {"visio", compoundFile("VisioDocument"), "vsd"},
      {"outlook message", compoundFile("__substg1.0_0037001F"), "msg"},
      {"publisher", compoundFile(withChildren({storage("Quill")})), "pub"},
      {"works", compoundFile("MatOST"), "wps"},
      {"works spreadsheet", compoundFile(withChildren({stream("Workbook"), stream("WksSSWorkBook")})), "xlr"},
      {"starwriter", compoundFile("StarWriterDocument"), "sdw"},
      {"starcalc", compoundFile("StarCalcDocument"), "sdc"},
      {"starimpress", compoundFile("StarDrawDocument3"), "sdd"},
      {"microstation", compoundFile("Dgn~H"), "dgn"},
      {"quattro pro 9", compoundFile("NativeContent_MAIN"), "qpw"},
      // Names compare without regard to case, as the format has it.
      {"word, upper case", compoundFile("WORDDOCUMENT"), "doc"},
      {"windows installer",
       compoundFile("", 600, kEndOfChain, classId("\x84\x10\x0c\x00\x00\x00\x00\x00"sv, kOle)),
       "msi"},
      {"some other stream", compoundFile("Contents"), "(none)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(c.bytes), c.want);
  }
}

// The root's class ID names the application before any stream does.
TEST(CompoundDocumentTest, KindsFromTheRootClassId) {
  static const struct {
    const char* what;
    std::string id;
    const char* stream;
    const char* want;
  } kCases[] = {
      {"installer patch", classId("\x86\x10\x0c\x00\x00\x00\x00\x00"sv, kOle), "", "msp"},
      {"installer transform", classId("\x82\x10\x0c\x00\x00\x00\x00\x00"sv, kOle), "", "mst"},
      {"outlook template", classId("\x46\xf0\x06\x00\x00\x00\x00\x00"sv, kOle), "__substg1.0_0037001F", "oft"},
      {"outlook message", classId("\x0b\x0d\x02\x00\x00\x00\x00\x00"sv, kOle), "", "msg"},
      {"project", classId("\x3a\x8f\xb7\x74\xc8\xc8\xd1\x11"sv, "\xbe\x11\x00\xc0\x4f\xb6\xfa\xf1"sv),
       "Props12", "mpp"},
      {"publisher", classId("\x01\x12\x02\x00\x00\x00\x00\x00"sv, "\x00\xc0\x00\x00\x00\x00\x00\x46"sv),
       "Contents", "pub"},
      {"visio 2003", classId("\x14\x1a\x02\x00\x00\x00\x00\x00"sv, kOle), "", "vsd"},
      {"works 5", classId("\xb2\x5a\xa4\x0e\x0a\x9e\xd1\x11"sv, "\xa4\x07\x00\xc0\x4f\xb9\x32\xba"sv),
       "CONTENTS", "wps"},
      {"stardraw 5", classId("\xa0\x05\x89\x2e\xbd\x85\xd1\x11"sv, "\x89\xd0\x00\x80\x29\xe4\xb0\xb1"sv),
       "StarDrawDocument3", "sda"},
      {"starimpress 5", classId("\x21\x72\x5c\x56\xbc\x85\xd1\x11"sv, "\x89\xd0\x00\x80\x29\xe4\xb0\xb1"sv),
       "StarDrawDocument3", "sdd"},
      // An Excel 5 class ID over Excel's streams, whatever the name says.
      {"excel 5", classId("\x10\x08\x02\x00\x00\x00\x00\x00"sv, kOle), "Book", "xls"},
      {"quattro pro 7-8", classId("\x00\xb4\x02\x00\x00\x00\x00\x00"sv, kOle), "PerfectOffice_MAIN", "wb3"},
      {"quattro pro 9", classId("\x00\xb4\x02\x00\x00\x00\x00\x00"sv, kOle), "NativeContent_MAIN", "qpw"},
      {"quattro pro, no notebook", classId("\x00\xb4\x02\x00\x00\x00\x00\x00"sv, kOle), "Contents",
       "(none)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(compoundFile(c.stream, 600, kEndOfChain, c.id)), c.want);
  }
}

// Word and Excel files are documents or templates; the stream says which.
TEST(CompoundDocumentTest, TemplatesFromTheirMainStream) {
  static const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"word document", compoundFile(withChildren({stream("WordDocument", wordStream(false))})), "doc"},
      {"word template", compoundFile(withChildren({stream("WordDocument", wordStream(true))})), "dot"},
      {"excel workbook", compoundFile(withChildren({stream("Workbook", workbookStream(false))})), "xls"},
      {"excel template", compoundFile(withChildren({stream("Workbook", workbookStream(true))})), "xlt"},
      {"excel 5 template", compoundFile(withChildren({stream("Book", workbookStream(true))})), "xlt"},
      // Streams shorter than the cutoff lie in the mini stream.
      {"word template, short stream",
       compoundFile(withChildren({stream("1Table", std::string(700, 'x')),
                                  stream("WordDocument", wordStream(true).substr(0, 1500))})),
       "dot"},
      {"excel template, short stream",
       compoundFile(withChildren({stream("Workbook", workbookStream(true).substr(0, 300))})), "xlt"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(c.bytes), c.want);
  }
}

// An embedded object's streams lie below a storage of the root: a Word
// document that holds a worksheet is a Word document, and a file whose only
// known stream is embedded is none of those kinds.
TEST(CompoundDocumentTest, EmbeddedObjectsSayNothing) {
  const Layout word_with_sheet =
      withChildren({storage("ObjectPool"), nestedStream("Workbook"), stream("WordDocument")});
  const Layout only_embedded = withChildren({storage("ObjectPool"), nestedStream("Workbook")});
  EXPECT_EQ(resultOf(compoundFile(word_with_sheet)), "doc");
  EXPECT_EQ(resultOf(compoundFile(only_embedded)), "(none)");
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

using CompoundDocumentEngineTest = LoadedEngineTest;

// libmagic reads only the head, so a directory further in is ours to find.
TEST_F(CompoundDocumentEngineTest, NamesADocumentWhoseDirectoryLiesPastTheHead) {
  const std::string file = compoundFile("PowerPoint Document", 700);
  ASSERT_GT(file.size(), Engine::kHeadBytes);
  EXPECT_EQ(firstExtension(file), "ppt");
}

// Where our reader knows nothing of a compound file, libmagic's answer
// stands: its database names some writers by the root's class ID (here
// FlashPix pictures and 3ds Max scenes, which our table lacks), and an
// unknown one is still a compound file to it, with a description.
TEST_F(CompoundDocumentEngineTest, LibmagicAnswersWhereOurReaderKnowsNothing) {
  static const struct {
    const char* what;
    std::string id;
    const char* want;
  } kCases[] = {
      {"flashpix", classId("\x00\x67\x61\x56\x54\xc1\xce\x11"sv, "\x85\x53\x00\xaa\x00\xa1\xf9\x5b"sv), "fpx"},
      {"3ds max", classId("\x7b\x8c\xdd\x1c\xc0\x81\xa0\x45"sv, "\x9f\xed\x04\x14\x31\x44\xcc\x1e"sv), "max"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // The directory in the head, where libmagic's entries look for it.
    const std::string file = compoundFile("Contents", 5, kEndOfChain, c.id);
    ASSERT_EQ(resultOf(file), "(none)");
    EXPECT_EQ(firstExtension(file), c.want);
  }
  const std::string unknown = compoundFile("Contents", 5);
  const Analysis analysis = engine_->analyze(BufferSource(unknown));
  ASSERT_FALSE(analysis.results.empty());
  EXPECT_NE(analysis.results.front().description.find("Composite Document File"), std::string::npos)
      << analysis.results.front().description;
}

// Damaged files get no answer from our reader, quickly, and the engine
// still answers (libmagic's description, or nothing).
TEST(CompoundDocumentTest, DamagedFilesAreSafe) {
  std::string bad_shift = compoundFile("WordDocument");
  put16(&bad_shift, 0x1e, 30);
  std::string bad_order = compoundFile("WordDocument");
  put16(&bad_order, 0x1c, 0xfeff);
  std::string directory_past_end = compoundFile("WordDocument");
  put32(&directory_past_end, 0x30, 0x00ffffff);
  std::string table_past_end = compoundFile("Contents");
  put32(&table_past_end, 0x4c + 4 * 4, 0x00ffffff);
  // Tree links that loop: the root's child is the root, and a sibling
  // chain that leads back to its start.
  std::string root_is_its_child = compoundFile("Contents");
  put32(&root_is_its_child, 601 * kSector + 0x4c, 0);
  std::string siblings_loop = compoundFile(withChildren({stream("Contents"), stream("Other")}));
  put32(&siblings_loop, 601 * kSector + 2 * 128 + 0x48, 1);
  // A Word stream whose chain loops onto itself, and one cut by the end of
  // the file: the document is named without its flags.
  std::string stream_loops = compoundFile(withChildren({stream("WordDocument", wordStream(true))}));
  put32(&stream_loops, kSector + 4 * (kFirstDataSector + 7), kFirstDataSector);
  // A mini stream whose table loops onto its first mini sector, and one
  // whose table lies past the end.
  std::string mini_loops = compoundFile(withChildren({stream("Workbook", workbookStream(true).substr(0, 300))}));
  const std::uint32_t mini_table_at = decode32At(mini_loops, 0x3c);
  put32(&mini_loops, (mini_table_at + 1) * kSector, 0);
  std::string mini_table_gone = compoundFile(withChildren({stream("Workbook", workbookStream(true).substr(0, 300))}));
  put32(&mini_table_gone, 0x3c, 0x00fffff0);
  std::string stream_cut = compoundFile(withChildren({stream("WordDocument", wordStream(true))}));
  put32(&stream_cut, 601 * kSector + 128 + 0x74, 0x00fffff0);
  static const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"empty", "", "(none)"},
      {"signature only", "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", "(none)"},
      {"header cut short", compoundFile("WordDocument").substr(0, 300), "(none)"},
      {"sector size not 512 or 4096", bad_shift, "(none)"},
      {"wrong byte order mark", bad_order, "(none)"},
      {"directory sector past the end", directory_past_end, "(none)"},
      {"allocation table sector past the end", table_past_end, "(none)"},
      // The directory chain points back at itself: the walk must end.
      {"directory chain loops", compoundFile("Contents", 600, 600), "(none)"},
      {"file cut inside the directory", compoundFile("WordDocument").substr(0, 601 * kSector + 64),
       "(none)"},
      {"root is its own child", root_is_its_child, "(none)"},
      {"sibling links loop", siblings_loop, "(none)"},
      {"stream chain loops", stream_loops, "dot"},
      {"stream starts past the end", stream_cut, "doc"},
      {"mini stream chain loops", mini_loops, "xlt"},
      {"mini stream table past the end", mini_table_gone, "xlt"},
  };
  Engine engine;
  std::string err;
  ASSERT_TRUE(engine.load(IDENT_BUILD_DIR, &err)) << err;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(resultOf(c.bytes), c.want);
    engine.analyze(BufferSource(c.bytes));  // must return, without a fault
  }
}

}  // namespace
}  // namespace ident
