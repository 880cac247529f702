#pragma once

#include <string>
#include <string_view>

#include "driver/rename_step.h"
#include "driver/run_state.h"
#include "identlib/ident_library.h"

namespace identlib {

// Opens the binding for a scan: loads the library and the definitions from
// the program's own directory; when none load, prints "Error loading
// definition" (no newline) and the scan goes on. Throws kLibraryUnavailable.
void loadDefinitions(IdentLibrary& library);

// Asks the library about the current file of |state|, which no built-in
// signature named, and finishes its report line in |report|: "analyze:(",
// the count of matches, the new name and "[B]" after renaming it, the name
// and "[B]" when it already carries the library's extension, the name and
// " Rename failed..." when the rename failed, or "File type: " and the
// description.
void runFallback(IdentLibrary& library, driver::RunState& state, driver::Report& report);

// True when a library's extension text may become part of a file name: not
// empty, not "." or "..", and free of separators and control bytes.
bool isUsableExtension(std::string_view extension);

// |text| with every control byte replaced by a space, so that it stays on
// one report line.
std::string printableText(std::string_view text);

}  // namespace identlib
