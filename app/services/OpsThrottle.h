#pragma once
// The fair-use signals of the EPO's Open Patent Services and the governor
// that obeys them.
//
// Every answer carries "X-Throttling-Control", e.g.
//   "busy (images=green:100, inpadoc=green:45, other=green:1000, retrieval=green:100, search=yellow:15)"
// the overall state of the service, then per service a colour and the
// requests per minute it allows. A refusal for fair use is a 403 answer with
// "X-Rejection-Reason" and usually "Retry-After" (seconds). The quota used so
// far comes in "X-IndividualQuotaPerHour-Used" and
// "X-RegisteredQuotaPerWeek-Used" (bytes).
//
// The governor is a plain object with an injected clock (the caller passes
// the time), so its decisions can be tested without waiting.
#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace orvane {

enum class OpsColour { Green, Yellow, Red, Black };

struct OpsServiceLimit {
  OpsColour colour = OpsColour::Green;
  int perMinute = 0;
};

struct OpsThrottling {
  std::string overall;  // "idle", "busy", "overloaded"
  std::map<std::string, OpsServiceLimit> services;
};

// Parses the value of X-Throttling-Control; nullopt when it is not of the
// form above (an entry with an unknown colour or a rate that is no number
// makes the whole value unusable).
std::optional<OpsThrottling> ParseThrottlingControl(const std::string& value);
// Retry-After in whole seconds; nullopt when absent or not a number.
std::optional<long long> ParseRetryAfter(const std::string& value);
// A quota counter; nullopt when absent or not a number.
std::optional<long long> ParseQuota(const std::string& value);
const char* ColourName(OpsColour colour);

// What one answer said, as the governor needs it.
struct OpsAnswer {
  long status = 0;
  std::string throttling;   // X-Throttling-Control
  std::string rejection;    // X-Rejection-Reason
  std::string retryAfter;   // Retry-After
  std::string quotaHour;    // X-IndividualQuotaPerHour-Used
  std::string quotaWeek;    // X-RegisteredQuotaPerWeek-Used
};

class OpsGovernor {
 public:
  using Clock = std::chrono::steady_clock;
  using Duration = std::chrono::milliseconds;

  // `minute` is the length of the minute the rates count in (one real
  // minute; tests against the simulator make it shorter).
  explicit OpsGovernor(Duration minute = std::chrono::minutes(1));

  // True when a request to `service` may be sent at `now`; a true answer
  // counts the request as sent. Green allows the announced rate, yellow or
  // an overloaded service half of it; red, black and a refusal allow
  // nothing until the hold ends, and then one request to learn the new state.
  bool TryAcquire(const std::string& service, Clock::time_point now);
  // The answer to a request of `service`. True when it was a fair-use
  // refusal: the request was not served and must be sent again.
  bool OnAnswer(const std::string& service, const OpsAnswer& answer, Clock::time_point now);

  // True while red, black or a refusal hold every request back.
  bool Holding(Clock::time_point now) const { return now < m_holdUntil || ProbeOut(now); }
  Clock::time_point HoldUntil() const { return m_holdUntil; }
  // The state as the window's status label shows it.
  std::string StateText(Clock::time_point now) const;
  // The quota counters last seen (bytes; -1 when never seen).
  long long QuotaHour() const { return m_quotaHour; }
  long long QuotaWeek() const { return m_quotaWeek; }
  // Requests per minute currently allowed for `service` (0 while holding).
  int AllowedRate(const std::string& service) const;
  bool SawRefusal() const { return m_refusals > 0; }
  int Refusals() const { return m_refusals; }

 private:
  Duration Interval(const std::string& service) const;
  // A probe whose answer never came (the transfer failed) stops counting
  // after a minute, so the governor cannot wait for it forever.
  bool ProbeOut(Clock::time_point now) const { return m_probeOut && now - m_probeSent < m_minute; }
  void Hold(Clock::time_point until);

  Duration m_minute;
  std::optional<OpsThrottling> m_state;
  std::map<std::string, Clock::time_point> m_lastSend;
  Clock::time_point m_holdUntil{};
  bool m_held = false;      // a hold began and its probe has not been sent
  bool m_probeOut = false;  // the one request after a hold awaits its answer
  Clock::time_point m_probeSent{};
  std::string m_rejection;
  long long m_quotaHour = -1;
  long long m_quotaWeek = -1;
  int m_refusals = 0;
};

}  // namespace orvane
