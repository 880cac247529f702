#pragma once

#include <optional>

#include "analysis.h"
#include "io/byte_source.h"

namespace ident {

// Tells Windows Media files apart by the streams that the stream properties
// objects of their ASF header list, in the header itself or in its header
// extension: video (wmv) when any stream is video, else audio (wma) when any
// is audio. Walks the header's objects one by
// one wherever they lie in the file (a large picture in the metadata may
// come first), every size checked against the header's and the walk
// bounded. std::nullopt for anything else, and for a header that lists
// neither.
std::optional<Result> identifyAsfMedia(const ByteSource& source);

}  // namespace ident
