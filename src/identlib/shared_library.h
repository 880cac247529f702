#pragma once

// Loading a shared library at run time, in neutral words; the platform's
// loader is called from shared_library_<platform>.cc only.

#include <string>

namespace identlib {

// The file name of the identification library on this platform, found by
// the ordinary library search.
extern const char* const kDefaultLibraryName;

using LibraryHandle = void*;
using SymbolAddress = void (*)();

// Loads the library |name|: a bare name from the program's own directory
// first (the platform's loaders do that for a program's libraries, and so
// must a binding that loads one by name), otherwise through the platform's
// ordinary search. nullptr with |err| holding the loader's reason on failure.
LibraryHandle loadLibrary(const char* name, std::string* err);

// The address of the exported function |name|, or nullptr with |err| filled.
SymbolAddress findSymbol(LibraryHandle library, const char* name, std::string* err);

void freeLibrary(LibraryHandle library);

// The directory of the running program, ending with the platform's separator,
// or an empty text when it cannot be told.
std::string programDirectory();

}  // namespace identlib
