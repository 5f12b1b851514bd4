#pragma once
// Fault injection of the office simulator, and its request log.
//
// A rule names the requests it applies to (service, request kind, document
// number, page; each may be left open) and what happens to them: added
// latency, an HTTP error status, a connection reset, a stall before the
// answer or in the middle of the body, a truncated body, an HTML page sent
// with status 200. With first=N only the first N attempts of each matching
// request fail; the attempts of a request (service, kind, number, page) are
// counted from the start or the last reset.
//
// Rules come from the command line (--fault) or the control endpoint; the
// table is shared by the server's worker threads.
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace officesim {

struct RequestKey {
  std::string service;  // "espacenet", later "uspto", "ipdl", "delphion", "kipris"
  std::string request;  // "page", "abstract", "nav", ...
  std::string number;
  int page = 0;
  std::string Text() const;
};

struct FaultRule {
  std::string service = "*";
  std::string request = "*";
  std::string number;  // empty: any
  int page = 0;        // 0: any
  int latencyMs = 0;
  int status = 0;
  bool reset = false;
  int stallMs = 0;      // nothing is sent for this long
  int stallBodyMs = 0;  // half the body, then nothing for this long
  bool truncate = false;
  bool html = false;
  int first = 0;  // 0: every attempt

  bool Fails() const { return status || reset || stallMs || stallBodyMs || truncate || html; }
  bool Matches(const RequestKey& key) const;
};

// Parses "service=espacenet,request=page,page=3,status=500,first=2".
bool ParseFaultRule(const std::string& text, FaultRule& rule, std::string& error);

struct FaultDecision {
  int attempt = 0;
  int latencyMs = 0;
  bool fails = false;
  FaultRule failure;  // the first matching rule that fails this attempt
};

class FaultTable {
 public:
  void Add(const FaultRule& rule);
  void Reset();  // rules, attempt counts and log
  // Counts the attempt and decides its fate.
  FaultDecision Decide(const RequestKey& key);
  // One line per request: "service request number page attempt outcome".
  void Record(const RequestKey& key, int attempt, const std::string& outcome);
  std::vector<std::string> Log() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<FaultRule> m_rules;
  std::map<std::string, int> m_attempts;
  std::vector<std::string> m_log;
};

}  // namespace officesim
