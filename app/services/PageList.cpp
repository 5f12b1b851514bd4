#include "app/services/PageList.h"

#include <cstdint>
#include <limits>

#include "app/services/SectionAssembly.h"

namespace orvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int PageNumber(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end || end - begin > 6) return 0;
  int value = 0;
  for (size_t i = begin; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value > std::numeric_limits<std::int16_t>::max() ? 0 : value;
}

std::vector<std::string> SplitPageList(const std::string& text) {
  std::vector<std::string> entries;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    entries.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return entries;
}

const char* ClosingLine(int section) {
  switch (section) {
    case kFullPages: return "++++ Full Pages  Finished ++++";
    case kPageList: return "+++++ Each Page Finished +++++";
    case kDrawings: return "+++++ Drawings  Finished +++++";
    case kDescription: return "+++ Specifications  Finished +++";
    case kClaims: return "++++++ Claims  Finished ++++++";
    default: return "";
  }
}

}  // namespace orvane
