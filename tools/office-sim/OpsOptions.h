#pragma once
// The simulator's fair-use play for the EPO's Open Patent Services: the
// length of its minute, the colour phases of the "images" service, a
// refused page and a token that runs out early (see OpsService.cpp).
#include <string>
#include <vector>

namespace officesim {

struct OpsPhase {
  std::string colour;  // "green", "yellow", "red", "black"
  int at = 0;          // from this images request on (1-based)
  int value = 0;       // green/yellow: requests a minute; red/black: simulated seconds
};

struct OpsOptions {
  int minuteMs = 60000;
  int greenRate = 200;
  std::vector<OpsPhase> phases;
  int refuseAt = 0;  // this page request is refused (0: none)
  int refuseSeconds = 1;
  int expireAfter = 0;  // the first token stops working after this many page requests (0: never)
};

// "green=200,yellow@6:20,red@14:30"; false with the reason in `error`.
bool ParseOpsThrottle(const std::string& text, OpsOptions& options, std::string& error);
// "N" or "N:SECONDS".
bool ParseOpsRefuse(const std::string& text, OpsOptions& options, std::string& error);

}  // namespace officesim
