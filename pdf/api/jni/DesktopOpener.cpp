#include "pdf/api/jni/DesktopOpener.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace folian {
namespace {

bool Executable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The program's path: a name with "/" as it is, else the first match on PATH.
std::string FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return Executable(name) ? name : "";
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path && *path ? path : "/usr/local/bin:/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (Executable(candidate)) return candidate;
  }
  return "";
}

// "scheme:" before any "/": an address the opener resolves itself.
bool IsAddress(const std::string& path) {
  const size_t colon = path.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = path[i];
    const bool schemeChar = std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    if (!schemeChar) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> OpenerCommand() {
  std::vector<std::string> words;
  if (const char* value = std::getenv(kOpenerVariable)) {
    std::istringstream in(value);
    for (std::string w; in >> w;) words.push_back(w);
  }
  if (words.empty()) words.push_back("xdg-open");
  return words;
}

bool OpenWithDesktop(const std::string& path) {
  if (path.empty()) return false;
  struct stat info {};
  if (!IsAddress(path) && stat(path.c_str(), &info) != 0) return false;
  std::vector<std::string> command = OpenerCommand();
  const std::string program = FindProgram(command[0]);
  if (program.empty()) return false;
  // A shell starts the opener in the background and ends at once, so the opener
  // becomes a child of init and nobody has to wait for it. posix_spawn rather
  // than fork: the caller may be a virtual machine with many threads.
  std::vector<std::string> words = {"/bin/sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &", "sh", program};
  words.insert(words.end(), command.begin() + 1, command.end());
  words.push_back(path);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace folian
