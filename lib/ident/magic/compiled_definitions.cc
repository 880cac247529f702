#include "magic/compiled_definitions.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "io/file_source.h"

namespace ident {

CompiledDatabase readCompiled(const std::string& path) {
  constexpr std::uint32_t kMagicNumber = 0xF11E041C;
  constexpr std::size_t kVersionBytes = 8;
  constexpr std::size_t kHeaderBytes = 16;
  std::string ignored;
  const std::unique_ptr<ByteSource> source = openRegularFile(path, &ignored, FinalLink::kFollow);
  std::string header;
  if (source == nullptr || !source->readAt(0, kHeaderBytes, &header) ||
      header.size() < kVersionBytes) {
    return {};
  }
  CompiledDatabase database{header.substr(0, kVersionBytes)};
  if (header.size() == kHeaderBytes) {
    std::uint32_t words[4];
    std::memcpy(words, header.data(), sizeof words);
    const std::uint64_t entries = std::uint64_t{words[2]} + words[3];
    if (words[0] == kMagicNumber && entries != 0 && source->size() % (entries + 1) == 0) {
      database.entry_size = source->size() / (entries + 1);
    }
  }
  return database;
}


Definitions chooseDefinitions(const std::string& text, const std::string& compiled,
                              const CompiledDatabase& system) {
  // Plain stat(): std::filesystem would bring the C++ library's locale
  // machinery into the library, which every run then loads and relocates.
  struct stat text_stat {};
  struct stat compiled_stat {};
  if (::stat(text.c_str(), &text_stat) != 0) {
    return {text};
  }
  const auto older = [](const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
  };
  if (::stat(compiled.c_str(), &compiled_stat) != 0 ||
      older(compiled_stat.st_mtim, text_stat.st_mtim) || system.version.empty()) {
    return {text};
  }
  const CompiledDatabase database = readCompiled(compiled);
  if (database.version != system.version) {
    return {text};
  }
  return {compiled, system.entry_size != 0 && database.entry_size == system.entry_size};
}

bool openPackAndSystem(MagicCookie* magic, const std::string& compiled, const std::string& text,
                       const std::string& system, std::string* err) {
  std::string pack = compiled;
  MagicCookie alone;
  if (!alone.open(pack, err)) {
    if (pack == text || !alone.open(text, err)) {
      return false;
    }
    pack = text;
  }
  // libmagic tries the databases in the order listed, and under
  // MAGIC_CONTINUE reports the matches in that order: the pack, whose
  // entries are the more specific, goes first.
  return magic->open(pack + ":" + system, err);
}

bool openCommon(MagicCookie* common, const std::string& compiled, const std::string& text) {
  std::string ignored;
  return common->open(compiled, &ignored) || (compiled != text && common->open(text, &ignored));
}

}  // namespace ident
