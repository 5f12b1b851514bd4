// Feeds the bytes to the readers of the EPO OPS answers the program gets over
// the network: the image inquiry, the token answer, the throttling headers
// and the typed number. Only crashes, hangs and leaks count here.
#include <cstdint>
#include <string>

#include "app/services/OpsInquiry.h"
#include "app/services/OpsNumbers.h"
#include "app/services/OpsThrottle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const orvane::OpsDocumentInstance& instance : orvane::ParseImageInquiry(text)) {
    for (const orvane::OpsSection& section : instance.sections) (void)instance.SectionEnd(section.name);
  }
  (void)orvane::FullDocument(orvane::ParseImageInquiry(text));
  (void)orvane::ParseTokenAnswer(text);
  (void)orvane::MapOpsNumber(text);
  orvane::OpsGovernor governor;
  orvane::OpsAnswer answer;
  answer.status = size % 2 ? 403 : 200;
  answer.throttling = text;
  answer.retryAfter = text.substr(0, 12);
  answer.rejection = size % 3 ? "" : "RobotDetected";
  auto now = orvane::OpsGovernor::Clock::time_point{};
  (void)governor.TryAcquire("images", now);
  (void)governor.OnAnswer("images", answer, now);
  (void)governor.TryAcquire("images", now + std::chrono::seconds(1));
  (void)governor.StateText(now);
  return 0;
}
