#include "driver/rename_step.h"

#include <string>

#include "driver/file_access.h"
#include "signatures/extension_spellings.h"

namespace driver {

void composeNewPath(RunState& state) {
  // One separator whatever the folder ends with: "dir/" gives "dir//name",
  // which the file system reads as "dir/name".
  state.new_path = state.folder;
  state.new_path += kPathSeparator;
  state.new_path += state.new_name;
}

void renameOnce(RunState& state, Report& report, std::string_view extension,
                std::string_view mark) {
  if (state.renamed != 0) {
    return;
  }
  // Whatever happens below, the file is decided: no other identification
  // of it is tried.
  state.renamed = 1;
  if (signatures::carriesExtension(state.name, extension)) {
    report.write(state.name);
    report.write(mark);
    return;
  }
  // The line tells what is on disk: what follows the rename depends on it.
  report.renameThenWrite(state.name, state.new_name, state.new_name + std::string(mark),
                         state.name + " Rename failed...");
}

}  // namespace driver
