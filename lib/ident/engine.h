#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis.h"
#include "byte_source.h"
#include "extension_map.h"
#include "magic_cookie.h"

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

  // Bytes of a file that libmagic sees. Formats are told from their start;
  // a longer head only makes libmagic's text tests slower.
  static constexpr std::size_t kHeadBytes = 256 << 10;

  // Bytes of a text handed to the text classifier.
  static constexpr std::size_t kClassifierBytes = 8 << 10;

  // Loads the system database and |directory| + kPackName (|directory| ends
  // with '/'), and the shared MIME database from |mime_directory|. False with
  // |err| filled when the pack is missing or either database fails to load;
  // the engine is then unusable. A missing MIME database only costs
  // extensions.
  bool load(const std::string& directory, std::string* err,
            const std::string& mime_directory = "/usr/share/mime");

  bool loaded() const { return magic_.loaded(); }

  // Identifies the bytes of |source|. An empty or unreadable source, or one
  // that only gets generic answers ("data"), has no results. A text's result
  // may leave its description for describe().
  Analysis analyze(const ByteSource& source);

  // libmagic's description of |source| (its strongest match), or "" when it
  // has none. Supplies the descriptions analyze() left for later.
  std::string describe(const ByteSource& source);

 private:
  struct Match {
    std::string description;
    std::string mime;
  };

  // Every match of libmagic's binary tests, the first with its MIME type.
  std::vector<Match> matchBinary(std::string_view head);
  // Text: the character set from libmagic, the kind from the classifier.
  Result identifyText(std::string_view head);
  // A file no binary test knew: libmagic's type from every test.
  std::optional<Result> identifyWithAllTests(std::string_view head);
  // libmagic's strongest match for |head| with every test, or "".
  std::string describeHead(std::string_view head);
  Result resultFor(const Match& match, std::string_view head);

  MagicCookie magic_;
  ExtensionMap extensions_;
};

// Splits libmagic's MAGIC_CONTINUE output into its matches. A piece that
// starts with a blank or a comma continues the match before it.
std::vector<std::string> splitMatches(std::string_view text);

// True for libmagic's answers that say nothing: "data", "empty",
// "very short file (no magic)".
bool isNonAnswer(std::string_view description);

// True when libmagic described a file only by its character set, as in
// "ASCII text" or "Unicode text, UTF-8 text, with very long lines (300)".
bool isGenericText(std::string_view description);

// True when |head| holds no byte that text never holds (NUL and most other
// control bytes). UTF-8 and 8-bit text pass.
bool looksLikeText(std::string_view head);



}  // namespace ident
