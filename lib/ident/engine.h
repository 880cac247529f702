#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis.h"
#include "io/byte_source.h"
#include "magic/extension_map.h"
#include "magic/magic_cookie.h"
#include "text/text_model.h"

namespace ident {

// Identifies files with libmagic: the system's compiled database together
// with our definitions pack, zip containers told apart by their entries, and
// text, which libmagic names only by its character set, handed to the text
// classifier. The analysis runs in-process; the library runs it inside its
// worker. Not thread-safe: one analysis at a time.
class Engine {
 public:
  // File name of the definitions pack inside the definitions directory.
  static constexpr std::string_view kPackName = "trueext.magic";

  // File name of the definitions of the commonest formats, tried before the
  // full database; optional.
  static constexpr std::string_view kCommonName = "trueext-common.magic";
  // The text model, beside them (see text/text_model.h).
  static constexpr std::string_view kTextModelName = "trueext-text.model";

  // The build's compiled forms of the two, which libmagic maps instead of
  // parsing the text; used where they can stand in for the text (see
  // load()).
  static constexpr std::string_view kPackCompiledName = "trueext.mgc";
  static constexpr std::string_view kCommonCompiledName = "trueext-common.mgc";

  // Bytes of a file that libmagic sees. Formats are told from their start;
  // a longer head only makes libmagic's text tests slower.
  static constexpr std::size_t kHeadBytes = 256 << 10;

  // Bytes of a text handed to the text classifier.
  static constexpr std::size_t kClassifierBytes = 8 << 10;

  // Loads the system database and |directory| + kPackName (|directory| ends
  // with '/'), and the shared MIME database from |mime_directory|. False with
  // |err| filled when the pack is missing or either database fails to load;
  // the engine is then unusable. |directory| + kCommonName is loaded when it
  // can be. Each definitions file is loaded from its compiled form when that
  // is at least as new as the text and of the system database's format
  // version, and from the text otherwise. A compiled database that passes
  // the checks libmagic makes of one is handed to libmagic only by
  // prepare(), and the MIME database's files are read then too; they are
  // parsed when a type first needs them, and a missing one only costs
  // extensions.
  bool load(const std::string& directory, std::string* err,
            const std::string& mime_directory = "/usr/share/mime");

  bool loaded() const { return magic_.loaded() || pack_waits_; }

  // Loads what load() left for later: the compiled databases, and the
  // shared MIME database's files. analyze() and describe() call it; a
  // process that is to analyse without opening files calls it first. False
  // with |err| filled when libmagic refuses the databases.
  bool prepare(std::string* err);

  // The shared MIME database, read and parsed on first use (its files read
  // by prepare() already, where it ran); empty when they could not be read.
  const MimeDatabase& mimeDatabase();

  // Identifies the bytes of |source|: one result for what libmagic's
  // strongest match or the text classifier says, preceded by the container
  // kind for a zip archive whose entries tell it. An empty or unreadable
  // source, or one that only gets generic answers ("data"), has no results.
  // A result with an extension may leave its description for describe().
  Analysis analyze(const ByteSource& source);

  // What analyze() gives a file of one of the commonest formats, told from
  // |head|, the file's first kFixedSignatureBytes bytes (or all of a shorter
  // file), by bytes at fixed offsets alone (see fixed_signatures.h); nothing
  // where that takes more, which is then analyze()'s to say. Reads nothing
  // but |head| and calls no libmagic, so the host may call it on a file it
  // has not handed to the worker.
  std::optional<Analysis> analyzeFixedSignature(std::string_view head);

  // libmagic's description of |source| (its strongest match), or "" when it
  // has none. Supplies the descriptions analyze() left for later.
  std::string describe(const ByteSource& source);

 private:
  // What identify() learnt of a zip archive's entries, when it read them.
  struct ZipLook {
    bool read = false;
    bool plain = false;  // a zip archive whose entries name no kind of their own
    std::optional<Result> result;
  };
  // The commonest formats' type when one of them matches, else the
  // strongest match of libmagic's binary tests, by its MIME type; the
  // deeper passes only where that answer is generic: text, or no answer.
  // Fills |zip_look| where the answer is a zip archive whose entries it read
  // (|source|); std::nullopt when they name its kind, which is then the
  // answer.
  std::optional<Result> identify(std::string_view head, const ByteSource& source,
                                 ZipLook* zip_look);
  // Text: the kind from the classifier.
  Result identifyText(std::string_view head);
  // A file no binary test knew: libmagic's type from every test.
  std::optional<Result> identifyWithAllTests(std::string_view head);
  // libmagic's strongest match for |head| with every test, or "".
  std::string describeHead(std::string_view head);
  // The first extension that libmagic's strongest binary match lists, or
  // "" when it lists none.
  std::string extensionOfMatch(std::string_view head);
  // The description of the strongest binary match, or "" when none.
  std::string describeFirstBinary(std::string_view head);

  // The extension for |mime|; reads the shared MIME database on the first
  // type that the pack and our table do not name.
  std::string extensionFor(std::string_view mime);

  // Reads the shared MIME database's files, once, when load() left them.
  void readMimeFiles();
  // Reads the text model beside the definitions, once, when load() left it.
  void readTextModel();

  MagicCookie magic_;
  MagicCookie common_;  // not loaded when the definitions are missing
  // The compiled pack, with the system's databases, and the compiled
  // commonest formats' definitions wait for prepare() to load them from the
  // definitions folder.
  bool pack_waits_ = false;
  bool common_waits_ = false;
  std::string directory_;
  std::string system_paths_;
  // Where the shared MIME database's files are, until they are read.
  std::string mime_directory_;
  ExtensionMap extensions_;
  // The shared MIME database's files once read, until a type first needs
  // them parsed; std::nullopt when they are not read yet, could not be read,
  // or are parsed.
  struct MimeFiles {
    std::string globs2;
    std::string aliases;
    std::string subclasses;
  };
  std::optional<MimeFiles> mime_files_;
  // The text model, read by prepare() from the definitions folder; empty
  // (the rules alone name texts) when it is missing or damaged.
  text::TextModel text_model_;
  bool text_model_waits_ = false;
};

// True for libmagic's answers that say nothing: "data", "empty",
// "very short file (no magic)".
bool isNonAnswer(std::string_view description);

}  // namespace ident
