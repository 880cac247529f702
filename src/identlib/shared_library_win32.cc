#include "identlib/shared_library.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

#include "driver/system_error_win32.h"

namespace identlib {

// The vendor's library. The search looks in the program's own folder first,
// so a copy beside trueext.exe is the one loaded.
const char* const kDefaultLibraryName = "TrIDLib.dll";

namespace {

// The system's text for the last error.
std::string lastErrorMessage() { return driver::systemMessage(::GetLastError()); }

}  // namespace

LibraryHandle loadLibrary(const char* name, std::string* err) {
  // The ordinary search, less the current folder: that may be any folder,
  // even one of the files being renamed, and a DLL found there would run
  // inside the tool.
  ::SetDllDirectoryA("");
  HMODULE module = ::LoadLibraryA(name);
  if (module == nullptr) {
    *err = lastErrorMessage();
  }
  return module;
}

SymbolAddress findSymbol(LibraryHandle library, const char* name, std::string* err) {
  FARPROC address = ::GetProcAddress(static_cast<HMODULE>(library), name);
  if (address == nullptr) {
    *err = std::string(name) + ": " + lastErrorMessage();
    return nullptr;
  }
  // The caller casts back to the entry point's own type, which carries the
  // calling convention.
  return reinterpret_cast<SymbolAddress>(address);
}

void freeLibrary(LibraryHandle library) {
  if (library != nullptr) {
    ::FreeLibrary(static_cast<HMODULE>(library));
  }
}

std::string programDirectory() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      return {};
    }
    // A path that filled the buffer may have been cut: try a larger one.
    if (n < buffer.size()) {
      const std::string path(buffer.data(), n);
      const std::size_t backslash = path.rfind('\\');
      return backslash == std::string::npos ? std::string() : path.substr(0, backslash + 1);
    }
    if (buffer.size() >= 32768) {
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace identlib
