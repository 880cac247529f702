#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ident {

// Random read access to the bytes of one subject: a file the worker opened,
// or a buffer (the fuzz target, tests). The engine reads only through this.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Total size in bytes.
  virtual std::uint64_t size() const = 0;

  // Replaces |*out| with up to |length| bytes read at |offset|; fewer at the
  // end of the subject, none past it. False on a read error.
  virtual bool readAt(std::uint64_t offset, std::size_t length, std::string* out) const = 0;
};

// A ByteSource over bytes the caller keeps alive.
class BufferSource final : public ByteSource {
 public:
  explicit BufferSource(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t size() const override { return bytes_.size(); }
  bool readAt(std::uint64_t offset, std::size_t length, std::string* out) const override {
    out->clear();
    if (offset < bytes_.size()) {
      out->assign(bytes_.substr(static_cast<std::size_t>(offset), length));
    }
    return true;
  }

 private:
  std::string_view bytes_;
};

}  // namespace ident
