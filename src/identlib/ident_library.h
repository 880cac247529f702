#pragma once

#include <string>

#include "ident_api.h"
#include "identlib/shared_library.h"

namespace identlib {

// Thrown, as a plain int, when the identification library or one of its
// entry points cannot be had.
inline constexpr int kLibraryUnavailable = 12321;

// The identification library, bound for the life of the object.
class IdentLibrary {
 public:
  using AnalyzeFn = decltype(&TrID_Analyze);
  using GetInfoFn = decltype(&TrID_GetInfo);
  using LoadDefsPackFn = decltype(&TrID_LoadDefsPack);
  using SubmitFileFn = decltype(&TrID_SubmitFileA);

  // Loads |library_name| (kDefaultLibraryName when null) and binds its four
  // entry points; when |definitions_dir| is given, loads the definitions
  // from it. Throws kLibraryUnavailable when the library or an entry point
  // is missing; lastLoadError() then tells why.
  explicit IdentLibrary(const char* definitions_dir = nullptr,
                        const char* library_name = nullptr);
  ~IdentLibrary();
  IdentLibrary(const IdentLibrary&) = delete;
  IdentLibrary& operator=(const IdentLibrary&) = delete;

  int analyze() { return analyze_(); }
  int getInfo(int code, int index, char* buffer) { return get_info_(code, index, buffer); }
  int loadDefsPack(const char* directory) { return load_defs_pack_(directory); }
  int submitFile(const char* path) { return submit_file_(path); }

  // The library name and the loader's reason for the last failed
  // construction, e.g. "libtrueext-ident.so: cannot open shared object file".
  static const std::string& lastLoadError();

 private:
  AnalyzeFn analyze_ = nullptr;
  GetInfoFn get_info_ = nullptr;
  LoadDefsPackFn load_defs_pack_ = nullptr;
  SubmitFileFn submit_file_ = nullptr;
  LibraryHandle module_ = nullptr;
};

}  // namespace identlib
