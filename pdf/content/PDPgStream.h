#pragma once
// PDPgStream: a page (or header) content stream with its text and graphics state.
//
// Every operation appends operator text to the buffer in one of three ways: a
// separated append (one blank first unless the buffer ends in a blank or a line
// end), a text operator (opens a BT text object first when none is open) or a
// drawing operator (closes an open text object with ET first). Paths built by
// MoveTo, DrawTo, CurveTo and DrawArea form one path with a single stroke at the
// end. Fonts, colours and images are entered into the stream's resource set.
//
// Owned by the output document; borrows its resource sets, which outlive it.
// Operations return a status code (0, or 1005 bad argument, 1008 wrong order,
// 1009 buffer changed under an open path, 1017 font or colour not available);
// a failing operation leaves the buffer as it was.
#include <cstdint>
#include <memory>

#include <vector>

#include "pdf/content/PDImage.h"
#include "pdf/content/PDLogo.h"
#include "pdf/content/PDResources.h"
#include "pdf/content/PDStream.h"

namespace folian {

// A ruled table on a stream: upper left corner, rows, columns and their widths.
// The row height is taken from the stream's font size when the grid is drawn.
struct PDGrid {
  static constexpr int32_t kMaxColumns = 10;
  int32_t x = 0;
  int32_t y = 0;
  int32_t rows = 0;
  int32_t columns = 0;
  int16_t widths[kMaxColumns] = {};
  int32_t rowHeight = 0;
};

enum class RectStyle : int32_t { Fill = 0, BorderAndFill = 1, Border = 2 };

class PDPgStream : public PDStream {
public:
  // Font names longer than this are refused: PDF names are limited to 127 bytes.
  static constexpr int32_t kMaxFontName = 127;

  PDPgStream(PDResources& resources, PDResources* companion);

  int32_t SetFont(const char* name, double size);
  int32_t SetCharSpacing(double value);
  int32_t SetWordSpacing(double value);
  int32_t SetTz(double percent);
  int32_t SetTm(double a, double b, double c, double d, double e, double f);
  int32_t SetLineSpacing(double leading);
  // Text at the current position, or at (x, y) when that is not (0, 0).
  int32_t PutText(const char* text, double x = 0, double y = 0);
  int32_t PutLn();
  int32_t PutTab(double dx, double dy);
  int32_t TextOp(const char* text);
  int32_t DrawOp(const char* text);
  // Width of the text in the current font, size and spacing; 0 without font or metrics.
  double TextWidth(const char* text) const;

  int32_t SetGray(double stroke, double fill);
  int32_t LineColor(double red, double green, double blue);
  int32_t FillColor(double red, double green, double blue);
  int32_t SetLineCS(const char* color, double tint);
  int32_t SetFillCS(const char* color, double tint);
  int32_t SetLineWidth(double width);
  int32_t MoveTo(double x, double y);
  int32_t DrawTo(double x, double y);
  // Type 'c' takes six numbers, 'v' and 'y' four; `count` is what `points` holds.
  int32_t CurveTo(const double* points, int32_t count, char type);
  int32_t DrawArea(bool clip);
  int32_t Rectangle(double x, double y, double width, double height, int32_t style);
  // A filled bar in a grey level written with one decimal; the fill grey stays.
  int32_t GrayBar(double x, double y, double width, double height, double grey);

  // Images and logos (PDPgStreamStamps.cpp). `image` is none when `number`
  // names no image: 1005, and with a size the q/cm and Q are written all the same.
  int32_t PrintImage(int32_t number, const PDImage* image, double x, double y, double width, double height);
  // Paints the logo's form XObjects and keeps it in the stream's logo list.
  int32_t PrintLogo(const PDLogo& logo);
  const std::vector<const PDLogo*>& Logos() const { return m_logos; }
  // Bars: a filled rectangle of thickness `width` from (x1, y) to x2, or from
  // (x, y1) up to y2.
  int32_t HLine(int32_t x1, int32_t x2, int32_t y, double width);
  int32_t VLine(int32_t y1, int32_t y2, int32_t x, double width);

  // Grids (PDPgStreamStamps.cpp): at most PDGrid::kMaxColumns columns.
  int32_t TableDraw(int32_t x, int32_t y, int32_t rows, int32_t columns, const int16_t* widths);
  // Text in a cell: row from 1, column 1..columns; alignment 1 centre, 2 right,
  // anything else left.
  int32_t TableText(int32_t row, int32_t column, const char* text, int32_t alignment);
  // The height of `rows` rows in the current font size.
  int32_t TableHeight(int32_t rows) const;
  const PDGrid* Grid() const { return m_grid.get(); }

  // Closes an open text object and writes the stream as a content object.
  bool WriteObject(PDFile& file, bool compress) override;
  // The bytes for copying into another object, unchanged; warns when a text
  // object is still open.
  const ByteString& RawBytes();

  bool InText() const { return m_inText; }
  int32_t PathState() const { return m_pathState; }
  double FontSize() const { return m_fontSize; }
  double LineWidth() const { return m_lineWidth; }
  const PDFontRef* Font() const { return m_font; }
  PDResources& Resources() { return m_resources; }

private:
  void SeparatedAppend(const ByteString& text);
  void TextOperator(const ByteString& text);
  void DrawOperator(const ByteString& text);
  // Removes the trailing "S\n" of an open path; 1008 without a current point,
  // 1009 when the buffer no longer ends with the stroke.
  int32_t ReopenPath();
  int32_t SetColorSpace(const char* color, double tint, const char* csOp, const char* scnOp);

  PDResources& m_resources;
  PDResources* m_companion;
  bool m_inText = false;
  bool m_graphicsPending = false;
  PDFontRef* m_font = nullptr;
  double m_fontSize = 0;
  double m_tm[6] = {1, 0, 0, 1, 0, 0};
  double m_wordSpacing = 0;
  double m_charSpacing = 0;
  double m_tz = 100;
  double m_lineWidth = -1;
  int32_t m_pathState = 0;
  std::unique_ptr<PDGrid> m_grid;
  std::vector<const PDLogo*> m_logos;  // borrowed from the document's logo files
};

}  // namespace folian
