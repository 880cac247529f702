#pragma once

#include <string>

namespace ident {

// What the text classifier concluded about one text file.
struct TextVerdict {
  std::string extension;    // lower case, without the dot; "txt" when unsure
  std::string description;  // a person's name for the kind, e.g. "Python script"
  std::string evidence;     // the rule that decided, e.g. "shebang python3"
};

}  // namespace ident
