#include "tools/office-sim/Faults.h"

#include "tools/office-sim/RuleText.h"

namespace officesim {

std::string RequestKey::Text() const {
  return service + " " + request + " " + (number.empty() ? "-" : number) + " " + std::to_string(page);
}

bool FaultRule::Matches(const RequestKey& key) const {
  if (service != "*" && service != key.service) return false;
  if (request != "*" && request != key.request) return false;
  if (!number.empty() && number != key.number) return false;
  return page == 0 || page == key.page;
}

bool ParseFaultRule(const std::string& text, FaultRule& rule, std::string& error) {
  FaultRule r;
  for (const auto& [key, value] : SplitRule(text)) {
    int n = 0;
    bool numeric = ParseInt(value, n) && n >= 0;
    if (key == "service") {
      r.service = value;
    } else if (key == "request") {
      r.request = value;
    } else if (key == "number") {
      r.number = value;
    } else if (key == "reset") {
      r.reset = true;
    } else if (key == "truncate") {
      r.truncate = true;
    } else if (key == "html") {
      r.html = true;
    } else if (!numeric) {
      error = "\"" + key + "\" needs a number of 0 or more";
      return false;
    } else if (key == "page") {
      r.page = n;
    } else if (key == "latency") {
      r.latencyMs = n;
    } else if (key == "status") {
      r.status = n;
    } else if (key == "stall") {
      r.stallMs = n;
    } else if (key == "stallbody") {
      r.stallBodyMs = n;
    } else if (key == "first") {
      r.first = n;
    } else {
      error = "unknown fault field \"" + key + "\"";
      return false;
    }
  }
  if (r.status != 0 && (r.status < 100 || r.status > 599)) {
    error = "status must be an HTTP status (100..599)";
    return false;
  }
  rule = r;
  return true;
}

void FaultTable::Add(const FaultRule& rule) {
  std::lock_guard lock(m_mutex);
  m_rules.push_back(rule);
}

void FaultTable::Reset() {
  std::lock_guard lock(m_mutex);
  m_rules.clear();
  m_attempts.clear();
  m_log.clear();
}

FaultDecision FaultTable::Decide(const RequestKey& key) {
  std::lock_guard lock(m_mutex);
  FaultDecision d;
  d.attempt = ++m_attempts[key.Text()];
  for (const FaultRule& rule : m_rules) {
    if (!rule.Matches(key)) continue;
    d.latencyMs += rule.latencyMs;
    bool active = rule.first == 0 || d.attempt <= rule.first;
    if (rule.Fails() && active && !d.fails) {
      d.fails = true;
      d.failure = rule;
    }
  }
  return d;
}

void FaultTable::Record(const RequestKey& key, int attempt, const std::string& outcome) {
  std::lock_guard lock(m_mutex);
  m_log.push_back(key.Text() + " " + std::to_string(attempt) + " " + outcome);
}

std::vector<std::string> FaultTable::Log() const {
  std::lock_guard lock(m_mutex);
  return m_log;
}

}  // namespace officesim
