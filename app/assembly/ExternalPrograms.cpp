#include "app/assembly/ExternalPrograms.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;

bool Executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::vector<char*> Argv(Command& words) {
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return argv;
}

// Waits for a child, retrying on signals; its exit status or -1.
int Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

Command CommandFromEnvironment(const char* variable, const char* fallback) {
  Command words;
  if (const char* value = std::getenv(variable)) {
    std::istringstream in(value);
    for (std::string w; in >> w;) words.push_back(w);
  }
  if (words.empty()) words.push_back(fallback);
  return words;
}

std::string FindProgram(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return Executable(name) ? name : "";
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path && *path ? path : "/usr/local/bin:/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (Executable(candidate)) return candidate;
  }
  return "";
}

// The shell starts the program in the background and ends at once; the
// program is then a child of init, so nobody has to wait for it.
bool StartDetached(const Command& command) {
  if (command.empty()) return false;
  const std::string program = FindProgram(command[0]);
  if (program.empty()) return false;
  Command words = {"/bin/sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &", "sh", program};
  words.insert(words.end(), command.begin() + 1, command.end());
  std::vector<char*> argv = Argv(words);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  return Reap(pid) == 0;
}

namespace {

int RunCommandImpl(const Command& command, int timeoutMs, std::string* out,
                   const std::function<bool()>* whileWaiting) {
  if (command.empty()) return -1;
  const std::string program = FindProgram(command[0]);
  if (program.empty()) return -1;
  Command words = command;
  words[0] = program;
  std::vector<char*> argv = Argv(words);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    return -1;
  }
  // The output is read until the program closes it; a program that keeps it
  // open past the time-out, or that the caller gives up on, is killed.
  bool timedOut = false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, whileWaiting ? 0 : static_cast<int>(left));
    if (ready <= 0) {
      if (whileWaiting && !(*whileWaiting)()) {
        timedOut = true;
        break;
      }
      continue;  // a signal or the time-out: checked above
    }
    char buffer[4096];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (out) out->append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timedOut) kill(pid, SIGKILL);
  const int status = Reap(pid);
  return timedOut ? -1 : status;
}

}  // namespace

int RunCommand(const Command& command, int timeoutMs, std::string* out) {
  return RunCommandImpl(command, timeoutMs, out, nullptr);
}

int RunCommandWhile(const Command& command, int timeoutMs, const std::function<bool()>& whileWaiting) {
  return RunCommandImpl(command, timeoutMs, nullptr, whileWaiting ? &whileWaiting : nullptr);
}

std::optional<std::string> RunForOutput(const Command& command, int timeoutMs) {
  std::string out;
  if (RunCommand(command, timeoutMs, &out) != 0) return std::nullopt;
  return out;
}

std::string CommandText(const Command& command) {
  std::string text;
  for (const std::string& w : command) {
    if (!text.empty()) text += ' ';
    const bool plain = !w.empty() && w.find_first_of(" \t'\"\\$`") == std::string::npos;
    if (plain) {
      text += w;
      continue;
    }
    text += '\'';
    for (char c : w) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    text += '\'';
  }
  return text;
}

}  // namespace orvane
