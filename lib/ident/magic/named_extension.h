#pragma once

#include <string>
#include <string_view>

#include "mime_database.h"

namespace ident {

// The extension to report for a file at |path| identified as |extension|:
// the extension its name already ends in, spelled as there, when the shared
// MIME database lists that one for the identified type; otherwise
// |extension|. The identified type is any type that lists |extension|
// itself. A caller that appends the reported extension only when the name
// lacks it thus leaves a name such as "photo.JFIF" or "module.pyx" as is.
// True when the file name at the end of |path| has a "." in it.
bool hasExtension(std::string_view path);

std::string extensionAsNamed(const MimeDatabase& database, std::string_view path,
                             std::string_view extension);

}  // namespace ident
