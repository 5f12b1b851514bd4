#pragma once
// Drives every Transfer of the program over one libcurl multi handle.
//
// Nothing happens in the background: all network progress is made inside
// Poll(), which the program's event pump calls on the window thread. Poll
// also delivers the transfers' queued state notices to their handlers, so a
// handler runs on the same thread and may itself call Poll() (through the
// pump) while it reads a body; a transfer never receives a notice while its
// own handler is still running.
//
// Owned by whoever owns the transfers (the main window's transfer set); it
// must outlive every Transfer registered with it.
#include <curl/curl.h>

#include <functional>
#include <string>
#include <vector>

namespace orvane {

class Transfer;

class TransferEngine {
 public:
  TransferEngine();
  ~TransferEngine();
  TransferEngine(const TransferEngine&) = delete;
  TransferEngine& operator=(const TransferEngine&) = delete;

  // "HOST:PORT" that every request connects to while keeping its host name,
  // or "" for ordinary name lookup. Applies to requests started afterwards.
  void SetConnectTo(const std::string& hostPort) { m_connectTo = hostPort; }
  const std::string& ConnectTo() const { return m_connectTo; }

  // Makes progress on every running request, checks time-outs and delivers
  // queued notices. Waits up to maxWaitMs for network activity, but not at
  // all when a notice is ready to be delivered.
  void Poll(int maxWaitMs);

  // Called on every turn of a synchronous fetch's wait, so that the window's
  // own events keep running during it. Empty by default.
  void SetIdleHook(std::function<void()> hook) { m_idleHook = std::move(hook); }
  void RunIdleHook() const {
    if (m_idleHook) m_idleHook();
  }

  // True while any registered transfer is executing.
  bool AnyExecuting() const;

 private:
  friend class Transfer;
  void Register(Transfer* transfer);
  void Unregister(Transfer* transfer);
  bool Attach(CURL* easy);
  void Detach(CURL* easy);
  void CollectFinished();
  void CheckTimeouts();
  void DeliverNotices();
  int WaitBudgetMs(int maxWaitMs) const;

  CURLM* m_multi = nullptr;
  std::vector<Transfer*> m_transfers;
  std::string m_connectTo;
  std::function<void()> m_idleHook;
};

}  // namespace orvane
