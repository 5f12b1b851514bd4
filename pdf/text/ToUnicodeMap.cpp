#include "pdf/text/ToUnicodeMap.h"

#include "pdf/text/ContentLexer.h"

namespace folian {
namespace {

// A flat table of 65536 entries covers every one- and two-byte code.
constexpr uint32_t kMaxCodes = 65536;
// The text of one code is at most this many UTF-8 bytes (the length field).
constexpr size_t kMaxText = 255;
// Pool offsets have 24 bits.
constexpr size_t kMaxPool = (size_t{1} << 24) - kMaxText;
// Overlapping ranges may map the same codes again and again; this much work ends the reading.
constexpr uint32_t kMaxWork = 1u << 20;

uint32_t CodeOf(std::string_view bytes) {
  uint32_t code = 0;
  for (size_t i = 0; i < bytes.size() && i < 4; ++i) code = (code << 8) | static_cast<unsigned char>(bytes[i]);
  return code;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf16ToUtf8(std::string_view utf16) {
  std::string out;
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    uint32_t unit = (static_cast<unsigned char>(utf16[i]) << 8) | static_cast<unsigned char>(utf16[i + 1]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < utf16.size()) {
      uint32_t low = (static_cast<unsigned char>(utf16[i + 2]) << 8) | static_cast<unsigned char>(utf16[i + 3]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, unit);
  }
  // A lone byte (an odd length) is taken as a one-byte code of its own.
  if (utf16.size() % 2 == 1 && utf16.size() == 1) AppendUtf8(out, static_cast<unsigned char>(utf16[0]));
  return out;
}

void ToUnicodeMap::Map(uint32_t code, const std::string& utf16) {
  ++m_work;
  if (code >= kMaxCodes || m_pool.size() > kMaxPool) return;
  std::string text = Utf16ToUtf8(utf16);
  if (text.empty() || text.size() > kMaxText) return;
  if (m_index.size() <= code) m_index.resize(code < 256 ? 256 : kMaxCodes, 0);
  // Offset 0 with length 0 means "none", so the pool never starts an entry at 0 with length 0.
  m_index[code] = static_cast<uint32_t>(m_pool.size() << 8) | static_cast<uint32_t>(text.size());
  m_pool += text;
}

bool ToUnicodeMap::Parse(std::string_view cmap) {
  ContentLexer lexer(cmap.data(), cmap.size());
  enum class Section { None, CodeSpace, BfChar, BfRange } section = Section::None;
  bool codeSpaceSeen = false;
  std::string operands[3];  // string operands of the entry being read
  int count = 0;
  std::string destination;
  for (;;) {
    ContentToken token = lexer.Next();
    if (token == ContentToken::End || token == ContentToken::Bad || m_work >= kMaxWork) break;
    if (token == ContentToken::Operator) {
      std::string_view op = lexer.Text();
      if (op == "begincodespacerange") section = Section::CodeSpace;
      else if (op == "beginbfchar") section = Section::BfChar;
      else if (op == "beginbfrange") section = Section::BfRange;
      else if (op == "endcodespacerange" || op == "endbfchar" || op == "endbfrange") section = Section::None;
      count = 0;
      continue;
    }
    if (section == Section::None) continue;
    if (token == ContentToken::ArrayBegin && section == Section::BfRange && count == 2) {
      // [<dst1> <dst2> ...]: one destination per code of the range.
      uint32_t code = CodeOf(operands[0]);
      const uint32_t last = CodeOf(operands[1]);
      for (token = lexer.Next(); token == ContentToken::String; token = lexer.Next()) {
        if (code <= last && m_work < kMaxWork) Map(code++, std::string(lexer.Text()));
      }
      count = 0;
      if (token != ContentToken::ArrayEnd) break;
      continue;
    }
    if (token != ContentToken::String && token != ContentToken::Name) {
      count = 0;
      continue;
    }
    operands[count] = lexer.Text();
    ++count;
    if (section == Section::CodeSpace && count == 2) {
      if (!codeSpaceSeen && !operands[0].empty() && operands[0].size() <= 4)
        m_codeLength = static_cast<int>(operands[0].size());
      codeSpaceSeen = true;
      count = 0;
    } else if (section == Section::BfChar && count == 2) {
      if (token == ContentToken::String) Map(CodeOf(operands[0]), operands[1]);
      count = 0;
    } else if (section == Section::BfRange && count == 3) {
      uint32_t first = CodeOf(operands[0]);
      uint32_t last = CodeOf(operands[1]);
      destination = operands[2];
      if (token == ContentToken::String && !destination.empty() && first <= last && first < kMaxCodes) {
        if (last >= kMaxCodes) last = kMaxCodes - 1;
        // The last UTF-16 unit of the destination counts up with the code.
        size_t n = destination.size();
        uint32_t unit = n >= 2 ? (static_cast<unsigned char>(destination[n - 2]) << 8) |
                                     static_cast<unsigned char>(destination[n - 1])
                               : static_cast<unsigned char>(destination[n - 1]);
        for (uint32_t code = first; code <= last && m_work < kMaxWork; ++code, ++unit) {
          if (n >= 2) {
            destination[n - 2] = static_cast<char>((unit >> 8) & 0xFF);
            destination[n - 1] = static_cast<char>(unit & 0xFF);
          } else {
            destination[n - 1] = static_cast<char>(unit & 0xFF);
          }
          Map(code, destination);
        }
      }
      count = 0;
    }
  }
  return !m_pool.empty();
}

}  // namespace folian
