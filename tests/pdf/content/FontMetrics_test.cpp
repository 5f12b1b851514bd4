// Built-in width tables, text width, glyph names, MacRoman and the metrics of
// fonts read from input documents.
#include "pdf/content/FontMetrics.h"

#include <gtest/gtest.h>

#include <cstring>

#include "pdf/MiniPdf.h"
#include "pdf/content/GlyphNames.h"
#include "pdf/content/InputFonts.h"
#include "pdf/content/WidthTables.h"
#include "pdf/reader/PDFInput.h"

using namespace folian;
using namespace folian::test;

namespace {

const int16_t* Table(const char* font) {
  const int16_t* widths = BuiltinWidths(font);
  EXPECT_NE(widths, nullptr) << font;
  return widths;
}

// Opens a one-page input whose page uses font object 5 with the given body.
std::unique_ptr<PDFInput> InputWithFont(const std::string& fontBody, const std::string& extra = "") {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /T1 5 0 R >> >> /Contents 4 0 R >>",
      Stream("", "BT /T1 12 Tf (x) Tj ET"),
      fontBody,
  };
  if (!extra.empty()) bodies.push_back(extra);
  auto input = std::make_unique<PDFInput>();
  std::string pdf = BuildPdf(bodies);
  EXPECT_TRUE(input->OpenMemory(pdf.data(), pdf.size()));
  return input;
}

}  // namespace

TEST(WidthTables, tellingRowsMatchTheStandardMetrics) {
  struct Row {
    unsigned char code;
    int16_t arial, times, symbol;
  };
  const Row rows[] = {{32, 278, 250, 250}, {48, 556, 500, 500}, {65, 667, 722, 722},
                      {87, 944, 944, 768}, {97, 556, 444, 631}, {109, 833, 778, 576}};
  for (const Row& row : rows) {
    EXPECT_EQ(Table("Arial")[row.code], row.arial) << int(row.code);
    EXPECT_EQ(Table("Times")[row.code], row.times) << int(row.code);
    EXPECT_EQ(Table("Symbol")[row.code], row.symbol) << int(row.code);
  }
  for (int code = 0; code < 32; ++code) {
    EXPECT_EQ(Table("Helvetica")[code], 750);
    EXPECT_EQ(Table("Times-Italic")[code], 746);
  }
}

TEST(WidthTables, zapfDingbatsEqualsArialAndCourierIsFixedPitch) {
  EXPECT_EQ(std::memcmp(Table("ZapfDingbats"), Table("Arial"), 256 * sizeof(int16_t)), 0);
  for (const char* font : {"Courier", "Courier-Bold", "Courier-Oblique"})
    for (int code = 0; code < 256; ++code) ASSERT_EQ(Table(font)[code], 600) << font << " " << code;
}

TEST(WidthTables, baseFontNamesPickTheirTables) {
  struct Case {
    const char* font;
    const char* sameAs;  // none: no built-in metrics
  };
  const Case cases[] = {{"Helvetica", "Arial"},           {"/Helvetica-Oblique", "Arial-Italic"},
                        {"Helvetica-BoldOblique", "Arial-Bold"}, {"Times-Roman", "Times"},
                        {"Times-BoldItalic", "Times-BoldItalic"}, {"Courier-Oblique", "Courier"},
                        {"Symbol", "Symbol"},             {"Arial-Italic", nullptr},
                        {"Palatino", nullptr},            {"Courier-BoldOblique", nullptr},
                        {"", nullptr}};
  for (const Case& c : cases) {
    const int16_t* expected = nullptr;
    for (const BuiltinWidthTable& table : kBuiltinWidthTables)
      if (c.sameAs && std::strcmp(table.name, c.sameAs) == 0) expected = table.widths;
    EXPECT_EQ(BuiltinWidths(c.font), expected) << c.font;
  }
  // Boldness shows in the widths: the tables are not copies of one another.
  EXPECT_NE(Table("Helvetica-Bold")['b'], Table("Helvetica")['b']);
  EXPECT_NE(Table("Times-Bold")['a'], Table("Times-Roman")['a']);
}

TEST(MetricsStore, courierBoldObliqueIs610AndRecordsAreShared) {
  FontMetricsStore store;
  FontMetrics* boldOblique = store.Lookup("/Courier-BoldOblique");
  ASSERT_NE(boldOblique, nullptr);
  EXPECT_EQ(boldOblique->widths['i'], 610);
  EXPECT_EQ(store.Lookup("Courier")->widths['i'], 600);
  EXPECT_EQ(store.Lookup("Courier-BoldOblique"), boldOblique);
  EXPECT_EQ(store.Lookup("Unknown-Font"), nullptr);
  EXPECT_EQ(store.Count(), 2);
}

TEST(TextWidth, spacingAndScalingFollowTheTextState) {
  const int16_t* arial = Table("Arial");
  struct Case {
    const char* text;
    double size, tc, tw, tz, expected;
  };
  const double hello = (722 + 556 + 222 + 222 + 556) * 10 * 0.001;
  const Case cases[] = {
      {"Hello", 10, 0, 0, 100, hello},
      // Character spacing between characters only, never after the last.
      {"Hello", 10, 1, 0, 100, hello + 4},
      {"H", 10, 5, 0, 100, 7.22},
      // Word spacing 2 at 50 percent: every blank adds 1, the glyphs half their width.
      {"a a a", 10, 0, 2, 50, (3 * 556 + 2 * 278) * 10 * 0.001 * 0.5 + 2},
      {"", 10, 3, 3, 100, 0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(TextWidth(arial, c.text, static_cast<int32_t>(std::strlen(c.text)), c.size, c.tc, c.tw, c.tz),
                c.expected, 1e-4)
        << c.text << " tc " << c.tc << " tw " << c.tw << " tz " << c.tz;
  // High bytes index the table unsigned.
  EXPECT_NEAR(TextWidth(arial, "\xE9", 1, 1000, 0, 0, 100), arial[0xE9], 0.01);
}

TEST(TextWidth, rightEdgesAddHalfTheCharacterSpacing) {
  std::vector<double> edges;
  TextWidth(Table("Courier"), "ab", 2, 10, 2, 0, 100, 1.0, &edges);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_NEAR(edges[0], 6 + 1, 1e-4);
  EXPECT_NEAR(edges[1], 12 + 1 + 2, 1e-4);
}

TEST(GlyphNames, rulesAndTable) {
  struct Case {
    const char* name;
    int32_t code;
  };
  const Case cases[] = {
      {"/space", 32}, {"/AE", 198},   {"/zero", 48},  {"/Euro", 128}, {"/ydieresis", 255}, {"/minus", 0},
      {"/x", 'x'},    {"/a12", 12},   {"/G65", 65},   {"/g3A", 0xA}, {"/xxFF", 0xFF},     {"/nosuchglyph", 0},
      {"/", 0},       {"space", 0},   {"", 0},        {nullptr, 0},   {"/a99999999999999999", 0},
  };
  for (const Case& c : cases) {
    int32_t code = GlyphCode(c.name);
    if (c.name && std::strncmp(c.name, "/a999", 5) == 0)
      EXPECT_GT(code, 255) << "long digit runs stay bounded";
    else
      EXPECT_EQ(code, c.code) << (c.name ? c.name : "(null)");
  }
}

TEST(MacRoman, highCodesMapToWinAnsi) {
  EXPECT_EQ(kMacRomanToWinAnsi['A'], 'A');
  EXPECT_EQ(kMacRomanToWinAnsi[128], 196);  // Adieresis
  EXPECT_EQ(kMacRomanToWinAnsi[165], 149);  // bullet
  EXPECT_EQ(kMacRomanToWinAnsi[219], 130);
  EXPECT_EQ(kMacRomanToWinAnsi[255], 0);
}

TEST(InputFonts, differencesRecodeAndPlaceWidths) {
  auto input = InputWithFont(
      "<< /Type /Font /Subtype /Type1 /BaseFont /Custom /FirstChar 32 /LastChar 34 /Widths [100 200 300]"
      " /Encoding 6 0 R >>",
      "<< /Differences [32 /space /a12] >>");
  FontMetricsStore store;
  FontMetrics* metrics = InputFontMetrics(*input, 5, store);
  ASSERT_NE(metrics, nullptr);
  EXPECT_EQ(metrics->baseFont, ByteString("Custom"));
  ASSERT_EQ(metrics->recode.length(), 256);
  EXPECT_EQ(static_cast<unsigned char>(metrics->recode[32]), 32);
  EXPECT_EQ(static_cast<unsigned char>(metrics->recode[33]), 12);
  EXPECT_EQ(static_cast<unsigned char>(metrics->recode[34]), 34);
  // Widths land on the codes the caller writes: code 33 of the font is code 12.
  EXPECT_EQ(metrics->widths[32], 100);
  EXPECT_EQ(metrics->widths[12], 200);
  EXPECT_EQ(metrics->widths[34], 300);
  EXPECT_EQ(metrics->widths[65], 250);
  // Re-coding takes the lowest font code that shows a character: code 12 is
  // shown by code 12 itself, which comes before 33.
  EXPECT_EQ(RecodeForFont(*metrics, ByteString("\x0c ")).str(), std::string("\x0c "));
  EXPECT_EQ(InputFontMetrics(*input, 5, store), metrics) << "the store answers the second time";
}

TEST(InputFonts, encodingsWidthsAndBadInput) {
  struct Case {
    const char* font;
    const char* extra;
    unsigned char code;
    int16_t width;
    int recodeLength;
  };
  const Case cases[] = {
      {"<< /Type /Font /BaseFont /NoWidths >>", "", 'a', 450, 0},
      {"<< /Type /Font /BaseFont /Helvetica /Widths [1 2 3] >>", "", 'a', 556, 0},
      {"<< /Type /Font /BaseFont /Mac /FirstChar 128 /Widths [700] /Encoding /MacRomanEncoding >>", "", 196, 700, 256},
      {"<< /Type /Font /Widths 6 0 R /FirstChar 65 /LastChar 65 >>", "[ 512.6 ]", 'A', 513, 0},
      // Codes past 255 end the walk; what was read before stays.
      {"<< /Type /Font /BaseFont /Far /Widths [10] /FirstChar 65 /Encoding 6 0 R >>",
       "<< /Differences [65 /B 300 /C /D] >>", 'B', 10, 256},
      // A /FirstChar beyond the table places nothing.
      {"<< /Type /Font /BaseFont /Past /Widths [10 20] /FirstChar 300 >>", "", 'a', 250, 0},
  };
  for (const Case& c : cases) {
    auto input = InputWithFont(c.font, c.extra);
    FontMetricsStore store;
    FontMetrics* metrics = InputFontMetrics(*input, 5, store);
    ASSERT_NE(metrics, nullptr) << c.font;
    EXPECT_EQ(metrics->widths[c.code], c.width) << c.font;
    EXPECT_EQ(metrics->recode.length(), c.recodeLength) << c.font;
  }
  auto input = InputWithFont("<< /Type /Font /BaseFont /X >>");
  FontMetricsStore store;
  EXPECT_EQ(InputFontMetrics(*input, 99, store), nullptr);
}

TEST(InputFonts, textIsRecodedToTheFontsOwnCodes) {
  auto input = InputWithFont("<< /Type /Font /BaseFont /Shifted /Widths [500] /FirstChar 10 /Encoding 6 0 R >>",
                             "<< /Differences [10 /B] >>");
  FontMetricsStore store;
  FontMetrics* metrics = InputFontMetrics(*input, 5, store);
  ASSERT_NE(metrics, nullptr);
  EXPECT_EQ(metrics->widths['B'], 500);
  // The font shows B at code 10: text written as B goes out as code 10, and
  // extraction turns code 10 back into B.
  EXPECT_EQ(RecodeForFont(*metrics, ByteString("AB")).str(), std::string("A\n"));
  EXPECT_EQ(RecodeFromFont(*metrics, ByteString("A\n")).str(), std::string("AB"));
}

TEST(InputFonts, fontListsAndFormFontNames) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R /AcroForm << /DR << /Font << /Helv 6 0 R /Cour 7 0 R >> >> >> >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 6 0 R /F2 7 0 R >> >> >>",
      "<< /Type /Page /Parent 2 0 R /Resources << /Font << /F1 8 0 R /F2 6 0 R >> >> >>",
      "<< >>",
      "<< /Type /Font /BaseFont /Helvetica >>",
      "<< /Type /Font /BaseFont /ABCDEF+My#20Font >>",
      "<< /Type /Font /BaseFont /Arial >>",
  };
  std::string pdf = BuildPdf(bodies);
  PDFInput input;
  ASSERT_TRUE(input.OpenMemory(pdf.data(), pdf.size()));
  int32_t code = -1;
  // The root has no resources of its own, so its kids are walked.
  EXPECT_EQ(InputFontList(input, 0, code).str(), "ABCDEF+My Font\rArial\rHelvetica");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(InputFontList(input, 2, code).str(), "Arial\rHelvetica");
  InputFontList(input, 3, code);
  EXPECT_EQ(code, 1015);
  EXPECT_EQ(FindInputFont(input, "/Arial"), 8);
  EXPECT_EQ(FindInputFont(input, "Nothing"), 0);

  EXPECT_EQ(FormFontName(input, 0, code).str(), "Helvetica");
  EXPECT_EQ(FormFontName(input, 4, code).str(), "ABCDEF+My Font");
  FormFontName(input, 1, code);
  EXPECT_EQ(code, 1016) << "no /HeBo entry";
  FormFontName(input, 16, code);
  EXPECT_EQ(code, 1005);
  FormFontName(input, -1, code);
  EXPECT_EQ(code, 1005);
}

TEST(InputFonts, aPageThatInheritsResourcesListsItsAncestorsFonts) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 /Resources << /Font << /F1 4 0 R >> >> >>",
      "<< /Type /Page /Parent 2 0 R >>",
      "<< /Type /Font /BaseFont /Courier >>",
  };
  std::string pdf = BuildPdf(bodies);
  PDFInput input;
  ASSERT_TRUE(input.OpenMemory(pdf.data(), pdf.size()));
  int32_t code = -1;
  EXPECT_EQ(InputFontList(input, 1, code).str(), "Courier");
  EXPECT_EQ(InputFontList(input, 0, code).str(), "Courier");
  EXPECT_EQ(FindInputFont(input, "Courier"), 4);
}

TEST(FormFonts, abbreviationsAndVerticalMetrics) {
  EXPECT_STREQ(FormFontAbbreviation(0), "/Helv");
  EXPECT_STREQ(FormFontAbbreviation(7), "/CoBO");
  EXPECT_STREQ(FormFontAbbreviation(15), "/Ctm2");
  EXPECT_EQ(FormFontAbbreviation(16), nullptr);
  EXPECT_EQ(FormFontAbbreviation(-1), nullptr);
  struct Case {
    const char* name;
    int16_t height, descent;
  };
  const Case cases[] = {{"/Helv", 1172, 220}, {"HeBO", 1194, 220}, {"/CoBo", 1052, 219}, {"/CoOb", 1060, 219},
                        {"/TiBI", 1119, 220}, {"/Symb", 1303, 263}, {"/ZaDb", 963, 113},  {"/Ctm1", 1128, 220},
                        {nullptr, 1128, 220}};
  for (const Case& c : cases) {
    FormFontMetrics m = FormFontVerticalMetrics(c.name);
    EXPECT_EQ(m.height, c.height) << (c.name ? c.name : "(null)");
    EXPECT_EQ(m.descent, c.descent) << (c.name ? c.name : "(null)");
  }
  int standard = 0;
  for (const char* name : kStandardFonts) standard += IsStandardFont(name);
  EXPECT_EQ(standard, 14);
  EXPECT_TRUE(IsStandardFont("/Times-Roman"));
  EXPECT_FALSE(IsStandardFont("Times"));
  EXPECT_FALSE(IsStandardFont("Arial"));
}
