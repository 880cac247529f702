#include "engine.h"

#include <magic.h>

#include <algorithm>
#include <optional>

#include "io/file_source.h"
#include "magic/fixed_signatures.h"
#include "magic/mime_database.h"
#include "magic/compiled_definitions.h"
#include "text/plain_text.h"
#include "text/formats/text_formats.h"
#include "text/text_classifier.h"
#include "containers/asf_media.h"
#include "containers/cms_message.h"
#include "containers/compound_document.h"
#include "containers/container_libraries.h"
#include "containers/mailbox.h"
#include "containers/raw_image.h"
#include "containers/stl_model.h"
#include "containers/text_headers.h"
#include "containers/zip_container.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

// Bytes of a compound file that libmagic sees when our reader does not know
// it.
constexpr std::size_t kCompoundBytes = 16 << 20;

// The first bytes of a compound file (OLE2).
constexpr std::string_view kCompoundSignature = "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv;

// The common pass stops at the strongest match (no MAGIC_CONTINUE) and
// asks for its MIME type, from which the extension follows; the description
// costs a pass of its own and is worked out only when a caller needs it.
// libmagic's text tests are left out: they guess a text's kind from a few
// words (C++ as C, Lua as JavaScript, INI as TeX), cost more than all the
// other tests together (a regular expression compiled per test and file),
// and the text classifier reads the grammar instead. Only a file that looks
// binary yet matches no binary test gets every test.
constexpr int kBaseFlags = MAGIC_RAW;
constexpr int kBinaryFlags = MAGIC_NO_CHECK_TEXT;
// The quick look at the commonest formats: their entries alone, none of
// libmagic's built-in checks (compression, tar, text encodings, JSON, ...).
constexpr int kCommonFlags = MAGIC_RAW | MAGIC_MIME_TYPE | MAGIC_NO_CHECK_BUILTIN;

// libmagic's MIME answers that mean "no idea".
bool isNonAnswerType(std::string_view mime) {
  return mime.empty() || mime == "application/octet-stream" || mime == "application/x-empty" ||
         mime == "inode/x-empty";
}

}  // namespace

bool isNonAnswer(std::string_view description) {
  return description.empty() || description == "data" || description == "empty" ||
         description == "very short file (no magic)";
}


bool Engine::load(const std::string& directory, std::string* err,
                  const std::string& mime_directory) {
  magic_ = MagicCookie();
  common_ = MagicCookie();
  pack_waits_ = false;
  common_waits_ = false;
  mime_files_.reset();
  mime_directory_.clear();
  text_model_ = text::TextModel();
  text_model_waits_ = false;
  const std::string pack_path = directory + std::string(kPackName);
  if (pack_path.find(':') != std::string::npos) {
    // libmagic reads its database list split at colons.
    *err = pack_path + ": a definitions path may not hold ':'";
    return false;
  }
  std::string pack;
  if (!readTextFile(pack_path, &pack, err)) {
    return false;
  }
  const std::string system = systemMagicPath();
  if (system.empty()) {
    *err = "no compiled system magic database";
    return false;
  }
  const CompiledDatabase system_database = readCompiled(system.substr(0, system.find(':')));
  // Compiled databases that libmagic will take are loaded when a file first
  // needs libmagic: a folder of the commonest formats never does. Any other
  // is loaded now, so that a broken one fails here.
  const Definitions pack_db = chooseDefinitions(
      pack_path, directory + std::string(kPackCompiledName), system_database);
  MagicCookie magic;
  if (!pack_db.deferrable && !openPackAndSystem(&magic, pack_db.path, pack_path, system, err)) {
    return false;
  }
  ExtensionMap extensions;
  extensions.addPackExtensions(pack);
  // The commonest formats' definitions only speed the analysis up: without
  // them every file goes through the full database.
  const std::string common_path = directory + std::string(kCommonName);
  const Definitions common_db = chooseDefinitions(
      common_path, directory + std::string(kCommonCompiledName), system_database);
  MagicCookie common;
  if (!common_db.deferrable) {
    openCommon(&common, common_db.path, common_path);
  }
  magic_ = std::move(magic);
  common_ = std::move(common);
  pack_waits_ = pack_db.deferrable;
  common_waits_ = common_db.deferrable;
  directory_ = directory;
  system_paths_ = system;
  extensions_ = std::move(extensions);
  mime_directory_ = mime_directory;
  text_model_waits_ = true;
  return true;
}

bool Engine::prepare(std::string* err) {
  // Loaded as load() would have, text fallback included: the compiled form
  // may have been replaced since.
  if (pack_waits_) {
    if (!openPackAndSystem(&magic_, directory_ + std::string(kPackCompiledName),
                           directory_ + std::string(kPackName), system_paths_, err)) {
      return false;
    }
    pack_waits_ = false;
  }
  if (common_waits_) {
    openCommon(&common_, directory_ + std::string(kCommonCompiledName),
               directory_ + std::string(kCommonName));
    common_waits_ = false;
  }
  readMimeFiles();
  readTextModel();
  // zlib, for the zip reader's deflated entries: libmagic has brought it
  // in, so it costs nothing here, and a worker forked from now on has it.
  libZ();
  return true;
}

void Engine::readTextModel() {
  if (!text_model_waits_) {
    return;
  }
  text_model_waits_ = false;
  std::string bytes;
  std::string ignored;
  if (readTextFile(directory_ + std::string(kTextModelName), &bytes, &ignored)) {
    text_model_.parse(bytes, &ignored);
  }
}

void Engine::readMimeFiles() {
  if (mime_directory_.empty()) {
    return;
  }
  std::string ignored;
  if (MimeFiles files; readTextFile(mime_directory_ + "/globs2", &files.globs2, &ignored)) {
    // The other two are optional: without them aliases and parent types
    // stay unresolved.
    readTextFile(mime_directory_ + "/aliases", &files.aliases, &ignored);
    readTextFile(mime_directory_ + "/subclasses", &files.subclasses, &ignored);
    mime_files_ = std::move(files);
  }
  mime_directory_.clear();
}

const MimeDatabase& Engine::mimeDatabase() {
  // Parsing the database costs more than identifying a hundred common
  // files, so it is parsed when first needed, once. Its files are read
  // then too, unless prepare() read them already: the worker that runs the
  // analysis may open no file of its own.
  readMimeFiles();
  if (mime_files_) {
    MimeDatabase database;
    database.parseGlobs2(mime_files_->globs2);
    database.parseAliases(mime_files_->aliases);
    database.parseSubclasses(mime_files_->subclasses);
    extensions_.setMimeDatabase(std::move(database));
    mime_files_.reset();
  }
  return extensions_.mimeDatabase();
}

std::string Engine::extensionFor(std::string_view mime) {
  std::string extension = extensions_.extensionFor(mime);
  if (!extension.empty()) {
    return extension;
  }
  readMimeFiles();
  if (!mime_files_) {
    return extension;
  }
  // The shared MIME database is asked only after the pack and our table, so
  // an answer found without it stands.
  mimeDatabase();
  return extensions_.extensionFor(mime);
}

Result Engine::identifyText(std::string_view head) {
  // Windows' "Unicode" text is UTF-16: the kinds are read from its
  // characters, not from bytes every other one of which is NUL. The
  // classifier reads no more than its share of them.
  if (std::optional<std::string> utf8 = utf16AsUtf8(head.substr(0, 2 * kClassifierBytes + 2))) {
    return identifyText(*utf8);
  }
  // A mailbox is text to libmagic's binary tests, and mail to the
  // classifier; its envelope lines make it a format of its own.
  if (std::optional<Result> mailbox = identifyMailbox(head)) {
    return std::move(*mailbox);
  }
  // A CMS message written as text: PEM armour ("-----BEGIN PKCS7-----"),
  // or bare base64 from the first byte, as signing tools and mail clients
  // save a ".p7m". The message reader names it as it does the DER file;
  // other PEM blocks and other base64 stay what the classifier said.
  if (mayBeCmsText(head)) {
    if (std::optional<Result> message = identifyCmsMessage(text::cmsBase64Content(head))) {
      message->description += head.starts_with("MI"sv) ? ", base64" : ", PEM";
      return std::move(*message);
    }
  }
  // The classifier names the kind. libmagic's hints for it (JSON, CSV) come
  // from the first pass, which answered with their own types already, so
  // none is left to give; a description the classifier cannot give is
  // libmagic's, worked out on demand.
  readTextModel();
  const TextVerdict verdict =
      classifyText(head.substr(0, kClassifierBytes), "", &text_model_);
  std::string extension = conventionalExtension(verdict.extension);
  std::string description = singleLine(verdict.description);
  const bool describe_later = description.empty();
  return {extension.empty() ? "txt" : std::move(extension), std::move(description),
          describe_later};
}

std::optional<Result> Engine::identifyWithAllTests(std::string_view head) {
  const std::string mime = singleLine(magic_.describe(head, kBaseFlags | MAGIC_MIME_TYPE).value_or(""));
  if (isNonAnswerType(mime)) {
    // No type; a description may still exist (a match without a MIME type),
    // and it decides whether there is a result.
    std::string description = describeHead(head);
    if (description.empty()) {
      return std::nullopt;
    }
    return Result{extensionForDescription(description), std::move(description)};
  }
  if (mime == "text/plain") {
    return identifyText(head);
  }
  Result result{extensionFor(mime), "", true};
  if (result.extension.empty()) {
    // Without an extension the description is what a caller shows.
    result.description = describeHead(head);
    result.describe_later = false;
    result.extension = extensionForDescription(result.description);
  }
  return result;
}

std::string Engine::describeHead(std::string_view head) {
  std::string description = singleLine(magic_.describe(head, kBaseFlags).value_or(""));
  return isNonAnswer(description) ? "" : description;
}

std::string Engine::extensionOfMatch(std::string_view head) {
  // libmagic's answer to MAGIC_EXTENSION: the "!:ext" list of its
  // strongest binary match ("sdw/vor"), or "???". The first entry that
  // holds a letter is taken: its Mach-O executables list CPU numbers
  // ("16/18/"), which no file is named by.
  const std::string list =
      singleLine(magic_.describe(head, kBaseFlags | kBinaryFlags | MAGIC_EXTENSION).value_or(""));
  std::string_view rest = list;
  while (!rest.empty()) {
    const std::string_view entry = rest.substr(0, rest.find('/'));
    rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
    if (entry != "???" && std::any_of(entry.begin(), entry.end(), [](char c) {
          return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        })) {
      return conventionalExtension(entry);
    }
  }
  return "";
}

std::string Engine::describeFirstBinary(std::string_view head) {
  std::string description =
      singleLine(magic_.describe(head, kBaseFlags | kBinaryFlags).value_or(""));
  return isNonAnswer(description) ? "" : description;
}

std::optional<Result> Engine::identify(std::string_view head, const ByteSource& source,
                                       ZipLook* zip_look) {
  if (common_.loaded()) {
    // A type that names its extension alone is the answer the full
    // database gives too; anything else takes the full path below. A zip
    // archive is that answer only when it is a plain one: the full
    // database's zip tests, the slowest of all, tell many kinds apart.
    const std::string mime = singleLine(common_.describe(head, kCommonFlags).value_or(""));
    const bool named = !isNonAnswerType(mime) && !isSharedType(mime);
    const bool zip = mime == "application/zip";
    if (named && zip) {
      // The entries name the kind where they can, with no need for the
      // full database's zip tests; analyze() takes what they tell.
      zip_look->read = true;
      zip_look->result = identifyZipContainer(source, &zip_look->plain);
      if (zip_look->result) {
        return std::nullopt;
      }
    }
    if (named && (!zip || zip_look->plain)) {
      Result result{extensionFor(mime), "", true};
      if (!result.extension.empty()) {
        return result;
      }
    }
    zip_look->plain = false;
  }
  const std::string mime =
      singleLine(magic_.describe(head, kBaseFlags | kBinaryFlags | MAGIC_MIME_TYPE).value_or(""));
  if (isNonAnswerType(mime)) {
    // The strongest binary match, if any, names no type.
    if (looksLikeText(head)) {
      return identifyText(head);
    }
    std::string description = describeFirstBinary(head);
    if (!description.empty()) {
      return Result{extensionForDescription(description), std::move(description)};
    }
    // Binary to our eyes, yet no binary test knew it: UTF-16 text, say.
    return identifyWithAllTests(head);
  }
  Result result{mime == "text/plain" ? "" : extensionFor(mime), "", true};
  if (!result.extension.empty() && !isSharedType(mime)) {
    return result;
  }
  // Without an extension the description is what a caller shows, so it is
  // worked out now rather than in a second request. It also tells apart
  // formats that share a type (MPEG audio layers II and III, a TrueType font
  // and a collection, a PLY model and other text).
  result.description = describeFirstBinary(head);
  result.describe_later = false;
  if (std::string extension = extensionForDescription(result.description); !extension.empty()) {
    result.extension = std::move(extension);
    return result;
  }
  if (mime == "text/plain") {
    return identifyText(head);
  }
  if (!result.extension.empty()) {
    return result;
  }
  if (looksLikeText(head)) {
    // A text match that names no extension (a weak guess at some old format
    // from a few leading characters): the classifier reads the text itself,
    // and plain text is still text.
    Result text = identifyText(head);
    result.extension = std::move(text.extension);
    if (result.extension != "txt" || result.description.empty()) {
      result.description = std::move(text.description);
    }
  }
  return result;
}

std::optional<Analysis> Engine::analyzeFixedSignature(std::string_view head) {
  // Only where identify() would take the commonest formats' answer, and
  // analyze() look no further.
  if (!loaded() || !(common_.loaded() || common_waits_)) {
    return std::nullopt;
  }
  const std::optional<std::string_view> mime = fixedSignatureType(head);
  if (!mime || isSharedType(*mime)) {
    return std::nullopt;
  }
  std::string extension = extensionFor(*mime);
  if (extension.empty() || extension == "zip") {
    return std::nullopt;
  }
  Analysis analysis;
  analysis.results.push_back(Result{std::move(extension), "", true});
  return analysis;
}

Analysis Engine::analyze(const ByteSource& source) {
  Analysis analysis;
  std::string head;
  std::string err;
  if (!loaded() || !prepare(&err) || !source.readAt(0, kHeadBytes, &head) || head.empty()) {
    return analysis;
  }
  // A DER message is named by its content type before anything looks for
  // text in it: a signed PDF (".pdf.p7m") holds the PDF's own header within
  // its first kilobyte, yet the file is the signed envelope, which a
  // signature verifier opens, not the document.
  std::optional<Result> message;
  if (head.starts_with("\x30"sv)) {
    message = identifyCmsMessage(head);
  }
  // A format named by its first bytes keeps its name, whatever a look
  // further in finds: a FLAC stream that happens to hold "%PDF-1.7" and an
  // object is no PDF after leading bytes, and the host's quick look at
  // those first bytes must answer as this analysis does.
  if (!message && !analyzeFixedSignature(std::string_view(head).substr(0, kFixedSignatureBytes))) {
    if (std::optional<Result> result = identifyTextHeader(head)) {
      analysis.results.push_back(std::move(*result));
      return analysis;
    }
  }
  if (head.starts_with(kCompoundSignature)) {
    // A compound file's directory, wherever it lies, names the application
    // by class ID and streams; libmagic reads only what lies within the head
    // and gives most kinds one generic type.
    if (std::optional<Result> document = identifyCompoundDocument(source)) {
      analysis.results.push_back(std::move(*document));
      return analysis;
    }
    // libmagic reads the property sets that name the writing application
    // wherever they lie when it has the file, but only within the bytes it
    // is given: a compound file our reader does not know gets more of them.
    if (source.size() > head.size() && !source.readAt(0, kCompoundBytes, &head)) {
      return analysis;
    }
  }
  ZipLook zip_look;
  if (std::optional<Result> result = identify(head, source, &zip_look)) {
    analysis.results.push_back(std::move(*result));
  }
  if (zip_look.plain) {
    return analysis;  // its entries were read already
  }
  // A plain zip answer is generic, and libmagic, which reads only the first
  // entries of a zip archive, names a macro-enabled document or a template
  // as its plain cousin: the entries tell a jar, an office document or an
  // e-book apart. TIFF, ASF and CMS files are named by what their structure
  // holds (a camera's raw data, the streams, the content type). A file
  // nothing names may still be a binary STL model, known by its size alone.
  const bool unnamed = analysis.results.empty() || analysis.results.front().extension.empty();
  std::optional<Result> structural;
  if (head.starts_with("PK\x03\x04"sv)) {
    structural = zip_look.read ? std::move(zip_look.result) : identifyZipContainer(source);
  } else if (head.starts_with("II"sv) || head.starts_with("MM"sv)) {
    structural = identifyRawImage(source);
  } else if (head.starts_with("\x30\x26\xb2\x75"sv)) {
    structural = identifyAsfMedia(source);
  } else if (head.starts_with("\x30"sv)) {
    structural = std::move(message);
  } else if (unnamed && !head.starts_with(kCompoundSignature)) {
    structural = identifyBinaryStl(source);
  }
  // The structure's answer goes first, before libmagic's unless that says
  // the same. A zip archive's is its only one, whether or not libmagic's
  // zip tests ran (identify() skips them where the entries tell).
  if (structural && head.starts_with("PK\x03\x04"sv)) {
    analysis.results.assign(1, std::move(*structural));
  } else if (structural) {
    if (!analysis.results.empty() &&
        analysis.results.front().extension == structural->extension) {
      analysis.results.erase(analysis.results.begin());
    }
    analysis.results.insert(analysis.results.begin(), std::move(*structural));
  } else if (unnamed && !analysis.results.empty()) {
    // Where neither its type nor our readers give an extension, the one
    // libmagic's matching entry lists stands (a compound file's class ID
    // that its database knows, say): never less than libmagic says. A file
    // libmagic matched nothing for has no such list.
    if (std::string extension = extensionOfMatch(head); !extension.empty()) {
      analysis.results.front().extension = std::move(extension);
    }
  }
  return analysis;
}

std::string Engine::describe(const ByteSource& source) {
  std::string head;
  std::string err;
  if (!loaded() || !prepare(&err) || !source.readAt(0, kHeadBytes, &head) || head.empty()) {
    return "";
  }
  return describeHead(head);
}

}  // namespace ident
