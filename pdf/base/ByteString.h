#pragma once
// ByteString: the library's own string of bytes.
//
// Holds a pointer, a 32-bit length and a 32-bit capacity; the bytes are always
// followed by a zero byte, so c_str() is usable as a C string when the content has
// no embedded zeros. An empty string points at one shared static empty buffer that
// is never freed. Copies and constructions allocate exactly length + 1 bytes;
// assignment reuses the buffer when the new content fits; appending grows to at least
// the new length. The string owns its buffer (RAII); moves steal it.
#include <cstdint>
#include <string>
#include <string_view>

namespace folian {

class ByteString {
public:
  ByteString() noexcept : m_data(s_empty) {}
  ByteString(const char* text);  // NOLINT: implicit from C strings, like std::string
  ByteString(const char* data, int32_t length);
  explicit ByteString(std::string_view text);
  ByteString(const ByteString& other);
  ByteString(ByteString&& other) noexcept;
  ~ByteString() {
    if (OnHeap()) delete[] m_data;
  }

  ByteString& operator=(const ByteString& other);
  ByteString& operator=(ByteString&& other) noexcept;
  ByteString& operator=(const char* text);

  const char* c_str() const noexcept { return m_data; }
  const char* data() const noexcept { return m_data; }
  int32_t length() const noexcept { return m_length; }
  int32_t capacity() const noexcept { return m_capacity; }
  bool empty() const noexcept { return m_length == 0; }
  char operator[](int32_t i) const noexcept { return m_data[i]; }
  std::string_view view() const noexcept { return {m_data, static_cast<size_t>(m_length)}; }
  std::string str() const { return std::string(view()); }

  void Assign(const char* data, int32_t length);
  void Append(const char* data, int32_t length);
  void Append(const ByteString& other) { Append(other.m_data, other.m_length); }
  void Append(const char* text);
  void Append(char c) { Append(&c, 1); }
  ByteString& operator+=(const ByteString& other) { Append(other); return *this; }
  ByteString& operator+=(const char* text) { Append(text); return *this; }
  ByteString& operator+=(char c) { Append(c); return *this; }

  // Truncates, or grows with a zero byte written at the new end.
  void SetLength(int32_t length);
  void Clear();

  // Offset of the first match at or after `from`, or -1.
  [[nodiscard]] int32_t Find(char c, int32_t from = 0) const noexcept;
  [[nodiscard]] int32_t Find(std::string_view needle, int32_t from = 0) const noexcept;
  // Both clamp their arguments to the string.
  ByteString Left(int32_t count) const;
  ByteString Mid(int32_t start, int32_t count = INT32_MAX) const;

  [[nodiscard]] bool StartsWith(std::string_view prefix) const noexcept { return view().starts_with(prefix); }

  // Byte order of the zero-terminated contents.
  int Compare(const ByteString& other) const noexcept;
  friend bool operator==(const ByteString& a, const ByteString& b) noexcept { return a.Compare(b) == 0; }
  friend bool operator<(const ByteString& a, const ByteString& b) noexcept { return a.Compare(b) < 0; }
  friend ByteString operator+(const ByteString& a, const ByteString& b);

private:
  // Texts this short live inside the object: most names and numbers of a PDF file.
  static constexpr int32_t kInlineCapacity = 15;

  void Release() noexcept;
  // Room for `capacity` bytes and a terminating zero: the inline buffer when it is
  // large enough (never while it is in use), else the heap.
  char* NewBuffer(int32_t capacity);
  // Installs a buffer from NewBuffer, freeing the one in use.
  void Adopt(char* buffer, int32_t capacity) noexcept;
  void TakeFrom(ByteString& other) noexcept;
  [[nodiscard]] bool OnHeap() const noexcept { return m_data != s_empty && m_data != m_inline; }

  // The buffer of every empty string; never freed.
  static char s_empty[1];

  char* m_data;
  int32_t m_length = 0;
  int32_t m_capacity = 0;
  char m_inline[kInlineCapacity + 1];
};

}  // namespace folian
