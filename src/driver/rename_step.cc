#include "driver/rename_step.h"

#include <cstdio>

#include "driver/file_access.h"

namespace driver {

void composeNewPath(RunState& state) {
  // One separator whatever the folder ends with: "dir/" gives "dir//name",
  // which the file system reads as "dir/name".
  state.new_path = state.folder;
  state.new_path += kPathSeparator;
  state.new_path += state.new_name;
}

void renameOnce(RunState& state, Renamer& renamer) {
  if (state.renamed != 0) {
    return;
  }
  std::fputs(state.new_name.c_str(), stdout);
  renamer.renameEntry(state.name, state.new_name);
  state.renamed = 1;
}

}  // namespace driver
