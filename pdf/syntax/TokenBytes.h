#pragma once
// TokenBytes: what the lexer and the in-place reader both know about the bytes of
// a token: a class table looked up once per byte, the look-ahead limit for
// references, and how an integer's digits become a value.
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <system_error>

#include "pdf/base/CharClass.h"

namespace folian {

// How far the look-ahead for "12 0 R" may wander through white space before
// giving up; generous for real files, small enough to keep hostile input cheap.
constexpr int kMaxLookAheadWhite = 64;

enum : uint8_t { kWhiteByte = 1, kEndsWordByte = 2, kDigitByte = 4, kHexByte = 8 };

constexpr std::array<uint8_t, 256> MakeTokenByteClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    uint8_t bits = 0;
    if (IsPdfWhite(c)) bits |= kWhiteByte;
    if (c < 33 || IsPdfDelimiter(c)) bits |= kEndsWordByte;
    if (IsPdfDigit(c)) bits |= kDigitByte;
    if (IsPdfDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) bits |= kHexByte;
    classes[static_cast<size_t>(c)] = bits;
  }
  return classes;
}
inline constexpr std::array<uint8_t, 256> kTokenByteClasses = MakeTokenByteClasses();

inline bool ByteIs(char c, uint8_t bits) { return (kTokenByteClasses[static_cast<unsigned char>(c)] & bits) != 0; }

// The integer whose text starts at `begin` (an optional minus sign, then digits;
// a plus sign is skipped by the caller): the digits up to the first other
// character, none giving 0, clamped to the 32-bit range.
inline int32_t ClampedInteger(const char* begin, const char* end) {
  long long value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  (void)stop;
  if (error == std::errc::result_out_of_range) return *begin == '-' ? INT32_MIN : INT32_MAX;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace folian
