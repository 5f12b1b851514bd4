#include "pdf/io/PDReadBuffer.h"

#include <climits>
#include <cstring>

namespace folian {

PDReadBuffer::PDReadBuffer(InputSource& source, int64_t offset)
    : m_source(source),
      m_data(m_window),
      // Positions in the window are ints: larger sources are read window by window.
      m_direct(source.Bytes() != nullptr && source.Size() < INT_MAX) {
  if (m_direct) {
    m_data = source.Bytes();
    m_end = static_cast<int>(source.Size());
  }
  Seek(offset);
}

void PDReadBuffer::Seek(int64_t offset) {
  if (offset < 0) offset = 0;
  if (m_direct) {
    m_pos = static_cast<int>(offset < m_end ? offset : m_end);
    return;
  }
  m_base = offset;
  m_pos = m_end = 0;
}

void PDReadBuffer::RestoreMark() {
  if (m_mark < 0) return;
  if (m_mark >= m_base && m_mark <= m_base + m_end)
    m_pos = static_cast<int>(m_mark - m_base);
  else
    Seek(m_mark);
  m_mark = -1;
}

int PDReadBuffer::FillBuffer() {
  if (m_direct) return 0;  // the window is the whole source already
  // Keep the bytes from a nearby mark in the window so that restoring it is
  // cheap; a mark further back is restored by reading again from the source.
  int keepFrom = m_pos;
  if (m_mark >= m_base && m_mark < m_base + m_pos && Offset() - m_mark <= kLookAheadRoom)
    keepFrom = static_cast<int>(m_mark - m_base);
  int kept = m_end - keepFrom;
  if (kept > 0) std::memmove(m_window, m_window + keepFrom, static_cast<size_t>(kept));
  if (kept < 0) kept = 0;
  m_base += keepFrom;
  m_pos -= keepFrom;
  m_end = kept;
  size_t got = m_source.ReadAt(m_base + m_end, m_window + m_end, static_cast<size_t>(kWindow + kLookAheadRoom - m_end));
  m_end += static_cast<int>(got);
  return static_cast<int>(got);
}

size_t PDReadBuffer::ReadBytes(char* out, size_t count) {
  if (count == 0) return 0;
  size_t done = 0;
  int inWindow = m_end - m_pos;
  if (inWindow > 0) {
    size_t take = count < static_cast<size_t>(inWindow) ? count : static_cast<size_t>(inWindow);
    std::memcpy(out, m_data + m_pos, take);
    m_pos += static_cast<int>(take);
    done = take;
  }
  if (done < count && !m_direct) {
    size_t got = m_source.ReadAt(Offset(), out + done, count - done);
    done += got;
    Seek(Offset() + static_cast<int64_t>(got));
  }
  return done;
}

}  // namespace folian
