#pragma once

#include <string>
#include <string_view>

namespace ident {

namespace text {
class TextModel;
}

// What the text classifier concluded about one text file.
struct TextVerdict {
  std::string extension;    // lower case, without the dot; "txt" when unsure
  std::string description;  // a person's name for the kind, e.g. "Python script"
  std::string evidence;     // the rule that decided, e.g. "shebang python3"
};

// Classifies a text file from its first bytes (|head|, at most a few KiB)
// when libmagic named it only generically. |magic_description| is libmagic's
// own description, which may carry a hint ("ASCII text", "Unicode text").
// With too little evidence for its rules the answer is |model|'s, where one
// is given and it names a kind by a clear lead, and plain text, extension
// "txt", otherwise.
TextVerdict classifyText(std::string_view head, std::string_view magic_description,
                         const text::TextModel* model = nullptr);

}  // namespace ident
