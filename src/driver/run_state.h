#pragma once

#include <cstddef>
#include <string>

namespace driver {

// The longest folder path, entry name or composed path the tool accepts, in
// bytes without the terminator. Longer input is refused, never cut.
inline constexpr std::size_t kMaxTextSize = 65535;

// What the scan knows about the run and the current file.
struct RunState {
  std::string folder;       // exactly as the user gave it
  std::string name;         // current entry
  std::string source_path;  // folder, separator, name
  std::string new_name;
  std::string new_path;     // folder, separator, new name
  // 1 once the current file's name is decided: renamed, kept because it
  // already carried the extension, or a rename that failed.
  int renamed = 0;
};

}  // namespace driver
