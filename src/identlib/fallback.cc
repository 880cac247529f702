#include "identlib/fallback.h"

#include <array>
#include <cstdio>
#include <string>

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

void runFallback(IdentLibrary& library, driver::RunState& state, driver::Report& report) {
  library.submitFile(state.source_path.c_str());
  if (library.analyze() == 0) {
    report.write("analyze:(\n");
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
    report.write(std::to_string(count) + " matches\n");
  } else if (!extension.empty()) {
    // "[B]" marks a name the library decided; a failed rename decided none.
    driver::renameOnce(state, report, extension, "[B]");
    report.write("\n");
  } else {
    buffer[0] = '\0';
    library.getInfo(TRID_GET_RES_FILETYPE, 1, buffer.data());
    report.write("File type: " + printableText(textIn(buffer)) + "\n");
  }
}

}  // namespace identlib
