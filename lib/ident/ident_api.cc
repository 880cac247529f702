// The four C entry points of libtrueext-ident.so. Each is a shell around one
// method of the process's Session: no exception crosses into the caller,
// which may be C; a failure reads as 0, the contract's failure code.
#include "ident_api.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "analysis.h"
#include "session.h"

namespace {

// Writes |text| to the caller's buffer of TRID_INFO_BUFFER_SIZE bytes, cut
// at a character boundary where it is longer; a null buffer is left alone.
void writeText(char* buffer, std::string_view text) {
  if (buffer == nullptr) {
    return;
  }
  text = ident::truncateUtf8(text, TRID_INFO_BUFFER_SIZE - 1);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
}

// The answer of TrID_GetInfo: the count for TRID_GET_RES_NUM; 1 with the
// text for an answered TRID_GET_RES_FILETYPE or TRID_GET_RES_FILEEXT; else
// 0 with an empty text.
int answer(ident::Session& session, int code, int index, char* buffer) {
  writeText(buffer, "");
  std::optional<std::string> text;
  switch (code) {
    case TRID_GET_RES_NUM:
      return session.resultCount();
    case TRID_GET_RES_FILEEXT:
      text = session.extension(index);
      break;
    case TRID_GET_RES_FILETYPE:
      text = session.description(index);
      break;
    default:
      return 0;
  }
  if (!text) {
    return 0;
  }
  writeText(buffer, *text);
  return 1;
}

}  // namespace

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
    return answer(ident::theSession(), code, index, buffer);
  } catch (...) {
    if (buffer != nullptr) {
      buffer[0] = '\0';
    }
    return 0;
  }
}

}  // extern "C"
