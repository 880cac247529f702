#pragma once

#include <span>
#include <string>
#include <string_view>

#include "signatures/signature_table.h"

namespace signatures {

// True when |header| (the file's first bytes, zero-padded to kHeaderSize)
// begins with the row's magic. Bytes past the end of a short file are the
// zero padding, so a magic whose tail is zero bytes still matches.
bool matchSignature(std::span<const unsigned char> header, const HeaderSignature& row);

// True for the row whose extension is decided by the PE header ("MZ").
bool needsPeRefinement(std::string_view extension);

// The new name for |name| given a row's extension: ELF files get
// ".Linux_ELF", disk images ".mac.dmg", everything else "." + extension.
std::string composeNewName(std::string_view name, std::string_view extension);

}  // namespace signatures
