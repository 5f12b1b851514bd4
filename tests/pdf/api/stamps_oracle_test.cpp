// Images, logos, the running header, page numbers and tables through the
// exported functions, judged by outside readers: pdfimages for the image
// objects, pdftoppm renders for pixels where they were placed and unchanged
// elsewhere, pdftotext for headers and page numbers, qpdf --check and the
// reference check for every file written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <vector>

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

// A render at 72 dpi, grey (one byte a point) or RGB (three), row 0 at the top.
struct Render {
  int width = 0, height = 0, channels = 1;
  std::string pixels;
  // Channel c of the point (x, y) in PDF coordinates.
  int At(int x, int y, int c = 0) const {
    size_t row = static_cast<size_t>(height - 1 - y);
    return static_cast<unsigned char>(pixels[(row * width + x) * channels + c]);
  }
  // The darkest grey within one point of (x, y).
  int DarkestNear(int x, int y) const {
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) darkest = std::min(darkest, At(x + dx, y + dy));
    return darkest;
  }
};

Render RenderPage(const std::string& pdf, int page, bool color = false) {
  std::string base = pdf + "-render-" + std::to_string(page) + (color ? "c" : "g");
  RunCommand("pdftoppm -r 72 " + std::string(color ? "" : "-gray ") + "-f " + std::to_string(page) + " -l " +
             std::to_string(page) + " -singlefile " + pdf + " " + base + " 2>/dev/null");
  std::string image = ReadFile(base + (color ? ".ppm" : ".pgm"));
  Render render;
  render.channels = color ? 3 : 1;
  std::istringstream header(image);
  std::string magic;
  int maxval = 0;
  header >> magic >> render.width >> render.height >> maxval;
  if (magic != (color ? "P6" : "P5")) return {};
  render.pixels = image.substr(static_cast<size_t>(header.tellg()) + 1);
  if (render.pixels.size() != static_cast<size_t>(render.width) * render.height * render.channels) return {};
  return render;
}

std::string PageText(const std::string& pdf, int page) {
  std::string text;
  RunCommand("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + pdf + " - 2>/dev/null",
             &text);
  return text;
}

// A PDF written through the library: one page per entry, each drawn with raw
// operators on an A4 page.
std::string MakePdf(const std::string& name, const std::vector<std::string>& pages, const char* text = nullptr) {
  std::string path = OutputPath(name);
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  int n = 0;
  for (const std::string& ops : pages) {
    FLHANDLE c = PDocGetContentHandle(doc);
    if (text) {
      PConSetFont(c, "Helvetica", 14);
      PConSetTm(c, 1, 0, 0, 1, 72, 600);
      PConPutText(c, (std::string(text) + " " + std::to_string(++n)).c_str());
    }
    PConDrawOp(c, ops.c_str());
    PDocNewPage(doc);
  }
  EXPECT_EQ(PDocRelease(doc), 0);
  return path;
}

struct ListedImage {
  int width, height, bpc;
  std::string color;
};

std::vector<ListedImage> ImagesListed(const std::string& pdf) {
  std::string out;
  RunCommand("pdfimages -list " + pdf + " 2>/dev/null", &out);
  std::istringstream lines(out);
  std::string line;
  std::vector<ListedImage> images;
  std::getline(lines, line);
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string page, num, type, color, comp;
    ListedImage image{};
    fields >> page >> num >> type >> image.width >> image.height >> image.color >> comp >> image.bpc;
    images.push_back(image);
  }
  return images;
}

}  // namespace

TEST(ImageOracle, everyImageIsListedAndRenderedWithItsPixels) {
  if (!Have("pdfimages") || !Have("pdftoppm") || !Have("qpdf")) GTEST_SKIP() << "oracle tools missing";
  std::string path = OutputPath("stamps-images.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  // 4 x 4 grey steps, row 0 at the top of the image.
  unsigned char grey[16];
  for (int i = 0; i < 16; ++i) grey[i] = static_cast<unsigned char>(i * 17);
  // 2 x 2 RGB: red, green / blue, white.
  const unsigned char rgb[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  // 4-bit indexed, 2 x 2: entries 1, 5 / 10, 15 of a palette that maps i to
  // (16 i, 255 - 16 i, 128).
  unsigned char palette[768] = {};
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<unsigned char>(16 * i);
    palette[3 * i + 1] = static_cast<unsigned char>(255 - 16 * i);
    palette[3 * i + 2] = 128;
  }
  const unsigned char indexed[2] = {0x15, 0xAF};
  // 1-bit grey stripes, 8 x 1: black, white, ...
  const unsigned char stripes[1] = {0x55};
  // A large grey gradient: deflated.
  std::vector<unsigned char> big(64 * 64);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i % 64 * 4);

  int greyId = PDocCreateImage(doc, 4, 4, 8, 0, grey, 16, nullptr);
  int rgbId = PDocCreateImage(doc, 2, 2, 8, 1, rgb, 12, nullptr);
  int indexedId = PDocCreateImage(doc, 2, 2, 4, 1, indexed, 2, palette);
  int stripesId = PDocCreateImage(doc, 8, 1, 1, 0, stripes, 1, nullptr);
  int bigId = PDocCreateImage(doc, 64, 64, 8, 0, big.data(), static_cast<int32_t>(big.size()), nullptr);
  EXPECT_EQ(greyId, 1);
  EXPECT_EQ(bigId, 5);
  FLHANDLE c = PDocGetContentHandle(doc);
  EXPECT_EQ(PConPrintImage(c, greyId, 100, 500, 200, 200), 0);
  EXPECT_EQ(PConPrintImage(c, rgbId, 350, 500, 200, 200), 0);
  EXPECT_EQ(PConPrintImage(c, indexedId, 100, 250, 200, 200), 0);
  EXPECT_EQ(PConPrintImage(c, stripesId, 350, 250, 160, 100), 0);
  EXPECT_EQ(PConPrintImage(c, bigId, 350, 100, 64, 64), 0);
  EXPECT_EQ(PConPrintImage(c, greyId, 100, 50, 100, 100), 0) << "painted twice";
  EXPECT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);

  std::vector<ListedImage> listed = ImagesListed(path);
  const ListedImage expected[] = {{4, 4, 8, "gray"}, {2, 2, 8, "rgb"},  {2, 2, 4, "index"},
                                  {8, 1, 1, "gray"}, {64, 64, 8, "gray"}, {4, 4, 8, "gray"}};
  ASSERT_EQ(listed.size(), std::size(expected));
  for (size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(listed[i].width, expected[i].width) << i;
    EXPECT_EQ(listed[i].height, expected[i].height) << i;
    EXPECT_EQ(listed[i].bpc, expected[i].bpc) << i;
    EXPECT_EQ(listed[i].color, expected[i].color) << i;
  }

  Render g = RenderPage(path, 1);
  ASSERT_GT(g.width, 0);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      int x = 100 + col * 50 + 25, y = 500 + 200 - row * 50 - 25;
      EXPECT_NEAR(g.At(x, y), grey[row * 4 + col], 2) << "grey pixel " << row << "," << col;
    }
  for (int col = 0; col < 8; ++col)
    EXPECT_EQ(g.At(350 + col * 20 + 10, 300), col % 2 ? 255 : 0) << "stripe " << col;

  Render rgbRender = RenderPage(path, 1, true);
  ASSERT_GT(rgbRender.width, 0);
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) {
      int x = 350 + col * 100 + 50, y = 700 - row * 100 - 50;
      for (int ch = 0; ch < 3; ++ch)
        EXPECT_NEAR(rgbRender.At(x, y, ch), rgb[(row * 2 + col) * 3 + ch], 2) << "rgb " << row << col << ch;
      int index = (indexed[row] >> (col ? 0 : 4)) & 15;
      x = 100 + col * 100 + 50;
      y = 450 - row * 100 - 50;
      for (int ch = 0; ch < 3; ++ch)
        EXPECT_NEAR(rgbRender.At(x, y, ch), palette[index * 3 + ch], 2) << "indexed " << row << col << ch;
    }
}

TEST(ImageOracle, refusedImagesGiveClearCodesAndTheFileStaysSound) {
  EXPECT_EQ(PDocCreateImage(0, 1, 1, 8, 0, reinterpret_cast<const unsigned char*>("x"), 1, nullptr), 0);
  std::string path = OutputPath("stamps-bad-images.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  std::vector<unsigned char> data(300, 0x80), palette(768, 0);
  struct Case {
    const char* name;
    int32_t width, height;
    int16_t bits, color;
    int32_t length;
    int32_t paletteLength;  // -1: no palette
  } cases[] = {
      {"short data", 10, 10, 8, 1, 299, -1},    {"bits 3", 10, 10, 3, 0, 300, -1},
      {"0 x 0", 0, 0, 8, 0, 300, -1},           {"100000 x 100000", 100000, 100000, 8, 0, 300, -1},
      {"short palette", 10, 10, 8, 1, 300, 767}, {"negative size", -4, 4, 8, 0, 300, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PDocCreateImageEx(doc, c.width, c.height, c.bits, c.color, data.data(), c.length,
                                c.paletteLength < 0 ? nullptr : palette.data(), c.paletteLength),
              0)
        << c.name;
    EXPECT_EQ(PDocLastError(doc), FL_ERR_PARAM_VALUE) << c.name;
  }
  FLHANDLE content = PDocGetContentHandle(doc);
  EXPECT_EQ(PConPrintImage(content, 1, 10, 10, 20, 20), FL_ERR_PARAM_VALUE) << "no image was made";
  int good = PDocCreateImageEx(doc, 10, 10, 8, 1, data.data(), 300, palette.data(), 768);
  EXPECT_EQ(good, 1);
  EXPECT_EQ(PConPrintImage(content, good, 10, 10, 0, 0), 0);
  EXPECT_EQ(PDocRelease(doc), 0);
  if (Have("qpdf")) ExpectSoundFile(path);
}

TEST(LogoOracle, namesFollowFileAndLogoAndInkLandsWherePainted) {
  if (!Have("pdftoppm") || !Have("qpdf")) GTEST_SKIP() << "oracle tools missing";
  std::string first = MakePdf("logo-first.pdf", {"1 g 0 0 595 842 re f 0 g 100 700 40 40 re f",
                                                  "0 g 200 700 40 40 re f"});
  std::string second = MakePdf("logo-second.pdf", {"0 g 300 700 40 40 re f"});
  std::string path = OutputPath("stamps-logos.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  FLHANDLE c = PDocGetContentHandle(doc);
  EXPECT_EQ(PConPrintLogo(c, 1), FL_ERR_FAILED) << "no logo file yet";
  ASSERT_EQ(PDocLogoFile(doc, first.c_str()), 0);
  EXPECT_EQ(PDocPrintLogo(doc, 1), 0);
  EXPECT_EQ(PConPrintLogo(c, 2), 0);
  ASSERT_EQ(PDocLogoFile(doc, second.c_str()), 0);
  EXPECT_EQ(PDocPrintLogo(doc, 0), 0) << "numbers below 1 paint logo 1";
  EXPECT_EQ(PConPrintLogo(c, 3), FL_ERR_PARAM_VALUE) << "the file has one page";
  ASSERT_EQ(PDocLogoFile(doc, first.c_str()), 0) << "selecting an open file again";
  EXPECT_EQ(PDocPrintLogo(doc, 1), 0);
  EXPECT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);
  std::string pdf = ReadFile(path);
  EXPECT_NE(pdf.find("/X Do /Xb Do /XB Do /X Do"), std::string::npos);
  EXPECT_NE(pdf.find("/Subtype /Form"), std::string::npos);
  size_t forms = 0;
  for (size_t at = pdf.find("/Subtype /Form"); at != std::string::npos; at = pdf.find("/Subtype /Form", at + 1)) ++forms;
  EXPECT_EQ(forms, 3u) << "each logo is written once";

  Render r = RenderPage(path, 1);
  ASSERT_GT(r.width, 0);
  for (int x : {120, 220, 320}) EXPECT_LT(r.At(x, 720), 40) << "logo ink at " << x;
  // The white page background of the first logo was cut: the page stays white.
  EXPECT_GT(r.At(50, 50), 250);
}

TEST(LogoOracle, badLogoFilesGiveClearCodesAndNothingBreaks) {
  std::string good = MakePdf("logo-good.pdf", {"0 g 10 10 20 20 re f"});
  std::string encrypted = OutputPath("logo-encrypted.bad");
  RunCommand("qpdf --encrypt user owner 256 -- " + good + " " + encrypted + " >/dev/null 2>&1");
  // A logo whose form XObject names itself in its own resources.
  std::string loop = OutputPath("logo-loop.pdf");
  WriteFile(loop, BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                            "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R "
                            "/Resources << /XObject << /Fm 5 0 R >> >> >>",
                            Stream("", "/Fm Do"),
                            Stream("/Type /XObject /Subtype /Form /BBox [0 0 200 200] "
                                   "/Resources << /XObject << /Fm 5 0 R >> >>",
                                   "0 g 0 0 10 10 re f /Fm Do")}));
  std::string path = OutputPath("stamps-bad-logos.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  EXPECT_EQ(PDocLogoFile(doc, ""), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PDocLogoFile(doc, nullptr), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PDocLogoFile(doc, OutputPath("no-such-logo.pdf").c_str()), ENOENT);
  if (Have("qpdf")) EXPECT_EQ(PDocLogo(doc, encrypted.c_str(), 1), FL_ERR_ENCRYPTED);
  EXPECT_EQ(PDocLogoPage(doc, good.c_str(), 2, 1), FL_ERR_PARAM_VALUE) << "no such page";
  EXPECT_EQ(PDocLogo(doc, loop.c_str(), 0), 0);
  EXPECT_EQ(PDocLogo(doc, good.c_str(), 1), 0);
  EXPECT_EQ(PDocMerge(doc, good.c_str(), 1, 1), 0);
  EXPECT_EQ(PDocRelease(doc), 0);
  if (Have("qpdf")) ExpectSoundFile(path);
}

TEST(MergeStamps, headerNumbersAndBackgroundLogoOnEveryCopiedPage) {
  if (!Have("pdftoppm") || !Have("pdftotext") || !Have("qpdf")) GTEST_SKIP() << "oracle tools missing";
  // Source pages with a black square; the last one leaves its coordinates moved.
  std::string source = MakePdf("stamp-source.pdf",
                               {"0 g 350 350 100 100 re f", "0 g 350 350 100 100 re f",
                                "0 g 350 350 100 100 re f 1 0 0 1 150 -300 cm"},
                               "Source page");
  // The logo: a white page background and a grey square half under the black one.
  std::string logo = MakePdf("stamp-logo.pdf", {"1 g 0 0 595 842 re f 0.5 g 250 250 150 150 re f"});
  std::string path = OutputPath("stamps-merge.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  ASSERT_EQ(PDocLogo(doc, logo.c_str(), 1), 0);
  ASSERT_EQ(PDocHeaderFont(doc, "Helvetica", 10), 0);
  ASSERT_EQ(PDocHeaderText(doc, 36, 818, "Case 42"), 0);
  ASSERT_EQ(PDocHeaderHLine(doc, 36, 559, 812, 1), 0);
  EXPECT_EQ(PDocPutPageNumbers(doc, 36, 20, "Page %p of 10%%", 1, 45), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(PDocPutPageNumbers(doc, 36, 20, "Page %p of 10%%", 1, 0), 0);
  EXPECT_EQ(PDocHeaderFont(doc, nullptr, 10), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(PDocHeaderText(doc, 1, 1, nullptr), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(PDocMerge(doc, source.c_str(), 1, 3), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);

  for (int page = 1; page <= 3; ++page) {
    std::string text = PageText(path, page);
    size_t header = text.find("Case 42");
    size_t own = text.find("Source page " + std::to_string(page));
    size_t number = text.find("Page " + std::to_string(page) + " of 10%");
    EXPECT_NE(header, std::string::npos) << page << ": " << text;
    EXPECT_NE(own, std::string::npos) << page << ": " << text;
    EXPECT_NE(number, std::string::npos) << page << ": " << text;
  }

  for (int page = 1; page <= 3; ++page) {
    Render before = RenderPage(source, page);
    Render after = RenderPage(path, page);
    ASSERT_EQ(before.width, after.width);
    ASSERT_EQ(before.height, after.height);
    int changed = 0;
    for (int y = 0; y < before.height; ++y)
      for (int x = 0; x < before.width; ++x) {
        bool stamped = y > 805 || y < 35 || (x >= 248 && x <= 402 && y >= 248 && y <= 402);
        if (!stamped && before.At(x, y) != after.At(x, y)) ++changed;
      }
    EXPECT_EQ(changed, 0) << "page " << page << " changed outside the stamps";
    EXPECT_NEAR(after.At(300, 300), 128, 3) << "logo ink where the page has none";
    EXPECT_LT(after.At(375, 375), 10) << "the page's own square lies above the logo";
    EXPECT_LT(after.At(200, 812), 60) << "header bar on page " << page;
  }
}

TEST(MergeStamps, clearedHeaderIsNotLaidOnLaterPages) {
  if (!Have("pdftotext")) GTEST_SKIP() << "oracle tools missing";
  std::string source = MakePdf("stamp-clear-source.pdf", {"", ""}, "Plain");
  std::string path = OutputPath("stamps-clear.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  ASSERT_EQ(PDocHeaderFont(doc, "Times-Roman", 12), 0);
  ASSERT_EQ(PDocHeaderText(doc, 36, 800, "First header"), 0);
  ASSERT_EQ(PDocMerge(doc, source.c_str(), 1, 1), 0);
  ASSERT_EQ(PDocHeaderClear(doc), 0);
  ASSERT_EQ(PDocMerge(doc, source.c_str(), 2, 2), 0);
  ASSERT_EQ(PDocHeaderFont(doc, "Courier", 12), 0);
  ASSERT_EQ(PDocHeaderText(doc, 36, 800, "Second header"), 0);
  // Page numbers without a header font of their own take the header's.
  ASSERT_EQ(PDocPutPageNumbers(doc, 500, 20, "%p", 7, 0), 0);
  ASSERT_EQ(PDocMerge(doc, source.c_str(), 1, 2), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectSoundFile(path);
  EXPECT_NE(PageText(path, 1).find("First header"), std::string::npos);
  EXPECT_EQ(PageText(path, 2).find("header"), std::string::npos);
  for (int page : {3, 4}) {
    std::string text = PageText(path, page);
    EXPECT_NE(text.find("Second header"), std::string::npos) << text;
    EXPECT_EQ(text.find("First header"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(page + 4)), std::string::npos) << text;
  }
}

TEST(TableOracle, gridAndCellsOnAGeneratedPage) {
  std::string path = OutputPath("stamps-table.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  const int16_t widths[] = {150, 100, 100};
  const int16_t eleven[11] = {};
  EXPECT_EQ(PDocFillTable(doc, 1, 1, "x"), FL_ERR_BAD_CALLING_SEQUENCE) << "no grid yet";
  ASSERT_EQ(PDocSetFont(doc, "Helvetica", 12), 0);
  // A width a 72 dpi render shows solidly.
  ASSERT_EQ(PDocSetLineWidth(doc, 1), 0);
  EXPECT_EQ(PDocTable(doc, 50, 700, 2, 11, eleven), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(PDocTable(doc, 50, 700, 3, 3, widths), 0);
  EXPECT_EQ(PDocCalcTableHeight(doc, 3), 42);
  EXPECT_EQ(PDocFillTable(doc, 1, 1, "Item"), 0);
  EXPECT_EQ(PDocFillTable(doc, 2, 3, "12.50"), 0);
  EXPECT_EQ(PDocFillTable(doc, 1, 4, "x"), FL_ERR_PARAM_VALUE);
  FLHANDLE c = PDocGetContentHandle(doc);
  EXPECT_EQ(PConTableText(c, 3, 2, "right", 2), 0);
  EXPECT_EQ(PConTableHeight(c, 2), 28);
  FLHANDLE header = PDocGetHeaderHandle(doc);
  ASSERT_NE(header, 0u);
  EXPECT_EQ(PDocGetHeaderHandle(doc), header);
  EXPECT_NE(header, c);
  EXPECT_EQ(PDocRelease(doc), 0);
  EXPECT_EQ(PConTableHeight(header, 1), 0) << "the header handle ends with its document";
  if (Have("qpdf")) ExpectSoundFile(path);
  if (Have("pdftotext")) {
    std::string text = PageText(path, 1);
    for (const char* word : {"Item", "12.50", "right"}) EXPECT_NE(text.find(word), std::string::npos) << word;
  }
  if (Have("pdftoppm")) {
    Render r = RenderPage(path, 1);
    ASSERT_GT(r.width, 0);
    // Lines at y 700, 686, 672, 658 and x 50, 200, 300, 400.
    for (int y : {700, 686, 672, 658}) EXPECT_LT(r.DarkestNear(120, y), 128) << "row line " << y;
    for (int x : {50, 200, 300, 400}) EXPECT_LT(r.DarkestNear(x, 665), 128) << "column line " << x;
  }
}

TEST(MergeStamps, headerReachesPagesWhoseSharedResourcesWereCopiedBefore) {
  // Two pages share one resources object; the first is copied before there is
  // a header, so that object is already written when the second is copied.
  // Its /XObject names an object the file lacks (hence not a .pdf the test run
  // checks): the page's own copy must not refer to it.
  const std::string content = Stream("", "BT /F1 12 Tf 72 600 Td (Shared resources) Tj ET");
  std::string input = OutputPath("stamp-shared-resources-in.bad");
  WriteFile(input, BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                             "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 595 842] >>",
                             "<< /Type /Page /Parent 2 0 R /Resources 6 0 R /Contents 5 0 R >>",
                             "<< /Type /Page /Parent 2 0 R /Resources 6 0 R /Contents 5 0 R >>", content,
                             "<< /Font 7 0 R /ProcSet [/PDF /Text] /XObject 9 0 R >>",
                             "<< /F1 8 0 R >>", "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"}));
  std::string path = OutputPath("stamps-shared-resources.pdf");
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, nullptr);
  ASSERT_EQ(PDocInputOpen(doc, input.c_str()), 0);
  ASSERT_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  ASSERT_EQ(PDocHeaderFont(doc, "Times-Bold", 11), 0);
  ASSERT_EQ(PDocHeaderText(doc, 36, 810, "Late header"), 0);
  ASSERT_EQ(PDocInputCopyPages(doc, 2, 2), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  if (Have("qpdf")) ExpectSoundFile(path);
  std::string out;
  EXPECT_EQ(RunCommand(std::string(FOLIAN_SOURCE_DIR) + "/scripts/check-refs " + path + " 2>&1", &out), 0) << out;
  if (Have("pdftotext")) {
    EXPECT_EQ(PageText(path, 1).find("Late header"), std::string::npos);
    std::string second = PageText(path, 2);
    EXPECT_NE(second.find("Late header"), std::string::npos) << second;
    EXPECT_NE(second.find("Shared resources"), std::string::npos) << second;
  }
}
