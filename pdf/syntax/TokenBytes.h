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

// What follows the digits of a number, read from `at` (just past them) up to
// `end`: "12 0 R" or "12 0 obj" is white space, a generation of at most ten
// digits, white space and the keyword ending the word.
struct ReferenceLookAhead {
  enum Kind { kNone, kReference, kObjectHeader } kind = kNone;
  const char* generation = nullptr;     // the generation's digits
  const char* generationEnd = nullptr;
  const char* end = nullptr;            // just past the keyword
};

[[gnu::always_inline]] inline ReferenceLookAhead LookForReference(const char* at, const char* end) {
  ReferenceLookAhead found;
  auto endsWord = [end](const char* p) { return p == end || ByteIs(*p, kEndsWordByte); };
  auto skipWhite = [&at, end]() {
    int skipped = 0;
    while (at < end && ByteIs(*at, kWhiteByte) && skipped < kMaxLookAheadWhite) {
      ++at;
      ++skipped;
    }
    return skipped > 0 && skipped < kMaxLookAheadWhite;
  };
  // The usual forms first: "12 0 R", and a number before another ("0 0 595").
  if (end - at >= 4 && at[0] == ' ' && ByteIs(at[1], kDigitByte) && at[2] == ' ' && !ByteIs(at[3], kWhiteByte) &&
      at[3] != 'o') {
    if (at[3] == 'R' && endsWord(at + 4)) found = {ReferenceLookAhead::kReference, at + 1, at + 2, at + 4};
    return found;
  }
  if (!skipWhite()) return found;
  const char* generation = at;
  while (at < end && ByteIs(*at, kDigitByte) && at - generation < 10) ++at;
  const char* generationEnd = at;
  if (generationEnd == generation || !skipWhite()) return found;
  if (at < end && *at == 'R' && endsWord(at + 1)) {
    found = {ReferenceLookAhead::kReference, generation, generationEnd, at + 1};
  } else if (end - at >= 3 && at[0] == 'o' && at[1] == 'b' && at[2] == 'j' && endsWord(at + 3)) {
    found = {ReferenceLookAhead::kObjectHeader, generation, generationEnd, at + 3};
  }
  return found;
}

}  // namespace folian
