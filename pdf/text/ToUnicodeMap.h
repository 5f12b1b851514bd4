#pragma once
// ToUnicodeMap: the character codes of a font mapped to text, read from the
// font's /ToUnicode CMap (its bfchar and bfrange sections) and kept as UTF-8.
//
// Codes of one or two bytes are held in a flat table, so a lookup is an index;
// longer codes and codes outside the table are ignored. A damaged CMap yields
// the mappings read before the damage.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folian {

class ToUnicodeMap {
public:
  // Reads CMap text; false when it holds no mapping at all.
  bool Parse(std::string_view cmap);

  [[nodiscard]] bool Empty() const { return m_pool.empty(); }
  // Bytes per code from the first code space range (1 when none was given).
  [[nodiscard]] int CodeLength() const { return m_codeLength; }
  // The UTF-8 text of a code; false when the map has none.
  bool Lookup(uint32_t code, std::string_view& text) const {
    if (code >= m_index.size() || m_index[code] == 0) return false;
    uint32_t entry = m_index[code];
    text = std::string_view(m_pool.data() + (entry >> 8), entry & 0xFF);
    return true;
  }

private:
  void Map(uint32_t code, const std::string& utf16);

  std::vector<uint32_t> m_index;  // (pool offset << 8) | length; 0 for none
  std::string m_pool;
  int m_codeLength = 1;
  uint32_t m_work = 0;  // codes mapped so far, bounded against hostile ranges
};

// Appends code point `cp` as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);
// UTF-16BE bytes as UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view utf16);

}  // namespace folian
