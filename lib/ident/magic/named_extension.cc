#include "named_extension.h"

#include <vector>

namespace ident {

namespace {

// True when |name| ends in "." and an extension that matches |pattern|.
bool endsWithPattern(std::string_view name, std::string_view pattern) {
  return !pattern.empty() && name.size() > pattern.size() &&
         name[name.size() - pattern.size() - 1] == '.' &&
         matchesPattern(name.substr(name.size() - pattern.size()), pattern);
}

std::string_view fileName(std::string_view path) {
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

bool hasExtension(std::string_view path) {
  return fileName(path).find('.') != std::string_view::npos;
}

std::string extensionAsNamed(const MimeDatabase& database, std::string_view path,
                             std::string_view extension) {
  const std::string_view name = fileName(path);
  if (extension.empty() || !hasExtension(name)) {
    return std::string(extension);
  }
  // The engine's extension does not say which of the types that share it
  // was meant; they are mostly near kin (html: HTML and XHTML; ogg: the Ogg
  // audio and video types), so any of them stands for the type.
  const std::vector<std::string> types = database.typesListing(extension);
  std::string_view found;
  for (const std::string& type : types) {
    for (const MimeDatabase::Glob& glob : database.globsFor(type)) {
      if (glob.extension.size() > found.size() && endsWithPattern(name, glob.extension)) {
        found = name.substr(name.size() - glob.extension.size());
      }
    }
  }
  return found.empty() ? std::string(extension) : std::string(found);
}

}  // namespace ident
