#pragma once
// A small LZW encoder for tests (MSB first, 9 to 12 bits, EarlyChange 1 or 0, a clear
// code at the start and before the table fills), so decoding can be checked on
// data that passes every width change.
#include <cstdint>
#include <map>
#include <string>

namespace folian::test {

inline std::string LzwEncode(const std::string& in, int earlyChange = 1) {
  std::string out;
  uint32_t buffer = 0;
  int bits = 0;
  int width = 9;
  auto put = [&](int code) {
    buffer = (buffer << width) | static_cast<uint32_t>(code);
    bits += width;
    while (bits >= 8) {
      out.push_back(static_cast<char>((buffer >> (bits - 8)) & 0xFF));
      bits -= 8;
    }
  };
  std::map<std::string, int> table;
  int next = 258;
  auto reset = [&]() {
    table.clear();
    for (int c = 0; c < 256; ++c) table[std::string(1, static_cast<char>(c))] = c;
    next = 258;
  };
  reset();
  put(256);
  std::string w;
  for (char c : in) {
    std::string wc = w + c;
    if (table.count(wc)) {
      w = wc;
      continue;
    }
    put(table[w]);
    table[wc] = next++;
    // The decoder learns each entry one code later, so it widens when its own
    // counter is one below ours; both then read and write the next code wider.
    if (next + earlyChange - 1 >= (1 << width) && width < 12) ++width;
    if (next >= 4000) {
      put(256);
      width = 9;
      reset();
    }
    w = std::string(1, c);
  }
  if (!w.empty()) put(table[w]);
  put(257);
  if (bits > 0) out.push_back(static_cast<char>((buffer << (8 - bits)) & 0xFF));
  return out;
}

}  // namespace folian::test
