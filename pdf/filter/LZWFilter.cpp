// /LZWDecode: codes read most significant bit first, 9 bits wide at the start;
// 256 clears the table, 257 ends the data, new entries start at 258. The width
// grows to 10, 11 and 12 bits one code early (EarlyChange 1, unless the stream's
// parameters say 0), and the table holds
// at most 4096 entries.
#include <array>
#include <cstdint>

#include "pdf/base/Diagnostics.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {
namespace {

constexpr int kClear = 256;
constexpr int kEndOfData = 257;
constexpr int kFirstFree = 258;
constexpr int kTableSize = 4096;

class BitReader {
public:
  explicit BitReader(const std::string& in) : m_in(in) {}
  // The next code of `width` bits, or -1 when the data runs out.
  int Read(int width) {
    while (m_bits < width) {
      if (m_pos >= m_in.size()) return -1;
      m_buffer = (m_buffer << 8) | static_cast<unsigned char>(m_in[m_pos++]);
      m_bits += 8;
    }
    m_bits -= width;
    return static_cast<int>((m_buffer >> m_bits) & ((1u << width) - 1));
  }

private:
  const std::string& m_in;
  size_t m_pos = 0;
  uint32_t m_buffer = 0;
  int m_bits = 0;
};

struct Entry {
  uint16_t prefix = 0;  // code of the string without its last byte
  uint16_t length = 1;
  unsigned char last = 0;
  unsigned char first = 0;
};

class LZWTable {
public:
  LZWTable() {
    for (int c = 0; c < 256; ++c) m_entries[static_cast<size_t>(c)] = {0, 1, static_cast<unsigned char>(c), static_cast<unsigned char>(c)};
  }
  // Appends the string of `code` to out.
  void Emit(int code, std::string& out) const {
    size_t length = m_entries[static_cast<size_t>(code)].length;
    size_t end = out.size() + length;
    out.resize(end);
    for (size_t at = end; length-- > 0;) {
      const Entry& entry = m_entries[static_cast<size_t>(code)];
      out[--at] = static_cast<char>(entry.last);
      code = entry.prefix;
    }
  }
  void Add(int prefix, unsigned char last, int next) {
    const Entry& head = m_entries[static_cast<size_t>(prefix)];
    m_entries[static_cast<size_t>(next)] = {static_cast<uint16_t>(prefix), static_cast<uint16_t>(head.length + 1), last,
                                            head.first};
  }
  unsigned char First(int code) const { return m_entries[static_cast<size_t>(code)].first; }

private:
  std::array<Entry, kTableSize> m_entries{};
};

}  // namespace

bool DecodeLZW(const std::string& in, std::string& out, size_t ceiling, int earlyChange) {
  out.clear();
  LZWTable table;
  BitReader reader(in);
  int width = 9;
  int next = kFirstFree;
  int previous = -1;
  for (;;) {
    int code = reader.Read(width);
    if (code < 0 || code == kEndOfData) break;
    if (code == kClear) {
      width = 9;
      next = kFirstFree;
      previous = -1;
      continue;
    }
    if (previous < 0) {
      if (code > 255) {
        Diag("LZWDecode: bad first code %d\n", code);
        out.clear();
        return false;
      }
      out.push_back(static_cast<char>(code));
    } else if (code < next) {
      table.Emit(code, out);
      if (next < kTableSize) table.Add(previous, table.First(code), next++);
    } else if (code == next && next < kTableSize) {
      // The string of the previous code plus its own first byte.
      table.Add(previous, table.First(previous), next++);
      table.Emit(code, out);
    } else {
      Diag("LZWDecode: bad code %d\n", code);
      out.clear();
      return false;
    }
    previous = code;
    if (next + earlyChange >= (1 << width) && width < 12) ++width;
    if (out.size() > ceiling) {
      Diag("LZWDecode: decoded data exceeds %zu bytes\n", ceiling);
      out.clear();
      return false;
    }
  }
  return true;
}

}  // namespace folian
