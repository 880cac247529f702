// Drives libtrueext-ident.so through its four entry points, the way trueext
// does, for every file named on standard input (one path per line), and
// prints "path<TAB>result<TAB>extension<TAB>description<TAB>microseconds";
// like trueext it asks for the description only when the extension is
// empty, unless PROBE_DESCRIBE is set. Used by the speed
// benchmark when no trueext binary is at hand and for quick accuracy checks.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "ident_api.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s LIBRARY < paths\n", argv[0]);
    return 2;
  }
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "ident_probe: error: %s\n", dlerror());
    return 1;
  }
  const auto analyze = reinterpret_cast<decltype(&TrID_Analyze)>(dlsym(library, "TrID_Analyze"));
  const auto get_info = reinterpret_cast<decltype(&TrID_GetInfo)>(dlsym(library, "TrID_GetInfo"));
  const auto load = reinterpret_cast<decltype(&TrID_LoadDefsPack)>(dlsym(library, "TrID_LoadDefsPack"));
  const auto submit = reinterpret_cast<decltype(&TrID_SubmitFileA)>(dlsym(library, "TrID_SubmitFileA"));
  if (analyze == nullptr || get_info == nullptr || load == nullptr || submit == nullptr) {
    std::fprintf(stderr, "ident_probe: error: an entry point is missing\n");
    return 1;
  }
  std::string directory = argv[1];
  directory.erase(directory.rfind('/') + 1);
  if (load(directory.c_str()) == 0) {
    std::fprintf(stderr, "ident_probe: error: definitions do not load from %s\n", directory.c_str());
    return 1;
  }
  std::string path;
  char buffer[TRID_INFO_BUFFER_SIZE];
  while (std::getline(std::cin, path)) {
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
      return static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    };
    submit(path.c_str());
    if (analyze() == 0) {
      std::printf("%s\tanalyze:(\t\t\t%lld\n", path.c_str(), elapsed());
      continue;
    }
    buffer[0] = '\0';
    const int count = get_info(TRID_GET_RES_NUM, 0, buffer);
    get_info(TRID_GET_RES_FILEEXT, 1, buffer);
    const std::string extension = buffer;
    // Like trueext, ask for the description only when there is no extension.
    buffer[0] = '\0';
    if (extension.empty() || std::getenv("PROBE_DESCRIBE") != nullptr) {
      get_info(TRID_GET_RES_FILETYPE, 1, buffer);
    }
    std::printf("%s\t%d\t%s\t%s\t%lld\n", path.c_str(), count, extension.c_str(), buffer,
                elapsed());
  }
  dlclose(library);
  return 0;
}
