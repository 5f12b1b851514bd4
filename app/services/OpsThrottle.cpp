#include "app/services/OpsThrottle.h"

#include <cctype>

namespace orvane {
namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::optional<long long> Digits(const std::string& text, long long max) {
  const std::string s = Trim(text);
  if (s.empty() || s.size() > 18) return std::nullopt;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v > max ? max : v;
}

std::optional<OpsColour> Colour(const std::string& name) {
  if (name == "green") return OpsColour::Green;
  if (name == "yellow") return OpsColour::Yellow;
  if (name == "red") return OpsColour::Red;
  if (name == "black") return OpsColour::Black;
  return std::nullopt;
}

// Until an answer says otherwise, a service is taken to allow this many
// requests a minute.
constexpr int kUnknownRate = 30;
// Longer waits are taken as this long (a week, the longest quota period).
constexpr long long kMaxRetryAfterSeconds = 7 * 24 * 3600;

}  // namespace

const char* ColourName(OpsColour colour) {
  switch (colour) {
    case OpsColour::Green: return "green";
    case OpsColour::Yellow: return "yellow";
    case OpsColour::Red: return "red";
    case OpsColour::Black: return "black";
  }
  return "";
}

std::optional<OpsThrottling> ParseThrottlingControl(const std::string& value) {
  const std::string s = Trim(value);
  const size_t open = s.find('(');
  const size_t close = s.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
  OpsThrottling result;
  result.overall = Trim(s.substr(0, open));
  if (result.overall.empty()) return std::nullopt;
  const std::string list = s.substr(open + 1, close - open - 1);
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t comma = list.find(',', pos);
    if (comma == std::string::npos) comma = list.size();
    const std::string entry = Trim(list.substr(pos, comma - pos));
    pos = comma + 1;
    if (entry.empty()) continue;
    const size_t eq = entry.find('=');
    const size_t colon = entry.find(':', eq == std::string::npos ? 0 : eq);
    if (eq == std::string::npos || colon == std::string::npos) return std::nullopt;
    auto colour = Colour(Trim(entry.substr(eq + 1, colon - eq - 1)));
    auto rate = Digits(entry.substr(colon + 1), 1000000);
    const std::string name = Trim(entry.substr(0, eq));
    if (!colour || !rate || name.empty()) return std::nullopt;
    result.services[name] = OpsServiceLimit{*colour, static_cast<int>(*rate)};
  }
  return result;
}

std::optional<long long> ParseRetryAfter(const std::string& value) { return Digits(value, kMaxRetryAfterSeconds); }

std::optional<long long> ParseQuota(const std::string& value) { return Digits(value, 1LL << 62); }

OpsGovernor::OpsGovernor(Duration minute) : m_minute(minute.count() > 0 ? minute : std::chrono::minutes(1)) {}

int OpsGovernor::AllowedRate(const std::string& service) const {
  if (!m_state) return kUnknownRate;
  auto it = m_state->services.find(service);
  if (it == m_state->services.end()) return kUnknownRate;
  if (it->second.colour == OpsColour::Red || it->second.colour == OpsColour::Black) return 0;
  return it->second.perMinute;
}

OpsGovernor::Duration OpsGovernor::Interval(const std::string& service) const {
  int rate = AllowedRate(service);
  if (rate <= 0) return m_minute;
  bool slow = m_state && m_state->overall == "overloaded";
  if (m_state) {
    auto it = m_state->services.find(service);
    if (it != m_state->services.end() && it->second.colour == OpsColour::Yellow) slow = true;
  }
  // Yellow asks the client to slow down: half the allowed rate leaves the
  // service room before it turns red.
  Duration interval = m_minute / rate;
  return slow ? interval * 2 : interval;
}

void OpsGovernor::Hold(Clock::time_point until) {
  if (until > m_holdUntil) m_holdUntil = until;
  m_held = true;
  m_probeOut = false;
}

bool OpsGovernor::TryAcquire(const std::string& service, Clock::time_point now) {
  if (now < m_holdUntil || ProbeOut(now)) return false;
  if (m_held || m_probeOut) {
    // After a hold one request learns whether the service is back.
    m_held = false;
    m_probeOut = true;
    m_probeSent = now;
    m_lastSend[service] = now;
    return true;
  }
  if (AllowedRate(service) <= 0) return false;
  auto last = m_lastSend.find(service);
  if (last != m_lastSend.end() && now - last->second < Interval(service)) return false;
  m_lastSend[service] = now;
  return true;
}

bool OpsGovernor::OnAnswer(const std::string& service, const OpsAnswer& answer, Clock::time_point now) {
  m_probeOut = false;
  if (auto hour = ParseQuota(answer.quotaHour)) m_quotaHour = *hour;
  if (auto week = ParseQuota(answer.quotaWeek)) m_quotaWeek = *week;
  if (auto state = ParseThrottlingControl(answer.throttling)) m_state = std::move(state);
  const auto retry = ParseRetryAfter(answer.retryAfter);
  const Duration wait = retry ? Duration(std::chrono::seconds(*retry)) : m_minute;
  const bool refused = (answer.status == 403 && !answer.rejection.empty()) || answer.status == 429 ||
                       (answer.status == 503 && retry);
  if (refused) {
    ++m_refusals;
    m_rejection = answer.rejection.empty() ? std::to_string(answer.status) : answer.rejection;
    Hold(now + wait);
    return true;
  }
  m_rejection.clear();
  if (AllowedRate(service) <= 0) {
    // Red or black: nothing goes out before the wait is over.
    Hold(now + wait);
  }
  return false;
}

std::string OpsGovernor::StateText(Clock::time_point now) const {
  std::string text = "EPO OPS";
  if (m_state) {
    text += " " + m_state->overall;
    auto it = m_state->services.find("images");
    if (it != m_state->services.end()) {
      text += " (images=" + std::string(ColourName(it->second.colour)) + ":" +
              std::to_string(it->second.perMinute) + ")";
    }
  }
  if (now < m_holdUntil) {
    const auto left = std::chrono::duration_cast<std::chrono::seconds>(m_holdUntil - now).count() + 1;
    text += m_rejection.empty() ? " - 사용 제한, " : " - 사용 거부(" + m_rejection + "), ";
    text += std::to_string(left) + "초 기다립니다";
  }
  return text;
}

}  // namespace orvane
