// Images, logos, bars and grids on a content stream: the exact operators, the
// resource entries, the refused arguments; the image objects themselves; logo
// names and the white background cut from logo pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/content/PDImage.h"
#include "pdf/content/PDLogo.h"
#include "pdf/content/PDPgStream.h"
#include "pdf/writer/PDFile.h"

using namespace folian;

namespace {

const int16_t kWidths[] = {100, 50};

// Runs of blanks and line ends as one blank: the writer wraps long lines.
std::string Squeeze(const std::string& text) {
  std::string out;
  for (char c : text) {
    bool space = c == ' ' || c == '\r' || c == '\n';
    if (space && !out.empty() && out.back() == ' ') continue;
    out += space ? ' ' : c;
  }
  return out;
}


struct Fixture {
  PDFile file;
  PDResources page{file, 'F'};
  PDResources header{file, 'H'};
  PDPgStream stream{page, &header};
  Fixture() { EXPECT_TRUE(file.OpenMemory()); }
  std::string Text() const { return stream.Text().str(); }
  std::string FileBytes() const { return std::string(file.Memory()->Data(), file.Memory()->Used()); }
  std::string ResourceDictionary(const std::vector<std::pair<ByteString, int32_t>>& logos = {}) {
    int32_t id = file.NewObjectId();
    size_t before = file.Memory()->Used();
    EXPECT_TRUE(page.WriteDictionary(id, logos));
    return Squeeze(FileBytes().substr(before));
  }
};

}  // namespace

TEST(GridLines, twoRowsTwoColumnsAtTheirPositions) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Helvetica", 10), 0);
  size_t start = f.Text().size();
  ASSERT_EQ(f.stream.TableDraw(50, 700, 2, 2, kWidths), 0);
  // Never-set line width: 0.2 first, then round caps and joins, three
  // horizontal lines 12 apart (font size + 2) and three vertical ones.
  EXPECT_EQ(f.Text().substr(start),
            " ET\n0.2 w\nq 1 J 1 j 50 700 m 200 700 l 50 688 m 200 688 l 50 676 m 200 676 l "
            "50 700 m 50 676 l 150 700 m 150 676 l 200 700 m 200 676 l S\nQ");
  EXPECT_EQ(f.stream.TableHeight(2), 24);
}

TEST(GridLines, zeroLineWidthDrawsNothingButKeepsTheGrid) {
  Fixture f;
  ASSERT_EQ(f.stream.SetLineWidth(0), 0);
  std::string before = f.Text();
  ASSERT_EQ(f.stream.TableDraw(10, 100, 3, 2, kWidths), 0);
  EXPECT_EQ(f.Text(), before);
  ASSERT_NE(f.stream.Grid(), nullptr);
  EXPECT_EQ(f.stream.Grid()->rows, 3);
}

TEST(GridLines, badShapesAreRefusedAndWriteNothing) {
  Fixture f;
  const int16_t eleven[11] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
  struct Case {
    int32_t rows, columns;
    const int16_t* widths;
  } cases[] = {{2, 11, eleven}, {2, 0, kWidths}, {-1, 2, kWidths}, {2, 2, nullptr}};
  for (const Case& c : cases) {
    EXPECT_EQ(f.stream.TableDraw(0, 0, c.rows, c.columns, c.widths), 1005) << c.rows << "x" << c.columns;
    EXPECT_TRUE(f.stream.Empty());
  }
  EXPECT_EQ(f.stream.TableDraw(0, 0, 1, 10, eleven), 0) << "ten columns are allowed";
}

TEST(GridCells, alignmentPlacesTextInsideTheColumn) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Helvetica", 10), 0);
  ASSERT_EQ(f.stream.TableDraw(50, 700, 2, 2, kWidths), 0);
  const double width = f.stream.TextWidth("Total");
  ASSERT_GT(width, 0);
  struct Case {
    int32_t row, column, alignment;
    double x, y;
  } cases[] = {
      {1, 1, 0, 52, 690},                        // left: 2 after the column's left edge
      {1, 2, 2, 150 + 48 - width, 690},          // right: ends 2 before the right edge
      {2, 2, 1, 150 + (50 - width) * 0.5, 678},  // centred, second row
      {3, 1, 7, 52, 666},                        // rows beyond the grid are accepted
  };
  for (const Case& c : cases) {
    size_t start = f.Text().size();
    ASSERT_EQ(f.stream.TableText(c.row, c.column, "Total", c.alignment), 0);
    std::string added = f.Text().substr(start);
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(added.c_str(), " BT\n1 0 0 1 %lf %lf Tm", &x, &y) == 2 ||
                  std::sscanf(added.c_str(), " 1 0 0 1 %lf %lf Tm", &x, &y) == 2,
              true)
        << added;
    EXPECT_NEAR(x, c.x, 0.01) << added;
    EXPECT_NEAR(y, c.y, 0.01) << added;
    EXPECT_NE(added.find("(Total) Tj"), std::string::npos);
  }
}

TEST(GridCells, cellsOutsideTheGridOrWithoutOneAreRefused) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Helvetica", 10), 0);
  EXPECT_EQ(f.stream.TableText(1, 1, "x", 0), 1008) << "no grid yet";
  ASSERT_EQ(f.stream.TableDraw(50, 700, 2, 2, kWidths), 0);
  std::string before = f.Text();
  EXPECT_EQ(f.stream.TableText(1, 0, "x", 0), 1005);
  EXPECT_EQ(f.stream.TableText(1, 3, "x", 0), 1005);
  EXPECT_EQ(f.stream.TableText(0, 1, "x", 0), 1005);
  EXPECT_EQ(f.stream.TableText(1, 1, nullptr, 0), 1005);
  EXPECT_EQ(f.Text(), before);
}

TEST(Bars, horizontalVerticalAndGreyBarsAreFilledRectangles) {
  Fixture f;
  ASSERT_EQ(f.stream.HLine(50, 250, 700, 1.5), 0);
  ASSERT_EQ(f.stream.VLine(100, 300, 40, 2), 0);
  ASSERT_EQ(f.stream.GrayBar(10, 20, 30, 40, 0.75), 0);
  EXPECT_EQ(f.Text(), "1 i 50 700 200 1.5 re f\n1 i 40 100 2 200 re f\n0.8 g\n10 20 30 40 re f\n");
}

TEST(ImagePainting, sameImageTwiceIsOneResourceAndTwoDos) {
  Fixture f;
  PDImage grey{1000077, 4, 4, 8, 0};
  PDImage rgb{1000078, 4, 4, 8, 1};
  ASSERT_EQ(f.stream.PrintImage(1, &grey, 10, 20, 100, 50), 0);
  ASSERT_EQ(f.stream.PrintImage(1, &grey, 200, 20, 100, 50), 0);
  ASSERT_EQ(f.stream.PrintImage(2, &rgb, 0, 0, 0, 10), 0);
  EXPECT_EQ(f.Text(),
            "q 100 0 0 50 10 20 cm\n/Fimg0 Do Q q 100 0 0 50 200 20 cm\n/Fimg0 Do Q /Fimg1 Do");
  std::string dict = f.ResourceDictionary();
  EXPECT_NE(dict.find("/ProcSet [ /ImageB /ImageC /PDF ]"), std::string::npos) << dict;
  EXPECT_NE(dict.find("/XObject << /Fimg0 77 0 R /Fimg1 78 0 R >>"), std::string::npos) << dict;
}

TEST(ImagePainting, missingImageGives1005AndNoDo) {
  Fixture f;
  EXPECT_EQ(f.stream.PrintImage(3, nullptr, 10, 20, 100, 50), 1005);
  EXPECT_EQ(f.Text(), "q 100 0 0 50 10 20 cm\nQ");
  Fixture g;
  EXPECT_EQ(g.stream.PrintImage(3, nullptr, 10, 20, 0, 0), 1005);
  EXPECT_TRUE(g.stream.Empty());
}

TEST(LogoNames, baseTwentySixLettersLeastSignificantFirst) {
  struct Case {
    int32_t file, logo;
    const char* name;
  } cases[] = {{0, 0, "/X"}, {0, 1, "/Xb"}, {1, 0, "/XB"}, {2, 3, "/XCd"}, {26, 0, "/XAB"}, {0, 27, "/Xbb"}};
  for (const Case& c : cases) EXPECT_EQ(LogoName(c.file, c.logo).str(), c.name) << c.file << "," << c.logo;
}

TEST(LogoPainting, partsArePaintedInOrderAndListedOnce) {
  Fixture f;
  PDLogo one{"/X", {1000005}, {}};
  PDLogo two{"/XBb", {1000006, 1000007}, {}};
  ASSERT_EQ(f.stream.PrintLogo(one), 0);
  ASSERT_EQ(f.stream.PrintLogo(two), 0);
  ASSERT_EQ(f.stream.PrintLogo(one), 0);
  EXPECT_EQ(f.Text(), "/X Do /XBb Do /XBb1 Do /X Do");
  EXPECT_EQ(f.stream.Logos().size(), 2u);
  std::string dict = f.ResourceDictionary({{"/X", 1000005}, {"/XBb", 1000006}, {"/XBb1", 1000007}});
  EXPECT_NE(dict.find("/XObject << /X 5 0 R /XBb 6 0 R /XBb1 7 0 R >>"), std::string::npos) << dict;
}

TEST(LogoBackground, whiteRectangleAtTheStartIsCut) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {"1 g 0 0 595 842 re f\n0 g 10 10 50 50 re f", "1 g \n0 g 10 10 50 50 re f"},
      {"q 1 0 0 1 0 0 cm /GS1 gs 1.0 g 0 0 612 792 re f* Q", "q 1 0 0 1 0 0 cm /GS1 gs 1.0 g  Q"},
      {"1 1 1 rg 0 0 100 100 re f 0 0 1 rg", "1 1 1 rg  0 0 1 rg"},
      // Grey that is not white, a rectangle that is stroked, drawing before
      // the rectangle: the page's own ink stays.
      {"0.5 g 0 0 595 842 re f", nullptr},
      {"1 g 0 0 595 842 re S", nullptr},
      {"BT /F1 12 Tf ET 1 g 0 0 10 10 re f", nullptr},
      {"1 g 0 0 re f", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::string cut = CutWhiteBackground(c.content).str();
    EXPECT_EQ(cut, c.expected ? c.expected : c.content) << c.content;
  }
}

TEST(ImageObjects, smallGreyImageIsWrittenUncompressed) {
  Fixture f;
  std::vector<unsigned char> pixels(100);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 2);
  PDImage image;
  ASSERT_EQ(WriteImage(f.file, ImageData{10, 10, 8, false, pixels.data(), 100, nullptr, 0}, true, image), 0);
  std::string bytes = f.FileBytes();
  EXPECT_NE(bytes.find("/ColorSpace /DeviceGray"), std::string::npos);
  EXPECT_EQ(bytes.find("/Filter"), std::string::npos);
  EXPECT_NE(bytes.find("/Length 100"), std::string::npos);
  EXPECT_NE(bytes.find(std::string(reinterpret_cast<char*>(pixels.data()), 100)), std::string::npos);
  EXPECT_EQ(image.width, 10);
  EXPECT_EQ(image.color, 0);
}

TEST(ImageObjects, indexedImageNamesItsPalette) {
  Fixture f;
  std::vector<unsigned char> palette(768, 0x7f), pixels(32 * 16 / 2, 0x12);
  PDImage image;
  ASSERT_EQ(WriteImage(f.file, ImageData{32, 16, 4, true, pixels.data(), static_cast<int32_t>(pixels.size()),
                                         palette.data(), 768},
                       true, image),
            0);
  std::string bytes = Squeeze(f.FileBytes());
  // The palette is the first object: 768 bytes, never compressed.
  EXPECT_NE(bytes.find("1 0 obj <</Length 768 >> stream"), std::string::npos) << bytes.substr(0, 200);
  EXPECT_NE(bytes.find("/ColorSpace [ /Indexed /DeviceRGB 15 1 0 R ]"), std::string::npos);
  EXPECT_EQ(image.objectId % 1000000, 2);
}

TEST(ImageObjects, descriptionsTheBytesCannotHoldAreRefused) {
  std::vector<unsigned char> pixels(300, 0), palette(768, 0);
  struct Case {
    const char* name;
    ImageData data;
  } cases[] = {
      {"short data", {10, 10, 8, true, pixels.data(), 299, nullptr, 0}},
      {"bits 3", {10, 10, 3, false, pixels.data(), 300, nullptr, 0}},
      {"bits 16", {10, 10, 16, false, pixels.data(), 300, nullptr, 0}},
      {"0 x 0", {0, 0, 8, false, pixels.data(), 300, nullptr, 0}},
      {"huge", {100000, 100000, 8, true, pixels.data(), 300, nullptr, 0}},
      {"negative length", {1, 1, 8, false, pixels.data(), -1, nullptr, 0}},
      {"no data", {1, 1, 8, false, nullptr, 1, nullptr, 0}},
      {"short palette", {10, 10, 8, true, pixels.data(), 300, palette.data(), 767}},
  };
  for (const Case& c : cases) {
    Fixture f;
    size_t before = f.file.Memory()->Used();
    PDImage image;
    EXPECT_EQ(WriteImage(f.file, c.data, true, image), 1005) << c.name;
    EXPECT_EQ(f.file.Memory()->Used(), before) << c.name << ": nothing may be written";
  }
  // Rows start on byte boundaries: 9 one-bit pixels need 2 bytes a row.
  EXPECT_EQ(ImageBytesNeeded(9, 3, 1, false, false), 6);
  EXPECT_EQ(ImageBytesNeeded(3, 2, 8, true, false), 18);
  EXPECT_EQ(ImageBytesNeeded(3, 2, 8, true, true), 6);
}
