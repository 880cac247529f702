#include "driver/console.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace driver {

void pauseConsole() {
  if (::isatty(STDIN_FILENO) != 1) {
    return;
  }
  std::fputs("Press any key to continue . . . ", stdout);
  std::fflush(stdout);

  termios saved;
  const bool have_saved = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (have_saved) {
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  unsigned char key;
  while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  if (have_saved) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

}  // namespace driver
