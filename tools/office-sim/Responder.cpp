#include "tools/office-sim/Responder.h"

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace officesim {
namespace {

void SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int Port(const sockaddr_storage& addr) {
  if (addr.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
  if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
  return -1;
}

// The server library does not hand its connection socket to a handler, so
// the socket is found by its two ports among the process's descriptors.
int FindConnection(int localPort, int remotePort) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/proc/self/fd"), closedir);
  if (!dir) return -1;
  while (dirent* entry = readdir(dir.get())) {
    int fd = std::atoi(entry->d_name);
    if (fd <= 2) continue;
    sockaddr_storage local{}, peer{};
    socklen_t ll = sizeof local, pl = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &ll) != 0) continue;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &pl) != 0) continue;
    if (Port(local) == localPort && Port(peer) == remotePort) return fd;
  }
  return -1;
}

// Resets the request's connection: with a zero linger time the close sends
// RST. The descriptor is replaced by /dev/null in one step (dup2) so that the
// number stays taken until the server closes it, and the server's own writes
// then fail harmlessly. A status line goes out first: a client
// that got nothing at all on a reused connection may take it for a stale
// keep-alive connection and quietly send the request again, which would
// make the attempts uncountable.
bool ResetConnection(const httplib::Request& req) {
  int fd = FindConnection(req.local_port, req.remote_port);
  if (fd < 0) return false;
  static const char kStart[] = "HTTP/1.1 200 OK\r\n";
  if (send(fd, kStart, sizeof kStart - 1, MSG_NOSIGNAL) < 0) return false;
  // Give the bytes time to leave before the reset discards the send queue.
  SleepMs(20);
  linger lg{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
  int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null < 0) return false;
  bool ok = dup2(null, fd) >= 0;
  close(null);
  return ok;
}

// Sends the first half of the body, then either stops (truncate: the
// connection closes short of the announced length) or waits and sends the rest.
void PartialBody(httplib::Response& res, const Reply& reply, int pauseMs, bool finish) {
  auto body = std::make_shared<std::string>(reply.body);
  size_t half = body->size() / 2;
  res.status = reply.status;
  res.set_content_provider(
      body->size(), reply.contentType,
      [body, half, pauseMs, finish](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset < half) return sink.write(body->data(), half);
        if (!finish) return false;
        SleepMs(pauseMs);
        return sink.write(body->data() + offset, body->size() - offset);
      });
}

}  // namespace

std::string ErrorPage(int status, const std::string& message) {
  return "<HTML>\n<HEAD><TITLE>" + std::to_string(status) + " " + message +
         "</TITLE></HEAD>\n<BODY>\n<H1>" + message +
         "</H1>\n<P>The server could not answer the request. Please try again later.\n"
         "</BODY>\n</HTML>\n";
}

void Respond(const httplib::Request& req, httplib::Response& res, FaultTable& faults,
             const RequestKey& key, Reply reply) {
  FaultDecision d = faults.Decide(key);
  SleepMs(d.latencyMs);
  std::string outcome = reply.status >= 200 && reply.status < 300 ? "ok" : "status=" + std::to_string(reply.status);
  if (d.fails) {
    const FaultRule& f = d.failure;
    if (f.reset) {
      outcome = ResetConnection(req) ? "reset" : "reset-failed";
    } else if (f.stallMs) {
      outcome = "stall";
      SleepMs(f.stallMs);
    } else if (f.status) {
      outcome = "status=" + std::to_string(f.status);
      reply = {f.status, "text/html", ErrorPage(f.status, "Server error")};
    } else if (f.html) {
      outcome = "html";
      reply = {200, "text/html", ErrorPage(200, "The server is busy")};
    } else if (f.truncate) {
      outcome = "truncate";
      faults.Record(key, d.attempt, outcome);
      PartialBody(res, reply, 0, false);
      return;
    } else if (f.stallBodyMs) {
      outcome = "stallbody";
      faults.Record(key, d.attempt, outcome);
      PartialBody(res, reply, f.stallBodyMs, true);
      return;
    }
  }
  faults.Record(key, d.attempt, outcome);
  res.status = reply.status;
  res.set_content(reply.body, reply.contentType);
}

}  // namespace officesim
