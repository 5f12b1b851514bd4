#pragma once
// TextBuffer: bytes laid out for writing, appended through a pointer into room
// made ahead. A token costs a capacity check and a copy, with no call.
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace folian {

class TextBuffer {
public:
  const char* data() const { return m_data.get(); }
  size_t size() const { return m_size; }
  std::string_view view() const { return {m_data.get(), m_size}; }
  void clear() { m_size = 0; }

  // Where `length` more bytes can be put; they count once committed.
  char* Room(size_t length) {
    if (m_capacity - m_size < length) Grow(length);
    return m_data.get() + m_size;
  }
  void Commit(size_t length) { m_size += length; }
  // Makes room for `length` more bytes at once.
  void Reserve(size_t length) { (void)Room(length); }
  void Append(const char* bytes, size_t length) {
    if (length == 0) return;
    std::memcpy(Room(length), bytes, length);
    m_size += length;
  }

private:
  void Grow(size_t length) {
    size_t capacity = m_capacity < 256 ? 256 : m_capacity * 2;
    while (capacity - m_size < length) capacity *= 2;
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (m_size) std::memcpy(grown.get(), m_data.get(), m_size);
    m_data = std::move(grown);
    m_capacity = capacity;
  }

  std::unique_ptr<char[]> m_data;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

}  // namespace folian
