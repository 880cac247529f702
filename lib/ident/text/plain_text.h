// Whether a file's first bytes are text at all, before any text kind is
// looked for.
#pragma once

#include <string_view>

namespace ident {

// True when |head| holds no byte that text never holds: no NUL, and other
// control bytes only as a few strays in text that is otherwise clean UTF-8
// or 8-bit text. UTF-8 and 8-bit text pass.
bool looksLikeText(std::string_view head);

}  // namespace ident
