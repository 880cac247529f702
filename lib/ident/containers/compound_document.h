#pragma once

#include <optional>

#include "analysis.h"
#include "io/byte_source.h"

namespace ident {

// Tells apart the formats built on a Compound File Binary (OLE2) container:
// first by the root entry's class ID, which names the writing application
// (Word, Excel, PowerPoint, Visio, Publisher, Project, Outlook messages and
// item templates, Works, WordPerfect, StarOffice's applications, Windows
// Installer packages, patches and transforms, Quattro Pro notebooks), then by the streams directly
// below the root ("WordDocument", "Workbook" or "Book", "PowerPoint
// Document", "VisioDocument", Outlook's "__substg1.0_" properties,
// Publisher's "Quill", Works' "MatOST", "StarWriterDocument" and its
// siblings, MicroStation's "Dgn~" streams, Quattro Pro's
// "NativeContent_MAIN"). A Word file is a template (dot)
// when its file information block says so, an Excel one (xlt) when its
// workbook stream holds a TEMPLATE record. Follows the directory's sector
// chain through the allocation table wherever it lies in the file, where
// libmagic sees only the head; every sector number is checked against the
// size, and chains that loop or run long end the walk. std::nullopt for
// anything else: what libmagic says then stands.
std::optional<Result> identifyCompoundDocument(const ByteSource& source);

}  // namespace ident
