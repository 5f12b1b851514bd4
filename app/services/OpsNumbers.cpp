#include "app/services/OpsNumbers.h"

#include <cctype>

namespace orvane {
namespace {

bool Upper(char c) { return c >= 'A' && c <= 'Z'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<OpsNumber> MapOpsNumber(const std::string& typed) {
  size_t begin = 0, end = typed.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(typed[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(typed[end - 1]))) --end;
  std::string s;
  for (size_t i = begin; i < end; ++i) s += static_cast<char>(std::toupper(static_cast<unsigned char>(typed[i])));
  if (s.size() < 3 || !Upper(s[0]) || !Upper(s[1])) return std::nullopt;
  size_t pos = 2;
  while (pos < s.size() && Digit(s[pos])) ++pos;
  const size_t digits = pos - 2;
  if (digits < 1 || digits > 12) return std::nullopt;
  const std::string kind = s.substr(pos);
  // A kind code is a letter, optionally followed by one digit (A, A1, B2, U).
  const bool kindOk = kind.empty() || (Upper(kind[0]) && (kind.size() == 1 || (kind.size() == 2 && Digit(kind[1]))));
  if (!kindOk) return std::nullopt;
  return OpsNumber{s.substr(0, 2), s.substr(2, digits), kind};
}

}  // namespace orvane
