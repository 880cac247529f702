#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace signatures {

// Random read access to the bytes of one open file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Size of the file in bytes, as it was when the file was opened.
  virtual std::uint64_t size() const = 0;

  // Reads up to |out.size()| bytes at |offset| and returns how many were
  // read; fewer at the end of the file or on a read error.
  virtual std::size_t readAt(std::uint64_t offset, std::span<unsigned char> out) = 0;
};

}  // namespace signatures
