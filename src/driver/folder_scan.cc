#include "driver/folder_scan.h"

#include <array>
#include <cctype>
#include <clocale>
#include <memory>

#include "driver/console.h"
#include "driver/exit_status.h"
#include "driver/file_access.h"
#include "driver/folder_report.h"
#include "driver/rename_step.h"
#include "driver/run_state.h"
#include "identlib/fallback.h"
#include "identlib/ident_library.h"
#include "signatures/matcher.h"
#include "signatures/pe_image.h"
#include "signatures/signature_table.h"

namespace driver {
namespace {

std::optional<std::string> obtainFolder(int argc, char** argv) {
  if (argc > 1) {
    std::string folder = argv[1];
    if (folder.empty() || folder.size() > kMaxTextSize) {
      return std::nullopt;
    }
    return folder;
  }
  std::setlocale(LC_ALL, "");
  std::fputs("please drag a folder on it: ", stdout);
  std::fflush(stdout);
  return readWord(stdin, kMaxTextSize);
}

// Reads the header, runs the built-in rows over it and, when none decided
// the file, the library. Writes the file's whole report line.
void examineFile(Folder& folder, RunState& state, FolderReport& report,
                 identlib::IdentLibrary& library) {
  report.write(state.name);
  report.write("\t");

  std::array<unsigned char, signatures::kHeaderSize> header{};
  OpenFile file;
  std::string err;
  if (!openEntry(folder, state.name, /*for_update=*/true, &file, &err)) {
    report.write(state.name);
    report.write(" Open failed...\n");
    return;
  }
  file.readAt(0, header);
  report.setExamined(std::move(file));

  state.renamed = 0;
  for (const signatures::HeaderSignature& row : signatures::builtinSignatureTable()) {
    if (!signatures::matchSignature(header, row)) {
      continue;
    }
    std::string_view extension = row.extension;
    if (signatures::needsPeRefinement(extension)) {
      OpenFile probe;
      extension = openEntry(folder, state.name, /*for_update=*/false, &probe, &err)
                      ? signatures::refinePeExtension(probe)
                      : "exe";
    }
    state.new_name = signatures::composeNewName(state.name, extension);
    composeNewPath(state);
    renameOnce(state, report, extension);
  }
  if (state.renamed != 0) {
    report.write("\n");
    return;
  }
  identlib::runFallback(library, state, report);
}

void scanFolder(Folder& folder, RunState& state) {
  // Made first: the report may hand its renames to a thread that runs on any
  // processor, and the library, once it runs, keeps this thread on one.
  FolderReport report(folder);
  identlib::IdentLibrary library;
  identlib::loadDefinitions(library);

  FolderEntry entry;
  std::string err;
  // A read error ends the scan as the end of the folder does.
  while (folder.next(&entry, &err)) {
    if (entry.hidden || entry.name == "." || entry.name == ".." ||
        entry.kind != EntryKind::kRegular || report.createdThisRun(entry.name)) {
      continue;
    }
    state.name = entry.name;
    state.source_path = state.folder;
    state.source_path += kPathSeparator;
    state.source_path += entry.name;
    examineFile(folder, state, report, library);
  }
  // The last renames go on while the library is unloaded; the report,
  // made before it, waits for them last.
  report.handOverRest();
}

}  // namespace

std::optional<std::string> readWord(std::FILE* in, std::size_t max_size) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && std::isspace(c));
  std::string word;
  while (c != EOF && !std::isspace(c)) {
    if (word.size() == max_size) {
      return std::nullopt;
    }
    word += static_cast<char>(c);
    c = std::fgetc(in);
  }
  if (word.empty()) {
    return std::nullopt;
  }
  return word;
}

int runMain(int argc, char** argv) {
  RunState state;
  std::unique_ptr<Folder> folder;
  if (std::optional<std::string> name = obtainFolder(argc, argv)) {
    state.folder = *name;
    std::string err;
    folder = Folder::open(state.folder, &err);
  }
  if (folder == nullptr) {
    std::puts("No files are found.\n");
  } else {
    try {
      scanFolder(*folder, state);
    } catch (int code) {
      if (code != identlib::kLibraryUnavailable) {
        throw;
      }
      std::fflush(stdout);
      std::fprintf(stderr, "trueext: error: cannot load the identification library: %s\n",
                   identlib::IdentLibrary::lastLoadError().c_str());
      return kExitLibraryUnavailable;
    }
    folder.reset();
  }
  std::fflush(stdout);
  pauseConsole();
  return kExitSuccess;
}

}  // namespace driver
