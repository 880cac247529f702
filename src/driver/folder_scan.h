#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace driver {

// Runs the tool: takes the folder from the first argument or the prompt,
// renames the folder's files and prints one report line for each. Returns
// the process's exit status.
int runMain(int argc, char** argv);

// Reads one whitespace-delimited word of at most |max_size| bytes from
// |in|. std::nullopt when the input ends before a word, or the word is
// longer than |max_size|.
std::optional<std::string> readWord(std::FILE* in, std::size_t max_size);

}  // namespace driver
