#include "signatures/matcher.h"

namespace signatures {

bool matchSignature(std::span<const unsigned char> header, const HeaderSignature& row) {
  if (row.magic.size() > header.size()) {
    return false;
  }
  for (std::size_t i = 0; i < row.magic.size(); ++i) {
    if (header[i] != static_cast<unsigned char>(row.magic[i])) {
      return false;
    }
  }
  return true;
}

bool needsPeRefinement(std::string_view extension) {
  // Any of "exe", "sys", "dll": the texts the PE check can give.
  return (extension.size() > 0 && extension[0] == 'e') ||
         (extension.size() > 1 && extension[1] == 'y') ||
         (extension.size() > 2 && extension[2] == 'l');
}

std::string composeNewName(std::string_view name, std::string_view extension) {
  std::string new_name(name);
  if (extension.starts_with("ELF")) {
    new_name += ".Linux_ELF";
  } else if (extension.starts_with("dmg")) {
    new_name += ".mac.";
    new_name += extension;
  } else {
    new_name += '.';
    new_name += extension;
  }
  return new_name;
}

}  // namespace signatures
