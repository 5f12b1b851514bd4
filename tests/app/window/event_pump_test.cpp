#include <gtest/gtest.h>

#include <chrono>

#include "app/window/EventPump.h"

namespace orvane {
namespace {

using namespace std::chrono_literals;

TEST(EventPumpTest, waitEndsWhenDoneStoppedOrTimedOut) {
  EventPump pump;
  int polled = 0;
  pump.addPoller([&](int) { ++polled; });
  EXPECT_EQ(pump.waitUntil([&] { return polled >= 3; }, nullptr, 5s), EventPump::WaitResult::Done);
  EXPECT_EQ(polled, 3);
  bool stop = false;
  pump.addPoller([&](int) { stop = true; });
  EXPECT_EQ(pump.waitUntil([] { return false; }, [&] { return stop; }, 5s), EventPump::WaitResult::Stopped);
  EXPECT_EQ(pump.waitUntil([] { return false; }, nullptr, 30ms), EventPump::WaitResult::TimedOut);
}

TEST(EventPumpTest, stopIsTestedBeforeDone) {
  EventPump pump;
  EXPECT_EQ(pump.waitUntil([] { return true; }, [] { return true; }, 1s), EventPump::WaitResult::Stopped);
}

TEST(EventPumpTest, pollersGetTheTimeBudgetAndTheUiHookRunsEveryTurn) {
  EventPump pump;
  int budget = -1, ui = 0;
  pump.addPoller([&](int maxWaitMs) { budget = maxWaitMs; });
  pump.setUiHook([&] { ++ui; });
  pump.pumpEvents(50);
  EXPECT_GT(budget, 0);
  EXPECT_LE(budget, 50);
  pump.pumpEvents(0);
  EXPECT_EQ(budget, 0);
  EXPECT_EQ(ui, 2);
}

TEST(EventPumpTest, idlePumpSleepsInsteadOfSpinning) {
  EventPump pump;
  auto start = std::chrono::steady_clock::now();
  pump.pumpFor(60ms, nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
  EXPECT_LT(pump.turns(), 20);
}

TEST(EventPumpTest, pollerMayPumpAgainAndRemoveItselfWhileRunning) {
  EventPump pump;
  int id = 0, depth = 0, maxDepth = 0, calls = 0;
  id = pump.addPoller([&](int) {
    ++calls;
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    if (depth < 3) pump.pumpEvents(0);
    if (depth == 1) pump.removePoller(id);
    --depth;
  });
  pump.pumpEvents(0);
  EXPECT_EQ(maxDepth, 3);
  pump.pumpEvents(0);
  EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace orvane
