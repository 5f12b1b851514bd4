#pragma once
// TextToken: one run of text without a large gap, as extraction hands it out,
// and TokenFIFO, the ring of finished tokens waiting to be read.
//
// Tokens are moved in and out of the ring by swapping, so their buffers are
// reused from token to token instead of being allocated for each.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace folian {

struct TextToken {
  std::string text;   // the library's bytes, or UTF-8 when the reader asked for it
  std::string font;   // base font name without its slash
  double x = 0;       // start of the baseline on the page
  double y = 0;
  double width = 0;
  double height = 0;
  int32_t page = 0;   // counted from 1
  int32_t orientation = 0;
  std::vector<float> rightEdges;  // one per character, measured from the start

  void Clear() {
    text.clear();
    font.clear();
    x = y = width = height = 0;
    page = 0;
    orientation = 0;
    rightEdges.clear();
  }
  void Swap(TextToken& other) noexcept;
};

class TokenFIFO {
public:
  static constexpr int32_t kCapacity = 100;

  // Takes the token's contents (leaving it with recycled buffers); a token beyond
  // the capacity is dropped with a message and false.
  bool Push(TextToken& token);
  // Moves the oldest token into `out`; false when empty.
  bool Pop(TextToken& out);
  [[nodiscard]] int32_t Size() const { return m_count; }
  void Clear() { m_head = m_count = 0; }

private:
  std::array<TextToken, kCapacity> m_ring;
  int32_t m_head = 0;
  int32_t m_count = 0;
};

}  // namespace folian
