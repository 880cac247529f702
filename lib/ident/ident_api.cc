// The four C entry points of libtrueext-ident.so. Each is a shell around one
// method of the process's Session: no exception crosses into the caller,
// which may be C; a failure reads as 0, the contract's failure code.
#include "ident_api.h"

#include "session.h"

extern "C" {

TRID_EXPORT int TRID_CALL TrID_LoadDefsPack(const char* directory) {
  try {
    return ident::theSession().loadDefinitions(directory) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

TRID_EXPORT int TRID_CALL TrID_SubmitFileA(const char* path) {
  try {
    return ident::theSession().submit(path) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

TRID_EXPORT int TRID_CALL TrID_Analyze(void) {
  try {
    return ident::theSession().analyze() ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

TRID_EXPORT int TRID_CALL TrID_GetInfo(int code, int index, char* buffer) {
  try {
    return ident::theSession().info(code, index, buffer);
  } catch (...) {
    if (buffer != nullptr) {
      buffer[0] = '\0';
    }
    return 0;
  }
}

}  // extern "C"
