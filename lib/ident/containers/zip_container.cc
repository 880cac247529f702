#include "zip_container.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ident {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kLocalHeaderMagic = "PK\x03\x04"sv;
constexpr std::string_view kCentralHeaderMagic = "PK\x01\x02"sv;
constexpr std::string_view kEndRecordMagic = "PK\x05\x06"sv;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxComment = 0xffff;
// Bounds on the work one archive may cause.
constexpr std::size_t kMaxDirectoryBytes = 8 << 20;
constexpr std::size_t kMaxNames = 20000;
constexpr std::size_t kMaxLocalWalk = 64;

std::uint32_t decodeFixed16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

std::uint32_t decodeFixed32(std::string_view bytes, std::size_t at) {
  return decodeFixed16(bytes, at) | (decodeFixed16(bytes, at + 2) << 16);
}

// What the archive holds, as far as the rules need it.
struct Contents {
  std::vector<std::string> names;
  std::string first_name;
  std::string first_stored_data;  // the first entry's bytes when stored uncompressed
  bool first_marked_java = false;  // a Java archive's mark, 0xCAFE, after the first name
};

// The mark a Java archive's first entry carries in its extra field.
constexpr std::uint32_t kJavaExtraId = 0xcafe;

bool hasExtraId(std::string_view extra, std::uint32_t id) {
  for (std::size_t at = 0; extra.size() - at >= 4; at += 4 + decodeFixed16(extra, at + 2)) {
    if (decodeFixed16(extra, at) == id) {
      return true;
    }
    if (extra.size() - at - 4 < decodeFixed16(extra, at + 2)) {
      break;
    }
  }
  return false;
}

// Reads the names from the central directory found through the end record.
bool readCentralDirectory(const ByteSource& source, Contents* contents) {
  const std::uint64_t size = source.size();
  if (size < kEndRecordSize) {
    return false;
  }
  const std::uint64_t tail_size = std::min<std::uint64_t>(size, kEndRecordSize + kMaxComment);
  std::string tail;
  if (!source.readAt(size - tail_size, static_cast<std::size_t>(tail_size), &tail) ||
      tail.size() != tail_size) {
    return false;
  }
  const std::size_t end = tail.rfind(kEndRecordMagic);
  if (end == std::string::npos || tail.size() - end < kEndRecordSize) {
    return false;
  }
  const std::uint32_t directory_size = decodeFixed32(tail, end + 12);
  const std::uint32_t directory_offset = decodeFixed32(tail, end + 16);
  if (directory_size > kMaxDirectoryBytes ||
      static_cast<std::uint64_t>(directory_offset) + directory_size > size) {
    return false;  // zip64 (0xffffffff) or damaged: fall back to local headers
  }
  std::string directory;
  if (!source.readAt(directory_offset, directory_size, &directory) ||
      directory.size() != directory_size) {
    return false;
  }
  std::size_t pos = 0;
  // An entry's extra field and comment may claim more than the directory
  // holds: |pos| then lies past its end and the walk stops.
  while (pos <= directory.size() && directory.size() - pos >= kCentralHeaderSize &&
         contents->names.size() < kMaxNames) {
    if (std::string_view(directory).substr(pos, 4) != kCentralHeaderMagic) {
      break;
    }
    const std::size_t name_size = decodeFixed16(directory, pos + 28);
    const std::size_t extra_size = decodeFixed16(directory, pos + 30);
    const std::size_t comment_size = decodeFixed16(directory, pos + 32);
    if (directory.size() - pos - kCentralHeaderSize < name_size) {
      break;
    }
    contents->names.push_back(directory.substr(pos + kCentralHeaderSize, name_size));
    pos += kCentralHeaderSize + name_size + extra_size + comment_size;
  }
  return !contents->names.empty();
}

// Walks the local headers from the start of the file. Fills the first entry's
// name and, when stored, its data; with |collect_names| also the names of
// the first entries whose sizes are known up front.
void readLocalHeaders(const ByteSource& source, bool collect_names, Contents* contents) {
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < kMaxLocalWalk; ++i) {
    std::string header;
    if (!source.readAt(offset, kLocalHeaderSize, &header) || header.size() != kLocalHeaderSize ||
        std::string_view(header).substr(0, 4) != kLocalHeaderMagic) {
      return;
    }
    const std::uint32_t flags = decodeFixed16(header, 6);
    const std::uint32_t method = decodeFixed16(header, 8);
    const std::uint32_t compressed_size = decodeFixed32(header, 18);
    const std::size_t name_size = decodeFixed16(header, 26);
    const std::size_t extra_size = decodeFixed16(header, 28);
    std::string name;
    if (!source.readAt(offset + kLocalHeaderSize, name_size, &name) || name.size() != name_size) {
      return;
    }
    const std::uint64_t data_offset = offset + kLocalHeaderSize + name_size + extra_size;
    if (i == 0) {
      contents->first_name = name;
      // libmagic reads the two bytes after the name: the first extra
      // field's id, or the data's first bytes when there is none.
      std::string extra;
      const std::size_t wanted = std::max<std::size_t>(extra_size, 2);
      contents->first_marked_java =
          source.readAt(offset + kLocalHeaderSize + name_size, wanted, &extra) &&
          extra.size() >= 2 &&
          (decodeFixed16(extra, 0) == kJavaExtraId ||
           hasExtraId(std::string_view(extra).substr(0, extra_size), kJavaExtraId));
      // Only short stored data is of interest (a "mimetype" entry).
      if (method == 0 && compressed_size <= 256 &&
          !source.readAt(data_offset, compressed_size, &contents->first_stored_data)) {
        contents->first_stored_data.clear();
      }
    }
    if (!collect_names) {
      return;
    }
    contents->names.push_back(std::move(name));
    if ((flags & 0x8) != 0 || compressed_size == 0xffffffff) {
      return;  // sizes follow the data: the next header cannot be found
    }
    offset = data_offset + compressed_size;
  }
}

bool hasName(const Contents& contents, std::string_view name) {
  for (const std::string& entry : contents.names) {
    if (entry == name) {
      return true;
    }
  }
  return false;
}

bool hasPrefix(const Contents& contents, std::string_view prefix) {
  for (const std::string& entry : contents.names) {
    if (std::string_view(entry).substr(0, prefix.size()) == prefix) {
      return true;
    }
  }
  return false;
}

bool hasWheelMetadata(const Contents& contents) {
  for (const std::string& entry : contents.names) {
    const std::size_t slash = entry.find('/');
    if (slash != std::string::npos && std::string_view(entry).substr(slash) == "/WHEEL" &&
        std::string_view(entry).substr(0, slash).ends_with(".dist-info")) {
      return true;
    }
  }
  return false;
}

bool hasNameIgnoringCase(const Contents& contents, std::string_view name) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::any_of(contents.names.begin(), contents.names.end(), [&](const std::string& entry) {
    return entry.size() == name.size() &&
           std::equal(entry.begin(), entry.end(), name.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
  });
}

// NumPy's savez writes one "<name>.npy" entry per array and nothing else.
bool allNamesEndWith(const Contents& contents, std::string_view suffix) {
  return !contents.names.empty() &&
         std::all_of(contents.names.begin(), contents.names.end(), [suffix](const std::string& entry) {
           return entry.size() > suffix.size() &&
                  std::string_view(entry).substr(entry.size() - suffix.size()) == suffix;
         });
}

// The OpenDocument and EPUB containers name their type in a first, stored
// entry called "mimetype".
std::optional<Result> fromMimetypeEntry(const Contents& contents) {
  static constexpr struct {
    std::string_view mime, extension, description;
  } kTypes[] = {
      {"application/epub+zip", "epub", "EPUB document"},
      {"application/vnd.oasis.opendocument.text", "odt", "OpenDocument Text"},
      {"application/vnd.oasis.opendocument.spreadsheet", "ods", "OpenDocument Spreadsheet"},
      {"application/vnd.oasis.opendocument.presentation", "odp", "OpenDocument Presentation"},
      {"application/vnd.oasis.opendocument.graphics", "odg", "OpenDocument Drawing"},
      {"application/vnd.oasis.opendocument.formula", "odf", "OpenDocument Formula"},
      {"application/vnd.oasis.opendocument.text-template", "ott", "OpenDocument Text Template"},
      {"application/vnd.oasis.opendocument.spreadsheet-template", "ots",
       "OpenDocument Spreadsheet Template"},
      {"application/vnd.oasis.opendocument.presentation-template", "otp",
       "OpenDocument Presentation Template"},
  };
  if (contents.first_name != "mimetype") {
    return std::nullopt;
  }
  std::string_view mime = contents.first_stored_data;
  while (!mime.empty() && (mime.back() == '\n' || mime.back() == '\r' || mime.back() == ' ')) {
    mime.remove_suffix(1);
  }
  for (const auto& type : kTypes) {
    if (mime == type.mime) {
      return Result{std::string(type.extension), std::string(type.description)};
    }
  }
  return std::nullopt;
}

std::optional<Result> fromNames(const Contents& contents) {
  if (hasName(contents, "[Content_Types].xml")) {
    if (hasPrefix(contents, "word/")) {
      return Result{"docx", "Microsoft Word 2007+ document (Office Open XML)"};
    }
    if (hasPrefix(contents, "xl/")) {
      return Result{"xlsx", "Microsoft Excel 2007+ workbook (Office Open XML)"};
    }
    if (hasPrefix(contents, "ppt/")) {
      return Result{"pptx", "Microsoft PowerPoint 2007+ presentation (Office Open XML)"};
    }
    // The 3-D model part's name is "3dmodel.model" in any letter case.
    if (hasNameIgnoringCase(contents, "3D/3dmodel.model")) {
      return Result{"3mf", "3D Manufacturing Format model"};
    }
  }
  if (allNamesEndWith(contents, ".npy")) {
    return Result{"npz", "NumPy compressed array archive"};
  }
  if (hasName(contents, "AndroidManifest.xml") && hasName(contents, "classes.dex")) {
    return Result{"apk", "Android package (APK)"};
  }
  if (hasWheelMetadata(contents)) {
    return Result{"whl", "Python wheel package"};
  }
  if (hasName(contents, "EGG-INFO/PKG-INFO")) {
    return Result{"egg", "Python egg package"};
  }
  if (hasName(contents, "WEB-INF/web.xml")) {
    return Result{"war", "Java web application archive (WAR)"};
  }
  if (hasName(contents, "META-INF/MANIFEST.MF")) {
    return Result{"jar", "Java archive (JAR)"};
  }
  return std::nullopt;
}

// True when libmagic's zip tests would name the archive more closely than
// "zip": they read the first entry's name and the two bytes after it (a
// "mimetype" entry, Android, Office Open XML, Visio, Silverlight and iOS
// app parts, a Java archive's mark), and an Office Open XML part list
// anywhere.
bool libmagicLooksCloser(const Contents& contents) {
  static constexpr std::string_view kFirstNames[] = {
      "mimetype", "AndroidManifest.xml", "classes.dex", "word/", "xl/", "ppt/", "visio/",
      "AppManifest.xaml", "META-INF/", "Payload/"};
  const std::string_view first = contents.first_name;
  return contents.first_marked_java || hasName(contents, "[Content_Types].xml") ||
         std::any_of(std::begin(kFirstNames), std::end(kFirstNames),
                     [first](std::string_view name) { return first.starts_with(name); });
}

}  // namespace

std::optional<Result> identifyZipContainer(const ByteSource& source, bool* plain) {
  if (plain != nullptr) {
    *plain = false;
  }
  std::string magic;
  if (!source.readAt(0, 4, &magic) || magic != kLocalHeaderMagic) {
    return std::nullopt;
  }
  Contents contents;
  const bool have_directory = readCentralDirectory(source, &contents);
  readLocalHeaders(source, !have_directory, &contents);
  if (auto result = fromMimetypeEntry(contents)) {
    return result;
  }
  std::optional<Result> result = fromNames(contents);
  if (plain != nullptr) {
    // libmagic calls a damaged or cut archive "data" as often as a zip: only
    // a whole one, with its directory, is known to be a zip to it.
    *plain = !result && have_directory && !contents.first_name.empty() &&
             !libmagicLooksCloser(contents);
  }
  return result;
}

}  // namespace ident
