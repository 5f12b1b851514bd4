// Fonts and colours that come from input documents: subset fonts of merged
// files held and merged at close, a font of the current input selected for
// drawing, a separation colour taken over, and the font lists of an input.
#include <gtest/gtest.h>

#include <regex>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/RefCheck.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

// A one-page file whose page shows text in a font with the given dictionary
// entries (object 5), with a font descriptor (object 6).
std::string FontFile(const std::string& fontEntries, const std::string& extraResources = "",
                     const std::vector<std::string>& extraObjects = {}) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources << /Font << /T1 5 0 R >> " +
          extraResources + " >> /Contents 4 0 R >>",
      Stream("", "BT /T1 12 Tf 20 100 Td (abc) Tj ET"),
      "<< /Type /Font /Subtype /Type1 " + fontEntries + " /FontDescriptor 6 0 R >>",
      "<< /Type /FontDescriptor /FontName /Sub /Flags 32 /FontBBox [0 0 500 700] /ItalicAngle 0 /Ascent 700"
      " /Descent 0 /CapHeight 700 /StemV 80 >>",
  };
  bodies.insert(bodies.end(), extraObjects.begin(), extraObjects.end());
  return BuildPdf(bodies);
}

std::string Save(const std::string& name, const std::string& bytes) {
  WriteFile(OutputPath(name), bytes);
  return OutputPath(name);
}

void ExpectSoundFile(const std::string& path) {
  std::string out;
  EXPECT_EQ(RunCommand("qpdf --check " + path + " 2>&1", &out), 0) << out;
  std::vector<int> dangling = DanglingReferences(ReadFile(path));
  EXPECT_TRUE(dangling.empty()) << path << " refers to missing object " << (dangling.empty() ? 0 : dangling[0]);
}

// The written font objects: base font name -> object text.
std::map<std::string, std::string> FontsOf(const std::string& pdf) {
  std::map<std::string, std::string> fonts;
  std::regex base(R"(/BaseFont /(\S+))");
  for (const auto& [number, text] : ObjectsByXref(pdf)) {
    std::smatch m;
    if (text.find("/Type /Font") != std::string::npos && std::regex_search(text, m, base)) fonts[m[1]] = text;
  }
  return fonts;
}

}  // namespace

TEST(FontStore, subsetsOfOneFontAreMergedAndTheNarrowerOnesRenamed) {
  // Two subsets of one font with different code ranges, and a third file that
  // repeats the first range.
  std::string a = Save("fs-a.pdf", FontFile("/BaseFont /ABCDEF+Sub /FirstChar 97 /LastChar 99 /Widths [500 0 520]"));
  std::string b = Save("fs-b.pdf", FontFile("/BaseFont /GHIJKL+Sub /FirstChar 97 /LastChar 100 /Widths 7 0 R", "",
                                            {"[0 510 0 530]"}));
  std::string c = Save("fs-c.pdf", FontFile("/BaseFont /Plain /FirstChar 97 /LastChar 97 /Widths [444]"));
  std::string out = OutputPath("fs-merged.pdf");
  FLHANDLE doc = PDocNew(out.c_str(), 0, 0, nullptr);
  ASSERT_EQ(PDocMerge(doc, a.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocMerge(doc, b.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocMerge(doc, c.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(out);
  ExpectSoundFile(out);

  auto fonts = FontsOf(pdf);
  ASSERT_EQ(fonts.size(), 3u) << pdf;
  // The widest subset keeps its name; the other is renamed after its object number.
  ASSERT_TRUE(fonts.count("GHIJKL+Sub"));
  EXPECT_NE(fonts["GHIJKL+Sub"].find("/Widths [ 500 510 520 530 ]"), std::string::npos) << fonts["GHIJKL+Sub"];
  std::string renamed;
  for (const auto& [name, text] : fonts)
    if (std::regex_match(name, std::regex("A[0-9a-f]+\\+Sub"))) renamed = name;
  ASSERT_FALSE(renamed.empty());
  int number = std::stoi(fonts[renamed]);
  EXPECT_EQ(renamed, "A" + (std::ostringstream() << std::hex << number).str() + "+Sub");
  EXPECT_NE(fonts[renamed].find("/Widths [ 500 510 520 ]"), std::string::npos) << "zero widths filled from the others";
  EXPECT_NE(fonts["Plain"].find("/Widths [ 444 ]"), std::string::npos);
  std::string text;
  RunCommand("pdftotext " + out + " - 2>/dev/null", &text);
  EXPECT_EQ(std::count(text.begin(), text.end(), 'a'), 3) << text;
}

TEST(InputFontsDrawing, aFontOfTheInputIsCopiedAndTextRecodedForIt) {
  std::string input = Save("if-input.pdf", FontFile("/BaseFont /Shifted /FirstChar 10 /LastChar 10 /Widths [600] "
                                                    "/Encoding 7 0 R",
                                                    "", {"<< /Differences [10 /B] >>"}));
  std::string out = OutputPath("if-drawn.pdf");
  FLHANDLE doc = PDocNew(out.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  FLHANDLE c = PDocGetContentHandle(doc);
  EXPECT_EQ(PConSetFont(c, "Shifted", 20), FL_ERR_FAILED) << "no input yet";
  ASSERT_EQ(PDocInputOpen(doc, input.c_str()), 0);
  ASSERT_EQ(PConSetFont(c, "Shifted", 20), 0);
  EXPECT_NEAR(PConGetTextWidth(c, "B"), 12, 1e-4) << "the input's width for B";
  ASSERT_EQ(PConPutText(c, "AB"), 0);
  ASSERT_EQ(PConSetFont(c, "Helvetica", 10), 0);
  ASSERT_EQ(PDocInputCopyPages(doc, 1, 1), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(out);
  EXPECT_NE(pdf.find("/F1 20 Tf\n0 Tc 0 Tw (A\\n) Tj\n"), std::string::npos);
  ExpectSoundFile(out);
  // The copied page and the drawn page share one copy of the font.
  auto fonts = FontsOf(pdf);
  EXPECT_EQ(fonts.count("Shifted"), 1u);
  EXPECT_EQ(fonts.count("Helvetica"), 1u);
}

TEST(InputFontsDrawing, separationColoursComeFromTheInput) {
  std::string input = Save("sep-input.pdf",
                           FontFile("/BaseFont /Helvetica", "/ColorSpace << /CS0 [/Separation /Spot /DeviceCMYK 7 0 R] >>",
                                    {"<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>"}));
  std::string out = OutputPath("sep-drawn.pdf");
  FLHANDLE doc = PDocNew(out.c_str(), 0, 0, nullptr);
  PDocCompress(doc, 0);
  FLHANDLE c = PDocGetContentHandle(doc);
  ASSERT_EQ(PDocInputOpen(doc, input.c_str()), 0);
  EXPECT_EQ(PConSetFillCS(c, "Other", 1), FL_ERR_FAILED);
  ASSERT_EQ(PConSetFillCS(c, "Spot", 0.5f), 0);
  ASSERT_EQ(PConSetLineCS(c, "/Spot", 1), 0);
  ASSERT_EQ(PConRectangle(c, 100, 100, 200, 200, 1), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  std::string pdf = ReadFile(out);
  EXPECT_NE(pdf.find("stream\r\n/Fcs0 cs\n0.5 scn\n/Fcs0 CS\n1 SCN\n100 100 200 200 re B*\n"), std::string::npos);
  EXPECT_NE(pdf.find("/ColorSpace << /Fcs0"), std::string::npos);
  ExpectSoundFile(out);
  std::string out2;
  EXPECT_EQ(RunCommand("pdftoppm -r 10 -f 1 -l 1 " + out + " /dev/null 2>&1", &out2), 0) << out2;
}

TEST(InputFontLists, fontNamesOfPagesAndFormFonts) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R /AcroForm << /DR << /Font << /Helv 5 0 R >> >> >> >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 6 0 R /F2 5 0 R >> >> >>",
      "<< /Type /Font /BaseFont /Helvetica >>",
      "<< /Type /Font /BaseFont /Times#2DRoman >>",
  };
  std::string path = Save("font-list.pdf", BuildPdf(bodies));
  int32_t error = 0;
  FLHANDLE input = IDocOpen(path.c_str(), &error);
  ASSERT_NE(input, 0u);
  FLVBSTR names = nullptr;
  ASSERT_EQ(IDocGetFonts(input, 0, &names), 0);
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(std::string(names), "Helvetica\rTimes Roman");
  FLFreeVBSTR(names);
  ASSERT_EQ(IDocGetFonts(input, 1, &names), 0);
  EXPECT_EQ(std::string(names), "Helvetica");
  FLFreeVBSTR(names);
  EXPECT_EQ(IDocGetFonts(input, 3, &names), FL_ERR_NO_SUCH_PAGE);
  EXPECT_EQ(names, nullptr);
  EXPECT_EQ(IDocGetFonts(input, 1, nullptr), FL_ERR_PARAM_VALUE);
  ASSERT_EQ(IDocGetFontName(input, 0, &names), 0);
  EXPECT_EQ(std::string(names), "Helvetica");
  FLFreeVBSTR(names);
  EXPECT_EQ(IDocGetFontName(input, 2, &names), FL_ERR_INPUT_PART);
  EXPECT_EQ(IDocGetFontName(input, 99, &names), FL_ERR_PARAM_VALUE);
  EXPECT_EQ(IDocGetFonts(0, 0, &names), FL_ERR_MISSING_HANDLE);
  EXPECT_EQ(IDocClose(input), 0);
}
