#include "compound_document.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_order.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kSignature = "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kEntrySize = 128;
// Sector numbers at and above this one are markers (free, end of chain, ...).
constexpr std::uint32_t kMaxRegularSector = 0xfffffffa;
// "No entry" in a directory entry's tree links.
constexpr std::uint32_t kNoEntry = 0xffffffff;
// Bounds on the work one file may cause.
constexpr std::size_t kMaxDirectorySectors = 256;
constexpr std::size_t kMaxDifatSectors = 64;
constexpr std::size_t kMaxStreamHead = 8 << 10;
constexpr std::size_t kMaxMiniChain = 4096;

constexpr std::uint8_t kStorage = 1;
constexpr std::uint8_t kStream = 2;

// The kinds a compound file is told as. Word and Excel files are documents
// or templates, which the stream itself tells.
// Quattro Pro's notebooks are told by their main stream.
enum class Kind { kNone, kWord, kExcel, kQuattro, kNamed };

struct Answer {
  Kind kind = Kind::kNone;
  const char* extension = "";
  const char* description = "";
};

// Root entries' class IDs, as stored (the first three fields little endian):
// the application that wrote the file, whatever its streams are called.
struct ClassId {
  std::string_view id;
  Answer answer;
};

#define CLSID(head, tail) std::string_view(head tail, 16)
const ClassId kClassIds[] = {
    {CLSID("\x84\x10\x0c\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "msi", "Windows Installer package"}},
    {CLSID("\x86\x10\x0c\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "msp", "Windows Installer patch"}},
    {CLSID("\x82\x10\x0c\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "mst", "Windows Installer transform"}},
    {CLSID("\x00\x09\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kWord, "", "Microsoft Word 6-95"}},
    {CLSID("\x06\x09\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kWord, "", "Microsoft Word 97-2003"}},
    {CLSID("\x10\x08\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kExcel, "", "Microsoft Excel 5-95"}},
    {CLSID("\x20\x08\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kExcel, "", "Microsoft Excel 97-2003"}},
    {CLSID("\x10\x8d\x81\x64\x9b\x4f\xcf\x11", "\x86\xea\x00\xaa\x00\xb9\x29\xe8"),
     {Kind::kNamed, "ppt", "Microsoft PowerPoint 97-2003 presentation"}},
    {CLSID("\x70\xae\x7b\xea\x3b\xfb\xcd\x11", "\xa9\x03\x00\xaa\x00\x51\x0e\xa3"),
     {Kind::kNamed, "ppt", "Microsoft PowerPoint 95 presentation"}},
    {CLSID("\x51\x48\x04\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "ppt", "Microsoft PowerPoint 4 presentation"}},
    {CLSID("\x12\x1a\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "vsd", "Microsoft Visio 5 drawing"}},
    {CLSID("\x13\x1a\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "vsd", "Microsoft Visio 2000-2002 drawing"}},
    {CLSID("\x14\x1a\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "vsd", "Microsoft Visio 2003-2010 drawing"}},
    {CLSID("\x00\x12\x02\x00\x00\x00\x00\x00", "\x00\xc0\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "pub", "Microsoft Publisher 95 document"}},
    {CLSID("\x01\x12\x02\x00\x00\x00\x00\x00", "\x00\xc0\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "pub", "Microsoft Publisher document"}},
    {CLSID("\x3a\x8f\xb7\x74\xc8\xc8\xd1\x11", "\xbe\x11\x00\xc0\x4f\xb6\xfa\xf1"),
     {Kind::kNamed, "mpp", "Microsoft Project plan"}},
    {CLSID("\x20\x33\xfd\x72\x05\x9a\xcf\x11", "\x85\xa4\x00\xa0\xc9\x04\xde\x5f"),
     {Kind::kNamed, "mpp", "Microsoft Project 98 plan"}},
    {CLSID("\x0b\x0d\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "msg", "Microsoft Outlook message"}},
    {CLSID("\x46\xf0\x06\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "oft", "Microsoft Outlook item template"}},
    {CLSID("\x02\x13\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kNamed, "wps", "Microsoft Works 3-4 document"}},
    {CLSID("\xc2\xdb\xcd\x28\xe2\x0a\xce\x11", "\xa2\x9a\x00\xaa\x00\x4a\x1a\x72"),
     {Kind::kNamed, "wps", "Microsoft Works 4 document"}},
    {CLSID("\xb2\x5a\xa4\x0e\x0a\x9e\xd1\x11", "\xa4\x07\x00\xc0\x4f\xb9\x32\xba"),
     {Kind::kNamed, "wps", "Microsoft Works 5-6 document"}},
    {CLSID("\x00\xb4\x02\x00\x00\x00\x00\x00", "\xc0\x00\x00\x00\x00\x00\x00\x46"),
     {Kind::kQuattro, "", "Quattro Pro"}},
    {CLSID("\xd8\xfd\x51\xcf\xf1\xbd\x5f\x4a", "\x8d\xaa\x54\x29\x17\x54\x49\x00"),
     {Kind::kQuattro, "", "Quattro Pro"}},
    {CLSID("\x90\x54\x51\xac\x1a\xfd\xd4\x11", "\xb6\xf6\x00\x90\x27\x1b\xef\xb3"),
     {Kind::kQuattro, "", "Quattro Pro"}},
    {CLSID("\xff\x73\x98\x51\xad\x2d\x20\x02", "\x19\x37\x00\x00\x92\x96\x79\xcd"),
     {Kind::kNamed, "wpd", "WordPerfect 7 document"}},
    {CLSID("\x40\x7e\x5c\xdc\x5c\xb3\x1b\x10", "\x99\x61\x04\x02\x1c\x00\x70\x02"),
     {Kind::kNamed, "sdw", "StarWriter 3.0 document"}},
    {CLSID("\xa0\x3f\x54\x3f\xa6\xb6\x1b\x10", "\x99\x61\x04\x02\x1c\x00\x70\x02"),
     {Kind::kNamed, "sdc", "StarCalc 3.0 spreadsheet"}},
    {CLSID("\xe0\xaa\x10\xaf\x6d\xb3\x1b\x10", "\x99\x61\x04\x02\x1c\x00\x70\x02"),
     {Kind::kNamed, "sdd", "StarDraw 3.0 presentation"}},
    {CLSID("\xb0\xe9\x04\x8b\x0e\x42\xd0\x11", "\xa4\x5e\x00\xa0\x24\x9d\x57\xb1"),
     {Kind::kNamed, "sdw", "StarWriter 4.0 document"}},
    {CLSID("\x41\xd4\x61\x63\x35\x42\xd0\x11", "\x89\xcb\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "sdc", "StarCalc 4.0 spreadsheet"}},
    {CLSID("\xc0\x3c\x2d\x01\x16\x42\xd0\x11", "\x89\xcb\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "sdd", "StarImpress 4.0 presentation"}},
    {CLSID("\x70\xc9\x0a\x34\x0d\xe3\xd0\x11", "\xa5\x3f\x00\xa0\x24\x9d\x57\xb1"),
     {Kind::kNamed, "sgl", "StarWriter 4.0 master document"}},
    {CLSID("\x61\xb8\xa5\xc6\xd6\x85\xd1\x11", "\x89\xcb\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "sdc", "StarCalc 5.0 spreadsheet"}},
    {CLSID("\xa0\x05\x89\x2e\xbd\x85\xd1\x11", "\x89\xd0\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "sda", "StarDraw 5.0 drawing"}},
    {CLSID("\x21\x72\x5c\x56\xbc\x85\xd1\x11", "\x89\xd0\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "sdd", "StarImpress 5.0 presentation"}},
    {CLSID("\xd1\xf9\x0c\xc2\xae\x85\xd1\x11", "\xaa\xb4\x00\x60\x97\xda\x56\x1a"),
     {Kind::kNamed, "sdw", "StarWriter 5.0 document"}},
    {CLSID("\xd3\xf9\x0c\xc2\xae\x85\xd1\x11", "\xaa\xb4\x00\x60\x97\xda\x56\x1a"),
     {Kind::kNamed, "sgl", "StarWriter 5.0 master document"}},
    {CLSID("\x60\x04\x59\xd4\xfd\x35\x1c\x10", "\xb1\x2a\x04\x02\x1c\x00\x70\x02"),
     {Kind::kNamed, "smf", "StarMath 3.0 formula"}},
    {CLSID("\xe1\xb7\xb3\x02\x25\x42\xd0\x11", "\x89\xca\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "smf", "StarMath 4.0 formula"}},
    {CLSID("\x40\xe6\xb5\xff\xde\x85\xd1\x11", "\x89\xd0\x00\x80\x29\xe4\xb0\xb1"),
     {Kind::kNamed, "smf", "StarMath 5.0 formula"}},
};
#undef CLSID

// Streams and storages of the root that name the application, for files
// whose root carries no class ID (or one of another writer): the first
// rule that matches decides. Names compare without regard to case, as the
// format has it.
struct NamedEntry {
  std::string_view name;
  bool prefix;
  Answer answer;
};

const NamedEntry kNamedEntries[] = {
    {"WksSSWorkBook", false, {Kind::kNamed, "xlr", "Microsoft Works spreadsheet"}},
    {"WordDocument", false, {Kind::kWord, "", "Microsoft Word"}},
    {"Workbook", false, {Kind::kExcel, "", "Microsoft Excel 97-2003"}},
    {"Book", false, {Kind::kExcel, "", "Microsoft Excel 5-95"}},
    {"PowerPoint Document", false, {Kind::kNamed, "ppt", "Microsoft PowerPoint presentation"}},
    {"PP40", false, {Kind::kNamed, "ppt", "Microsoft PowerPoint 4 presentation"}},
    {"VisioDocument", false, {Kind::kNamed, "vsd", "Microsoft Visio drawing"}},
    {"__substg1.0_", true, {Kind::kNamed, "msg", "Microsoft Outlook message"}},
    {"__properties_version1.0", false, {Kind::kNamed, "msg", "Microsoft Outlook message"}},
    {"Quill", false, {Kind::kNamed, "pub", "Microsoft Publisher document"}},
    {"MatOST", false, {Kind::kNamed, "wps", "Microsoft Works document"}},
    {"StarWriterDocument", false, {Kind::kNamed, "sdw", "StarWriter document"}},
    {"StarCalcDocument", false, {Kind::kNamed, "sdc", "StarCalc spreadsheet"}},
    {"StarImpressDocument", false, {Kind::kNamed, "sdd", "StarImpress presentation"}},
    {"StarDrawDocument3", false, {Kind::kNamed, "sdd", "StarImpress presentation"}},
    {"StarMathDocument", false, {Kind::kNamed, "smf", "StarMath formula"}},
    {"Dgn~", true, {Kind::kNamed, "dgn", "MicroStation V8 drawing"}},
    {"NativeContent_MAIN", false, {Kind::kNamed, "qpw", "Quattro Pro 9+ notebook"}},
};

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

struct Entry {
  std::string name;  // ASCII, '?' for anything else
  std::uint8_t type = 0;
  std::uint32_t left = kNoEntry;
  std::uint32_t right = kNoEntry;
  std::uint32_t child = kNoEntry;
  std::uint32_t start = 0;
  std::uint64_t size = 0;
  std::string class_id;
};

Entry parseEntry(std::string_view bytes) {
  Entry entry;
  const std::size_t name_bytes = std::min<std::size_t>(little16(bytes, 0x40), 64);
  for (std::size_t at = 0; at + 1 < name_bytes; at += 2) {
    const std::uint32_t unit = little16(bytes, at);
    if (unit == 0) {
      break;
    }
    entry.name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  entry.type = static_cast<std::uint8_t>(bytes[0x42]);
  entry.left = little32(bytes, 0x44);
  entry.right = little32(bytes, 0x48);
  entry.child = little32(bytes, 0x4c);
  entry.class_id.assign(bytes.substr(0x50, 16));
  entry.start = little32(bytes, 0x74);
  entry.size = little32(bytes, 0x78);
  return entry;
}

class CompoundFile {
 public:
  CompoundFile(const ByteSource& source, std::string header)
      : source_(source), header_(std::move(header)) {}

  bool valid() const {
    const std::uint32_t shift = little16(header_, 0x1e);
    return little16(header_, 0x1c) == 0xfffe && (shift == 9 || shift == 12);
  }
  std::size_t sectorSize() const { return std::size_t{1} << little16(header_, 0x1e); }
  std::uint32_t firstDirectorySector() const { return little32(header_, 0x30); }
  // Streams shorter than this live in the mini stream.
  std::uint32_t miniStreamCutoff() const { return little32(header_, 0x38); }

  // Reads sector |sector| whole; false when it is a marker or past the end.
  bool readSector(std::uint32_t sector, std::string* out) const {
    if (sector > kMaxRegularSector) {
      return false;
    }
    const std::uint64_t offset = (std::uint64_t{sector} + 1) * sectorSize();
    return offset + sectorSize() <= source_.size() && source_.readAt(offset, sectorSize(), out) &&
           out->size() == sectorSize();
  }

  // The allocation table's entry for |sector|: the next sector of its chain.
  std::optional<std::uint32_t> next(std::uint32_t sector) {
    const std::size_t per_sector = sectorSize() / 4;
    const std::size_t index = sector / per_sector;
    if (index != cached_fat_index_) {
      const std::optional<std::uint32_t> fat_sector = fatSectorLocation(index);
      if (!fat_sector || !readSector(*fat_sector, &cached_fat_)) {
        cached_fat_index_ = kNoIndex;
        return std::nullopt;
      }
      cached_fat_index_ = index;
    }
    return little32(cached_fat_, (sector % per_sector) * 4);
  }

  // Every directory entry, in order, along the directory's chain; a chain
  // that loops or runs past the end ends the list.
  std::vector<Entry> directory() {
    std::vector<Entry> entries;
    std::vector<std::uint32_t> seen;
    std::uint32_t sector = firstDirectorySector();
    std::string bytes;
    while (seen.size() < kMaxDirectorySectors &&
           std::find(seen.begin(), seen.end(), sector) == seen.end() &&
           readSector(sector, &bytes)) {
      seen.push_back(sector);
      for (std::size_t at = 0; at + kEntrySize <= bytes.size(); at += kEntrySize) {
        entries.push_back(parseEntry(std::string_view(bytes).substr(at, kEntrySize)));
      }
      const std::optional<std::uint32_t> following = next(sector);
      if (!following) {
        break;
      }
      sector = *following;
    }
    return entries;
  }

  // Up to |length| bytes from the start of |entry|'s stream: along its
  // chain of sectors, or for a stream shorter than the cutoff, of mini
  // sectors in the mini stream, which the root's chain holds. Fewer where a
  // chain ends early.
  std::string streamHead(const Entry& entry, const Entry& root, std::size_t length) {
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, entry.size));
    if (entry.size >= miniStreamCutoff()) {
      std::string head;
      std::string bytes;
      for (const std::uint32_t sector : chain(entry.start, (length + sectorSize() - 1) / sectorSize())) {
        if (!readSector(sector, &bytes)) {
          break;
        }
        head.append(bytes, 0, std::min(bytes.size(), length - head.size()));
      }
      return head;
    }
    return miniStreamHead(entry.start, root, length);
  }

 private:
  static constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);

  // The first |count| sectors at most of the chain from |sector|.
  std::vector<std::uint32_t> chain(std::uint32_t sector, std::size_t count) {
    std::vector<std::uint32_t> sectors;
    while (sectors.size() < count && sector <= kMaxRegularSector) {
      sectors.push_back(sector);
      const std::optional<std::uint32_t> following = next(sector);
      if (!following) {
        break;
      }
      sector = *following;
    }
    return sectors;
  }

  std::string miniStreamHead(std::uint32_t mini_sector, const Entry& root, std::size_t length) {
    const std::uint32_t shift = little16(header_, 0x20);
    if (shift == 0 || shift >= little16(header_, 0x1e)) {
      return "";
    }
    const std::size_t mini_size = std::size_t{1} << shift;
    const std::size_t minis_per_sector = sectorSize() / mini_size;
    const std::size_t entries_per_sector = sectorSize() / 4;
    // The mini allocation table's sectors and the mini stream's, each as
    // far as a bounded walk goes.
    const std::vector<std::uint32_t> table = chain(little32(header_, 0x3c), kMaxMiniChain);
    const std::vector<std::uint32_t> container = chain(
        root.start, static_cast<std::size_t>(
                        std::min<std::uint64_t>(kMaxMiniChain, root.size / sectorSize() + 1)));
    std::string head;
    std::string bytes;
    while (head.size() < length && mini_sector <= kMaxRegularSector) {
      const std::size_t at = mini_sector / minis_per_sector;
      if (at >= container.size() || !readSector(container[at], &bytes)) {
        break;
      }
      head.append(bytes, (mini_sector % minis_per_sector) * mini_size,
                  std::min(mini_size, length - head.size()));
      const std::size_t table_at = mini_sector / entries_per_sector;
      if (table_at >= table.size() || !readSector(table[table_at], &bytes)) {
        break;
      }
      mini_sector = little32(bytes, (mini_sector % entries_per_sector) * 4);
    }
    return head;
  }

  // Where the |index|th sector of the allocation table lies: the header
  // lists the first 109, a chain of further sectors the rest.
  std::optional<std::uint32_t> fatSectorLocation(std::size_t index) {
    if (index < kHeaderFatEntries) {
      return little32(header_, 0x4c + index * 4);
    }
    index -= kHeaderFatEntries;
    const std::size_t per_sector = sectorSize() / 4 - 1;  // the last entry links on
    std::uint32_t sector = little32(header_, 0x44);
    std::string bytes;
    for (std::size_t hop = 0; hop < kMaxDifatSectors; ++hop) {
      if (!readSector(sector, &bytes)) {
        return std::nullopt;
      }
      if (index < per_sector) {
        return little32(bytes, index * 4);
      }
      index -= per_sector;
      sector = little32(bytes, per_sector * 4);
    }
    return std::nullopt;
  }

  const ByteSource& source_;
  std::string header_;
  std::size_t cached_fat_index_ = kNoIndex;
  std::string cached_fat_;
};

// The entries directly below the root: the tree of siblings that the
// root's child link leads to. An embedded object's streams lie deeper and
// say nothing about the file. Where that tree is broken (no link leads
// anywhere), every stream and storage is taken instead.
std::vector<const Entry*> rootChildren(const std::vector<Entry>& entries) {
  std::vector<const Entry*> children;
  std::vector<bool> visited(entries.size(), false);
  std::vector<std::uint32_t> pending;
  if (!entries.empty()) {
    pending.push_back(entries[0].child);
    visited[0] = true;
  }
  while (!pending.empty()) {
    const std::uint32_t at = pending.back();
    pending.pop_back();
    if (at >= entries.size() || visited[at]) {
      continue;
    }
    visited[at] = true;
    const Entry& entry = entries[at];
    if (entry.type == kStorage || entry.type == kStream) {
      children.push_back(&entry);
    }
    pending.push_back(entry.left);
    pending.push_back(entry.right);
  }
  if (children.empty()) {
    for (const Entry& entry : entries) {
      if (entry.type == kStorage || entry.type == kStream) {
        children.push_back(&entry);
      }
    }
  }
  return children;
}

// Word's file information block opens its main stream: a magic number
// (Word 6 and later), then at 0x0A the flags whose lowest bit marks a
// template.
bool isWordTemplate(std::string_view fib) {
  if (fib.size() < 0x0c) {
    return false;
  }
  const std::uint32_t ident = little16(fib, 0);
  return (ident == 0xa5ec || ident == 0xa5dc) && (little16(fib, 0x0a) & 1) != 0;
}

// Excel's workbook stream is a run of records (type, length, data), the
// globals first, from a BOF record to an EOF record; a template carries a
// TEMPLATE record among them.
bool isExcelTemplate(std::string_view records) {
  constexpr std::uint32_t kBof = 0x0809;
  constexpr std::uint32_t kEof = 0x000a;
  constexpr std::uint32_t kTemplate = 0x0060;
  std::size_t at = 0;
  if (records.size() < 4 || little16(records, 0) != kBof) {
    return false;
  }
  while (at + 4 <= records.size()) {
    const std::uint32_t type = little16(records, at);
    if (type == kTemplate) {
      return true;
    }
    if (type == kEof) {
      return false;
    }
    at += 4 + little16(records, at + 2);
  }
  return false;
}

}  // namespace

std::optional<Result> identifyCompoundDocument(const ByteSource& source) {
  std::string header;
  if (!source.readAt(0, kHeaderSize, &header) || header.size() != kHeaderSize ||
      header.substr(0, kSignature.size()) != kSignature) {
    return std::nullopt;
  }
  CompoundFile file(source, std::move(header));
  if (!file.valid()) {
    return std::nullopt;
  }
  const std::vector<Entry> entries = file.directory();
  if (entries.empty()) {
    return std::nullopt;
  }
  const std::vector<const Entry*> children = rootChildren(entries);
  const auto child = [&](std::string_view name) -> const Entry* {
    const auto found = std::find_if(children.begin(), children.end(),
                                    [&](const Entry* e) { return sameName(e->name, name); });
    return found == children.end() ? nullptr : *found;
  };

  std::optional<Answer> answer;
  for (const ClassId& known : kClassIds) {
    if (entries[0].class_id == known.id) {
      answer = known.answer;
      break;
    }
  }
  for (const NamedEntry& rule : kNamedEntries) {
    if (answer) {
      break;
    }
    for (const Entry* entry : children) {
      const bool match = rule.prefix ? entry->name.size() >= rule.name.size() &&
                                           sameName(std::string_view(entry->name).substr(
                                                        0, rule.name.size()),
                                                    rule.name)
                                     : sameName(entry->name, rule.name);
      if (match) {
        answer = rule.answer;
        break;
      }
    }
  }
  if (!answer) {
    return std::nullopt;
  }
  const std::string what = answer->description;
  switch (answer->kind) {
    case Kind::kWord: {
      const Entry* stream = child("WordDocument");
      if (stream != nullptr && isWordTemplate(file.streamHead(*stream, entries[0], 0x20))) {
        return Result{"dot", what + " template"};
      }
      return Result{"doc", what + " document"};
    }
    case Kind::kExcel: {
      const Entry* stream = child("Workbook");
      if (stream == nullptr) {
        stream = child("Book");
      }
      if (stream != nullptr && isExcelTemplate(file.streamHead(*stream, entries[0], kMaxStreamHead))) {
        return Result{"xlt", what + " template"};
      }
      return Result{"xls", what + " workbook"};
    }
    case Kind::kQuattro:
      // Quattro Pro 7 and 8 kept the notebook in "PerfectOffice_MAIN",
      // later releases in "NativeContent_MAIN".
      if (child("NativeContent_MAIN") != nullptr) {
        return Result{"qpw", what + " 9+ notebook"};
      }
      if (child("PerfectOffice_MAIN") != nullptr) {
        return Result{"wb3", what + " 7-8 notebook"};
      }
      return std::nullopt;
    case Kind::kNamed:
      return Result{answer->extension, what};
    case Kind::kNone:
      break;
  }
  return std::nullopt;
}

}  // namespace ident
