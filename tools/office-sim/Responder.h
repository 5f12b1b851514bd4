#pragma once
// Sends a service's answer through the fault table: counts the attempt,
// applies latency and the failure a rule asks for, and logs the outcome.
// Every service answers through here, so every fault works for every service.
#include <httplib.h>

#include <string>

#include "tools/office-sim/Faults.h"

namespace officesim {

struct Reply {
  int status = 200;
  std::string contentType = "text/html";
  std::string body;
};

void Respond(const httplib::Request& req, httplib::Response& res, FaultTable& faults,
             const RequestKey& key, Reply reply);

// The HTML page a busy or failing server answers with.
std::string ErrorPage(int status, const std::string& message);

}  // namespace officesim
