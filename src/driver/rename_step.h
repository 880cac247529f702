#pragma once

#include <string_view>

#include "driver/report.h"
#include "driver/run_state.h"

namespace driver {

// Composes |state.new_path| from the folder and |state.new_name|.
void composeNewPath(RunState& state);

// Names the current file for its type, whose extension |extension| (without
// the dot) |state.new_name| appends, the first time it is called for the
// file; later calls for the same file do nothing. A name that already
// carries |extension| or another spelling of it is kept; otherwise the file
// is renamed to |state.new_name|. Writes the name the file bears afterwards
// into the report line, followed by |mark| unless the rename failed: the new
// name, the kept name, or the name and " Rename failed...". The caller ends
// the line.
void renameOnce(RunState& state, Report& report, std::string_view extension,
                std::string_view mark = {});

}  // namespace driver
