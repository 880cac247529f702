#pragma once

#include <string_view>

namespace signatures {

// True when |name| already ends in a "." and |extension|, or one of the
// usual other spellings of the same type (jpeg for jpg, htm for html, tgz
// for gz, ...), compared without regard to letter case: "photo.JPEG"
// carries jpg, "index.htm" carries html. A dotted |extension| ("tar.gz") is
// compared as a whole. Such a file needs no extension appended.
bool carriesExtension(std::string_view name, std::string_view extension);

}  // namespace signatures
