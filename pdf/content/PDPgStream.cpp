#include "pdf/content/PDPgStream.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NumberFormat.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"

namespace folian {
namespace {

ByteString Num(double value) { return FormatNumber(static_cast<float>(value)); }

// Joins the numbers with one blank between them.
ByteString Nums(std::initializer_list<double> values) {
  ByteString out;
  for (double value : values) {
    if (!out.empty()) out.Append(' ');
    out.Append(Num(value));
  }
  return out;
}

bool Finite(std::initializer_list<double> values) {
  for (double value : values)
    // Values beyond the float range would turn into infinity when written.
    if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return false;
  return true;
}

// A name that can stand in a PDF name token: standard fonts are written under
// their name, and input fonts are found by the name as the input writes it
// (with its "#xx" escapes).
bool UsableFontName(const char* name) {
  size_t length = std::strlen(name);
  if (length == 0 || length > static_cast<size_t>(PDPgStream::kMaxFontName)) return false;
  for (size_t i = name[0] == '/' ? 1 : 0; i < length; ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c <= 32 || c >= 127 || std::strchr("()<>[]{}/%", c)) return false;
  }
  return name[0] != '/' || length > 1;
}

}  // namespace

PDPgStream::PDPgStream(PDResources& resources, PDResources* companion)
    : m_resources(resources), m_companion(companion) {}

void PDPgStream::SeparatedAppend(const ByteString& text) {
  ByteString& buffer = Buffer();
  if (!buffer.empty()) {
    char last = buffer[buffer.length() - 1];
    if (last != ' ' && last != '\n' && last != '\r') buffer.Append(' ');
  }
  buffer.Append(text);
}

void PDPgStream::TextOperator(const ByteString& text) {
  if (!m_inText) {
    SeparatedAppend("BT\n");
    m_inText = true;
  }
  SeparatedAppend(text);
}

void PDPgStream::DrawOperator(const ByteString& text) {
  if (m_inText) {
    SeparatedAppend("ET\n");
    m_inText = false;
  }
  SeparatedAppend(text);
  m_graphicsPending = true;
}

int32_t PDPgStream::SetFont(const char* name, double size) {
  if (!Finite({size})) return kParamValue;
  if (name && !UsableFontName(name)) return kParamValue;
  PDFontRef* font = m_font;
  if (name) {
    font = m_resources.EnterFont(name);
  } else if (size == 0) {
    Diag("No font name specified\n");
    return kParamValue;
  }
  if (!font) {
    Diag("No font name specified\n");
    return kParamValue;
  }
  if (font->objectId == 0 && !m_resources.LoadFont(*font, m_companion)) return kFailed;  // entry is gone
  if (font->resourceName.empty()) {
    Diag("Cannot set font\n");
    return kFailed;
  }
  bool first = m_fontSize == 0;
  m_font = font;
  if (size != 0) m_fontSize = size;
  if (m_fontSize != 0) {
    if (first) {
      TextOperator("0 g 0 Ts 0 Tr");
    }
    TextOperator(font->resourceName + " " + Num(m_fontSize) + " Tf\n");
    if (first) SeparatedAppend(Num(m_charSpacing) + " Tc " + Num(m_wordSpacing) + " Tw");
  }
  return kOk;
}

int32_t PDPgStream::SetCharSpacing(double value) {
  if (!Finite({value})) return kParamValue;
  m_charSpacing = value;
  if (m_fontSize != 0) TextOperator(Num(value) + " Tc\n");
  return kOk;
}

int32_t PDPgStream::SetWordSpacing(double value) {
  if (!Finite({value})) return kParamValue;
  m_wordSpacing = value;
  if (m_fontSize != 0) TextOperator(Num(value) + " Tw\n");
  return kOk;
}

int32_t PDPgStream::SetTz(double percent) {
  if (!Finite({percent})) return kParamValue;
  m_tz = percent;
  TextOperator(Num(percent) + " Tz\n");
  return kOk;
}

int32_t PDPgStream::SetTm(double a, double b, double c, double d, double e, double f) {
  if (!Finite({a, b, c, d, e, f})) return kParamValue;
  double values[6] = {a, b, c, d, e, f};
  std::memcpy(m_tm, values, sizeof m_tm);
  TextOperator(Nums({a, b, c, d, e, f}) + " Tm\n");
  return kOk;
}

int32_t PDPgStream::SetLineSpacing(double leading) {
  if (!Finite({leading})) return kParamValue;
  TextOperator(Num(leading) + " TL\n");
  return kOk;
}

int32_t PDPgStream::PutText(const char* text, double x, double y) {
  if (!text || !Finite({x, y})) return kParamValue;
  if (!m_font) return kBadCallingSequence;
  if (x != 0 || y != 0) {
    m_tm[4] = x;
    m_tm[5] = y;
    TextOperator(Nums({m_tm[0], m_tm[1], m_tm[2], m_tm[3], m_tm[4], m_tm[5]}) + " Tm\n");
  }
  ByteString bytes(text);
  if (m_font->metrics) bytes = RecodeForFont(*m_font->metrics, bytes);
  TextOperator(EncodeString(bytes, StringMode::Literal) + " Tj\n");
  return kOk;
}

int32_t PDPgStream::PutLn() {
  TextOperator("T*\n");
  return kOk;
}

int32_t PDPgStream::PutTab(double dx, double dy) {
  if (!Finite({dx, dy})) return kParamValue;
  TextOperator(Nums({dx, dy}) + " Td\n");
  return kOk;
}

int32_t PDPgStream::TextOp(const char* text) {
  if (!text) return kParamValue;
  TextOperator(text);
  return kOk;
}

int32_t PDPgStream::DrawOp(const char* text) {
  if (!text) return kParamValue;
  DrawOperator(text);
  return kOk;
}

double PDPgStream::TextWidth(const char* text) const {
  if (!text || !m_font || !m_font->metrics) return 0;
  return folian::TextWidth(m_font->metrics->widths.data(), text, static_cast<int32_t>(std::strlen(text)), m_fontSize,
                           m_charSpacing, m_wordSpacing, m_tz);
}

int32_t PDPgStream::SetGray(double stroke, double fill) {
  // Finite values outside 0..1 are skipped silently; NaN and infinity are refused.
  if (!Finite({stroke, fill})) return kParamValue;
  if (stroke >= 0 && stroke <= 1) SeparatedAppend(Num(stroke) + " G");
  if (fill >= 0 && fill <= 1) SeparatedAppend(Num(fill) + " g");
  return kOk;
}

int32_t PDPgStream::LineColor(double red, double green, double blue) {
  if (!Finite({red, green, blue})) return kParamValue;
  SeparatedAppend(Nums({red, green, blue}) + " RG");
  return kOk;
}

int32_t PDPgStream::FillColor(double red, double green, double blue) {
  if (!Finite({red, green, blue})) return kParamValue;
  SeparatedAppend(Nums({red, green, blue}) + " rg");
  return kOk;
}

int32_t PDPgStream::SetColorSpace(const char* color, double tint, const char* csOp, const char* scnOp) {
  if (!color || !*color || !Finite({tint})) return kParamValue;
  ByteString name = m_resources.EnterColor(color);
  if (name.empty()) return kFailed;
  SeparatedAppend(name + csOp + Num(tint) + scnOp);
  return kOk;
}

int32_t PDPgStream::SetLineCS(const char* color, double tint) { return SetColorSpace(color, tint, " CS\n", " SCN\n"); }

int32_t PDPgStream::SetFillCS(const char* color, double tint) { return SetColorSpace(color, tint, " cs\n", " scn\n"); }

int32_t PDPgStream::SetLineWidth(double width) {
  if (!Finite({width})) return kParamValue;
  m_lineWidth = width;
  DrawOperator(Num(width) + " w\n");
  return kOk;
}

int32_t PDPgStream::MoveTo(double x, double y) {
  if (!Finite({x, y})) return kParamValue;
  DrawOperator(Nums({x, y}) + " m");
  m_pathState = 1;
  return kOk;
}

int32_t PDPgStream::ReopenPath() {
  if (m_pathState == 0) return kBadCallingSequence;
  if (m_pathState == 2) {
    ByteString& buffer = Buffer();
    int32_t n = buffer.length();
    if (n < 2 || buffer[n - 2] != 'S' || buffer[n - 1] != '\n') return kInternal;
    buffer.SetLength(n - 2);
  }
  return kOk;
}

int32_t PDPgStream::DrawTo(double x, double y) {
  if (!Finite({x, y})) return kParamValue;
  if (int32_t code = ReopenPath(); code != kOk) return code;
  DrawOperator(Nums({x, y}) + " l S\n");
  m_pathState = 2;
  return kOk;
}

int32_t PDPgStream::CurveTo(const double* points, int32_t count, char type) {
  int32_t needed = type == 'c' ? 6 : (type == 'v' || type == 'y') ? 4 : 0;
  if (needed == 0 || !points || count < needed) return kParamValue;
  for (int32_t i = 0; i < needed; ++i)
    if (!Finite({points[i]})) return kParamValue;
  if (int32_t code = ReopenPath(); code != kOk) return code;
  ByteString text;
  for (int32_t i = 0; i < needed; ++i) text += Num(points[i]) + " ";
  text.Append(type);
  text += " S\n";
  DrawOperator(text);
  m_pathState = 2;
  return kOk;
}

int32_t PDPgStream::DrawArea(bool clip) {
  if (int32_t code = ReopenPath(); code != kOk) return code;
  m_pathState = 0;
  DrawOperator(clip ? "W b\n" : "b\n");
  return kOk;
}

int32_t PDPgStream::Rectangle(double x, double y, double width, double height, int32_t style) {
  static const char* const kPaint[] = {"f", "B*", "S"};
  // No painting operator is defined for other styles: refused, nothing written.
  if (style < 0 || style > 2 || !Finite({x, y, width, height})) return kParamValue;
  DrawOperator(Nums({x, y, width, height}) + " re " + kPaint[style] + "\n");
  return kOk;
}

int32_t PDPgStream::GrayBar(double x, double y, double width, double height, double grey) {
  if (!Finite({x, y, width, height, grey})) return kParamValue;
  char level[64];
  std::snprintf(level, sizeof level, "%3.1f g\n", grey);
  DrawOperator(level);
  DrawOperator(Nums({x, y, width, height}) + " re f\n");
  return kOk;
}

bool PDPgStream::WriteObject(PDFile& file, bool compress) {
  if (ObjectId() == 0 && m_inText) {
    SeparatedAppend("ET\n");
    m_inText = false;
  }
  return PDStream::WriteObject(file, compress);
}

const ByteString& PDPgStream::RawBytes() {
  if (m_inText) Diag("PDPgStream::Write - \"ET\" probably missing\n");
  m_graphicsPending = false;
  return Text();
}

}  // namespace folian
