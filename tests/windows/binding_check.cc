// Drives the stand-in TrIDLib.dll through IdentLibrary 200,000 times over.
//
// The entry points of the vendor's DLL are __stdcall: the called function
// removes its own arguments from the stack. A binding whose function-pointer
// types used another convention (cdecl, where the caller removes them)
// would still call the right code with the right arguments, and a handful
// of calls may even appear to work; but every call with arguments would
// leave the stack pointer off by their size, 12 bytes for TrID_GetInfo, 4
// for the others, so that locals and return addresses are read from the
// wrong place. 200,000 rounds of 20 bytes move it 4 MB, past either end of
// the 2 MB stack: the program crashes or miscounts instead of printing "ok".
//
// Usage: binding_check PATH-OF-TrIDLib.dll, with TRUEEXT_FAKE_COUNT=2 so
// that every round adds 1 + 1 + 1 + 2 to the total.

#include <cstdio>
#include <string>

#include "identlib/ident_library.h"

namespace {

constexpr long kRounds = 200000;
constexpr long kPerRound = 5;

long callEveryEntryPoint(identlib::IdentLibrary& library) {
  char buffer[TRID_INFO_BUFFER_SIZE];
  long total = 0;
  for (long i = 0; i < kRounds; ++i) {
    total += library.submitFile("Z:\\nowhere\\file");
    total += library.analyze();
    total += library.loadDefsPack("Z:\\nowhere\\");
    buffer[0] = '\0';
    total += library.getInfo(TRID_GET_RES_NUM, 0, buffer);
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: binding_check PATH-OF-TrIDLib.dll\n", stderr);
    return 2;
  }
  try {
    identlib::IdentLibrary library(nullptr, argv[1]);
    const long total = callEveryEntryPoint(library);
    char extension[TRID_INFO_BUFFER_SIZE] = "";
    library.getInfo(TRID_GET_RES_FILEEXT, 1, extension);
    if (total != kRounds * kPerRound || std::string(extension) != "fake") {
      std::fprintf(stderr, "binding_check: total %ld, want %ld; extension \"%s\", want \"fake\"\n",
                   total, kRounds * kPerRound, extension);
      return 1;
    }
  } catch (int) {
    std::fprintf(stderr, "binding_check: %s\n",
                 identlib::IdentLibrary::lastLoadError().c_str());
    return 1;
  }
  std::puts("ok");
  return 0;
}
