#include "app/window/SettingsLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orvane {

bool SettingsLock::acquire(const std::filesystem::path& root) {
  release();
  std::error_code ec;
  std::filesystem::create_directories(root, ec);
  const std::filesystem::path file = root / kFileName;
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  int rc = 0;
  while ((rc = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (rc != 0) {
    const bool busy = errno == EWOULDBLOCK;
    close(fd);
    return !busy;
  }
  m_fd = fd;
  return true;
}

void SettingsLock::release() {
  if (m_fd < 0) return;
  flock(m_fd, LOCK_UN);
  close(m_fd);
  m_fd = -1;
}

}  // namespace orvane
