#pragma once

#include <optional>

#include "analysis.h"
#include "io/byte_source.h"

namespace ident {

// Recognises a binary STL model, which has no signature: an 80-byte header
// of any content, a 32-bit little-endian triangle count, then 50 bytes per
// triangle and nothing else. Only a file whose size is exactly what its
// count says, with one triangle or more, is taken. std::nullopt otherwise.
std::optional<Result> identifyBinaryStl(const ByteSource& source);

}  // namespace ident
