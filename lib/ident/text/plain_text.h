// Whether a file's first bytes are text at all, before any text kind is
// looked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ident {

// True when |head| holds no byte that text never holds: no NUL, and other
// control bytes only as a few strays in text that is otherwise clean UTF-8
// or 8-bit text. UTF-8 and 8-bit text pass.
bool looksLikeText(std::string_view head);

// |head| as UTF-8 when it is UTF-16 text that a byte order mark opens, as
// Windows writes its "Unicode" text (Notepad, PowerShell's Out-File); else
// std::nullopt. The mark is left out, as is a character the end of |head|
// cuts; a surrogate without its pair becomes U+FFFD.
std::optional<std::string> utf16AsUtf8(std::string_view head);

}  // namespace ident
