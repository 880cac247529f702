#pragma once

#include <string_view>

#include "text_verdict.h"

namespace ident {

namespace text {
class TextModel;
}

// Classifies a text file from its first bytes (|head|, at most a few KiB)
// when libmagic named it only generically. |magic_description| is libmagic's
// own description, which may carry a hint ("ASCII text", "Unicode text").
// With too little evidence for its rules the answer is |model|'s, where one
// is given and its kind both takes the file and leads plain text clearly,
// and plain text, extension "txt", otherwise.
TextVerdict classifyText(std::string_view head, std::string_view magic_description,
                         const text::TextModel* model = nullptr);

}  // namespace ident
