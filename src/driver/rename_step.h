#pragma once

#include <string>

#include "driver/run_state.h"

namespace driver {

// Carries out a rename inside the scanned folder.
class Renamer {
 public:
  virtual ~Renamer() = default;
  // Renames entry |from| to |to|, never replacing an existing file. The
  // outcome is the renamer's business; the report line does not show it.
  virtual void renameEntry(const std::string& from, const std::string& to) = 0;
};

// Composes |state.new_path| from the folder and |state.new_name|.
void composeNewPath(RunState& state);

// Renames the current file to |state.new_name| the first time it is called
// for the file, and prints the new name into the report line; later calls
// for the same file do nothing.
void renameOnce(RunState& state, Renamer& renamer);

}  // namespace driver
