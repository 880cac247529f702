#include "zip_container.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_order.h"
#include "container_libraries.h"

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
// Bounds on the work one archive may cause: the directory read, the names
// kept, the local headers walked where the directory is missing, and the
// bytes of an entry read for its text.
constexpr std::size_t kMaxDirectoryBytes = 8 << 20;
constexpr std::size_t kMaxNames = 20000;
constexpr std::size_t kMaxLocalWalk = 64;
constexpr std::size_t kMaxEntryTextBytes = 256 << 10;
constexpr std::size_t kMaxMimetypeBytes = 256;
// Compression methods: stored and deflated.
constexpr std::uint32_t kStored = 0;
constexpr std::uint32_t kDeflated = 8;

// An entry as the central directory lists it.
struct Entry {
  std::string name;
  std::uint32_t method = 0;
  std::uint32_t compressed_size = 0;
  std::uint32_t local_offset = 0;
};

// Reads the entries of the central directory found through the end record.
bool readCentralDirectory(const ByteSource& source, std::vector<Entry>* entries) {
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
  const std::uint32_t directory_size = little32(tail, end + 12);
  const std::uint32_t directory_offset = little32(tail, end + 16);
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
         entries->size() < kMaxNames) {
    if (std::string_view(directory).substr(pos, 4) != kCentralHeaderMagic) {
      break;
    }
    const std::size_t name_size = little16(directory, pos + 28);
    const std::size_t extra_size = little16(directory, pos + 30);
    const std::size_t comment_size = little16(directory, pos + 32);
    if (directory.size() - pos - kCentralHeaderSize < name_size) {
      break;
    }
    entries->push_back(Entry{directory.substr(pos + kCentralHeaderSize, name_size),
                             little16(directory, pos + 10), little32(directory, pos + 20),
                             little32(directory, pos + 42)});
    pos += kCentralHeaderSize + name_size + extra_size + comment_size;
  }
  return !entries->empty();
}

// Inflates the raw deflate stream |compressed| with zlib, up to |max_bytes|
// of output; what came out before an error or the end of the input.
std::string inflateStart(const LibZ& z, std::string_view compressed, std::size_t max_bytes) {
  z_stream stream{};
  if (z.inflate_init2(&stream, -MAX_WBITS, z.version(), static_cast<int>(sizeof stream)) != Z_OK) {
    return "";
  }
  std::string text(max_bytes, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(text.data());
  stream.avail_out = static_cast<uInt>(text.size());
  z.inflate(&stream, Z_FINISH);
  text.resize(text.size() - stream.avail_out);
  z.inflate_end(&stream);
  return text;
}

// An archive's central directory, and its entries' text on demand.
class Archive {
 public:
  explicit Archive(const ByteSource& source) : source_(source) {
    open_ = readCentralDirectory(source, &entries_);
  }

  bool open() const { return open_; }

  void names(std::vector<std::string>* out) const {
    for (const Entry& entry : entries_) {
      out->push_back(entry.name);
    }
  }

  // The first |max_bytes| bytes of entry |name|, uncompressed; "" when it is
  // missing, compressed otherwise than by deflate, or cannot be read.
  std::string read(std::string_view name, std::size_t max_bytes) const {
    const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                    [name](const Entry& e) { return e.name == name; });
    std::string header;
    if (entry == entries_.end() ||
        !source_.readAt(entry->local_offset, kLocalHeaderSize, &header) ||
        header.size() != kLocalHeaderSize ||
        std::string_view(header).substr(0, 4) != kLocalHeaderMagic) {
      return "";
    }
    const std::uint64_t data_offset = std::uint64_t{entry->local_offset} + kLocalHeaderSize +
                                      little16(header, 26) + little16(header, 28);
    // As much input as output wanted: the start of a text deflates to less.
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(entry->compressed_size, max_bytes));
    std::string data;
    if (!source_.readAt(data_offset, wanted, &data)) {
      return "";
    }
    if (entry->method == kStored) {
      return data;
    }
    const LibZ* z = libZ();
    if (entry->method != kDeflated || z == nullptr) {
      return "";
    }
    return inflateStart(*z, data, max_bytes);
  }

 private:
  const ByteSource& source_;
  std::vector<Entry> entries_;
  bool open_ = false;
};

// What the archive holds, as far as the rules need it.
struct Contents {
  std::vector<std::string> names;
  std::string first_name;
  std::string first_stored_data;  // the first entry's bytes when stored uncompressed
  bool first_marked_java = false;  // a Java archive's mark, 0xCAFE, after the first name
  const Archive* archive = nullptr;  // where the names came from its directory

  // The start of entry |name|'s text, when the archive's directory was read.
  std::string text(std::string_view name) const {
    return archive != nullptr ? archive->read(name, kMaxEntryTextBytes) : "";
  }
};

// The mark a Java archive's first entry carries in its extra field.
constexpr std::uint32_t kJavaExtraId = 0xcafe;

bool hasExtraId(std::string_view extra, std::uint32_t id) {
  for (std::size_t at = 0; extra.size() - at >= 4; at += 4 + little16(extra, at + 2)) {
    if (little16(extra, at) == id) {
      return true;
    }
    if (extra.size() - at - 4 < little16(extra, at + 2)) {
      break;
    }
  }
  return false;
}

// Walks the local headers from the start of the file: the physical first
// entry, which libmagic and the "mimetype" convention look at, and, with
// |collect_names|, the names of the first entries whose sizes are known up
// front, for an archive whose directory is missing (a download cut short).
void readLocalHeaders(const ByteSource& source, bool collect_names, Contents* contents) {
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < kMaxLocalWalk; ++i) {
    std::string header;
    if (!source.readAt(offset, kLocalHeaderSize, &header) || header.size() != kLocalHeaderSize ||
        std::string_view(header).substr(0, 4) != kLocalHeaderMagic) {
      return;
    }
    const std::uint32_t flags = little16(header, 6);
    const std::uint32_t method = little16(header, 8);
    const std::uint32_t compressed_size = little32(header, 18);
    const std::size_t name_size = little16(header, 26);
    const std::size_t extra_size = little16(header, 28);
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
          (little16(extra, 0) == kJavaExtraId ||
           hasExtraId(std::string_view(extra).substr(0, extra_size), kJavaExtraId));
      // Only short stored data is of interest (a "mimetype" entry).
      if (method == 0 && compressed_size <= kMaxMimetypeBytes &&
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
  return std::find(contents.names.begin(), contents.names.end(), name) != contents.names.end();
}

bool hasPrefix(const Contents& contents, std::string_view prefix) {
  return std::any_of(contents.names.begin(), contents.names.end(),
                     [prefix](const std::string& entry) { return entry.starts_with(prefix); });
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

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool hasNameIgnoringCase(const Contents& contents, std::string_view name) {
  return std::any_of(contents.names.begin(), contents.names.end(),
                     [name](const std::string& entry) { return equalIgnoringCase(entry, name); });
}

// NumPy's savez writes one "<name>.npy" entry per array and nothing else.
bool allNamesEndWith(const Contents& contents, std::string_view suffix) {
  const auto npy = [suffix](const std::string& entry) {
    return entry.size() > suffix.size() && entry.ends_with(suffix);
  };
  return !contents.names.empty() &&
         std::all_of(contents.names.begin(), contents.names.end(), npy);
}

// The containers that name their type in a first, stored entry called
// "mimetype": OpenDocument and its StarOffice forerunner, EPUB, signature
// containers, InDesign and layered-picture packages.
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
      {"application/vnd.oasis.opendocument.chart", "odc", "OpenDocument Chart"},
      {"application/vnd.oasis.opendocument.image", "odi", "OpenDocument Image"},
      {"application/vnd.oasis.opendocument.text-master", "odm", "OpenDocument Master Document"},
      {"application/vnd.oasis.opendocument.text-web", "oth", "OpenDocument HTML Template"},
      {"application/vnd.oasis.opendocument.base", "odb", "OpenDocument Database"},
      {"application/vnd.oasis.opendocument.text-template", "ott", "OpenDocument Text Template"},
      {"application/vnd.oasis.opendocument.spreadsheet-template", "ots",
       "OpenDocument Spreadsheet Template"},
      {"application/vnd.oasis.opendocument.presentation-template", "otp",
       "OpenDocument Presentation Template"},
      {"application/vnd.oasis.opendocument.graphics-template", "otg",
       "OpenDocument Drawing Template"},
      {"application/vnd.oasis.opendocument.formula-template", "otf",
       "OpenDocument Formula Template"},
      {"application/vnd.oasis.opendocument.chart-template", "otc", "OpenDocument Chart Template"},
      {"application/vnd.oasis.opendocument.image-template", "oti", "OpenDocument Image Template"},
      {"application/vnd.oasis.opendocument.text-master-template", "otm",
       "OpenDocument Master Document Template"},
      {"application/vnd.sun.xml.writer", "sxw", "OpenOffice.org 1.x Writer document"},
      {"application/vnd.sun.xml.writer.template", "stw", "OpenOffice.org 1.x Writer template"},
      {"application/vnd.sun.xml.writer.global", "sxg", "OpenOffice.org 1.x master document"},
      {"application/vnd.sun.xml.calc", "sxc", "OpenOffice.org 1.x Calc spreadsheet"},
      {"application/vnd.sun.xml.calc.template", "stc", "OpenOffice.org 1.x Calc template"},
      {"application/vnd.sun.xml.impress", "sxi", "OpenOffice.org 1.x Impress presentation"},
      {"application/vnd.sun.xml.impress.template", "sti", "OpenOffice.org 1.x Impress template"},
      {"application/vnd.sun.xml.draw", "sxd", "OpenOffice.org 1.x Draw drawing"},
      {"application/vnd.sun.xml.draw.template", "std", "OpenOffice.org 1.x Draw template"},
      {"application/vnd.sun.xml.math", "sxm", "OpenOffice.org 1.x Math formula"},
      {"application/vnd.etsi.asic-e+zip", "asice", "Associated Signature Container (ASiC-E)"},
      {"application/vnd.etsi.asic-s+zip", "asics", "Associated Signature Container (ASiC-S)"},
      {"application/vnd.adobe.indesign-idml-package", "idml", "Adobe InDesign Markup (IDML)"},
      {"image/openraster", "ora", "OpenRaster layered image"},
      {"application/x-krita", "kra", "Krita layered image"},
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

// True when |types|, the text of [Content_Types].xml, declares |type| as a
// whole attribute value.
bool declaresType(std::string_view types, std::string_view type) {
  for (std::size_t at = types.find(type); at != std::string_view::npos;
       at = types.find(type, at + 1)) {
    const std::size_t end = at + type.size();
    if (at > 0 && end < types.size() && (types[at - 1] == '"' || types[at - 1] == '\'') &&
        types[end] == types[at - 1]) {
      return true;
    }
  }
  return false;
}

// Open Packaging Conventions documents: the content type of their main part,
// as [Content_Types].xml declares it.
std::optional<Result> fromMainContentType(std::string_view types) {
  static constexpr struct {
    std::string_view type, extension, description;
  } kTypes[] = {
      // A theme declares a presentation's parts beside its theme manager.
      {"openxmlformats-officedocument.themeManager+xml", "thmx", "Microsoft Office theme"},
      {"ms-office.themeManager+xml", "thmx", "Microsoft Office theme"},
      {"openxmlformats-officedocument.wordprocessingml.document.main+xml", "docx",
       "Microsoft Word 2007+ document (Office Open XML)"},
      {"ms-word.document.macroEnabled.main+xml", "docm",
       "Microsoft Word 2007+ macro-enabled document"},
      {"openxmlformats-officedocument.wordprocessingml.template.main+xml", "dotx",
       "Microsoft Word 2007+ template"},
      {"ms-word.template.macroEnabledTemplate.main+xml", "dotm",
       "Microsoft Word 2007+ macro-enabled template"},
      {"openxmlformats-officedocument.spreadsheetml.sheet.main+xml", "xlsx",
       "Microsoft Excel 2007+ workbook (Office Open XML)"},
      {"ms-excel.sheet.macroEnabled.main+xml", "xlsm",
       "Microsoft Excel 2007+ macro-enabled workbook"},
      {"openxmlformats-officedocument.spreadsheetml.template.main+xml", "xltx",
       "Microsoft Excel 2007+ template"},
      {"ms-excel.template.macroEnabled.main+xml", "xltm",
       "Microsoft Excel 2007+ macro-enabled template"},
      {"ms-excel.sheet.binary.macroEnabled.main", "xlsb", "Microsoft Excel 2007+ binary workbook"},
      {"ms-excel.addin.macroEnabled.main+xml", "xlam", "Microsoft Excel 2007+ add-in"},
      {"openxmlformats-officedocument.presentationml.presentation.main+xml", "pptx",
       "Microsoft PowerPoint 2007+ presentation (Office Open XML)"},
      {"ms-powerpoint.presentation.macroEnabled.main+xml", "pptm",
       "Microsoft PowerPoint 2007+ macro-enabled presentation"},
      {"openxmlformats-officedocument.presentationml.template.main+xml", "potx",
       "Microsoft PowerPoint 2007+ template"},
      {"ms-powerpoint.template.macroEnabled.main+xml", "potm",
       "Microsoft PowerPoint 2007+ macro-enabled template"},
      {"openxmlformats-officedocument.presentationml.slideshow.main+xml", "ppsx",
       "Microsoft PowerPoint 2007+ slide show"},
      {"ms-powerpoint.slideshow.macroEnabled.main+xml", "ppsm",
       "Microsoft PowerPoint 2007+ macro-enabled slide show"},
      {"ms-powerpoint.addin.macroEnabled.main+xml", "ppam", "Microsoft PowerPoint 2007+ add-in"},
      {"ms-visio.drawing.main+xml", "vsdx", "Microsoft Visio 2013+ drawing"},
      {"ms-visio.drawing.macroEnabled.main+xml", "vsdm",
       "Microsoft Visio 2013+ macro-enabled drawing"},
      {"ms-visio.template.main+xml", "vstx", "Microsoft Visio 2013+ template"},
      {"ms-visio.template.macroEnabled.main+xml", "vstm",
       "Microsoft Visio 2013+ macro-enabled template"},
      {"ms-visio.stencil.main+xml", "vssx", "Microsoft Visio 2013+ stencil"},
      {"ms-visio.stencil.macroEnabled.main+xml", "vssm",
       "Microsoft Visio 2013+ macro-enabled stencil"},
      {"ms-package.3dmanufacturing-3dmodel+xml", "3mf", "3D Manufacturing Format model"},
  };
  for (const auto& type : kTypes) {
    if (declaresType(types, "application/vnd." + std::string(type.type))) {
      return Result{std::string(type.extension), std::string(type.description)};
    }
  }
  return std::nullopt;
}

// XML Paper Specification documents and their standardised form, OpenXPS,
// whose package relationships name the fixed representation by a namespace
// of their own.
std::optional<Result> fromXpsParts(const Contents& contents, std::string_view types) {
  const bool fixed_sequence =
      types.find("xps-fixeddocumentsequence+xml") != std::string_view::npos ||
      hasNameIgnoringCase(contents, "FixedDocSeq.fdseq") ||
      hasNameIgnoringCase(contents, "FixedDocumentSequence.fdseq");
  if (!fixed_sequence) {
    return std::nullopt;
  }
  if (contents.text("_rels/.rels").find("schemas.openxps.org") != std::string::npos) {
    return Result{"oxps", "OpenXPS document"};
  }
  return Result{"xps", "Microsoft XML Paper Specification document"};
}

// The iWork application whose package a top folder's name names, as a
// package folder zipped whole ("Report.pages/Index.zip", ...).
std::optional<std::string_view> iworkPackageFolder(const Contents& contents) {
  for (const std::string_view extension : {".pages/"sv, ".numbers/"sv, ".key/"sv}) {
    const bool packaged = std::any_of(
        contents.names.begin(), contents.names.end(), [extension](std::string_view name) {
          const std::size_t slash = name.find('/');
          return slash != std::string_view::npos &&
                 name.substr(0, slash + 1).ends_with(extension) &&
                 (name.substr(slash + 1) == "Index.zip" || name.substr(slash + 1) == "index.xml" ||
                  name.substr(slash + 1) == "index.apxl" ||
                  name.substr(slash + 1).starts_with("Index/"));
        });
    if (packaged) {
      return extension.substr(1, extension.size() - 2);
    }
  }
  return std::nullopt;
}

// Apple's iWork documents: the XML-in-zip form of iWork '08 and '09 (a
// Keynote index.apxl; an index.xml that is Pages' "sl" or Numbers' "ls"
// document), the later one of protobuf archives in Index/*.iwa (slides in
// Keynote's, table tiles in Numbers'), and a package folder zipped whole.
std::optional<Result> fromIworkIndex(const Contents& contents) {
  static const Result kPages{"pages", "Apple Pages document"};
  static const Result kKeynote{"key", "Apple Keynote presentation"};
  static const Result kNumbers{"numbers", "Apple Numbers spreadsheet"};
  if (hasName(contents, "index.apxl") || hasName(contents, "index.apxl.gz")) {
    return kKeynote;
  }
  if (hasName(contents, "index.xml")) {
    const std::string index = contents.text("index.xml").substr(0, 4096);
    if (index.find("<sl:document") != std::string::npos) {
      return kPages;
    }
    if (index.find("<ls:document") != std::string::npos) {
      return kNumbers;
    }
    return std::nullopt;
  }
  if (hasName(contents, "Index/Document.iwa")) {
    if (hasPrefix(contents, "Index/MasterSlide") || hasPrefix(contents, "Index/TemplateSlide") ||
        hasPrefix(contents, "Index/Slide")) {
      return kKeynote;
    }
    if (hasPrefix(contents, "Index/Tables/Tile")) {
      return kNumbers;
    }
    return kPages;
  }
  if (const std::optional<std::string_view> folder = iworkPackageFolder(contents)) {
    return *folder == "key"sv ? kKeynote : *folder == "numbers"sv ? kNumbers : kPages;
  }
  return std::nullopt;
}

// Signature containers without their "mimetype" entry: signatures or a
// manifest of the signed files under META-INF/, one signed object (ASiC-S)
// or any number (ASiC-E).
std::optional<Result> fromSignatureMarkers(const Contents& contents) {
  bool signatures = false;
  std::size_t objects = 0;
  for (const std::string& entry : contents.names) {
    const std::string_view name = entry;
    if (name.starts_with("META-INF/")) {
      const std::string_view file = name.substr(9);
      signatures = signatures || file.starts_with("ASiCManifest") ||
                   (file.find("signatures") != std::string_view::npos && file.ends_with(".xml")) ||
                   file == "signature.p7s" || file == "timestamp.tst";
    } else if (!name.ends_with("/") && name != "mimetype") {
      ++objects;
    }
  }
  if (!signatures || hasName(contents, "META-INF/MANIFEST.MF")) {
    return std::nullopt;
  }
  if (objects == 1 && !hasPrefix(contents, "META-INF/ASiCManifest")) {
    return Result{"asics", "Associated Signature Container (ASiC-S)"};
  }
  return Result{"asice", "Associated Signature Container (ASiC-E)"};
}

std::optional<Result> fromNames(const Contents& contents) {
  if (hasName(contents, "[Content_Types].xml")) {
    const std::string types = contents.text("[Content_Types].xml");
    if (auto result = fromMainContentType(types)) {
      return result;
    }
    if (auto result = fromXpsParts(contents, types)) {
      return result;
    }
  }
  // The part folders, where the part list cannot be read or is missing
  // beside the package's relationships.
  if (hasName(contents, "[Content_Types].xml") || hasName(contents, "_rels/.rels")) {
    if (hasPrefix(contents, "word/")) {
      return Result{"docx", "Microsoft Word 2007+ document (Office Open XML)"};
    }
    if (hasPrefix(contents, "xl/")) {
      return Result{"xlsx", "Microsoft Excel 2007+ workbook (Office Open XML)"};
    }
    if (hasPrefix(contents, "ppt/")) {
      return Result{"pptx", "Microsoft PowerPoint 2007+ presentation (Office Open XML)"};
    }
    if (hasPrefix(contents, "visio/")) {
      return Result{"vsdx", "Microsoft Visio 2013+ drawing"};
    }
    // The 3-D model part's name is "3dmodel.model" in any letter case.
    if (hasNameIgnoringCase(contents, "3D/3dmodel.model")) {
      return Result{"3mf", "3D Manufacturing Format model"};
    }
  }
  if (auto result = fromIworkIndex(contents)) {
    return result;
  }
  if (hasName(contents, "META-INF/container.xml") &&
      contents.text("META-INF/container.xml").find("application/oebps-package+xml") !=
          std::string::npos) {
    return Result{"epub", "EPUB document"};
  }
  if (auto result = fromSignatureMarkers(contents)) {
    return result;
  }
  if (allNamesEndWith(contents, ".npy")) {
    return Result{"npz", "NumPy compressed array archive"};
  }
  if (hasName(contents, "base/manifest/AndroidManifest.xml")) {
    return Result{"aab", "Android App Bundle"};
  }
  if (hasName(contents, "AndroidManifest.xml") &&
      (hasName(contents, "classes.dex") || hasName(contents, "resources.arsc"))) {
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
  const Archive archive(source);
  if (archive.open()) {
    archive.names(&contents.names);
    contents.archive = &archive;
  }
  const bool have_directory = contents.archive != nullptr;
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
