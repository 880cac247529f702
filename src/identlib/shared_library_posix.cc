#include "identlib/shared_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace identlib {

// The program carries RUNPATH $ORIGIN, so the copy beside it is found.
const char* const kDefaultLibraryName = "libtrueext-ident.so";

namespace {

std::string lastDlError() {
  const char* text = ::dlerror();
  return text != nullptr ? text : "unknown error";
}

}  // namespace

LibraryHandle loadLibrary(const char* name, std::string* err) {
  ::dlerror();
  void* handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (handle != nullptr) {
    return handle;
  }
  *err = lastDlError();
  // The loader searches the RUNPATH of the object that calls dlopen. Where
  // a runtime intercepts dlopen (the sanitizers do) or a packager stripped
  // the RUNPATH, $ORIGIN is not searched: look beside the program by hand.
  const std::string directory = programDirectory();
  if (std::strchr(name, '/') == nullptr && !directory.empty()) {
    handle = ::dlopen((directory + name).c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  return handle;
}

SymbolAddress findSymbol(LibraryHandle library, const char* name, std::string* err) {
  ::dlerror();
  void* address = ::dlsym(library, name);
  if (address == nullptr) {
    *err = lastDlError();
    return nullptr;
  }
  return reinterpret_cast<SymbolAddress>(address);
}

void freeLibrary(LibraryHandle library) {
  if (library != nullptr) {
    ::dlclose(library);
  }
}

std::string programDirectory() {
  // /proc/self/exe names the program with every link resolved.
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      return {};
    }
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(n));
      const std::size_t slash = path.rfind('/');
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace identlib
