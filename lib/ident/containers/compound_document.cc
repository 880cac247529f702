#include "compound_document.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ident {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kSignature = "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kEntrySize = 128;
// Sector numbers at and above this one are markers (free, end of chain, ...).
constexpr std::uint32_t kMaxRegularSector = 0xfffffffa;
// Bounds on the work one file may cause.
constexpr std::size_t kMaxDirectorySectors = 256;
constexpr std::size_t kMaxDifatSectors = 64;

// The class ID of a Windows Installer database, as stored (mixed endian).
constexpr std::string_view kInstallerClass =
    "\x84\x10\x0c\x00\x00\x00\x00\x00\xc0\x00\x00\x00\x00\x00\x00\x46"sv;

std::uint32_t decode16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

std::uint32_t decode32(std::string_view bytes, std::size_t at) {
  return decode16(bytes, at) | (decode16(bytes, at + 2) << 16);
}

class CompoundFile {
 public:
  CompoundFile(const ByteSource& source, std::string header)
      : source_(source), header_(std::move(header)) {}

  bool valid() const {
    const std::uint32_t shift = decode16(header_, 0x1e);
    return decode16(header_, 0x1c) == 0xfffe && (shift == 9 || shift == 12);
  }
  std::size_t sectorSize() const { return std::size_t{1} << decode16(header_, 0x1e); }
  std::uint32_t firstDirectorySector() const { return decode32(header_, 0x30); }

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
    const std::optional<std::uint32_t> fat_sector = fatSectorLocation(sector / per_sector);
    std::string bytes;
    if (!fat_sector || !readSector(*fat_sector, &bytes)) {
      return std::nullopt;
    }
    return decode32(bytes, (sector % per_sector) * 4);
  }

 private:
  // Where the |index|th sector of the allocation table lies: the header
  // lists the first 109, a chain of further sectors the rest.
  std::optional<std::uint32_t> fatSectorLocation(std::size_t index) {
    if (index < kHeaderFatEntries) {
      return decode32(header_, 0x4c + index * 4);
    }
    index -= kHeaderFatEntries;
    const std::size_t per_sector = sectorSize() / 4 - 1;  // the last entry links on
    std::uint32_t sector = decode32(header_, 0x44);
    std::string bytes;
    for (std::size_t hop = 0; hop < kMaxDifatSectors; ++hop) {
      if (!readSector(sector, &bytes)) {
        return std::nullopt;
      }
      if (index < per_sector) {
        return decode32(bytes, index * 4);
      }
      index -= per_sector;
      sector = decode32(bytes, per_sector * 4);
    }
    return std::nullopt;
  }

  const ByteSource& source_;
  std::string header_;
};

// An entry's name, from UTF-16LE to ASCII ('?' for anything else).
std::string entryName(std::string_view entry) {
  const std::size_t bytes = std::min<std::size_t>(decode16(entry, 0x40), 64);
  std::string name;
  for (std::size_t at = 0; at + 1 < bytes; at += 2) {
    const std::uint32_t unit = decode16(entry, at);
    if (unit == 0) {
      break;
    }
    name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return name;
}

std::optional<Result> fromEntry(std::string_view entry, bool root) {
  if (root) {
    if (entry.substr(0x50, kInstallerClass.size()) == kInstallerClass) {
      return Result{"msi", "Windows Installer database"};
    }
    return std::nullopt;
  }
  const std::string name = entryName(entry);
  if (name == "WordDocument") {
    return Result{"doc", "Microsoft Word 97-2003 document"};
  }
  if (name == "Workbook" || name == "Book") {
    return Result{"xls", "Microsoft Excel 97-2003 workbook"};
  }
  if (name == "PowerPoint Document") {
    return Result{"ppt", "Microsoft PowerPoint 97-2003 presentation"};
  }
  if (name == "VisioDocument") {
    return Result{"vsd", "Microsoft Visio drawing"};
  }
  if (name.rfind("__substg1.0_", 0) == 0) {
    return Result{"msg", "Microsoft Outlook message"};
  }
  return std::nullopt;
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
  std::uint32_t sector = file.firstDirectorySector();
  std::string bytes;
  bool first = true;
  for (std::size_t hop = 0; hop < kMaxDirectorySectors && file.readSector(sector, &bytes); ++hop) {
    for (std::size_t at = 0; at + kEntrySize <= bytes.size(); at += kEntrySize) {
      if (auto result = fromEntry(std::string_view(bytes).substr(at, kEntrySize), first)) {
        return result;
      }
      first = false;
    }
    const std::optional<std::uint32_t> next = file.next(sector);
    if (!next) {
      break;
    }
    sector = *next;
  }
  return std::nullopt;
}

}  // namespace ident
