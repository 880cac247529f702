// A stand-in identification library whose answers the test chooses through
// the environment, so that every report line of the fallback can be
// provoked:
//
//   TRUEEXT_FAKE_DEFS=0        TrID_LoadDefsPack fails
//   TRUEEXT_FAKE_ANALYZE=0     TrID_Analyze fails
//   TRUEEXT_FAKE_COUNT=N       number of results (default 1)
//   TRUEEXT_FAKE_EXT=text      extension of every result (default "fake")
//   TRUEEXT_FAKE_DESC=text     description of every result
//   TRUEEXT_FAKE_FILL=1        texts fill the whole buffer, unterminated
//   TRUEEXT_FAKE_LOG=path      every call is appended to |path|, one a line
//   TRUEEXT_FAKE_SWAP=remove   TrID_Analyze deletes the submitted file, as
//                              another program might between the tool's
//                              look at a file and its rename
//   TRUEEXT_FAKE_SWAP=replace  ... or puts a new file in its place
//
// Built once as a complete library and once without TrID_SubmitFileA.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define TRID_BUILDING_LIBRARY
#include "ident_api.h"

namespace {

std::string setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

void logCall(const std::string& line) {
  const std::string path = setting("TRUEEXT_FAKE_LOG", "");
  if (path.empty()) {
    return;
  }
  if (std::FILE* log = std::fopen(path.c_str(), "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

void writeText(char* buffer, const std::string& text) {
  if (setting("TRUEEXT_FAKE_FILL", "0") == "1") {
    std::memset(buffer, 'W', TRID_INFO_BUFFER_SIZE);
    return;
  }
  std::snprintf(buffer, TRID_INFO_BUFFER_SIZE, "%s", text.c_str());
}

// The path of the last TrID_SubmitFileA.
std::string& submittedPath() {
  static std::string path;
  return path;
}

// Does what TRUEEXT_FAKE_SWAP asks, once per process, so that a folder
// listing that yields the newcomer again cannot go on forever.
void swapSubmittedFile() {
  static bool done = false;
  const std::string how = setting("TRUEEXT_FAKE_SWAP", "");
  const std::string& path = submittedPath();
  if (done || how.empty() || path.empty()) {
    return;
  }
  done = true;
  if (how != "replace") {
    std::remove(path.c_str());
    return;
  }
  // The newcomer is written beside the folder and moved in once the old file
  // is gone, so that it cannot get the old file's identity (a file system
  // reuses a freed inode number at once).
  const std::size_t slash = path.find_last_of("/\\");
  const std::string newcomer = slash == std::string::npos
                                   ? "newcomer"
                                   : path.substr(0, slash + 1) + ".." + path[slash] + "newcomer";
  if (std::FILE* file = std::fopen(newcomer.c_str(), "wb")) {
    std::fputs("a newcomer", file);
    std::fclose(file);
  }
  std::remove(path.c_str());
  std::rename(newcomer.c_str(), path.c_str());
}

}  // namespace

extern "C" {

TRID_EXPORT int TRID_CALL TrID_LoadDefsPack(const char* directory) {
  logCall(std::string("LoadDefsPack ") + directory);
  return setting("TRUEEXT_FAKE_DEFS", "1") == "0" ? 0 : 1;
}

#ifndef FAKE_WITHOUT_SUBMIT
TRID_EXPORT int TRID_CALL TrID_SubmitFileA(const char* path) {
  logCall(std::string("SubmitFileA ") + path);
  submittedPath() = path;
  return 1;
}
#endif

TRID_EXPORT int TRID_CALL TrID_Analyze(void) {
  logCall("Analyze");
  swapSubmittedFile();
  return setting("TRUEEXT_FAKE_ANALYZE", "1") == "0" ? 0 : 1;
}

TRID_EXPORT int TRID_CALL TrID_GetInfo(int code, int index, char* buffer) {
  logCall("GetInfo " + std::to_string(code) + " " + std::to_string(index));
  switch (code) {
    case TRID_GET_RES_NUM:
      return std::atoi(setting("TRUEEXT_FAKE_COUNT", "1").c_str());
    case TRID_GET_RES_FILEEXT:
      writeText(buffer, setting("TRUEEXT_FAKE_EXT", "fake"));
      return 1;
    case TRID_GET_RES_FILETYPE:
      writeText(buffer, setting("TRUEEXT_FAKE_DESC", "Fake file type"));
      return 1;
    default:
      buffer[0] = '\0';
      return 0;
  }
}

}  // extern "C"
