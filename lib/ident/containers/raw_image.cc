#include "raw_image.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_order.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 12;
// Bounds on the work one file may cause: cameras write a handful of
// directories of a few dozen entries each.
constexpr std::size_t kMaxDirectories = 32;
constexpr std::size_t kMaxEntries = 1024;
constexpr std::size_t kMaxSubDirectories = 16;
constexpr std::size_t kMaxMakeBytes = 64;

// TIFF header version words: TIFF's own, and the ones Panasonic and
// Olympus write in its place.
constexpr std::uint32_t kTiffVersion = 42;
constexpr std::uint32_t kPanasonicVersion = 0x55;
constexpr std::uint32_t kOlympusVersion = 0x4f52;
constexpr std::uint32_t kOlympusSVersion = 0x5352;
// "Raw", the top three bytes of the word after Phase One's block mark.
constexpr std::uint32_t kPhaseOneRaw = 0x526177;

// Tags and values read.
constexpr std::uint32_t kTagPhotometric = 262;
constexpr std::uint32_t kTagMake = 271;
constexpr std::uint32_t kTagSubIfds = 330;
constexpr std::uint32_t kTagDngVersion = 50706;
constexpr std::uint32_t kPhotometricCfa = 32803;
constexpr std::uint32_t kPhotometricLinearRaw = 34892;

// Field types: their codes and the bytes of one value.
constexpr std::uint32_t kTypeShort = 3;
constexpr std::uint32_t kTypeLong = 4;
constexpr std::uint32_t kTypeIfd = 13;

std::size_t typeSize(std::uint32_t type) {
  switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
      return 1;  // BYTE, ASCII, SBYTE, UNDEFINED
    case 3:
    case 8:
      return 2;  // SHORT, SSHORT
    case 4:
    case 9:
    case 11:
    case 13:
      return 4;  // LONG, SLONG, FLOAT, IFD
    case 5:
    case 10:
    case 12:
      return 8;  // RATIONAL, SRATIONAL, DOUBLE
    default:
      return 0;
  }
}

// Reads the TIFF structure in the byte order its header names.
class TiffReader {
 public:
  TiffReader(const ByteSource& source, bool big_endian)
      : source_(source), big_endian_(big_endian) {}

  std::uint32_t get16(std::string_view bytes, std::size_t at) const {
    return static_cast<std::uint32_t>(decodeNumber(bytes, at, 2, big_endian_));
  }
  std::uint32_t get32(std::string_view bytes, std::size_t at) const {
    return static_cast<std::uint32_t>(decodeNumber(bytes, at, 4, big_endian_));
  }

  // Reads exactly |length| bytes at |offset|; false when they are not all
  // within the file.
  bool read(std::uint64_t offset, std::size_t length, std::string* out) const {
    return offset <= source_.size() && source_.size() - offset >= length &&
           source_.readAt(offset, length, out) && out->size() == length;
  }

 private:
  const ByteSource& source_;
  bool big_endian_;
};

// What the walk found.
struct Findings {
  std::string make;
  bool dng = false;
  bool sensor_data = false;
};

// One directory entry's values of a field: inline in the entry when they
// fit its four bytes, else at the offset it holds.
bool readValues(const TiffReader& tiff, std::string_view entry, std::size_t max_bytes,
                std::string* out) {
  const std::size_t size = typeSize(tiff.get16(entry, 2));
  const std::uint64_t count = tiff.get32(entry, 4);
  if (size == 0) {
    return false;
  }
  const std::uint64_t bytes = std::min<std::uint64_t>(count * size, max_bytes);
  if (count * size <= 4) {
    out->assign(entry.substr(8, static_cast<std::size_t>(bytes)));
    return true;
  }
  return tiff.read(tiff.get32(entry, 8), static_cast<std::size_t>(bytes), out);
}

// Reads the directory at |offset| into |findings|; queues the SubIFDs and
// the next directory it names.
void readDirectory(const TiffReader& tiff, std::uint32_t offset, Findings* findings,
                   std::vector<std::uint32_t>* queue) {
  std::string count_bytes;
  if (!tiff.read(offset, 2, &count_bytes)) {
    return;
  }
  const std::size_t count = std::min<std::size_t>(tiff.get16(count_bytes, 0), kMaxEntries);
  std::string entries;
  if (!tiff.read(std::uint64_t{offset} + 2, count * kEntrySize, &entries)) {
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view entry = std::string_view(entries).substr(i * kEntrySize, kEntrySize);
    const std::uint32_t tag = tiff.get16(entry, 0);
    const std::uint32_t type = tiff.get16(entry, 2);
    std::string values;
    if (tag == kTagDngVersion) {
      findings->dng = true;
    } else if (tag == kTagPhotometric && type == kTypeShort) {
      const std::uint32_t photometric = tiff.get16(entry, 8);
      findings->sensor_data = findings->sensor_data || photometric == kPhotometricCfa ||
                              photometric == kPhotometricLinearRaw;
    } else if (tag == kTagMake && findings->make.empty() &&
               readValues(tiff, entry, kMaxMakeBytes, &values)) {
      findings->make = values.substr(0, values.find('\0'));
    } else if (tag == kTagSubIfds && (type == kTypeLong || type == kTypeIfd) &&
               readValues(tiff, entry, kMaxSubDirectories * 4, &values)) {
      for (std::size_t at = 0; at + 4 <= values.size(); at += 4) {
        queue->push_back(tiff.get32(values, at));
      }
    }
  }
  std::string next;
  if (tiff.read(std::uint64_t{offset} + 2 + count * kEntrySize, 4, &next) &&
      tiff.get32(next, 0) != 0) {
    queue->push_back(tiff.get32(next, 0));
  }
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           const auto lower = [](char c) {
             return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
           };
           return lower(a) == lower(b);
         });
}

// The raw format of the camera maker |make| for a file with sensor data.
std::optional<Result> fromMake(std::string_view make) {
  static constexpr struct {
    std::string_view make, extension, description;
  } kMakers[] = {
      {"NIKON", "nef", "Nikon raw image (NEF)"},
      {"SONY", "arw", "Sony raw image (ARW)"},
      {"PENTAX", "pef", "Pentax raw image (PEF)"},
      {"ASAHI", "pef", "Pentax raw image (PEF)"},
      {"RICOH IMAGING", "pef", "Pentax raw image (PEF)"},
      {"SAMSUNG", "srw", "Samsung raw image (SRW)"},
  };
  while (!make.empty() && make.front() == ' ') {
    make.remove_prefix(1);
  }
  for (const auto& maker : kMakers) {
    if (startsWithIgnoringCase(make, maker.make)) {
      return Result{std::string(maker.extension), std::string(maker.description)};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Result> identifyRawImage(const ByteSource& source) {
  std::string header;
  if (!source.readAt(0, kHeaderSize, &header) || header.size() != kHeaderSize) {
    return std::nullopt;
  }
  const std::string_view order = std::string_view(header).substr(0, 2);
  if (order != "II"sv && order != "MM"sv) {
    return std::nullopt;
  }
  const TiffReader tiff(source, order == "MM"sv);
  const std::uint32_t version = tiff.get16(header, 2);
  if (version == kPanasonicVersion && order == "II"sv) {
    return Result{"rw2", "Panasonic raw image (RW2)"};
  }
  if (version == kOlympusVersion || version == kOlympusSVersion) {
    return Result{"orf", "Olympus raw image (ORF)"};
  }
  if (version != kTiffVersion) {
    return std::nullopt;
  }
  // Canon marks its TIFF-based raw files right after the header: "CR" and
  // the format's major version. Phase One opens its own raw block there:
  // the header's byte order twice ("IIII", "MMMM"), then a word whose top
  // three bytes read "Raw".
  std::string mark;
  const bool marked = source.readAt(kHeaderSize, 8, &mark);
  if (marked && mark.starts_with("CR\x02"sv)) {
    return Result{"cr2", "Canon raw image (CR2)"};
  }
  if (marked && mark.size() == 8 && mark.substr(0, 2) == order && mark.substr(2, 2) == order &&
      tiff.get32(mark, 4) >> 8 == kPhaseOneRaw) {
    return Result{"iiq", "Phase One raw image (IIQ)"};
  }
  Findings findings;
  std::vector<std::uint32_t> queue{tiff.get32(header, 4)};
  std::vector<std::uint32_t> seen;
  while (!queue.empty() && seen.size() < kMaxDirectories) {
    const std::uint32_t offset = queue.front();
    queue.erase(queue.begin());
    if (std::find(seen.begin(), seen.end(), offset) != seen.end()) {
      continue;  // a loop in the chain
    }
    seen.push_back(offset);
    readDirectory(tiff, offset, &findings, &queue);
    if (findings.dng) {
      return Result{"dng", "Adobe Digital Negative (DNG) raw image"};
    }
  }
  if (!findings.sensor_data) {
    return std::nullopt;
  }
  return fromMake(findings.make);
}

}  // namespace ident
