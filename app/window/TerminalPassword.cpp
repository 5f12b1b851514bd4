#include "app/window/TerminalPassword.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace orvane {

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt) {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  if (!isatty(fd)) {
    close(fd);
    return std::nullopt;
  }
  termios saved{};
  const bool haveModes = tcgetattr(fd, &saved) == 0;
  if (haveModes) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  (void)!write(fd, prompt.data(), prompt.size());
  std::string secret;
  bool ended = false;
  char c = 0;
  while (read(fd, &c, 1) == 1) {
    if (c == '\n' || c == '\r') {
      ended = true;
      break;
    }
    secret += c;
  }
  if (haveModes) tcsetattr(fd, TCSAFLUSH, &saved);
  close(fd);
  if (!ended && secret.empty()) return std::nullopt;
  return secret;
}

}  // namespace orvane
