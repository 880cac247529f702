// The third step of the text classifier: a score per programming or
// markup language from the grammar its lines show.
#pragma once

#include <optional>
#include <vector>

#include "text/text_verdict.h"
#include "text/text_lines.h"

namespace ident::text {

// The language whose rules score highest over |lines|, at least a minimum
// score; ties go to the more specific kind (C++ over C). std::nullopt when
// no language has enough evidence.
std::optional<TextVerdict> scoreLanguages(const std::vector<Line>& lines);

// True when nearly every line has Fortran's fixed form: a comment letter in
// column 1 or a statement from column 7.
bool looksFixedFormFortran(const std::vector<Line>& lines);

}  // namespace ident::text
