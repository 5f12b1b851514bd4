// The fair-use signals of EPO OPS and the governor's decisions, on a clock
// the test moves by hand.
#include <gtest/gtest.h>

#include "app/services/OpsThrottle.h"

namespace orvane {
namespace {

using namespace std::chrono_literals;
using Clock = OpsGovernor::Clock;

TEST(OpsThrottle, throttlingControlGivesStateColoursAndRates) {
  auto t = ParseThrottlingControl(
      "busy (images=green:100, inpadoc=green:45, other=green:1000, retrieval=yellow:100, search=black:0)");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->overall, "busy");
  ASSERT_EQ(t->services.size(), 5u);
  EXPECT_EQ(t->services["images"].colour, OpsColour::Green);
  EXPECT_EQ(t->services["images"].perMinute, 100);
  EXPECT_EQ(t->services["retrieval"].colour, OpsColour::Yellow);
  EXPECT_EQ(t->services["search"].colour, OpsColour::Black);
  EXPECT_EQ(t->services["search"].perMinute, 0);

  const char* bad[] = {
      "",
      "busy",
      "(images=green:100)",
      "idle (images=purple:100)",
      "idle (images=green:lots)",
      "idle (images=green)",
      "idle (images=green:100",
      "idle (=green:100)",
  };
  for (const char* value : bad) EXPECT_FALSE(ParseThrottlingControl(value)) << value;
}

TEST(OpsThrottle, retryAfterAndQuotaAreWholeNumbers) {
  EXPECT_EQ(ParseRetryAfter("30"), 30);
  EXPECT_EQ(ParseRetryAfter(" 5 "), 5);
  // A wait longer than a week is a week.
  EXPECT_EQ(ParseRetryAfter("99999999999"), 7 * 24 * 3600);
  EXPECT_FALSE(ParseRetryAfter(""));
  EXPECT_FALSE(ParseRetryAfter("-1"));
  EXPECT_FALSE(ParseRetryAfter("Wed, 21 Oct 2015 07:28:00 GMT"));
  EXPECT_EQ(ParseQuota("164828218"), 164828218);
  EXPECT_FALSE(ParseQuota("n/a"));
}

OpsAnswer Answer(const std::string& throttling, long status = 200) {
  OpsAnswer a;
  a.status = status;
  a.throttling = throttling;
  return a;
}

// How many requests the governor lets go in one minute when asked every ms.
int SentInOneMinute(OpsGovernor& g, Clock::time_point& now) {
  int sent = 0;
  const auto end = now + 60s;
  for (; now < end; now += 1ms) sent += g.TryAcquire("images", now) ? 1 : 0;
  return sent;
}

TEST(OpsGovernor, greenAllowsTheRateYellowAndOverloadedHalfOfIt) {
  struct Case {
    const char* header;
    int most;   // at most this many in a minute
    int least;  // and at least this many
  } cases[] = {
      {"idle (images=green:200, other=green:1000)", 200, 199},
      {"busy (images=yellow:60, other=green:1000)", 30, 29},
      {"overloaded (images=green:100)", 50, 49},
      {"idle (images=green:6)", 6, 5},
  };
  for (const Case& c : cases) {
    OpsGovernor g;
    Clock::time_point now{};
    ASSERT_TRUE(g.TryAcquire("images", now));
    EXPECT_FALSE(g.OnAnswer("images", Answer(c.header), now));
    const int sent = SentInOneMinute(g, now);
    EXPECT_LE(sent, c.most) << c.header;
    EXPECT_GE(sent, c.least) << c.header;
  }
}

TEST(OpsGovernor, servicesArePacedSeparately) {
  OpsGovernor g;
  Clock::time_point now{};
  g.OnAnswer("images", Answer("idle (images=green:1, other=green:1000)"), now);
  ASSERT_TRUE(g.TryAcquire("images", now));
  EXPECT_FALSE(g.TryAcquire("images", now + 1s));
  EXPECT_TRUE(g.TryAcquire("other", now + 1s));
}

TEST(OpsGovernor, redHoldsEverythingForAMinuteThenSendsOneProbe) {
  OpsGovernor g(std::chrono::minutes(1));
  Clock::time_point now{};
  ASSERT_TRUE(g.TryAcquire("images", now));
  EXPECT_FALSE(g.OnAnswer("images", Answer("overloaded (images=red:0, other=green:1000)"), now));
  EXPECT_TRUE(g.Holding(now));
  // Nothing goes out during the hold, whatever service asks.
  for (auto t = now; t < now + 60s; t += 100ms) {
    ASSERT_FALSE(g.TryAcquire("images", t));
    ASSERT_FALSE(g.TryAcquire("other", t));
  }
  EXPECT_NE(g.StateText(now + 30s).find("red"), std::string::npos);
  // Then exactly one request learns the state; the rest wait for its answer.
  now += 60s;
  EXPECT_TRUE(g.TryAcquire("images", now));
  EXPECT_FALSE(g.TryAcquire("images", now + 10s));
  // Still red: another minute.
  g.OnAnswer("images", Answer("overloaded (images=red:0)"), now + 10s);
  EXPECT_FALSE(g.TryAcquire("images", now + 69s));
  EXPECT_TRUE(g.TryAcquire("images", now + 70s));
  // Back to green: the announced rate again.
  g.OnAnswer("images", Answer("idle (images=green:600)"), now + 71s);
  EXPECT_FALSE(g.Holding(now + 71s));
  EXPECT_TRUE(g.TryAcquire("images", now + 71s));
  EXPECT_TRUE(g.TryAcquire("images", now + 71s + 100ms));
}

TEST(OpsGovernor, probeWithoutAnswerIsGivenUpAfterAMinute) {
  OpsGovernor g(std::chrono::minutes(1));
  Clock::time_point now{};
  ASSERT_TRUE(g.TryAcquire("images", now));
  g.OnAnswer("images", Answer("overloaded (images=black:0)"), now);
  ASSERT_TRUE(g.TryAcquire("images", now + 60s));  // the probe; its transfer fails
  EXPECT_FALSE(g.TryAcquire("images", now + 119s));
  EXPECT_TRUE(g.TryAcquire("images", now + 120s));  // another probe
  EXPECT_FALSE(g.TryAcquire("images", now + 121s));
}

TEST(OpsGovernor, refusalHonoursRetryAfterAndIsResent) {
  OpsGovernor g(std::chrono::minutes(1));
  Clock::time_point now{};
  OpsAnswer refusal = Answer("idle (images=green:200)", 403);
  refusal.rejection = "IndividualQuotaPerHour";
  refusal.retryAfter = "5";
  ASSERT_TRUE(g.TryAcquire("images", now));
  EXPECT_TRUE(g.OnAnswer("images", refusal, now));
  EXPECT_EQ(g.Refusals(), 1);
  EXPECT_FALSE(g.TryAcquire("images", now + 4999ms));
  EXPECT_NE(g.StateText(now + 1s).find("IndividualQuotaPerHour"), std::string::npos);
  EXPECT_TRUE(g.TryAcquire("images", now + 5s));

  // Without Retry-After the refusal holds for one minute.
  OpsAnswer bare = Answer("", 403);
  bare.rejection = "RobotDetected";
  EXPECT_TRUE(g.OnAnswer("images", bare, now + 6s));
  EXPECT_FALSE(g.TryAcquire("images", now + 65s));
  EXPECT_TRUE(g.TryAcquire("images", now + 66s));

  // A plain 403 or 404 is no fair-use refusal: the slot judges it.
  EXPECT_FALSE(g.OnAnswer("images", Answer("idle (images=green:200)", 403), now + 70s));
  EXPECT_FALSE(g.OnAnswer("images", Answer("idle (images=green:200)", 404), now + 70s));
}

TEST(OpsGovernor, quotaCountersKeepTheLastValueSeen) {
  OpsGovernor g;
  Clock::time_point now{};
  EXPECT_EQ(g.QuotaHour(), -1);
  OpsAnswer a = Answer("idle (images=green:200)");
  a.quotaHour = "1200";
  a.quotaWeek = "98000";
  g.OnAnswer("images", a, now);
  a.quotaHour = "";  // an answer without the counter keeps the old value
  a.quotaWeek = "99000";
  g.OnAnswer("images", a, now);
  EXPECT_EQ(g.QuotaHour(), 1200);
  EXPECT_EQ(g.QuotaWeek(), 99000);
}

TEST(OpsGovernor, unreadableHeaderKeepsTheLastKnownState) {
  OpsGovernor g;
  Clock::time_point now{};
  g.OnAnswer("images", Answer("busy (images=yellow:60)"), now);
  g.OnAnswer("images", Answer("garbage"), now);
  EXPECT_EQ(g.AllowedRate("images"), 60);
  ASSERT_TRUE(g.TryAcquire("images", now));
  EXPECT_FALSE(g.TryAcquire("images", now + 1999ms));
  EXPECT_TRUE(g.TryAcquire("images", now + 2s));
}

}  // namespace
}  // namespace orvane
