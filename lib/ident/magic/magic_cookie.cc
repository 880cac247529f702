#include "magic_cookie.h"

#include <magic.h>

#include <sys/stat.h>
#include <utility>

namespace ident {

MagicCookie::MagicCookie(MagicCookie&& other) noexcept
    : magic_(std::exchange(other.magic_, nullptr)) {}

MagicCookie& MagicCookie::operator=(MagicCookie&& other) noexcept {
  if (this != &other) {
    if (magic_ != nullptr) {
      magic_close(magic_);
    }
    magic_ = std::exchange(other.magic_, nullptr);
  }
  return *this;
}

MagicCookie::~MagicCookie() {
  if (magic_ != nullptr) {
    magic_close(magic_);
  }
}

bool MagicCookie::open(const std::string& paths, std::string* err) {
  magic_t cookie = magic_open(MAGIC_NONE);
  if (cookie == nullptr) {
    *err = "magic_open: out of memory";
    return false;
  }
  if (magic_load(cookie, paths.c_str()) != 0) {
    const char* reason = magic_error(cookie);
    *err = "magic_load(" + paths + "): " + (reason != nullptr ? reason : "failed");
    magic_close(cookie);
    return false;
  }
  if (magic_ != nullptr) {
    magic_close(magic_);
  }
  magic_ = cookie;
  return true;
}

std::optional<std::string> MagicCookie::describe(std::string_view bytes, int flags) {
  if (magic_ == nullptr || magic_setflags(magic_, flags) != 0) {
    return std::nullopt;
  }
  const char* text = magic_buffer(magic_, bytes.data(), bytes.size());
  if (text == nullptr) {
    return std::nullopt;
  }
  return std::string(text);
}

std::string systemMagicPath() {
  // libmagic's default list also names text files of local additions
  // (/etc/magic, comments only on Debian); loading one of those before our
  // pack makes libmagic warn on standard error, so only the compiled
  // databases of the list are kept.
  const char* list = magic_getpath(nullptr, 0);
  std::string_view rest = list != nullptr ? list : "";
  std::string compiled;
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    std::string path(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (!path.ends_with(".mgc")) {
      path += ".mgc";
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      compiled += compiled.empty() ? path : ":" + path;
    }
  }
  return compiled;
}

}  // namespace ident
