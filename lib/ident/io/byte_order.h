#pragma once

// Unsigned numbers as formats store them, read from |bytes| at |at|. The
// caller has checked that the number lies within |bytes|.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ident {

// The |size|-byte number at |at|, least significant byte first or last.
inline std::uint64_t decodeNumber(std::string_view bytes, std::size_t at, std::size_t size,
                                  bool big_endian) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[at + (big_endian ? i : size - 1 - i)]);
    value = (value << 8) | byte;
  }
  return value;
}

inline std::uint32_t little16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(decodeNumber(bytes, at, 2, false));
}
inline std::uint32_t little32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(decodeNumber(bytes, at, 4, false));
}
inline std::uint64_t little64(std::string_view bytes, std::size_t at) {
  return decodeNumber(bytes, at, 8, false);
}

}  // namespace ident
