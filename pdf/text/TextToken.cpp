#include "pdf/text/TextToken.h"

#include <utility>

#include "pdf/base/Diagnostics.h"

namespace folian {

void TextToken::Swap(TextToken& other) noexcept {
  text.swap(other.text);
  font.swap(other.font);
  std::swap(x, other.x);
  std::swap(y, other.y);
  std::swap(width, other.width);
  std::swap(height, other.height);
  std::swap(page, other.page);
  std::swap(orientation, other.orientation);
  rightEdges.swap(other.rightEdges);
}

bool TokenFIFO::Push(TextToken& token) {
  if (m_count >= kCapacity) {
    Diag("TokenFIFO: capacity exceeded\n");
    return false;
  }
  TextToken& slot = m_ring[static_cast<size_t>((m_head + m_count) % kCapacity)];
  slot.Swap(token);
  ++m_count;
  return true;
}

bool TokenFIFO::Pop(TextToken& out) {
  if (m_count == 0) return false;
  out.Swap(m_ring[static_cast<size_t>(m_head)]);
  m_head = (m_head + 1) % kCapacity;
  --m_count;
  return true;
}

}  // namespace folian
