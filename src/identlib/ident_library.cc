// The binding to the identification library.
//
// The library is a shared object loaded at run time by file name (on Linux
// our own libtrueext-ident.so, built on libmagic; on Windows the vendor's
// TrIDLib.dll), so that the tool runs, and its built-in signatures work,
// whichever library stands beside it. It exports four C entry points:
//
//   TrID_LoadDefsPack(dir)         loads the definitions found in |dir|;
//   TrID_SubmitFileA(path)         names the file of the next analysis;
//   TrID_Analyze()                 analyses it; 0 means it failed;
//   TrID_GetInfo(code, index, buf) answers about the results, writing texts
//                                  into |buf|, which the caller owns and
//                                  which always holds 260 bytes.
//
// The object owns the module handle and frees it when destroyed; the entry
// points are plain function pointers into the module and die with it. A
// library that cannot be loaded, or lacks any of the four, is fatal: the
// constructor throws kLibraryUnavailable and keeps the loader's reason for
// the caller to report.

#include "identlib/ident_library.h"

#include <type_traits>

namespace identlib {

#if defined(_WIN32) && !defined(_WIN64) && !defined(IDENT_BINDING_CONVENTION_UNCHECKED)
// On 32-bit Windows the vendor's entry points are __stdcall: the called
// function removes its own arguments from the stack. A pointer of another
// convention would still reach the right code, and every call would leave
// the stack pointer off. Only one build may lift this check: the test that
// shows the run-time check catches such a pointer.
static_assert(std::is_same_v<IdentLibrary::AnalyzeFn, int(__stdcall*)()>,
              "TrID_Analyze must be called as __stdcall");
static_assert(std::is_same_v<IdentLibrary::GetInfoFn, int(__stdcall*)(int, int, char*)>,
              "TrID_GetInfo must be called as __stdcall");
static_assert(std::is_same_v<IdentLibrary::LoadDefsPackFn, int(__stdcall*)(const char*)>,
              "TrID_LoadDefsPack must be called as __stdcall");
static_assert(std::is_same_v<IdentLibrary::SubmitFileFn, int(__stdcall*)(const char*)>,
              "TrID_SubmitFileA must be called as __stdcall");
#endif

namespace {

std::string& loadError() {
  static std::string error;
  return error;
}

// "name: reason", without repeating a name the loader already put first.
std::string describeFailure(const char* name, const std::string& reason) {
  if (reason.starts_with(name)) {
    return reason;
  }
  return std::string(name) + ": " + reason;
}

template <typename Fn>
Fn bindEntryPoint(LibraryHandle module, const char* name, std::string* err) {
  return reinterpret_cast<Fn>(findSymbol(module, name, err));
}

}  // namespace

IdentLibrary::IdentLibrary(const char* definitions_dir, const char* library_name) {
  const char* name = library_name != nullptr ? library_name : kDefaultLibraryName;
  std::string err;
  module_ = loadLibrary(name, &err);
  if (module_ == nullptr) {
    loadError() = describeFailure(name, err);
    throw kLibraryUnavailable;
  }
  analyze_ = bindEntryPoint<AnalyzeFn>(module_, "TrID_Analyze", &err);
  if (analyze_ != nullptr) {
    get_info_ = bindEntryPoint<GetInfoFn>(module_, "TrID_GetInfo", &err);
  }
  if (get_info_ != nullptr) {
    load_defs_pack_ = bindEntryPoint<LoadDefsPackFn>(module_, "TrID_LoadDefsPack", &err);
  }
  if (load_defs_pack_ != nullptr) {
    submit_file_ = bindEntryPoint<SubmitFileFn>(module_, "TrID_SubmitFileA", &err);
  }
  if (submit_file_ == nullptr) {
    loadError() = describeFailure(name, err);
    freeLibrary(module_);
    throw kLibraryUnavailable;
  }
  if (definitions_dir != nullptr) {
    load_defs_pack_(definitions_dir);
  }
}

IdentLibrary::~IdentLibrary() { freeLibrary(module_); }

const std::string& IdentLibrary::lastLoadError() { return loadError(); }

}  // namespace identlib
