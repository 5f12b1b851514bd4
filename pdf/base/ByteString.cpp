#include "pdf/base/ByteString.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace folian {
char ByteString::s_empty[1] = {0};

namespace {

int32_t ClampLength(size_t n) {
  if (n > static_cast<size_t>(INT32_MAX - 1)) throw std::bad_alloc();
  return static_cast<int32_t>(n);
}
}  // namespace

ByteString::ByteString(const char* text) : m_data(s_empty) {
  if (text) Assign(text, ClampLength(std::strlen(text)));
}

ByteString::ByteString(const char* data, int32_t length) : m_data(s_empty) { Assign(data, length); }

ByteString::ByteString(std::string_view text) : m_data(s_empty) {
  Assign(text.data(), ClampLength(text.size()));
}

ByteString::ByteString(const ByteString& other) : m_data(s_empty) { Assign(other.m_data, other.m_length); }

ByteString::ByteString(ByteString&& other) noexcept : m_data(s_empty) { TakeFrom(other); }

ByteString& ByteString::operator=(const ByteString& other) {
  if (this != &other) Assign(other.m_data, other.m_length);
  return *this;
}

ByteString& ByteString::operator=(ByteString&& other) noexcept {
  if (this != &other) {
    Release();
    TakeFrom(other);
  }
  return *this;
}

ByteString& ByteString::operator=(const char* text) {
  Assign(text ? text : "", text ? ClampLength(std::strlen(text)) : 0);
  return *this;
}

void ByteString::TakeFrom(ByteString& other) noexcept {
  // Expects this string released. An inline text is copied, a heap buffer handed over.
  if (other.m_data == other.m_inline) {
    std::memcpy(m_inline, other.m_inline, static_cast<size_t>(other.m_length) + 1);
    m_data = m_inline;
  } else {
    m_data = other.m_data;
  }
  m_length = other.m_length;
  m_capacity = other.m_capacity;
  other.m_data = s_empty;
  other.m_length = other.m_capacity = 0;
}

void ByteString::Release() noexcept {
  if (OnHeap()) delete[] m_data;
  m_data = s_empty;
  m_length = m_capacity = 0;
}

char* ByteString::NewBuffer(int32_t capacity) {
  if (capacity <= kInlineCapacity && m_data != m_inline) return m_inline;
  return new char[static_cast<size_t>(capacity) + 1];
}

void ByteString::Adopt(char* buffer, int32_t capacity) noexcept {
  if (OnHeap()) delete[] m_data;
  m_data = buffer;
  m_capacity = buffer == m_inline ? kInlineCapacity : capacity;
}

void ByteString::Assign(const char* data, int32_t length) {
  if (length <= 0 || !data) {
    Clear();
    return;
  }
  if (length > m_capacity || m_data == s_empty) {
    // The source may live inside our own buffer; copy before releasing it. A new
    // buffer is never the one in use, so the two cannot overlap.
    char* fresh = NewBuffer(length);
    std::memcpy(fresh, data, static_cast<size_t>(length));
    Adopt(fresh, length);
  } else {
    std::memmove(m_data, data, static_cast<size_t>(length));
  }
  m_length = length;
  m_data[m_length] = 0;
}

void ByteString::Append(const char* text) {
  if (text) Append(text, ClampLength(std::strlen(text)));
}

void ByteString::Append(const char* data, int32_t length) {
  if (length <= 0 || !data) return;
  if (length > INT32_MAX - 1 - m_length) throw std::bad_alloc();
  int32_t total = m_length + length;
  if (total > m_capacity) {
    // Growing by half again keeps a string built by many appends linear in its
    // final length; growing to the exact length made it quadratic.
    int64_t grown = std::max<int64_t>(total, int64_t{m_capacity} + m_capacity / 2);
    int32_t capacity = static_cast<int32_t>(std::min<int64_t>(grown, INT32_MAX - 1));
    char* fresh = NewBuffer(capacity);
    std::memcpy(fresh, m_data, static_cast<size_t>(m_length));
    std::memcpy(fresh + m_length, data, static_cast<size_t>(length));
    Adopt(fresh, capacity);
  } else {
    std::memmove(m_data + m_length, data, static_cast<size_t>(length));
  }
  m_length = total;
  m_data[m_length] = 0;
}

void ByteString::SetLength(int32_t length) {
  if (length <= 0) {
    if (m_data != s_empty) {
      m_length = 0;
      m_data[0] = 0;
    }
    return;
  }
  if (length > m_capacity) {
    char* fresh = NewBuffer(length);
    std::memcpy(fresh, m_data, static_cast<size_t>(m_length));
    std::memset(fresh + m_length, 0, static_cast<size_t>(length - m_length));
    Adopt(fresh, length);
  } else if (length > m_length) {
    std::memset(m_data + m_length, 0, static_cast<size_t>(length - m_length));
  }
  m_length = length;
  m_data[m_length] = 0;
}

void ByteString::Clear() { Release(); }

int32_t ByteString::Find(char c, int32_t from) const noexcept {
  if (from < 0) from = 0;
  for (int32_t i = from; i < m_length; ++i)
    if (m_data[i] == c) return i;
  return -1;
}

int32_t ByteString::Find(std::string_view needle, int32_t from) const noexcept {
  if (from < 0) from = 0;
  if (from > m_length) return -1;
  size_t at = view().find(needle, static_cast<size_t>(from));
  return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

ByteString ByteString::Left(int32_t count) const {
  if (count <= 0) return {};
  if (count > m_length) count = m_length;
  return ByteString(m_data, count);
}

ByteString ByteString::Mid(int32_t start, int32_t count) const {
  if (start < 0) start = 0;
  if (start >= m_length || count <= 0) return {};
  if (count > m_length - start) count = m_length - start;
  return ByteString(m_data + start, count);
}

int ByteString::Compare(const ByteString& other) const noexcept {
  return std::strcmp(m_data, other.m_data);
}

ByteString operator+(const ByteString& a, const ByteString& b) {
  ByteString result;
  result.SetLength(0);
  int32_t total = a.length() + b.length();
  if (total == 0) return result;
  result.Assign(a.data(), a.length());
  result.Append(b);
  return result;
}

}  // namespace folian
