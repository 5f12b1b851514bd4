#pragma once
// Starts the office simulator for a test on 127.0.0.1 with a free port, reads
// its "listening on" line (with a time-out), and stops it again.
#include <curl/curl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace orvane::test {

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> extraArgs = {}) {
    std::vector<std::string> args = {OFFICE_SIM_PATH, "--port", "0"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    m_out = fds[0];
    m_firstLine = ReadLine(10000);
    const std::string prefix = "listening on 127.0.0.1:";
    if (m_firstLine.rfind(prefix, 0) == 0) m_port = std::stoi(m_firstLine.substr(prefix.size()));
  }

  ~SimProcess() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      int status = 0;
      for (int i = 0; i < 200 && waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (waitpid(m_pid, &status, WNOHANG) == 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
      }
    }
    if (m_out >= 0) close(m_out);
  }

  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Ok() const { return m_port > 0; }
  int Port() const { return m_port; }
  const std::string& FirstLine() const { return m_firstLine; }
  std::string ConnectTo() const { return "127.0.0.1:" + std::to_string(m_port); }
  std::string Base() const { return "http://" + ConnectTo(); }

  // Exit status once the process has ended by itself (waits up to timeoutMs), or -1.
  int WaitExit(int timeoutMs) {
    int status = 0;
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  // A blocking request to the simulator's control endpoint; the body it got.
  std::string Control(const std::string& path, const std::string& body = "", bool post = true) const {
    std::string out;
    CURL* easy = curl_easy_init();
    std::string url = Base() + path;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    if (post) curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, +[](char* d, size_t s, size_t n, void* o) {
      static_cast<std::string*>(o)->append(d, s * n);
      return s * n;
    });
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &out);
    curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    return out;
  }
  void Reset() const { Control("/_sim/reset"); }
  void Fault(const std::string& rule) const { Control("/_sim/fault", rule); }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream in(Control("/_sim/log", "", false));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string ReadLine(int timeoutMs) {
    std::string line;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{m_out, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(m_out, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }

  pid_t m_pid = -1;
  int m_out = -1;
  int m_port = 0;
  std::string m_firstLine;
};

// One simulator shared by the tests of a suite: started with the suite, stopped
// after it, and reset before each test. Fixtures hold it as `static inline SharedSim`.
class SharedSim {
 public:
  void Start(std::vector<std::string> extraArgs = {}) { m_sim = std::make_unique<SimProcess>(std::move(extraArgs)); }
  void Stop() { m_sim.reset(); }
  SimProcess* operator->() const { return m_sim.get(); }

  // The simulator is up, with no faults left and an empty log; use in ASSERT_TRUE.
  testing::AssertionResult ReadyForTest() const {
    if (!m_sim || !m_sim->Ok())
      return testing::AssertionFailure() << "office-sim did not start: " << (m_sim ? m_sim->FirstLine() : "");
    m_sim->Reset();
    return testing::AssertionSuccess();
  }

 private:
  std::unique_ptr<SimProcess> m_sim;
};

}  // namespace orvane::test
