#include "pdf/forms/FieldAppearance.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "pdf/base/NumberFormat.h"
#include "pdf/base/StringCodec.h"
#include "pdf/content/FontMetrics.h"

namespace folian {
namespace {

ByteString Num(double value) { return FormatNumber(static_cast<float>(value)); }

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0'; }

// Lines of a multi-line field never need to go on far below the box: they are
// clipped away. This keeps a megabyte value from making a huge stream.
constexpr int32_t kMaxHiddenLines = 2;

}  // namespace

DefaultAppearance ParseDefaultAppearance(const ByteString& text) {
  DefaultAppearance da;
  da.text = text;
  int32_t tf = -1;
  // The last "Tf" operator that stands as a word of its own.
  for (int32_t at = text.Find("Tf"); at >= 0; at = text.Find("Tf", at + 1)) {
    bool before = at == 0 || IsBlankByte(text[at - 1]);
    bool after = at + 2 >= text.length() || IsBlankByte(text[at + 2]) || text[at + 2] == '/';
    if (before && after) tf = at;
  }
  if (tf < 0) return da;
  da.hasTf = true;
  int32_t end = tf;
  while (end > 0 && IsBlankByte(text[end - 1])) --end;
  int32_t start = end;
  while (start > 0 && ((text[start - 1] >= '0' && text[start - 1] <= '9') || text[start - 1] == '.')) --start;
  if (start < end) {
    da.sizeStart = start;
    da.sizeEnd = end;
    std::string digits = text.Mid(start, end - start).str();
    da.size = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(da.size)) da.size = 0;
  }
  // The font name is the name token before the size.
  int32_t nameEnd = start;
  while (nameEnd > 0 && IsBlankByte(text[nameEnd - 1])) --nameEnd;
  int32_t nameStart = nameEnd;
  while (nameStart > 0 && !IsBlankByte(text[nameStart - 1]) && text[nameStart - 1] != '/') --nameStart;
  if (nameStart > 0 && text[nameStart - 1] == '/' && nameStart < nameEnd)
    da.font = text.Mid(nameStart - 1, nameEnd - nameStart + 1);
  return da;
}

double FieldFontSize(const TextFieldLook& look) {
  double size = look.da.size;
  if (size > kMaxFieldFontSize) size = 0;
  if (size >= 1) return size;
  if (look.multiline) return 10;
  size = look.height * 0.7692307692307692 - 1;
  // A field too low for any text still gets a size a reader can use.
  return size >= 1 ? size : 1;
}

namespace {

double WidthOf(const TextFieldLook& look, const char* text, int32_t length, double size) {
  if (!look.widths) return length * size * 0.5;
  return TextWidth(look.widths, text, length, size, 0, 0, 100);
}

double CharWidth(const TextFieldLook& look, unsigned char c, double size) {
  return look.widths ? look.widths[c] * size * 0.001 : size * 0.5;
}

// Splits a multi-line field's line so each part fits `room`: a part is cut at its
// last blank that leaves a fitting part (the blanks before the cut dropped), or,
// when even the first word is too wide, after the last character that fits.
void WrapLine(const TextFieldLook& look, const ByteString& line, double size, double room,
              std::vector<ByteString>& out, size_t limit) {
  int32_t at = 0;
  const int32_t n = line.length();
  bool first = true;
  while (at < n || first) {
    if (out.size() >= limit) return;
    if (!first)
      while (at < n && line[at] == ' ') ++at;
    if (at >= n && !first) return;
    first = false;
    double run = 0;
    int32_t fit = at;  // the end of the longest fitting prefix
    int32_t wordEnd = -1;  // the end of the last word that fits and is followed by a blank
    while (fit < n) {
      double next = run + CharWidth(look, static_cast<unsigned char>(line[fit]), size);
      if (next > room) break;
      run = next;
      ++fit;
      if (fit < n && line[fit] == ' ' && line[fit - 1] != ' ') wordEnd = fit;
    }
    int32_t end;
    if (fit >= n) {
      end = n;
    } else if (wordEnd > at) {
      end = wordEnd;
    } else {
      end = fit;
      if (end <= at) end = at + 1;  // at least one character per line, so the wrap ends
    }
    int32_t trimmed = end;
    while (trimmed > at && line[trimmed - 1] == ' ') --trimmed;
    out.push_back(line.Mid(at, trimmed - at));
    at = end;
  }
}

}  // namespace

ByteString TextSection(const TextFieldLook& look, const ByteString& value) {
  const double size = FieldFontSize(look);
  const double lineStep = 1.156 * size;
  double baseline = look.multiline ? look.height - size * 1.156 : 0;
  if (!look.multiline || baseline < 1)
    baseline = look.height * 0.5 - look.fontHeight * size * 0.001 * 0.5 + look.fontDescent * size * 0.001;

  // The default appearance goes in with the size actually used, so that an
  // automatic size (0) does not draw the text at size 0.
  ByteString da = look.da.text;
  if (look.da.sizeStart >= 0 && look.da.size != size)
    da = da.Left(look.da.sizeStart) + Num(size) + da.Mid(look.da.sizeEnd);

  std::vector<ByteString> lines;
  // Lines that start below the box are never seen.
  size_t limit = look.multiline
                     ? static_cast<size_t>(std::max(0.0, std::floor(baseline / lineStep))) + 1 + kMaxHiddenLines
                     : 1;
  int32_t start = 0;
  const int32_t n = value.length();
  for (int32_t i = 0; i <= n && lines.size() < limit; ++i) {
    if (i < n && value[i] != '\r' && value[i] != '\n') continue;
    ByteString line = value.Mid(start, i - start);
    if (look.multiline)
      WrapLine(look, line, size, look.width - 2, lines, limit);
    else
      lines.push_back(line);
    if (i < n && value[i] == '\r' && i + 1 < n && value[i + 1] == '\n') ++i;
    start = i + 1;
    if (!look.multiline) break;
  }
  ByteString out = "/Tx BMC q 1 1 ";
  out += ByteString(std::to_string(static_cast<int>(look.width - 2)));
  out += " ";
  out += ByteString(std::to_string(static_cast<int>(look.height - 2)));
  out += " re W n 0 g BT ";
  out += da;
  out += " 1 0 0 1 2 ";
  out += Num(baseline);
  out += " Tm ";
  double previous = look.width - 4;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ByteString& line = lines[i];
    double width = WidthOf(look, line.data(), line.length(), size);
    double dx = 0;
    if (look.alignment == 2)
      dx = previous - width;
    else if (look.alignment == 1)
      dx = (previous - width) * 0.5;
    double dy = i == 0 ? 0 : -lineStep;
    if (i > 0) out += "\r";
    out += " ";
    out += Num(dx);
    out += " ";
    out += Num(dy);
    out += " Td ";
    out += EncodeString(line, StringMode::Literal);
    out += " Tj";
    previous = width;
  }
  out += " ET Q EMC";
  return out;
}

ByteString ReplaceTextSection(const ByteString& existing, const ByteString& section) {
  int32_t at = existing.Find("/Tx BMC");
  if (at >= 0) return existing.Left(at) + section;
  if (existing.empty()) return section;
  // One blank between the two, whether or not the old content ends with one.
  char last = existing[existing.length() - 1];
  if (IsBlankByte(last)) return existing + section;
  return existing + " " + section;
}

ByteString ColorOperator(int32_t color, bool stroke) {
  if ((color & 0xFFFFFF) == 0xFFFFFF) return stroke ? "1 G " : "1 g ";
  if ((color & 0xFFFFFF) == 0) return stroke ? "0 G " : "0 g ";
  auto value = static_cast<uint32_t>(color);
  uint32_t red = value % 256, green = (value / 256) % 256, blue = (value / 65536) % 256;
  ByteString out = Num(red / 255.0) + " " + Num(green / 255.0) + " " + Num(blue / 255.0);
  out += stroke ? " RG " : " rg ";
  return out;
}

ByteString BoxAppearance(double width, double height, int32_t borderColor, int32_t backgroundColor) {
  ByteString out;
  if (backgroundColor != -1) {
    out += ColorOperator(backgroundColor, false);
    out += "0 0 " + Num(width) + " " + Num(height) + " re f ";
  }
  if (borderColor != -1) {
    out += ColorOperator(borderColor, true);
    out += "1 w 0.5 0.5 " + Num(width - 1) + " " + Num(height - 1) + " re s ";
  }
  return out;
}

}  // namespace folian
