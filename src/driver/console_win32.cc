#include "driver/console.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace driver {

void pauseConsole() {
  // A console on standard input means a person; redirected input (a pipe,
  // a file, NUL) means a script, which must not wait.
  DWORD mode;
  if (!::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode)) {
    return;
  }
  std::fflush(stdout);
  // The shell's own "pause": its prompt, in the user's language.
  std::system("pause");
}

}  // namespace driver
