// Compiles a text definitions file into libmagic's binary form at build
// time: compile_magic SOURCE OUTPUT. Loading the compiled form maps it;
// loading the text parses every entry and sorts them, at every start.
#include <magic.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE OUTPUT\n", argv[0]);
    return 2;
  }
  const std::filesystem::path source = argv[1];
  const std::filesystem::path output = argv[2];
  magic_t cookie = magic_open(MAGIC_CHECK);
  if (cookie == nullptr) {
    std::fprintf(stderr, "compile_magic: magic_open failed\n");
    return 1;
  }
  // libmagic writes the source's name plus ".mgc" into the current folder.
  const int rc = magic_compile(cookie, source.c_str());
  if (rc != 0) {
    const char* reason = magic_error(cookie);
    std::fprintf(stderr, "compile_magic: %s: %s\n", source.c_str(),
                 reason != nullptr ? reason : "failed");
    magic_close(cookie);
    return 1;
  }
  magic_close(cookie);
  std::error_code ec;
  std::filesystem::rename(source.filename().string() + ".mgc", output, ec);
  if (ec) {
    std::fprintf(stderr, "compile_magic: %s: %s\n", output.c_str(), ec.message().c_str());
    return 1;
  }
  return 0;
}
