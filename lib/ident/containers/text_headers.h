#pragma once

#include <optional>
#include <string_view>

#include "analysis.h"

namespace ident {

// Formats that open with a text header which the text classifier, reading
// text, cannot tell: a Radiance HDR picture ("#?RADIANCE" or "#?RGBE", then
// run-length coded pixels) and a vCalendar 1.0 file, whose VERSION is 1.0
// where an iCalendar's is 2.0; a PDF whose header follows other bytes, which
// libmagic names only with the text tests the library leaves out. Reads
// |head|, the file's first bytes.
// std::nullopt for anything else.
std::optional<Result> identifyTextHeader(std::string_view head);

}  // namespace ident
