#include "zip_container.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "container_libraries.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kLocalHeaderMagic = "PK\x03\x04"sv;
constexpr std::size_t kLocalHeaderSize = 30;
// Bounds on the work one archive may cause: the bytes libzip may read of it
// (its central directory, the entries read), the names kept, the local
// headers walked where the directory is missing, and the bytes of an entry
// read for its text.
constexpr std::uint64_t kMaxArchiveReadBytes = 32 << 20;
constexpr std::size_t kMaxNames = 20000;
constexpr std::size_t kMaxLocalWalk = 64;
constexpr std::size_t kMaxEntryTextBytes = 256 << 10;
constexpr std::size_t kMaxMimetypeBytes = 256;

std::uint32_t decodeFixed16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

std::uint32_t decodeFixed32(std::string_view bytes, std::size_t at) {
  return decodeFixed16(bytes, at) | (decodeFixed16(bytes, at + 2) << 16);
}

// The bytes of a ByteSource as libzip reads an archive: a seekable source
// that refuses to read more than kMaxArchiveReadBytes in all.
class ZipSource {
 public:
  ZipSource(const LibZip& zip, const ByteSource& source) : zip_(zip), source_(source) {
    zip_.error_init(&error_);
  }
  ZipSource(const ZipSource&) = delete;
  ZipSource& operator=(const ZipSource&) = delete;
  ~ZipSource() { zip_.error_fini(&error_); }

  static zip_int64_t call(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    return static_cast<ZipSource*>(self)->handle(data, length, command);
  }

 private:
  zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
        offset_ = 0;
        return 0;
      case ZIP_SOURCE_READ: {
        const std::uint64_t size = source_.size();
        const std::uint64_t wanted =
            offset_ >= size ? 0 : std::min<std::uint64_t>(length, size - offset_);
        if (wanted > kMaxArchiveReadBytes - std::min(read_, kMaxArchiveReadBytes)) {
          zip_.error_set(&error_, ZIP_ER_MEMORY, 0);
          return -1;
        }
        std::string bytes;
        if (wanted != 0 && (!source_.readAt(offset_, static_cast<std::size_t>(wanted), &bytes) ||
                            bytes.size() != wanted)) {
          zip_.error_set(&error_, ZIP_ER_READ, 0);
          return -1;
        }
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
        offset_ += wanted;
        read_ += wanted;
        return static_cast<zip_int64_t>(wanted);
      }
      case ZIP_SOURCE_CLOSE:
        return 0;
      case ZIP_SOURCE_STAT: {
        if (length < sizeof(zip_stat_t)) {
          zip_.error_set(&error_, ZIP_ER_INVAL, 0);
          return -1;
        }
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_.stat_init(stat);
        stat->size = source_.size();
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_ERROR:
        return zip_.error_to_data(&error_, data, length);
      case ZIP_SOURCE_SEEK: {
        const zip_int64_t to =
            zip_.seek_compute_offset(offset_, source_.size(), data, length, &error_);
        if (to < 0) {
          return -1;
        }
        offset_ = static_cast<std::uint64_t>(to);
        return 0;
      }
      case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(offset_);
      case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_SEEKABLE;
      case ZIP_SOURCE_FREE:
        return 0;
      default:
        zip_.error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  const LibZip& zip_;
  const ByteSource& source_;
  zip_error_t error_;
  std::uint64_t offset_ = 0;
  std::uint64_t read_ = 0;
};

// An archive opened with libzip from its central directory.
class Archive {
 public:
  Archive(const LibZip& zip, const ByteSource& source) : zip_(zip), source_(zip, source) {
    zip_source_t* handle = zip_.source_function_create(&ZipSource::call, &source_, nullptr);
    if (handle == nullptr) {
      return;
    }
    archive_ = zip_.open_from_source(handle, ZIP_RDONLY, nullptr);
    if (archive_ == nullptr) {
      zip_.source_free(handle);  // still ours when the open failed
    }
  }
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;
  ~Archive() {
    if (archive_ != nullptr) {
      zip_.discard(archive_);
    }
  }

  bool open() const { return archive_ != nullptr; }

  void names(std::vector<std::string>* out) const {
    const zip_int64_t count = zip_.get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count && out->size() < kMaxNames; ++i) {
      if (const char* name =
              zip_.get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW)) {
        out->emplace_back(name);
      }
    }
  }

  // The first |max_bytes| bytes of entry |name|, uncompressed; "" when it is
  // missing or cannot be read.
  std::string read(std::string_view name, std::size_t max_bytes) const {
    const zip_int64_t index =
        zip_.name_locate(archive_, std::string(name).c_str(), ZIP_FL_ENC_RAW);
    if (index < 0) {
      return "";
    }
    zip_file_t* file = zip_.fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
      return "";
    }
    std::string text(max_bytes, '\0');
    const zip_int64_t n = zip_.fread(file, text.data(), max_bytes);
    zip_.fclose(file);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
  }

 private:
  const LibZip& zip_;
  ZipSource source_;
  zip_t* archive_ = nullptr;
};

// What the archive holds, as far as the rules need it.
struct Contents {
  std::vector<std::string> names;
  std::string first_name;
  std::string first_stored_data;  // the first entry's bytes when stored uncompressed
  bool first_marked_java = false;  // a Java archive's mark, 0xCAFE, after the first name
  const Archive* archive = nullptr;  // where the names came from its directory

  // The start of entry |name|'s text, when the archive was opened.
  std::string text(std::string_view name) const {
    return archive != nullptr ? archive->read(name, kMaxEntryTextBytes) : "";
  }
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
  std::unique_ptr<Archive> archive;
  if (const LibZip* zip = libZip()) {
    archive = std::make_unique<Archive>(*zip, source);
    if (archive->open()) {
      archive->names(&contents.names);
      contents.archive = archive.get();
    }
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
