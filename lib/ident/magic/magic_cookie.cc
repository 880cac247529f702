#include "magic_cookie.h"

#include <magic.h>
#include <sys/stat.h>

#include <cstdlib>
#include <utility>

namespace ident {

MagicCookie::MagicCookie(MagicCookie&& other) noexcept
    : api_(std::move(other.api_)), magic_(std::exchange(other.magic_, nullptr)) {}

MagicCookie& MagicCookie::operator=(MagicCookie&& other) noexcept {
  if (this != &other) {
    if (magic_ != nullptr) {
      api_->close(magic_);
    }
    magic_ = std::exchange(other.magic_, nullptr);
    api_ = std::move(other.api_);
  }
  return *this;
}

MagicCookie::~MagicCookie() {
  if (magic_ != nullptr) {
    api_->close(magic_);
  }
}

bool MagicCookie::open(const std::string& paths, std::string* err) {
  std::shared_ptr<const LibMagic> api = libMagic(err);
  if (api == nullptr) {
    return false;
  }
  magic_t cookie = api->open(MAGIC_NONE);
  if (cookie == nullptr) {
    *err = "magic_open: out of memory";
    return false;
  }
  if (api->load(cookie, paths.c_str()) != 0) {
    const char* reason = api->error(cookie);
    *err = "magic_load(" + paths + "): " + (reason != nullptr ? reason : "failed");
    api->close(cookie);
    return false;
  }
  if (magic_ != nullptr) {
    api_->close(magic_);
  }
  magic_ = cookie;
  api_ = std::move(api);
  return true;
}

std::optional<std::string> MagicCookie::describe(std::string_view bytes, int flags) {
  if (magic_ == nullptr || api_->setflags(magic_, flags) != 0) {
    return std::nullopt;
  }
  const char* text = api_->buffer(magic_, bytes.data(), bytes.size());
  if (text == nullptr) {
    return std::nullopt;
  }
  return std::string(text);
}

namespace {

// libmagic's default list for this process: MAGIC from the environment
// when set; else the list recorded at build time, unless the home folder
// holds a database of its own, which libmagic puts first (asked of
// libmagic itself, then).
std::string defaultMagicList() {
  if (const char* list = std::getenv("MAGIC"); list != nullptr) {
    return list;
  }
  if (const char* home = std::getenv("HOME"); home != nullptr) {
    struct stat status {};
    const std::string base = std::string(home) + "/.magic";
    if (::stat((base + ".mgc").c_str(), &status) == 0 || ::stat(base.c_str(), &status) == 0) {
      std::string ignored;
      if (const std::shared_ptr<const LibMagic> api = libMagic(&ignored)) {
        const char* list = api->getpath(nullptr, 0);
        return list != nullptr ? list : "";
      }
    }
  }
  return kBuiltMagicPath;
}

}  // namespace

std::string systemMagicPath() { return compiledDatabases(defaultMagicList()); }

std::string compiledDatabases(std::string_view list) {
  // libmagic's default list also names text files of local additions
  // (/etc/magic, comments only on Debian); loading one of those before our
  // pack makes libmagic warn on standard error, so only the compiled
  // databases of the list are kept.
  std::string_view rest = list;
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
