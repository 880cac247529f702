#include "libmagic.h"

#include <dlfcn.h>

#include <mutex>

namespace ident {

namespace {

// The soname of Debian's libmagic1.
constexpr char kLibraryName[] = "libmagic.so.1";

// The entry point |name|: one that the process's global scope offers
// first, else the loaded library's own. Each is looked up by itself, as the
// loader does for a library that links libmagic: a preloaded library may
// stand in for some of them (the tests' hostile libmagic does), and a
// process that holds libmagic globally already offers all of them.
template <typename Fn>
bool bind(void* library, const char* name, Fn* fn) {
  void* address = ::dlsym(RTLD_DEFAULT, name);
  if (address == nullptr) {
    address = ::dlsym(library, name);
  }
  *fn = reinterpret_cast<Fn>(address);
  return *fn != nullptr;
}

}  // namespace

std::shared_ptr<const LibMagic> libMagic(std::string* err) {
  static std::mutex mutex;
  static std::weak_ptr<const LibMagic> loaded;
  const std::lock_guard lock(mutex);
  if (std::shared_ptr<const LibMagic> api = loaded.lock()) {
    return api;
  }
  void* library = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = ::dlerror();
    *err = std::string("cannot load ") + kLibraryName + ": " + (reason != nullptr ? reason : "");
    return nullptr;
  }
  auto api = std::make_unique<LibMagic>();
  if (!bind(library, "magic_open", &api->open) || !bind(library, "magic_close", &api->close) ||
      !bind(library, "magic_load", &api->load) || !bind(library, "magic_buffer", &api->buffer) ||
      !bind(library, "magic_setflags", &api->setflags) ||
      !bind(library, "magic_error", &api->error) || !bind(library, "magic_getpath", &api->getpath)) {
    *err = std::string(kLibraryName) + " lacks an entry point libmagic has";
    ::dlclose(library);
    return nullptr;
  }
  std::shared_ptr<const LibMagic> shared(api.release(), [library](const LibMagic* done) {
    delete done;
    ::dlclose(library);
  });
  loaded = shared;
  return shared;
}

}  // namespace ident
