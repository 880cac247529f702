#include "identlib/shared_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace identlib {

// Looked for beside the program first (see loadLibrary).
const char* const kDefaultLibraryName = "libtrueext-ident.so";

namespace {

std::string lastDlError() {
  const char* text = ::dlerror();
  return text != nullptr ? text : "unknown error";
}

}  // namespace

LibraryHandle loadLibrary(const char* name, std::string* err) {
  // A bare name means the copy beside the program when there is one, opened
  // by its full path: the loader's own search tries LD_LIBRARY_PATH before
  // RUNPATH, and an empty entry there (as "$LD_LIBRARY_PATH:/opt" gives when
  // the variable was unset) stands for the current directory, where anyone
  // may have left a library of that name. Only when the program's folder
  // holds none is the ordinary search used; it also covers a runtime that
  // intercepts dlopen and skips $ORIGIN (the sanitizers do).
  const std::string directory = programDirectory();
  if (std::strchr(name, '/') == nullptr && !directory.empty()) {
    const std::string beside = directory + name;
    if (::access(beside.c_str(), F_OK) == 0) {
      ::dlerror();
      void* handle = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle == nullptr) {
        *err = lastDlError();
      }
      return handle;
    }
  }
  ::dlerror();
  void* handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *err = lastDlError();
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
