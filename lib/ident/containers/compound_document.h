#pragma once

#include <optional>

#include "analysis.h"
#include "byte_source.h"

namespace ident {

// Tells apart the formats built on a Compound File Binary (OLE2) container
// by the streams its directory lists: "WordDocument" (Word 97-2003),
// "Workbook" or "Book" (Excel), "PowerPoint Document", "VisioDocument",
// Outlook's "__substg1.0_" properties (a saved message), and the root's class
// ID of a Windows Installer database. Follows the directory's sector chain
// through the allocation table wherever it lies in the file, where libmagic
// sees only the head; every sector number is checked against the size and
// the walk is bounded. std::nullopt for anything else.
std::optional<Result> identifyCompoundDocument(const ByteSource& source);

}  // namespace ident
