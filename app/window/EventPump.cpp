#include "app/window/EventPump.h"

#include <thread>

namespace orvane {

using Clock = std::chrono::steady_clock;

int EventPump::addPoller(Poller poller) {
  int id = m_nextId++;
  m_pollers.emplace_back(id, std::move(poller));
  return id;
}

void EventPump::removePoller(int id) {
  for (auto it = m_pollers.begin(); it != m_pollers.end(); ++it) {
    if (it->first == id) {
      m_pollers.erase(it);
      return;
    }
  }
}

void EventPump::pumpEvents(int maxWaitMs) {
  ++m_turns;
  if (maxWaitMs < 0) maxWaitMs = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(maxWaitMs);
  // A poller may pump again from inside a handler it runs, and may remove
  // itself; work on a copy so nesting never invalidates this loop.
  auto pollers = m_pollers;
  for (auto& [id, poller] : pollers) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    poller(left > 0 ? static_cast<int>(left) : 0);
  }
  if (m_uiHook) m_uiHook();
  // Pollers that had nothing to wait for leave time over; sleeping it off
  // keeps a wait loop from spinning.
  if (maxWaitMs > 0) std::this_thread::sleep_until(deadline);
}

EventPump::WaitResult EventPump::waitUntil(const std::function<bool()>& done,
                                           const std::function<bool()>& stop,
                                           std::chrono::milliseconds timeout) {
  const bool forever = timeout.count() <= 0;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (stop && stop()) return WaitResult::Stopped;
    if (done()) return WaitResult::Done;
    if (!forever && Clock::now() >= deadline) return WaitResult::TimedOut;
    pumpEvents(kDefaultSliceMs);
  }
}

bool EventPump::pumpFor(std::chrono::milliseconds duration, const std::function<bool()>& stop) {
  const auto deadline = Clock::now() + duration;
  return waitUntil([&] { return Clock::now() >= deadline; }, stop) == WaitResult::Done;
}

}  // namespace orvane
