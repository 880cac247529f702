#include "engine.h"

#include <magic.h>

#include <array>
#include <optional>

#include "mime_database.h"
#include "text/text_classifier.h"
#include "zip_container.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

// The separator libmagic puts between matches under MAGIC_CONTINUE; with
// MAGIC_RAW it is a real newline rather than the escape "\012".
constexpr std::string_view kMatchSeparator = "\n- "sv;

// Bytes scanned to decide whether a file is text.
constexpr std::size_t kTextProbeBytes = 64 << 10;

// Every file is scanned for every match (MAGIC_CONTINUE) of the binary
// tests. libmagic's text tests are left out: they guess a text's kind from a
// few words (C++ as C, Lua as JavaScript, INI as TeX), cost more than all
// the other tests together (a regular expression compiled per test and
// file), and the text classifier reads the grammar instead. Only a file
// that looks binary yet matches no binary test gets every test.
constexpr int kBaseFlags = MAGIC_RAW;
constexpr int kBinaryFlags = MAGIC_CONTINUE | MAGIC_NO_CHECK_TEXT;
// The character set of a text, without a single test.
constexpr int kCharsetFlags = kBaseFlags | MAGIC_NO_CHECK_SOFT | MAGIC_NO_CHECK_JSON |
                              MAGIC_NO_CHECK_CSV | MAGIC_NO_CHECK_TAR | MAGIC_NO_CHECK_CDF |
                              MAGIC_NO_CHECK_ELF | MAGIC_NO_CHECK_COMPRESS;

// libmagic's MIME answers that mean "no idea".
bool isNonAnswerType(std::string_view mime) {
  return mime.empty() || mime == "application/octet-stream" || mime == "application/x-empty" ||
         mime == "inode/x-empty";
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The character-set names libmagic's text check prints before " text".
constexpr std::array kCharsetDescriptions{
    "ASCII text"sv,
    "ISO-8859 text"sv,
    "Non-ISO extended-ASCII text"sv,
    "EBCDIC text"sv,
    "International EBCDIC text"sv,
    "Unicode text, UTF-8 text"sv,
    "Unicode text, UTF-8 (with BOM) text"sv,
    "Unicode text, UTF-16, little-endian text"sv,
    "Unicode text, UTF-16, big-endian text"sv,
    "Unicode text, UTF-32, little-endian text"sv,
    "Unicode text, UTF-32, big-endian text"sv,
    "UTF-8 Unicode text"sv,
    "UTF-8 Unicode (with BOM) text"sv,
};

}  // namespace

std::vector<std::string> splitMatches(std::string_view text) {
  std::vector<std::string> matches;
  while (true) {
    const std::size_t end = text.find(kMatchSeparator);
    const std::string_view piece = text.substr(0, end);
    if (!matches.empty() && (piece.empty() || piece.front() == ' ' || piece.front() == ',')) {
      matches.back().append(piece);
    } else {
      matches.emplace_back(piece);
    }
    if (end == std::string_view::npos) {
      break;
    }
    text.remove_prefix(end + kMatchSeparator.size());
  }
  for (std::string& match : matches) {
    match = singleLine(match);
  }
  return matches;
}

bool isNonAnswer(std::string_view description) {
  return description.empty() || description == "data" || description == "empty" ||
         description == "very short file (no magic)";
}

bool isGenericText(std::string_view description) {
  // Drop the trailing remarks: ", with very long lines (300)", ", with CRLF
  // line terminators", ", with no line terminators", ...
  const std::size_t remarks = description.find(", with ");
  const std::string_view core = description.substr(0, remarks);
  for (const std::string_view charset : kCharsetDescriptions) {
    if (core == charset) {
      return true;
    }
  }
  return false;
}

bool looksLikeText(std::string_view head) {
  for (const char c : head.substr(0, kTextProbeBytes)) {
    const auto byte = static_cast<unsigned char>(c);
    // Tab, newline, vertical tab, form feed, carriage return, escape,
    // backspace and bell occur in text; other control bytes do not.
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' &&
        byte != '\r' && byte != 0x1b && byte != '\b' && byte != '\a') {
      return false;
    }
  }
  return true;
}

bool Engine::load(const std::string& directory, std::string* err,
                  const std::string& mime_directory) {
  magic_ = MagicCookie();
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
  // The pack alone first: libmagic accepts a list in which one file has no
  // valid entry at all, but such a pack is a broken installation.
  MagicCookie magic;
  if (!magic.open(pack_path, err)) {
    return false;
  }
  const std::string system = systemMagicPath();
  if (system.empty()) {
    *err = "no compiled system magic database";
    return false;
  }
  // libmagic tries the databases in the order listed, and under
  // MAGIC_CONTINUE reports the matches in that order: the pack, whose entries
  // are the more specific, goes first.
  const std::string paths = pack_path + ":" + system;
  if (!magic.open(paths, err)) {
    return false;
  }
  ExtensionMap extensions;
  extensions.addPackExtensions(pack);
  MimeDatabase database;
  std::string ignored;
  if (database.load(mime_directory, &ignored)) {
    extensions.setMimeDatabase(std::move(database));
  }
  magic_ = std::move(magic);
  extensions_ = std::move(extensions);
  return true;
}

std::vector<Engine::Match> Engine::matchBinary(std::string_view head) {
  std::vector<Match> matches;
  const std::optional<std::string> description = magic_.describe(head, kBaseFlags | kBinaryFlags);
  if (!description) {
    return matches;
  }
  for (std::string& piece : splitMatches(*description)) {
    if (!isNonAnswer(piece)) {
      matches.push_back({std::move(piece), ""});
    }
  }
  if (!matches.empty()) {
    // The MIME pass stops at the strongest match, the first one: under
    // MAGIC_CONTINUE libmagic joins the types of related matches without a
    // separator, so they cannot be paired with the descriptions. The other
    // matches are described without a type.
    const int mime_flags = (kBaseFlags | kBinaryFlags | MAGIC_MIME_TYPE) & ~MAGIC_CONTINUE;
    matches.front().mime = singleLine(magic_.describe(head, mime_flags).value_or(""));
  }
  return matches;
}

Result Engine::identifyText(std::string_view head) {
  // libmagic names the character set ("ASCII text, with CRLF line
  // terminators") without running a test; the classifier names the kind.
  const std::string charset = singleLine(magic_.describe(head, kCharsetFlags).value_or(""));
  const TextVerdict verdict = classifyText(head.substr(0, kClassifierBytes), charset);
  std::string extension = conventionalExtension(verdict.extension);
  std::string description = singleLine(verdict.description);
  return {extension.empty() ? "txt" : std::move(extension),
          description.empty() ? charset : std::move(description)};
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
    return Result{"", std::move(description)};
  }
  if (mime == "text/plain") {
    return identifyText(head);
  }
  Result result{extensions_.extensionFor(mime), "", true};
  if (result.extension.empty()) {
    // Without an extension the description is what a caller shows.
    result.description = describeHead(head);
    result.describe_later = false;
  }
  return result;
}

std::string Engine::describeHead(std::string_view head) {
  std::string description = splitMatches(magic_.describe(head, kBaseFlags).value_or("")).front();
  return isNonAnswer(description) ? "" : description;
}

Result Engine::resultFor(const Match& match, std::string_view head) {
  if (isGenericText(match.description)) {
    return identifyText(head);
  }
  Result result{extensions_.extensionFor(match.mime), match.description};
  if (result.extension.empty() && looksLikeText(head)) {
    // A text match that names no extension (a PEM block, font metrics, or a
    // weak guess at some old format from a few leading characters): the
    // classifier reads the text itself, and plain text is still text.
    Result text = identifyText(head);
    result.extension = std::move(text.extension);
    if (result.extension != "txt") {
      result.description = std::move(text.description);
    }
  }
  return result;
}

Analysis Engine::analyze(const ByteSource& source) {
  Analysis analysis;
  std::string head;
  if (!loaded() || !source.readAt(0, kHeadBytes, &head) || head.empty()) {
    return analysis;
  }
  // The binary tests are cheap and libmagic's strongest evidence, for text
  // too (PostScript, PEM, JSON and CSV are found there).
  for (const Match& match : matchBinary(head)) {
    if (analysis.results.size() == kMaxResults) {
      break;
    }
    analysis.results.push_back(resultFor(match, head));
  }
  if (analysis.results.empty()) {
    if (looksLikeText(head)) {
      analysis.results.push_back(identifyText(head));
    } else if (std::optional<Result> result = identifyWithAllTests(head)) {
      // Binary to our eyes, yet no binary test knew it: UTF-16 text, say.
      analysis.results.push_back(std::move(*result));
    }
  }
  const bool generic_zip = analysis.results.empty() || analysis.results.front().extension == "zip" ||
                           analysis.results.front().extension.empty();
  if (generic_zip && startsWith(head, "PK\x03\x04"sv)) {
    if (std::optional<Result> container = identifyZipContainer(source)) {
      analysis.results.insert(analysis.results.begin(), std::move(*container));
      if (analysis.results.size() > kMaxResults) {
        analysis.results.pop_back();
      }
    }
  }
  return analysis;
}

std::string Engine::describe(const ByteSource& source) {
  std::string head;
  if (!loaded() || !source.readAt(0, kHeadBytes, &head) || head.empty()) {
    return "";
  }
  return describeHead(head);
}

}  // namespace ident
