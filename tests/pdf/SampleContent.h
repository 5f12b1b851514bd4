#pragma once
// Page content of a given length that compresses like real text operators.
#include <cstdint>
#include <string>

namespace folian::test {

inline std::string SampleText(size_t length) {
  std::string text;
  uint32_t state = 12345;
  while (text.size() < length) {
    state = state * 1103515245u + 12345u;
    text += "BT /F1 12 Tf " + std::to_string(state % 1000) + " 700 Td (word" + std::to_string(state % 37) + ") Tj ET\n";
  }
  text.resize(length);
  return text;
}

}  // namespace folian::test
