#include "identlib/fallback.h"

#include <array>
#include <cstdio>

#include "identlib/shared_library.h"

namespace identlib {
namespace {

// Reads the text the library left in |buffer|, which it may not have
// terminated: nothing past the buffer is ever read.
std::string_view textIn(std::array<char, TRID_INFO_BUFFER_SIZE>& buffer) {
  buffer.back() = '\0';
  return std::string_view(buffer.data());
}

}  // namespace

bool isUsableExtension(std::string_view extension) {
  if (extension.empty() || extension == "." || extension == "..") {
    return false;
  }
  for (const char c : extension) {
    const auto byte = static_cast<unsigned char>(c);
    // "\" and ":" are separators or stream markers on Windows; "/" here.
    if (byte < 0x20 || c == '/' || c == '\\' || c == ':') {
      return false;
    }
  }
  return true;
}

std::string printableText(std::string_view text) {
  std::string printable(text);
  for (char& c : printable) {
    if (static_cast<unsigned char>(c) < 0x20) {
      c = ' ';
    }
  }
  return printable;
}

void loadDefinitions(IdentLibrary& library) {
  const std::string directory = programDirectory();
  if (library.loadDefsPack(directory.c_str()) == 0) {
    std::fputs("Error loading definition", stdout);
  }
}

void runFallback(IdentLibrary& library, driver::RunState& state, driver::Renamer& renamer) {
  library.submitFile(state.source_path.c_str());
  if (library.analyze() == 0) {
    std::puts("analyze:(");
    return;
  }
  std::array<char, TRID_INFO_BUFFER_SIZE> buffer{};
  buffer[0] = '\0';
  const int count = library.getInfo(TRID_GET_RES_NUM, 0, buffer.data());
  buffer[0] = '\0';
  library.getInfo(TRID_GET_RES_FILEEXT, 1, buffer.data());
  std::string extension(textIn(buffer));
  if (!isUsableExtension(extension)) {
    extension.clear();
  }
  state.new_name = state.name + "." + extension;
  driver::composeNewPath(state);

  if (count == 0) {
    std::printf("%d matches\n", count);
  } else if (!extension.empty()) {
    // "[B]" marks a name the library decided; a failed rename decided none.
    const bool failed =
        driver::renameOnce(state, renamer, extension) == driver::RenameOutcome::kFailed;
    std::puts(failed ? "" : "[B]");
  } else {
    buffer[0] = '\0';
    library.getInfo(TRID_GET_RES_FILETYPE, 1, buffer.data());
    std::printf("File type: %s\n", printableText(textIn(buffer)).c_str());
  }
}

}  // namespace identlib
