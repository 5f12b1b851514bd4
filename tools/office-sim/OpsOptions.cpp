#include "tools/office-sim/OpsOptions.h"

#include "tools/office-sim/RuleText.h"

namespace officesim {

bool ParseOpsThrottle(const std::string& text, OpsOptions& options, std::string& error) {
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t comma = text.find(',', pos);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(pos, comma - pos);
    pos = comma + 1;
    if (item.empty()) continue;
    int n = 0;
    if (item.rfind("green=", 0) == 0) {
      if (!ParseInt(item.substr(6), n) || n < 1 || n > 100000) {
        error = "bad green rate in " + item;
        return false;
      }
      options.greenRate = n;
      continue;
    }
    const size_t at = item.find('@');
    const size_t colon = item.find(':', at == std::string::npos ? 0 : at);
    OpsPhase phase;
    if (at == std::string::npos || colon == std::string::npos) {
      error = "expected COLOUR@N:VALUE, got " + item;
      return false;
    }
    phase.colour = item.substr(0, at);
    if (phase.colour != "green" && phase.colour != "yellow" && phase.colour != "red" && phase.colour != "black") {
      error = "unknown colour " + phase.colour;
      return false;
    }
    if (!ParseInt(item.substr(at + 1, colon - at - 1), phase.at) || phase.at < 1 ||
        !ParseInt(item.substr(colon + 1), phase.value) || phase.value < 0 || phase.value > 100000) {
      error = "bad numbers in " + item;
      return false;
    }
    options.phases.push_back(phase);
  }
  return true;
}

bool ParseOpsRefuse(const std::string& text, OpsOptions& options, std::string& error) {
  const size_t colon = text.find(':');
  int at = 0, seconds = 1;
  if (!ParseInt(text.substr(0, colon), at) || at < 1 ||
      (colon != std::string::npos && (!ParseInt(text.substr(colon + 1), seconds) || seconds < 0 || seconds > 3600))) {
    error = "expected N or N:SECONDS";
    return false;
  }
  options.refuseAt = at;
  options.refuseSeconds = seconds;
  return true;
}

}  // namespace officesim
