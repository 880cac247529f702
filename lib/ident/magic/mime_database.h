#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ident {

// The parts of the freedesktop.org shared MIME database (Debian's
// shared-mime-info, /usr/share/mime) that name extensions: globs2 for the
// "*.ext" patterns of each type, aliases and subclasses to reach a type
// that has patterns.
class MimeDatabase {
 public:
  struct Glob {
    int weight;
    std::string extension;  // as written in the pattern, without "*."
  };

  // Reads globs2, aliases and subclasses from |directory|. A missing or
  // unreadable globs2 is an error; the other two are optional. Lines that do
  // not parse are skipped.
  bool load(const std::string& directory, std::string* err);

  // Simple "*.ext" patterns of |mime| (not resolved through aliases).
  const std::vector<Glob>& globsFor(std::string_view mime) const;

  // The types with a "*.ext" pattern that |extension| matches (see
  // matchesPattern), in no particular order.
  std::vector<std::string> typesListing(std::string_view extension) const;

  // The canonical name of |mime| when it is an alias, else |mime|.
  std::string canonical(std::string_view mime) const;

  // The direct parent types of |mime|.
  const std::vector<std::string>& parentsOf(std::string_view mime) const;

  // Parses the text of the three files; used by load() and by tests.
  void parseGlobs2(std::string_view text);
  void parseAliases(std::string_view text);
  void parseSubclasses(std::string_view text);

 private:
  std::unordered_map<std::string, std::vector<Glob>> globs_;
  std::unordered_map<std::string, std::string> aliases_;
  std::unordered_map<std::string, std::vector<std::string>> parents_;
};

// True when |extension| matches the pattern extension |pattern|. The
// database writes its case-sensitive patterns in their own case ("*.C" is
// C++, where "*.c" is C), so a pattern with a capital letter matches only
// exactly; the others match in any letter case, as patterns do by default.
bool matchesPattern(std::string_view extension, std::string_view pattern);

// Reads a whole small file (16 MiB at most), through a symbolic link too,
// into |*out|; false with |err| filled when it cannot be opened or read, is
// no regular file or is larger.
bool readTextFile(const std::string& path, std::string* out, std::string* err);

}  // namespace ident
