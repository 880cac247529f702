#pragma once

#include <string>
#include <string_view>

#include "driver/run_state.h"

namespace driver {

// Carries out a rename inside the scanned folder.
class Renamer {
 public:
  virtual ~Renamer() = default;
  // Renames entry |from| to |to|, never replacing an existing file. True
  // when the file now bears the name |to|; false when it was left as it was
  // (the name is taken, the folder is not writable, the file was removed or
  // replaced since it was examined, ...).
  virtual bool renameEntry(const std::string& from, const std::string& to) = 0;
};

// What renameOnce did with the current file.
enum class RenameOutcome {
  kRenamed,        // the file now bears |state.new_name|
  kNameKept,       // its name already carried the extension; not renamed
  kFailed,         // the rename failed; the file keeps its name
  kAlreadyDecided  // an earlier call for this file did one of the above
};

// Composes |state.new_path| from the folder and |state.new_name|.
void composeNewPath(RunState& state);

// Names the current file for its type, whose extension |extension| (without
// the dot) |state.new_name| appends, the first time it is called for the
// file; later calls for the same file do nothing. A name that already
// carries |extension| or another spelling of it is kept; otherwise the file
// is renamed to |state.new_name|. Prints the name the file bears afterwards
// into the report line: the new name, the kept name, or the name and
// " Rename failed...". The caller ends the line.
RenameOutcome renameOnce(RunState& state, Renamer& renamer, std::string_view extension);

}  // namespace driver
