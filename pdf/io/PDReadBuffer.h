#pragma once
// PDReadBuffer: a small window over an InputSource for the tokenizer, with one
// mark to return to after a look-ahead.
//
// The window holds 256 bytes plus 20 bytes of room for look-ahead behind a mark.
// The mark is a file offset, so a look-ahead that runs past the window still
// returns to it by re-reading. A source held wholly in memory is read in place:
// the window is then the whole of its bytes and nothing is copied. The source is
// borrowed and must outlive the buffer.
// Failure: at the end of the data Get() and Peek() yield kEnd.
#include <cstdint>

#include "pdf/io/InputSource.h"

namespace folian {

class PDReadBuffer {
public:
  static constexpr int kWindow = 256;
  static constexpr int kLookAheadRoom = 20;
  static constexpr int kEnd = -1;

  PDReadBuffer(InputSource& source, int64_t offset = 0);

  // The next byte (0..255), consumed or not; kEnd at the end of the data.
  int Get() { return m_pos < m_end || FillBuffer() > 0 ? static_cast<unsigned char>(m_data[m_pos++]) : kEnd; }
  int Peek() { return m_pos < m_end || FillBuffer() > 0 ? static_cast<unsigned char>(m_data[m_pos]) : kEnd; }
  [[nodiscard]] bool AtEnd() { return Peek() == kEnd; }

  // File offset of the next byte to be read.
  [[nodiscard]] int64_t Offset() const { return m_base + m_pos; }
  void Seek(int64_t offset);
  InputSource& Source() const { return m_source; }

  void SetMark() { m_mark = Offset(); }
  void RestoreMark();
  void ClearMark() { m_mark = -1; }
  [[nodiscard]] bool HasMark() const { return m_mark >= 0; }

  // The bytes from the read position to the end of the window, without refilling
  // it, and a way to consume some of them: the tokenizer scans runs in place.
  [[nodiscard]] const char* Here() const { return m_data + m_pos; }
  // True when the window is the whole source, read in place.
  [[nodiscard]] bool Direct() const { return m_direct; }
  [[nodiscard]] const char* WindowEnd() const { return m_data + m_end; }
  void Skip(int count) { m_pos += count; }

  // Refills the window behind the read position; yields the number of bytes read.
  int FillBuffer();

  // Reads `count` bytes from the read position on (window first, then the source);
  // yields the number read.
  [[nodiscard]] size_t ReadBytes(char* out, size_t count);

private:
  InputSource& m_source;
  const char* m_data;  // m_window, or the bytes of a source held in memory
  bool m_direct;       // reading the source's bytes in place
  char m_window[kWindow + kLookAheadRoom];
  int m_pos = 0;
  int m_end = 0;
  int64_t m_base = 0;  // file offset of m_data[0]
  int64_t m_mark = -1;
};

}  // namespace folian
