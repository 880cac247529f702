#pragma once

#include <optional>

#include "analysis.h"
#include "byte_source.h"

namespace ident {

// Tells apart the formats built on a zip archive by what the archive holds:
// a "mimetype" first entry (OpenDocument, EPUB), [Content_Types].xml with
// word/, xl/ or ppt/ (Office Open XML), AndroidManifest.xml with classes.dex
// (Android package), a *.dist-info/WHEEL (Python wheel), EGG-INFO/PKG-INFO
// (Python egg), 3D/3dmodel.model beside [Content_Types].xml (3-D
// Manufacturing Format), only *.npy entries (NumPy array archive),
// WEB-INF/web.xml (web application archive), META-INF/MANIFEST.MF (Java
// archive). Reads the
// central directory, or the local headers when the directory is missing;
// every offset is checked against the size. std::nullopt for a plain zip or
// anything that is not a zip archive. |plain|, when given, is set to whether
// the archive is a plain zip to libmagic too: none of the kinds above, and
// nothing that libmagic's own zip tests name more closely.
std::optional<Result> identifyZipContainer(const ByteSource& source, bool* plain = nullptr);

}  // namespace ident
