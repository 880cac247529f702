#pragma once

#include <optional>

#include "analysis.h"
#include "io/byte_source.h"

namespace ident {

// Tells apart the formats built on a zip archive by what the archive holds:
// a "mimetype" first entry (OpenDocument and its StarOffice forerunner,
// EPUB, signature containers, ...); the main part's content type in
// [Content_Types].xml (Office Open XML with its templates, macro-enabled
// and binary forms, Visio, themes, XPS and OpenXPS, 3-D Manufacturing
// Format), or the part folders where that cannot be read; iWork's index
// entries (Pages, Keynote, Numbers); EPUB's META-INF/container.xml and the
// signature containers' META-INF markers; Android bundles and packages;
// Python wheels and eggs; NumPy array archives; Java web and plain
// archives. Reads the central directory, or the local headers when the
// directory is missing, and the start of the few entries whose text tells
// (inflated with zlib); every offset is checked against the size and every
// read is bounded. std::nullopt for a plain zip or anything that is not a
// zip archive. |plain|, when given, is set to whether the archive is a
// plain zip to libmagic too: none of the kinds above, and nothing that
// libmagic's own zip tests name more closely.
std::optional<Result> identifyZipContainer(const ByteSource& source, bool* plain = nullptr);

}  // namespace ident
