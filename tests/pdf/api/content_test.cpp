// Drawing pages through the exported functions, judged by outside readers:
// pdftotext word boxes against the widths the library measures, pdftoppm
// renders for ink where drawn, qpdf --check and reference integrity for every
// file written.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/RefCheck.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

bool Have(const char* tool) { return RunCommand(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0; }

void ExpectSoundFile(const std::string& path) {
  std::string out;
  EXPECT_EQ(RunCommand("qpdf --check " + path + " 2>&1", &out), 0) << out;
  std::vector<int> dangling = DanglingReferences(ReadFile(path));
  EXPECT_TRUE(dangling.empty()) << path << " refers to missing object " << (dangling.empty() ? 0 : dangling[0]);
}

struct Word {
  double xMin, yMin, xMax, yMax;
  std::string text;
};

// The words pdftotext finds on one page, in reading order.
std::vector<Word> WordBoxes(const std::string& pdf, int page) {
  std::string out;
  RunCommand("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + pdf + " - 2>/dev/null",
             &out);
  std::vector<Word> words;
  std::regex word(R"#(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)#");
  for (std::sregex_iterator it(out.begin(), out.end(), word), end; it != end; ++it)
    words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]), (*it)[5]});
  return words;
}

// A grey render at 72 dpi: one byte per point, row 0 at the top of the page.
struct Render {
  int width = 0, height = 0;
  std::string pixels;
  int At(int x, int y) const { return static_cast<unsigned char>(pixels[static_cast<size_t>(y) * width + x]); }
  // The darkest pixel in the square of side 2r + 1 around (x, y) in PDF coordinates.
  int DarkestNear(int x, int y, int r = 1) const {
    int darkest = 255;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) darkest = std::min(darkest, At(x + dx, height - 1 - (y + dy)));
    return darkest;
  }
};

Render RenderPage(const std::string& pdf) {
  std::string base = pdf + "-render";
  RunCommand("pdftoppm -r 72 -gray -f 1 -l 1 -singlefile " + pdf + " " + base + " 2>/dev/null");
  std::string pgm = ReadFile(base + ".pgm");
  Render render;
  std::istringstream header(pgm);
  std::string magic;
  int maxval = 0;
  header >> magic >> render.width >> render.height >> maxval;
  if (magic != "P5") return {};
  size_t start = static_cast<size_t>(header.tellg()) + 1;
  render.pixels = pgm.substr(start);
  if (render.pixels.size() != static_cast<size_t>(render.width) * render.height) return {};
  return render;
}

}  // namespace

TEST(ContentHandle, endsWithItsPageAndWithTheDocument) {
  FLHANDLE doc = PDocNew(nullptr, 0, 0, nullptr);
  FLHANDLE first = PDocGetContentHandle(doc);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(PDocGetContentHandle(doc), first);
  EXPECT_EQ(PConSetFont(first, "Helvetica", 12), 0);
  EXPECT_EQ(PConPutText(first, "page one"), 0);
  EXPECT_EQ(PDocNewPage(doc), 0);
  // The finished page's handle is refused; nothing reaches the next page.
  EXPECT_EQ(PConPutText(first, "late"), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(PConDrawOp(first, "0 g"), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(PConGetTextWidth(first, "late"), 0);
  EXPECT_EQ(PDocNumPages(doc), 1);
  FLHANDLE second = PDocGetContentHandle(doc);
  ASSERT_NE(second, 0u);
  EXPECT_NE(second, first);
  // A new page starts without a font.
  EXPECT_EQ(PConPutText(second, "x"), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PDocLastError(doc), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PConRectangle(second, 10, 10, 50, 50, 0), 0);
  EXPECT_EQ(PDocClose(doc), 0);
  EXPECT_EQ(PConRectangle(second, 10, 10, 50, 50, 0), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(PDocGetContentHandle(doc), 0u) << "a closed document has no page";
  EXPECT_EQ(PDocNumPages(doc), 2);
  EXPECT_EQ(PDocRelease(doc), 0);
}

TEST(ContentHandle, documentShortcutsDrawOnTheCurrentPage) {
  EXPECT_EQ(PDocPrintText(0, 1, 1, "x"), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(PDocGrayBar(0, 1, 1, 1, 1, 0.5f), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(PDocSetLineWidth(0, 1), FL_ERR_MISSING_HANDLE);
  std::string path = OutputPath("content-shortcuts.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  EXPECT_EQ(PDocPrintText(doc, 72, 700, "no font yet"), FL_ERR_BAD_CALLING_SEQUENCE);
  EXPECT_EQ(PDocSetFont(doc, nullptr, 0), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PDocSetFont(doc, "Times-Roman", 14), 0);
  EXPECT_EQ(PDocPrintText(doc, 72, 700, "Shortcut text"), 0);
  EXPECT_EQ(PDocSetLineWidth(doc, 2), 0);
  EXPECT_EQ(PDocMoveTo(doc, 72, 690), 0);
  EXPECT_EQ(PDocDrawTo(doc, 300, 690), 0);
  EXPECT_EQ(PDocGrayBar(doc, 72, 600, 200, 20, 0.5f), 0);
  EXPECT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(path);
  EXPECT_NE(pdf.find("BT\n0 g 0 Ts 0 Tr /F1 14 Tf\n0 Tc 0 Tw 1 0 0 1 72 700 Tm\n(Shortcut text) Tj\nET\n2 w\n"
                     "72 690 m 300 690 l S\n0.5 g\n72 600 200 20 re f\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("/ProcSet [ /PDF /Text ] /Font<< /F1 1 0 R >>"), std::string::npos);
  ExpectSoundFile(path);
  std::string text;
  RunCommand("pdftotext " + path + " - 2>/dev/null", &text);
  EXPECT_NE(text.find("Shortcut text"), std::string::npos);
}

TEST(ContentOracle, measuredWidthsMatchTheWordBoxesOfPdftotext) {
  if (!Have("pdftotext") || !Have("qpdf")) GTEST_SKIP() << "oracle tools missing";
  // ZapfDingbats is left out: its built-in widths are the Helvetica ones.
  const char* fonts[] = {"Helvetica",   "Helvetica-Bold",   "Helvetica-Oblique", "Helvetica-BoldOblique",
                         "Times-Roman", "Times-Bold",       "Times-Italic",      "Times-BoldItalic",
                         "Courier",     "Courier-Bold",     "Courier-Oblique",   "Symbol"};
  struct State {
    float size, tc, tw, tz;
  };
  const State states[] = {{8, 0, 0, 100},  {12, 0.5f, 0, 100}, {12, 0, 4, 100}, {17.5f, 0.8f, 2, 70},
                          {10, 0, 0, 135}, {24, 1, 3, 90},     {9.5f, 0, 0, 60}};
  const char* line = "Wavy jumps quick fox 1234 AVAW";
  std::string path = OutputPath("content-metrics-oracle.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  struct Expected {
    double xMin, xMax, top;
    std::string text;
  };
  std::vector<std::vector<Expected>> pages;
  for (const char* font : fonts) {
    FLHANDLE c = PDocGetContentHandle(doc);
    std::vector<Expected> expected;
    float y = 800;
    for (const State& s : states) {
      ASSERT_EQ(PConSetFont(c, font, s.size), 0) << font;
      ASSERT_EQ(PConSetCharSpacing(c, s.tc), 0);
      ASSERT_EQ(PConSetWordSpacing(c, s.tw), 0);
      ASSERT_EQ(PConSetTz(c, s.tz), 0);
      ASSERT_EQ(PConSetTm(c, 1, 0, 0, 1, 40, y), 0);
      ASSERT_EQ(PConPutText(c, line), 0);
      // A word starts after the measured prefix and the spacing that follows its
      // last character; it ends after its own measured width.
      std::string text = line;
      double spacing = s.tc * s.tz / 100.0;
      for (size_t at = 0; at < text.size();) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        double start = 40 + (at ? PConGetTextWidth(c, text.substr(0, at).c_str()) + spacing : 0);
        double width = PConGetTextWidth(c, text.substr(at, end - at).c_str());
        expected.push_back({start, start + width, 842 - y, text.substr(at, end - at)});
        at = end + 1;
      }
      y -= 40;
    }
    pages.push_back(expected);
    ASSERT_EQ(PDocNewPage(doc), 0);
  }
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);

  for (size_t p = 0; p < pages.size(); ++p) {
    std::vector<Word> words = WordBoxes(path, static_cast<int>(p) + 1);
    ASSERT_EQ(words.size(), pages[p].size()) << fonts[p];
    bool symbol = std::string(fonts[p]) == "Symbol";
    for (size_t i = 0; i < words.size(); ++i) {
      const Expected& e = pages[p][i];
      EXPECT_NEAR(words[i].xMin, e.xMin, 0.5) << fonts[p] << " word " << i << " " << e.text;
      EXPECT_NEAR(words[i].xMax, e.xMax, 0.5) << fonts[p] << " word " << i << " " << e.text;
      EXPECT_LT(words[i].yMin, e.top) << fonts[p] << " word " << i;
      EXPECT_GT(words[i].yMax, e.top) << fonts[p] << " word " << i;
      // Symbol shows Greek for Latin codes; the other fonts read back as drawn.
      if (!symbol) EXPECT_EQ(words[i].text, e.text) << fonts[p];
    }
  }
}

TEST(ContentOracle, linesCurvesRectanglesAndFillsRenderWhereDrawn) {
  if (!Have("pdftoppm") || !Have("qpdf")) GTEST_SKIP() << "oracle tools missing";
  std::string path = OutputPath("content-render.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 400, 400, nullptr);
  FLHANDLE c = PDocGetContentHandle(doc);
  // A polyline, 4 points wide.
  ASSERT_EQ(PConSetLineWidth(c, 4), 0);
  ASSERT_EQ(PConMoveTo(c, 20, 380), 0);
  ASSERT_EQ(PConDrawTo(c, 180, 380), 0);
  ASSERT_EQ(PConDrawTo(c, 180, 300), 0);
  // Rectangles: filled grey, border and fill in RGB, border only.
  ASSERT_EQ(PConSetGray(c, -1, 0.3f), 0);
  ASSERT_EQ(PConRectangle(c, 20, 200, 60, 60, 0), 0);
  ASSERT_EQ(PConFillColor(c, 0, 0, 1), 0);
  ASSERT_EQ(PConLineColor(c, 1, 0, 0), 0);
  ASSERT_EQ(PConRectangle(c, 120, 200, 60, 60, 1), 0);
  ASSERT_EQ(PConSetGray(c, 0, -1), 0);
  ASSERT_EQ(PConRectangle(c, 220, 200, 60, 60, 2), 0);
  // A curve, and a closed triangle filled and stroked.
  const float curve[6] = {260, 380, 300, 300, 380, 340};
  ASSERT_EQ(PConMoveTo(c, 220, 340), 0);
  ASSERT_EQ(PConCurveTo(c, curve, 6, 'c'), 0);
  ASSERT_EQ(PConSetGray(c, 0, 0.6f), 0);
  ASSERT_EQ(PConMoveTo(c, 20, 40), 0);
  ASSERT_EQ(PConDrawTo(c, 140, 40), 0);
  ASSERT_EQ(PConDrawTo(c, 80, 140), 0);
  ASSERT_EQ(PConDrawArea(c, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);

  Render r = RenderPage(path);
  ASSERT_EQ(r.width, 400);
  struct Probe {
    const char* what;
    int x, y;
    bool ink;
  };
  const Probe probes[] = {
      {"polyline, first segment", 100, 380, true},  {"polyline, second segment", 180, 340, true},
      {"below the polyline", 100, 340, false},      {"grey fill", 50, 230, true},
      {"RGB fill", 150, 230, true},                 {"RGB border", 120, 230, true},
      {"border-only edge", 220, 230, true},         {"inside the border-only box", 250, 230, false},
      {"curve start", 221, 340, true},              {"triangle inside", 80, 70, true},
      {"triangle edge", 80, 40, true},              {"beside the triangle", 150, 120, false},
      {"empty middle band", 200, 170, false},       {"empty corner", 380, 20, false},
  };
  for (const Probe& p : probes) {
    int darkest = r.DarkestNear(p.x, p.y);
    if (p.ink)
      EXPECT_LT(darkest, 200) << p.what;
    else
      EXPECT_EQ(darkest, 255) << p.what;
  }
  // Nothing at all was drawn in the band between the shapes.
  int inked = 0;
  for (int y = 150; y < 190; ++y)
    for (int x = 0; x < 400; ++x) inked += r.At(x, r.height - 1 - y) != 255;
  EXPECT_EQ(inked, 0);
  // The grey fill is the grey asked for, the border-only box is hollow.
  EXPECT_NEAR(r.DarkestNear(50, 230, 0), 0.3 * 255, 3);
}

TEST(ContentBadInput, clearCodesAndNoDamage) {
  std::string path = OutputPath("content-bad-input.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  FLHANDLE c = PDocGetContentHandle(doc);
  const float nan = std::nanf(""), inf = INFINITY;
  const float shortCurve[3] = {1, 2, 3};
  std::string longName(10000, 'F');
  ASSERT_EQ(PConSetFont(c, "Helvetica", 12), 0);
  EXPECT_EQ(PConPutText(c, nullptr), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConSetFont(c, nullptr, 0), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConSetFont(c, longName.c_str(), 12), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConSetFont(c, "Helvetica", nan), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConMoveTo(c, inf, 0), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConMoveTo(c, 0, 0), 0);
  EXPECT_EQ(PConCurveTo(c, shortCurve, 3, 'c'), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConCurveTo(c, nullptr, 0, 'v'), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConCurveTo(c, shortCurve, 3, 'q'), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConSetTm(c, nan, 0, 0, 1, 0, 0), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConRectangle(c, 0, 0, 1, 1, 7), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PConSetFillCS(c, "NoSuchColour", 1), FL_ERR_FAILED);
  EXPECT_EQ(PConGetTextWidth(c, nullptr), 0);
  EXPECT_EQ(PDocLastError(doc), FL_ERR_FAILED);
  EXPECT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(path);
  // Only the font selection and the one move reached the page.
  EXPECT_NE(pdf.find("stream\r\nBT\n0 g 0 Ts 0 Tr /F1 12 Tf\n0 Tc 0 Tw ET\n0 0 m\r\nendstream"), std::string::npos);
  ExpectSoundFile(path);
}
