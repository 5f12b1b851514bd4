#include "tools/office-sim/RuleText.h"

#include <charconv>

namespace officesim {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SplitRule(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> parts;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find(',', pos);
    if (end == std::string::npos) end = text.size();
    std::string part = Trim(text.substr(pos, end - pos));
    if (!part.empty()) {
      size_t eq = part.find('=');
      if (eq == std::string::npos) {
        parts.emplace_back(part, "");
      } else {
        parts.emplace_back(Trim(part.substr(0, eq)), Trim(part.substr(eq + 1)));
      }
    }
    pos = end + 1;
  }
  return parts;
}

bool ParseInt(const std::string& text, int& value) {
  if (text.empty()) return false;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && ptr == text.data() + text.size();
}

std::string RawQueryValue(const std::string& target, const std::string& key) {
  size_t q = target.find('?');
  if (q == std::string::npos) return "";
  std::string query = target.substr(q + 1);
  size_t pos = 0;
  while (pos <= query.size()) {
    size_t end = query.find('&', pos);
    if (end == std::string::npos) end = query.size();
    std::string part = query.substr(pos, end - pos);
    if (part.compare(0, key.size() + 1, key + "=") == 0) return part.substr(key.size() + 1);
    pos = end + 1;
  }
  return "";
}

}  // namespace officesim
