#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace signatures {

inline constexpr std::size_t kHeaderSize = 15;
inline constexpr std::size_t kSignatureCount = 19;

// One row of the built-in table: the file's first |magic.size()| bytes
// (1 to 15) must equal |magic| for the row to match.
struct HeaderSignature {
  std::string_view extension;  // up to 4 characters
  std::string_view magic;      // may hold zero bytes
};

using BuiltinSignatureTable = std::array<HeaderSignature, kSignatureCount>;

// The built-in rows, in match priority order. Constant: an "MZ" file's
// exe/sys/dll name comes from its own PE header, never from an earlier file.
const BuiltinSignatureTable& builtinSignatureTable();

}  // namespace signatures
