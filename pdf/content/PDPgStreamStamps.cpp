// PDPgStream: images, logos, bars and ruled tables.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pdf/base/NumberFormat.h"
#include "pdf/base/Status.h"
#include "pdf/content/PDPgStream.h"

namespace folian {
namespace {

ByteString Num(double value) { return FormatNumber(static_cast<float>(value)); }

bool Finite(std::initializer_list<double> values) {
  for (double value : values)
    if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return false;
  return true;
}

}  // namespace

int32_t PDPgStream::PrintImage(int32_t number, const PDImage* image, double x, double y, double width,
                               double height) {
  if (!Finite({x, y, width, height})) return kParamValue;
  const bool sized = width != 0 && height != 0;
  // The image space is the unit square: the matrix maps it onto the rectangle.
  if (sized) DrawOperator("q " + Num(width) + " 0 0 " + Num(height) + " " + Num(x) + " " + Num(y) + " cm\n");
  int32_t code = kParamValue;
  if (image) {
    ByteString name = m_resources.EnterImage(number, image->objectId, image->color != 0);
    DrawOperator(name + " Do");
    code = kOk;
  }
  if (sized) DrawOperator("Q");
  return code;
}

int32_t PDPgStream::PrintLogo(const PDLogo& logo) {
  DrawOperator(logo.PaintText());
  if (std::find(m_logos.begin(), m_logos.end(), &logo) == m_logos.end()) m_logos.push_back(&logo);
  return kOk;
}

int32_t PDPgStream::HLine(int32_t x1, int32_t x2, int32_t y, double width) {
  if (!Finite({width})) return kParamValue;
  DrawOperator("1 i " + Num(x1) + " " + Num(y) + " " + Num(x2 - x1) + " " + Num(width) + " re f\n");
  return kOk;
}

int32_t PDPgStream::VLine(int32_t y1, int32_t y2, int32_t x, double width) {
  if (!Finite({width})) return kParamValue;
  DrawOperator("1 i " + Num(x) + " " + Num(y1) + " " + Num(width) + " " + Num(y2 - y1) + " re f\n");
  return kOk;
}

int32_t PDPgStream::TableDraw(int32_t x, int32_t y, int32_t rows, int32_t columns, const int16_t* widths) {
  // More columns than the grid holds are refused rather than cut off silently.
  if (!widths || rows < 0 || columns < 1 || columns > PDGrid::kMaxColumns) return kParamValue;
  if (!m_grid) m_grid = std::make_unique<PDGrid>();
  PDGrid& grid = *m_grid;
  grid.x = x;
  grid.y = y;
  grid.rows = rows;
  grid.columns = columns;
  std::fill(std::begin(grid.widths), std::end(grid.widths), int16_t{0});
  std::copy(widths, widths + columns, grid.widths);
  grid.rowHeight = static_cast<int32_t>(m_fontSize + 2);

  if (m_lineWidth < 0) {
    int32_t code = SetLineWidth(0.2);
    if (code != kOk) return code;
  }
  if (m_lineWidth == 0) return kOk;
  int32_t total = 0;
  for (int32_t c = 0; c < columns; ++c) total += grid.widths[c];
  char line[96];
  DrawOperator("q 1 J 1 j");
  for (int32_t r = 0; r <= rows; ++r) {
    int32_t ry = y - grid.rowHeight * r;
    std::snprintf(line, sizeof line, "%d %d m %d %d l", x, ry, x + total, ry);
    SeparatedAppend(line);
  }
  int32_t xc = x;
  for (int32_t c = 0; c <= columns; ++c) {
    std::snprintf(line, sizeof line, "%d %d m %d %d l", xc, y, xc, y - grid.rowHeight * rows);
    SeparatedAppend(line);
    if (c < columns) xc += grid.widths[c];
  }
  DrawOperator("S\n");
  DrawOperator("Q");
  return kOk;
}

int32_t PDPgStream::TableText(int32_t row, int32_t column, const char* text, int32_t alignment) {
  if (!m_grid) return kBadCallingSequence;
  const PDGrid& grid = *m_grid;
  if (!text || column < 1 || column > grid.columns || row < 1) return kParamValue;
  if (!m_font) return kBadCallingSequence;
  double x0 = grid.x;
  for (int32_t c = 0; c < column - 1; ++c) x0 += grid.widths[c];
  const double columnWidth = grid.widths[column - 1];
  const double baseline = grid.y - static_cast<double>(grid.rowHeight) * row + 2;
  const double width = TextWidth(text);
  double x = x0 + 2;
  if (alignment == 1)
    x = x0 + (columnWidth - width) * 0.5;
  else if (alignment == 2)
    x = x0 + (columnWidth - 2) - width;
  return PutText(text, x, baseline);
}

int32_t PDPgStream::TableHeight(int32_t rows) const { return static_cast<int32_t>((m_fontSize + 2) * rows); }

}  // namespace folian
