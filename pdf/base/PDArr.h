#pragma once
// PDArr: a growable array of fixed-size elements (32-bit numbers or pairs of them).
// It grows geometrically: the step given is only a first reservation. Reading outside 0..count-1 prints a diagnostic and
// reports failure; the caller decides which error code that becomes.
#include <cstdint>
#include <vector>

#include "pdf/base/Diagnostics.h"

namespace folian {

template <typename T>
class PDArr {
public:
  explicit PDArr(int32_t initialCapacity = 20) { m_items.reserve(initialCapacity > 0 ? initialCapacity : 1); }

  void Append(const T& value) { m_items.push_back(value); }

  // Copies element i into out; false (with the diagnostic) when i is out of range.
  [[nodiscard]] bool Get(int32_t i, T& out) const {
    if (i < 0 || i >= Count()) {
      Diag("PDArr: index out of range\n");
      return false;
    }
    out = m_items[static_cast<size_t>(i)];
    return true;
  }

  [[nodiscard]] bool Set(int32_t i, const T& value) {
    if (i < 0 || i >= Count()) {
      Diag("PDArr: index out of range\n");
      return false;
    }
    m_items[static_cast<size_t>(i)] = value;
    return true;
  }

  [[nodiscard]] int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  [[nodiscard]] int32_t Capacity() const { return static_cast<int32_t>(m_items.capacity()); }
  void Clear() { m_items.clear(); }
  const std::vector<T>& Items() const { return m_items; }

private:
  std::vector<T> m_items;
};

struct PDPair {
  int32_t first = 0;
  int32_t second = 0;
};

}  // namespace folian
