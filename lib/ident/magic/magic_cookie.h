#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "libmagic.h"

namespace ident {

// Owns one libmagic handle, and a hold on libmagic itself, loaded with the
// first handle. A handle is used by one thread at a time. Move-only.
class MagicCookie {
 public:
  MagicCookie() = default;
  MagicCookie(MagicCookie&& other) noexcept;
  MagicCookie& operator=(MagicCookie&& other) noexcept;
  MagicCookie(const MagicCookie&) = delete;
  MagicCookie& operator=(const MagicCookie&) = delete;
  ~MagicCookie();

  // Opens a handle and loads the databases named by |paths| (libmagic's
  // colon-separated list). False with |err| filled when either step fails.
  bool open(const std::string& paths, std::string* err);

  // Runs one libmagic pass over |bytes| with |flags| (MAGIC_* values).
  // Returns libmagic's text, or std::nullopt when it reports an error.
  std::optional<std::string> describe(std::string_view bytes, int flags);

  bool loaded() const { return magic_ != nullptr; }

 private:
  std::shared_ptr<const LibMagic> api_;  // kept loaded while the handle lives
  magic_set* magic_ = nullptr;
};

// The path list of the system's compiled databases, as libmagic resolves it
// by default (the MAGIC environment variable, else the built-in location),
// without the text files of the list. Empty when none exists.
std::string systemMagicPath();

// The compiled databases of libmagic's path list |list| (X.mgc for each X
// named without it) that exist as regular files, in its order, joined with
// colons.
std::string compiledDatabases(std::string_view list);

}  // namespace ident
