#include "pdf/text/TextFont.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "pdf/content/GlyphNames.h"
#include "pdf/content/InputFonts.h"
#include "pdf/text/ContentLexer.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"

namespace folian {
namespace {

// WinAnsi 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr uint16_t kWinAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E,
    0x0178};

// The Symbol font's own encoding for codes 0x20..0x7E (Greek letters and
// mathematical signs where ASCII has letters).
constexpr uint16_t kSymbolLow[95] = {
    0x20,   0x21,   0x2200, 0x23,   0x2203, 0x25,   0x26,   0x220B, 0x28,   0x29,   0x2217, 0x2B,   0x2C,   0x2212,
    0x2E,   0x2F,   0x30,   0x31,   0x32,   0x33,   0x34,   0x35,   0x36,   0x37,   0x38,   0x39,   0x3A,   0x3B,
    0x3C,   0x3D,   0x3E,   0x3F,   0x2245, 0x0391, 0x0392, 0x03A7, 0x2206, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
    0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x2126,
    0x039E, 0x03A8, 0x0396, 0x5B,   0x2234, 0x5D,   0x22A5, 0x5F,   0xF8E5, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5,
    0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x7B,   0x7C,   0x7D,   0x223C};

// Glyph names whose code in the library's glyph table is not their WinAnsi
// character (ligatures, accents kept below 32, Greek letters of Symbol).
struct NamedText {
  const char* name;
  uint32_t cp;
};
constexpr NamedText kNamedText[] = {
    {"minus", 0x2212},    {"fraction", 0x2044}, {"dotlessi", 0x0131}, {"Lslash", 0x0141},  {"lslash", 0x0142},
    {"breve", 0x02D8},    {"caron", 0x02C7},    {"dotaccent", 0x02D9}, {"hungarumlaut", 0x02DD},
    {"ogonek", 0x02DB},   {"ring", 0x02DA},     {"summation", 0x2211}, {"alpha", 0x03B1},  {"beta", 0x03B2},
    {"gamma", 0x03B3},    {"delta", 0x03B4},    {"epsilon", 0x03B5},  {"theta", 0x03B8},   {"phi", 0x03C6},
    {"chi", 0x03C7},      {"Delta", 0x0394},    {"Gamma", 0x0393},    {"Sigma", 0x03A3},   {"Phi", 0x03A6},
    {"Theta", 0x0398},    {"Omega", 0x03A9},    {"Psi", 0x03A8},      {"Lambda", 0x039B},  {"Xi", 0x039E},
    {"quotesingle", 0x27}, {"grave", 0x60},
};

PDValue* Resolved(PDFInput& input, PDValue* value) { return input.Resolve(value); }

PDDict* DictOf(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved && resolved->Is(PDKind::Dictionary) ? resolved->Dict() : nullptr;
}

double NumberOf(PDFInput& input, PDValue* value, double fallback) {
  PDValue* resolved = input.Resolve(value);
  if (!resolved || !(resolved->Is(PDKind::Integer) || resolved->Is(PDKind::Text))) return fallback;
  return resolved->RealValue();
}

int32_t ClampWidth(double width) {
  if (!std::isfinite(width)) return 0;
  if (width > 1e6) return 1000000;
  if (width < -1e6) return -1000000;
  return static_cast<int32_t>(std::lround(width));
}

// The encoding built into an embedded Type 1 program ("dup 15 /bullet put" in
// its clear-text part), which fonts without /Encoding use. Symbol fonts of TeX
// documents rely on it for their bullets and punctuation.
void ReadBuiltinEncoding(PDFInput& input, PDDict* fontDict, std::array<std::string, 256>& names) {
  PDDict* descriptor = DictOf(input, fontDict->Find("/FontDescriptor"));
  PDValue* file = descriptor ? descriptor->Find("/FontFile") : nullptr;
  if (!file || !file->Is(PDKind::Reference)) return;
  ByteString program;
  if (!input.StreamData(file->Number(), program)) return;
  std::string_view text = program.view();
  size_t at = text.find("/Encoding");
  if (at == std::string_view::npos) return;
  size_t end = text.find("eexec", at);
  text = text.substr(at, std::min<size_t>(end == std::string_view::npos ? text.size() : end - at, 1u << 16));
  if (text.substr(9, 20).find("StandardEncoding") != std::string_view::npos) return;
  ContentLexer lexer(text.data(), text.size());
  // Recognises "dup <code> /<name> put".
  int state = 0;
  int code = 0;
  for (ContentToken token = lexer.Next(); token != ContentToken::End; token = lexer.Next()) {
    if (token == ContentToken::Operator && lexer.Text() == "dup") {
      state = 1;
    } else if (state == 1 && token == ContentToken::Number) {
      code = static_cast<int>(lexer.Number());
      state = 2;
    } else if (state == 2 && token == ContentToken::Name) {
      if (code >= 0 && code < 256) names[static_cast<size_t>(code)] = std::string(lexer.Text());
      state = 0;
    } else if (token == ContentToken::Operator && (lexer.Text() == "readonly" || lexer.Text() == "def") &&
               state == 0 && code > 0) {
      break;
    } else {
      state = 0;
    }
  }
}

}  // namespace

uint32_t WinAnsiToUnicode(unsigned char byte) {
  if (byte >= 0x20 && byte < 0x7F) return byte;
  if (byte >= 0xA0) return byte;
  if (byte >= 0x80) return kWinAnsiHigh[byte - 0x80];
  // The glyph table files a few accents below 32.
  switch (byte) {
    case 24: return 0x02D8;
    case 25: return 0x02C7;
    case 26: return 0x02C6;
    case 27: return 0x02D9;
    case 28: return 0x02DD;
    case 29: return 0x02DB;
    case 30: return 0x02DA;
    case 31: return 0x02DC;
    default: return 0;
  }
}

unsigned char UnicodeToWinAnsi(uint32_t cp) {
  if ((cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kWinAnsiHigh[i] == cp && cp != 0) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::string GlyphNameText(std::string_view name) {
  if (name.size() < 2 || name[0] != '/') return {};
  std::string_view bare = name.substr(1);
  std::string out;
  for (const NamedText& entry : kNamedText)
    if (bare == entry.name) {
      AppendUtf8(out, entry.cp);
      return out;
    }
  // Ligatures come out as their letters, as a search for the word expects.
  if (bare == "fi" || bare == "fl" || bare == "ff" || bare == "ffi" || bare == "ffl") return std::string(bare);
  // uniXXXX (one or more groups of four) and uXXXX[XX].
  auto hex = [](std::string_view digits, uint32_t& value) {
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size();
  };
  if (bare.size() >= 7 && bare.substr(0, 3) == "uni" && (bare.size() - 3) % 4 == 0) {
    for (size_t i = 3; i + 4 <= bare.size(); i += 4) {
      uint32_t value = 0;
      if (!hex(bare.substr(i, 4), value)) return {};
      AppendUtf8(out, value);
    }
    return out;
  }
  if (bare.size() >= 5 && bare.size() <= 7 && bare[0] == 'u') {
    uint32_t value = 0;
    if (hex(bare.substr(1), value)) {
      AppendUtf8(out, value);
      return out;
    }
  }
  std::string zeroTerminated(name);
  int32_t code = GlyphCode(zeroTerminated.c_str());
  if (code > 0 && code < 256) {
    if (uint32_t cp = WinAnsiToUnicode(static_cast<unsigned char>(code))) AppendUtf8(out, cp);
  }
  return out;
}

std::unique_ptr<TextFont> TextFont::Load(PDFInput& input, PDValue* fontDict) {
  auto font = std::make_unique<TextFont>();
  PDValue* dict = Resolved(input, fontDict);
  if (dict && dict->Is(PDKind::Dictionary)) {
    PDValue* subtype = Resolved(input, dict->Dict()->Find("/Subtype"));
    if (subtype && subtype->IsText("/Type0"))
      font->LoadType0(input, dict);
    else
      font->LoadSimple(input, dict);
    ByteString cmap;
    PDValue* toUnicode = dict->Dict()->Find("/ToUnicode");
    if (toUnicode && toUnicode->Is(PDKind::Reference) && input.StreamData(toUnicode->Number(), cmap))
      font->m_unicode.Parse(cmap.view());
  } else {
    font->LoadSimple(input, nullptr);
  }
  if (!font->m_twoByte && !font->m_unicode.Empty()) {
    // A ToUnicode map decides the text of the codes it covers.
    for (uint32_t code = 0; code < 256; ++code) {
      std::string_view text;
      if (font->m_unicode.Lookup(code, text)) font->SetText(code, text);
    }
  }
  return font;
}

void TextFont::SetText(uint32_t code, std::string_view utf8) {
  if (utf8.size() > 255) utf8 = utf8.substr(0, 255);
  m_text[code] = static_cast<uint32_t>(m_pool.size() << 8) | static_cast<uint32_t>(utf8.size());
  m_pool.append(utf8);
}

void TextFont::LoadSimple(PDFInput& input, PDValue* dict) {
  const FontMetrics* metrics = dict ? InputFontMetrics(input, dict, m_store) : nullptr;
  for (int b = 0; b < 256; ++b) m_bytes[b] = static_cast<unsigned char>(b);
  if (metrics) {
    // The extraction direction of the font's re-coding, byte by byte.
    char all[256];
    for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
    ByteString recoded = RecodeFromFont(*metrics, ByteString(all, 256));
    for (int b = 0; b < 256 && b < recoded.length(); ++b) m_bytes[b] = static_cast<unsigned char>(recoded[b]);
    for (int b = 0; b < 256; ++b) m_widths[b] = metrics->widths[m_bytes[b]];
  }
  PDDict* fontDict = dict ? dict->Dict() : nullptr;
  // Type3 glyph widths are in glyph space: the font matrix scales them to text space.
  PDValue* subtype = fontDict ? Resolved(input, fontDict->Find("/Subtype")) : nullptr;
  PDValue* matrix = fontDict ? Resolved(input, fontDict->Find("/FontMatrix")) : nullptr;
  PDValue* widths = fontDict ? Resolved(input, fontDict->Find("/Widths")) : nullptr;
  if (subtype && subtype->IsText("/Type3") && matrix && matrix->Is(PDKind::Array) && widths &&
      widths->Is(PDKind::Array)) {
    double scale = NumberOf(input, matrix->GetFirstEl(), 0.001) * 1000;
    int32_t first = static_cast<int32_t>(NumberOf(input, fontDict->Find("/FirstChar"), 0));
    m_widths.fill(0);
    int32_t code = first;
    for (PDValue* el = widths->GetFirstEl(); el && code < 256; el = el->Next(), ++code)
      if (code >= 0) m_widths[code] = ClampWidth(NumberOf(input, el, 0) * scale);
  }

  // Text: MacRoman fonts through their table, names of /Differences by name,
  // everything else through the re-coded byte read as WinAnsi.
  std::array<std::string, 256> names;
  PDValue* encoding = fontDict ? Resolved(input, fontDict->Find("/Encoding")) : nullptr;
  bool macRoman = encoding && encoding->IsText("/MacRomanEncoding");
  PDValue* baseEncoding =
      encoding && encoding->Is(PDKind::Dictionary) ? Resolved(input, encoding->Dict()->Find("/BaseEncoding")) : nullptr;
  if (fontDict && (!encoding || (encoding->Is(PDKind::Dictionary) && !baseEncoding)))
    ReadBuiltinEncoding(input, fontDict, names);
  if (encoding && encoding->Is(PDKind::Dictionary)) {
    PDValue* base = baseEncoding;
    macRoman = base && base->IsText("/MacRomanEncoding");
    PDValue* differences = Resolved(input, encoding->Dict()->Find("/Differences"));
    int32_t code = 0;
    for (PDValue* el = differences && differences->Is(PDKind::Array) ? differences->GetFirstEl() : nullptr; el;
         el = el->Next()) {
      if (el->Is(PDKind::Integer)) {
        code = el->Number();
      } else if (el->Is(PDKind::Text) && el->Text().StartsWith("/")) {
        if (code >= 0 && code < 256) names[static_cast<size_t>(code)] = el->Text().str();
        ++code;
      }
    }
  }
  PDValue* baseFont = fontDict ? Resolved(input, fontDict->Find("/BaseFont")) : nullptr;
  const bool symbol = !encoding && baseFont && (baseFont->IsText("/Symbol") || baseFont->Text().view().ends_with("+Symbol"));
  std::string text;
  for (int b = 0; b < 256; ++b) {
    text.clear();
    if (!names[b].empty()) text = GlyphNameText(names[b]);
    if (text.empty() && symbol && b >= 0x20 && b < 0x7F) AppendUtf8(text, kSymbolLow[b - 0x20]);
    if (text.empty()) {
      // Metrics built from /Widths carry the MacRoman table as their re-coding already.
      bool viaTable = macRoman && (!metrics || metrics->recode.empty());
      unsigned char winAnsi = viaTable ? kMacRomanToWinAnsi[b] : m_bytes[b];
      if (uint32_t cp = WinAnsiToUnicode(winAnsi)) AppendUtf8(text, cp);
    }
    SetText(static_cast<uint32_t>(b), text);
  }
}

void TextFont::LoadType0(PDFInput& input, PDValue* dict) {
  m_twoByte = true;
  PDValue* descendants = Resolved(input, dict->Dict()->Find("/DescendantFonts"));
  PDDict* cidFont = descendants && descendants->Is(PDKind::Array) ? DictOf(input, descendants->GetFirstEl()) : nullptr;
  if (!cidFont) return;
  m_defaultWidth = ClampWidth(NumberOf(input, cidFont->Find("/DW"), 1000));
  PDValue* w = Resolved(input, cidFont->Find("/W"));
  if (!w || !w->Is(PDKind::Array)) return;
  // /W holds "c [w1 w2 ...]" and "cfirst clast w" entries; CIDs stop at 65535.
  auto set = [&](int64_t cid, double width) {
    if (cid < 0 || cid > 65535) return;
    if (m_cidWidths.size() <= static_cast<size_t>(cid)) m_cidWidths.resize(static_cast<size_t>(cid) + 1, -1);
    m_cidWidths[static_cast<size_t>(cid)] = ClampWidth(width);
  };
  PDValue* el = w->GetFirstEl();
  while (el) {
    PDValue* first = Resolved(input, el);
    PDValue* second = el->Next() ? Resolved(input, el->Next()) : nullptr;
    if (!first || !second) break;
    int64_t start = static_cast<int64_t>(first->RealValue());
    if (second->Is(PDKind::Array)) {
      int64_t cid = start;
      for (PDValue* item = second->GetFirstEl(); item && cid <= 65535; item = item->Next(), ++cid)
        set(cid, NumberOf(input, item, 0));
      el = el->Next()->Next();
      continue;
    }
    PDValue* third = el->Next()->Next() ? Resolved(input, el->Next()->Next()) : nullptr;
    if (!third) break;
    int64_t last = static_cast<int64_t>(second->RealValue());
    double width = third->RealValue();
    if (last > 65535) last = 65535;
    for (int64_t cid = start < 0 ? 0 : start; cid <= last; ++cid) set(cid, width);
    el = el->Next()->Next()->Next();
  }
}

size_t TextFont::Decode(const char* bytes, size_t n, TextGlyph& glyph) const {
  if (!m_twoByte || n < 2) {
    auto b = static_cast<unsigned char>(bytes[0]);
    glyph.code = b;
    if (m_twoByte) {
      // A lone last byte of a two-byte string: nothing to show, no advance.
      glyph.width = 0;
      glyph.wordSpace = false;
      glyph.byte = '?';
      glyph.utf8 = {};
      return 1;
    }
    glyph.width = m_widths[b];
    glyph.wordSpace = b == 32;
    glyph.byte = m_bytes[b];
    uint32_t entry = m_text[b];
    glyph.utf8 = std::string_view(m_pool.data() + (entry >> 8), entry & 0xFF);
    return 1;
  }
  uint32_t code = (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]);
  glyph.code = code;
  glyph.wordSpace = false;
  glyph.width = code < m_cidWidths.size() && m_cidWidths[code] >= 0 ? m_cidWidths[code] : m_defaultWidth;
  std::string_view text;
  if (m_unicode.Lookup(code, text)) {
    glyph.utf8 = text;
    // The library's byte: the first character's WinAnsi byte.
    auto lead = static_cast<unsigned char>(text[0]);
    uint32_t cp = lead;
    if (lead >= 0xC0 && text.size() >= 2) {
      if (lead < 0xE0) cp = ((lead & 0x1F) << 6) | (text[1] & 0x3F);
      else if (lead < 0xF0 && text.size() >= 3) cp = ((lead & 0x0F) << 12) | ((text[1] & 0x3F) << 6) | (text[2] & 0x3F);
      else cp = 0xFFFD;
    }
    glyph.byte = UnicodeToWinAnsi(cp);
  } else {
    glyph.utf8 = {};
    glyph.byte = '?';
  }
  return 2;
}

}  // namespace folian
