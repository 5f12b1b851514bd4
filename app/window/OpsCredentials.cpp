#include "app/window/OpsCredentials.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace orvane {

OpsCredentials OpsCredentialFile::read() const {
  OpsCredentials result;
  struct stat st {};
  if (::stat(m_path.c_str(), &st) != 0) return result;
  if ((st.st_mode & 077) != 0) ::chmod(m_path.c_str(), 0600);
  std::ifstream in(m_path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("key=", 0) == 0) result.key = line.substr(4);
    if (line.rfind("secret=", 0) == 0) result.secret = line.substr(7);
  }
  return result;
}

bool OpsCredentialFile::write(const OpsCredentials& credentials, std::string& error) const {
  for (const std::string* value : {&credentials.key, &credentials.secret}) {
    if (value->find_first_of("\r\n") != std::string::npos) {
      error = "line break in the key or secret";
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(m_path.parent_path(), ec);
  // The file is private before anything is written to it.
  const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 || ::fchmod(fd, 0600) != 0) {
    error = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  const std::string text = "key=" + credentials.key + "\nsecret=" + credentials.secret + "\n";
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

OpsCredentials LoadOpsCredentials(const std::filesystem::path& root) {
  const char* key = std::getenv("ORVANE_OPS_KEY");
  const char* secret = std::getenv("ORVANE_OPS_SECRET");
  if (key && secret && *key && *secret) return OpsCredentials{key, secret};
  return OpsCredentialFile(root).read();
}

}  // namespace orvane
