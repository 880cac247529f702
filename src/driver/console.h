#pragma once

namespace driver {

// The end of a run: when a person sits at the console, asks for a key press
// so that a window opened by dropping a folder stays readable; a script (no
// terminal on standard input) is never kept waiting.
void pauseConsole();

}  // namespace driver
