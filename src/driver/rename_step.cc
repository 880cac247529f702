#include "driver/rename_step.h"

#include <cstdio>

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

RenameOutcome renameOnce(RunState& state, Renamer& renamer, std::string_view extension) {
  if (state.renamed != 0) {
    return RenameOutcome::kAlreadyDecided;
  }
  // Whatever happens below, the file is decided: no other identification
  // of it is tried.
  state.renamed = 1;
  if (signatures::carriesExtension(state.name, extension)) {
    std::fputs(state.name.c_str(), stdout);
    return RenameOutcome::kNameKept;
  }
  // The line tells what is on disk, so the rename comes first.
  if (!renamer.renameEntry(state.name, state.new_name)) {
    std::printf("%s Rename failed...", state.name.c_str());
    return RenameOutcome::kFailed;
  }
  std::fputs(state.new_name.c_str(), stdout);
  return RenameOutcome::kRenamed;
}

}  // namespace driver
