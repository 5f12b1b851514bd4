#pragma once
// TextFont: what text extraction needs of one font of an input document: the
// advance width of each character code, the byte the library hands out for it
// (the font's re-coding, as text placement uses it), and its text as UTF-8 (from
// /ToUnicode when the font has one, else from its encoding and glyph names).
//
// Simple fonts read one byte per code; Type0 fonts two (their widths come from
// the descendant font's /W and /DW). Everything is computed when the font is
// loaded, so decoding a code is a table lookup. A font dictionary that is
// missing or damaged gives a font whose codes have width 0 and WinAnsi text.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/content/FontMetrics.h"
#include "pdf/text/ToUnicodeMap.h"

namespace folian {

class PDFInput;
class PDValue;

struct TextGlyph {
  uint32_t code = 0;
  int32_t width = 0;          // advance in 1/1000 of the font size
  bool wordSpace = false;     // a single-byte code 32: word spacing applies
  unsigned char byte = 0;     // the library's byte for the character
  std::string_view utf8;      // its text; may be empty for a control code
};

class TextFont {
public:
  // Loads the font dictionary `fontDict` (a reference is resolved); never none.
  static std::unique_ptr<TextFont> Load(PDFInput& input, PDValue* fontDict);

  [[nodiscard]] bool TwoByte() const { return m_twoByte; }
  // Reads the code at the start of `bytes` (size n > 0); yields the bytes used.
  size_t Decode(const char* bytes, size_t n, TextGlyph& glyph) const;

private:
  void LoadSimple(PDFInput& input, PDValue* dict);
  void LoadType0(PDFInput& input, PDValue* dict);
  void SetText(uint32_t code, std::string_view utf8);

  bool m_twoByte = false;
  FontMetricsStore m_store;
  // Simple fonts: per byte code.
  std::array<int32_t, 256> m_widths{};
  std::array<unsigned char, 256> m_bytes{};
  std::array<uint32_t, 256> m_text{};  // (pool offset << 8) | length
  std::string m_pool;
  // Type0 fonts: widths by CID (Identity encodings: the code is the CID).
  std::vector<int32_t> m_cidWidths;
  int32_t m_defaultWidth = 1000;
  ToUnicodeMap m_unicode;
  std::string m_scratch;
};

// The Unicode code point of a WinAnsi byte; 0 for codes without a character.
uint32_t WinAnsiToUnicode(unsigned char byte);
// The WinAnsi byte of a code point; '?' when it has none.
unsigned char UnicodeToWinAnsi(uint32_t cp);
// The text of a glyph name (with its slash) as UTF-8; empty when unknown.
std::string GlyphNameText(std::string_view name);

}  // namespace folian
