#pragma once
// The one place where a wait loop lets pending events run. Everything in the
// program stays on one thread: while a run waits for pages, the pump drives
// the registered pollers (the HTTP transfers register one) and the toolkit's
// event queue (the Qt front end installs a hook), so transfer notices and the
// stop buttons are handled nested inside the wait. Owned by the main window
// model; pollers and the hook must stay valid until removed.

#include <chrono>
#include <functional>
#include <vector>

namespace orvane {

class EventPump {
 public:
  // Does the pending work of one source, blocking at most maxWaitMs for some.
  using Poller = std::function<void(int maxWaitMs)>;
  // Processes the toolkit events already queued, without waiting.
  using UiHook = std::function<void()>;

  enum class WaitResult { Done, Stopped, TimedOut };

  static constexpr int kDefaultSliceMs = 10;

  int addPoller(Poller poller);
  void removePoller(int id);
  void setUiHook(UiHook hook) { m_uiHook = std::move(hook); }

  // Lets pending events run once. Pollers get at most maxWaitMs in all to
  // wait for work; whatever time they leave over the pump sleeps itself, so a
  // wait loop never spins. A poller should return as soon as it has handled
  // something.
  void pumpEvents(int maxWaitMs = 0);

  // Pumps until `done` holds (Done), `stop` holds (Stopped, tested first on
  // every turn) or the timeout passes (TimedOut). A zero timeout waits forever.
  WaitResult waitUntil(const std::function<bool()>& done, const std::function<bool()>& stop,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds::zero());

  // Pumps for the given time; false when `stop` became true first.
  bool pumpFor(std::chrono::milliseconds duration, const std::function<bool()>& stop);

  // How many times pumpEvents ran; tests use it to see that a wait pumped.
  long long turns() const { return m_turns; }

 private:
  std::vector<std::pair<int, Poller>> m_pollers;
  UiHook m_uiHook;
  int m_nextId = 1;
  long long m_turns = 0;
};

}  // namespace orvane
