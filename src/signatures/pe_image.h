#pragma once

#include <string_view>

#include "signatures/byte_source.h"

namespace signatures {

// Names an "MZ" file from its own PE header: "dll" when the COFF
// Characteristics has the DLL bit (0x2000), else "sys" for the system bit
// (0x1000), else "exe". A file that is not a PE image (too short, offset
// out of range, no "PE\0\0" signature, a short read) is named "exe" too.
std::string_view refinePeExtension(ByteSource& file);

}  // namespace signatures
