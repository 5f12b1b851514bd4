// The content interpreter: gap rules, token geometry, pages, forms, fonts and
// damaged content.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/MiniPdf.h"
#include "pdf/OpenQuietly.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/text/TextExtractor.h"

using namespace folian;
using namespace folian::test;

namespace {

const char* const kHelvetica = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";

// One page per content stream; object 3 is the font /F1 (Helvetica) and the
// extra objects follow from number 4 + 2 × pages on.
std::string Pages(const std::vector<std::string>& contents, const std::string& resourcesExtra = "",
                  const std::vector<std::string>& extra = {}) {
  const int n = static_cast<int>(contents.size());
  std::string kids;
  for (int i = 0; i < n; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(n) + " >>",
                                     kHelvetica};
  for (int i = 0; i < n; ++i) {
    bodies.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(5 + 2 * i) +
                     " 0 R /Resources << /Font << /F1 3 0 R >> " + resourcesExtra + " >> >>");
    bodies.push_back(Stream("", contents[static_cast<size_t>(i)]));
  }
  for (const std::string& body : extra) bodies.push_back(body);
  return BuildPdf(bodies);
}
// The number the first extra object gets.
int FirstExtra(int pages) { return 4 + 2 * pages; }

struct Read {
  std::vector<TextToken> tokens;
  std::string messages;
};

Read ReadAll(const std::string& pdf, bool unicode = false) {
  Read result;
  PDFInput input;
  EXPECT_TRUE(OpenQuietly(input, pdf));
  input.Diagnostics().SetEcho(false);
  TextExtractor extractor(input);
  extractor.SetUnicode(unicode);
  TextToken token;
  for (int guard = 0; guard < 10000000; ++guard) {
    TextExtractor::Step step = extractor.Read(token);
    if (step == TextExtractor::Step::End) break;
    if (step == TextExtractor::Step::Token) result.tokens.push_back(token);
  }
  for (const Diagnostic& d : input.Diagnostics().Records()) result.messages += d.text;
  return result;
}

std::vector<std::string> Texts(const Read& read) {
  std::vector<std::string> texts;
  for (const TextToken& token : read.tokens) texts.push_back(token.text);
  return texts;
}

TEST(TextExtractor, tjGapsJoinAddABlankOrSplit) {
  struct Case {
    const char* gap;
    std::vector<std::string> texts;
  } const cases[] = {
      {"-100", {"AB"}},       // 1 at size 10: below 0.2 × size
      {"-300", {"A B"}},      // 3: a blank
      {"-600", {"A", "B"}},   // 6: a new token
      {"0", {"AB"}},
      {"200", {"AB"}},        // moving back a little only moves the end
  };
  for (const Case& c : cases) {
    Read read = ReadAll(Pages({std::string("BT /F1 10 Tf 100 700 Td [(A) ") + c.gap + " (B)] TJ ET"}));
    EXPECT_EQ(Texts(read), c.texts) << c.gap;
  }
  // The second token starts past the gap: A is 6.67 wide at size 10.
  Read split = ReadAll(Pages({"BT /F1 10 Tf 100 700 Td [(A) -600 (B)] TJ ET"}));
  ASSERT_EQ(split.tokens.size(), 2u);
  EXPECT_NEAR(split.tokens[1].x, 100 + 6.67 + 6, 1e-3);
  // A blank gets a right edge of its own, so text and edges stay in step.
  Read blank = ReadAll(Pages({"BT /F1 10 Tf 100 700 Td [(A) -300 (B)] TJ ET"}));
  ASSERT_EQ(blank.tokens.size(), 1u);
  EXPECT_EQ(blank.tokens[0].rightEdges.size(), blank.tokens[0].text.size());
}

TEST(TextExtractor, emptyTjArrayShowsNothingAndSaysSo) {
  Read read = ReadAll(Pages({"BT /F1 10 Tf 100 700 Td [] TJ ET"}));
  EXPECT_TRUE(read.tokens.empty());
  EXPECT_NE(read.messages.find("operator TJ has empty list\n"), std::string::npos);
  Read odd = ReadAll(Pages({"BT /F1 10 Tf [(A) /Name (B)] TJ ET"}));
  EXPECT_EQ(Texts(odd), std::vector<std::string>{"AB"});
  EXPECT_NE(odd.messages.find("unexpected token in TJ list encountered"), std::string::npos);
}

TEST(TextExtractor, pagesEndWithAnEmptyTokenAndThePageCountPlusOne) {
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, Pages({"BT /F1 10 Tf (one) Tj ET", "BT /F1 10 Tf (two) Tj ET"})));
  TextExtractor extractor(input);
  TextToken token;
  struct Expect {
    TextExtractor::Step step;
    int page;
    const char* text;
  } const expected[] = {{TextExtractor::Step::Token, 1, "one"},
                        {TextExtractor::Step::PageChange, 2, ""},
                        {TextExtractor::Step::Token, 2, "two"},
                        {TextExtractor::Step::End, 3, ""},
                        {TextExtractor::Step::End, 3, ""}};
  for (const Expect& e : expected) {
    EXPECT_EQ(extractor.Read(token), e.step);
    EXPECT_EQ(token.page, e.page);
    EXPECT_EQ(token.text, e.text);
    if (e.step != TextExtractor::Step::Token) {
      EXPECT_EQ(token.width, 0);
      EXPECT_TRUE(token.rightEdges.empty());
    }
  }
  // Going back to a page reads it again from its start.
  extractor.GoPage(1);
  EXPECT_EQ(extractor.Read(token), TextExtractor::Step::Token);
  EXPECT_EQ(token.text, "two");
}

TEST(TextExtractor, tokenGeometryFollowsTheTransformation) {
  // Hello in Helvetica at 10 is 22.78 wide; the page doubles everything.
  Read read = ReadAll(Pages({"q 2 0 0 2 10 20 cm BT /F1 10 Tf 1 0 0 1 50 100 Tm (Hello) Tj ET Q"}));
  ASSERT_EQ(read.tokens.size(), 1u);
  const TextToken& t = read.tokens[0];
  EXPECT_NEAR(t.x, 110, 1e-9);
  EXPECT_NEAR(t.y, 220, 1e-9);
  EXPECT_NEAR(t.height, 20, 1e-9);
  EXPECT_NEAR(t.width, 45.56, 1e-3);
  EXPECT_EQ(t.font, "Helvetica");
  ASSERT_EQ(t.rightEdges.size(), 5u);
  EXPECT_NEAR(t.rightEdges[0], 14.44, 1e-3);
  EXPECT_NEAR(t.rightEdges[4], 45.56, 1e-3);
  // Q restores the transformation: the next text is not doubled.
  Read after = ReadAll(Pages({"q 2 0 0 2 0 0 cm Q BT /F1 10 Tf 1 0 0 1 50 100 Tm (x) Tj ET"}));
  ASSERT_EQ(after.tokens.size(), 1u);
  EXPECT_NEAR(after.tokens[0].x, 50, 1e-9);
}

TEST(TextExtractor, orientationComesFromTheBaseline) {
  struct Case {
    const char* matrix;
    int degrees;
  } const cases[] = {{"1 0 0 1", 0},  {"0 1 -1 0", 90}, {"-1 0 0 -1", 180}, {"0 -1 1 0", 270},
                     {"1 1 -1 1", 45}, {"-1 1 -1 -1", 135}, {"1 -1 1 1", 315}};
  for (const Case& c : cases) {
    Read read = ReadAll(Pages({std::string("BT /F1 10 Tf ") + c.matrix + " 300 400 Tm (Turn) Tj ET"}));
    ASSERT_EQ(read.tokens.size(), 1u) << c.matrix;
    EXPECT_EQ(read.tokens[0].orientation, c.degrees) << c.matrix;
  }
}

TEST(TextExtractor, linesAndMovesSplitOrJoinTokens) {
  struct Case {
    const char* content;
    std::vector<std::string> texts;
  } const cases[] = {
      {"BT /F1 10 Tf 14 TL 100 700 Td (one) Tj T* (two) Tj ET", {"one", "two"}},
      {"BT /F1 10 Tf 100 700 Td (one) ' ET", {"one"}},
      {"BT /F1 10 Tf 100 700 Td (ab) Tj 10 0 Td (cd) Tj ET", {"abcd"}},  // a slight overlap joins
      {"BT /F1 10 Tf 100 700 Td (abcdef) Tj 0 0 Td (x) Tj ET", {"abcdef", "x"}},  // a jump back splits
      {"BT /F1 10 Tf 100 700 Td (ab) Tj (cd) Tj ET", {"abcd"}},
      {"BT /F1 10 Tf 100 700 Td (ab) Tj 13.5 0 Td (cd) Tj ET", {"ab cd"}},   // ab is 11.12 wide: a gap of 2.38
      {"BT /F1 10 Tf 100 700 Td (ab) Tj 20 0 Td (cd) Tj ET", {"ab", "cd"}},
      {"BT /F1 10 Tf 100 700 Td (a) Tj 0 -20 Td (b) Tj ET", {"a", "b"}},
      {"BT /F1 10 Tf 100 700 Td (x) Tj 5 2 Td (2) Tj ET", {"x2"}},  // a raised index stays in the token
      {"BT /F1 10 Tf 100 700 Td (x) Tj 5 4 Td (2) Tj ET", {"x", "2"}},
      {"BT /F1 10 Tf 2 Tc 100 700 Td (ab) Tj ET", {"ab"}},
      {"BT /F1 10 Tf 100 700 Td 1 2 (x) \" ET", {"x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Texts(ReadAll(Pages({c.content}))), c.texts) << c.content;
}

TEST(TextExtractor, textInsideFormsIsFound) {
  int form = FirstExtra(1);
  std::string xobjects = "/XObject << /X1 " + std::to_string(form) + " 0 R /Im " + std::to_string(form + 1) + " 0 R >>";
  Read read = ReadAll(Pages({"/Im Do 1 0 0 1 0 50 cm /X1 Do BT /F1 10 Tf 5 5 Td (page) Tj ET"}, xobjects,
                            {Stream("/Type /XObject /Subtype /Form /BBox [0 0 500 500] /Matrix [1 0 0 1 100 0]",
                                    "BT /F1 10 Tf 10 10 Td (Inside) Tj ET 2 0 0 2 0 0 cm"),
                             Stream("/Type /XObject /Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 "
                                    "/ColorSpace /DeviceGray",
                                    "x")}));
  ASSERT_EQ(Texts(read), (std::vector<std::string>{"Inside", "page"}));
  EXPECT_NEAR(read.tokens[0].x, 110, 1e-9);
  EXPECT_NEAR(read.tokens[0].y, 60, 1e-9);
  // The form's cm ends with the form.
  EXPECT_NEAR(read.tokens[1].x, 5, 1e-9);
  EXPECT_NEAR(read.tokens[1].y, 55, 1e-9);
}

TEST(TextExtractor, formsThatDrawThemselvesAreSkipped) {
  int a = FirstExtra(1), b = a + 1;
  std::string xobjects = "/XObject << /A " + std::to_string(a) + " 0 R >>";
  std::string resources = "/Resources << /Font << /F1 3 0 R >> /XObject << /A " + std::to_string(a) + " 0 R /B " +
                          std::to_string(b) + " 0 R >> >>";
  Read read = ReadAll(Pages({"/A Do"}, xobjects,
                            {Stream("/Subtype /Form " + resources, "/B Do BT /F1 10 Tf (A) Tj ET"),
                             Stream("/Subtype /Form " + resources, "/A Do /B Do BT /F1 10 Tf 0 -20 Td (B) Tj ET")}));
  EXPECT_EQ(Texts(read), (std::vector<std::string>{"B", "A"}));
  EXPECT_NE(read.messages.find("draws itself"), std::string::npos);
}

TEST(TextExtractor, contentsArraysInlineImagesAndMarkedContent) {
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents [4 0 R 5 0 R] /Resources << /Font << /F1 6 0 R >> >> >>",
                              Stream("", "BT /F1 10 Tf 100 700 Td (Joined)"), Stream("", "Tj ET"), kHelvetica});
  EXPECT_EQ(Texts(ReadAll(pdf)), std::vector<std::string>{"Joined"});
  Read image = ReadAll(Pages({"BI /W 2 /H 1 /BPC 8 /CS /G ID \x01(EIx)Tj\nEI BT /F1 10 Tf /P <</MCID 0>> BDC "
                              "(After) Tj EMC ET"}));
  EXPECT_EQ(Texts(image), std::vector<std::string>{"After"});
}

TEST(TextExtractor, damagedContentNeverStopsTheReader) {
  struct Case {
    std::string content;
    std::vector<std::string> texts;
  };
  std::vector<Case> cases = {
      {"BT /F1 10 Tf (Good) Tj (cut off", {"Good"}},
      {"BT /F1 10 Tf (Good) Tj <4142", {"Good"}},
      {"BT /F1 10 Tf 5 Td (Still) Tj ET", {"Still"}},
      {"BT Tf Tm Td TD TL Tc Tw Tz cm ' \" Tj TJ Do ET BT /F1 10 Tf (Last) Tj", {"Last"}},
      {"BT /F9 10 Tf (NoFont) Tj ET", {"NoFont"}},
      {"BT (NoTf) Tj ET", {"NoTf"}},
      {"Q Q Q BT /F1 10 Tf (Unbalanced) Tj ET", {"Unbalanced"}},
      {"BT /F1 1e999 Tf 1 0 0 1 1e308 1e308 Tm 1e308 0 Td (Huge) Tj ET", {"Huge"}},
      {"BT /F1 10 Tf (A) Tj ] ) } { (B) Tj", {"A"}},
      {std::string(100000, 'q') + " BT /F1 10 Tf (Long) Tj ET", {"Long"}},  // one unknown operator
      {"BI /W 1 ID no end", {}},
  };
  // q nested 100000 deep without Q.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "q ";
  cases.push_back({deep + "BT /F1 10 Tf (Deep) Tj ET " + deep, {"Deep"}});
  for (const Case& c : cases) EXPECT_EQ(Texts(ReadAll(Pages({c.content}))), c.texts) << c.content.substr(0, 60);
}

TEST(TextExtractor, hugeTjArraysGiveEveryTokenWithoutDropping) {
  // 10^6 elements: every gap of 10 (at size 10) starts a new token.
  std::string content = "BT /F1 10 Tf [";
  for (int i = 0; i < 500000; ++i) content += "(a)-1000 ";
  content += "] TJ ET";
  Read read = ReadAll(Pages({content}));
  EXPECT_EQ(read.tokens.size(), 500000u);
  EXPECT_EQ(read.messages.find("TokenFIFO"), std::string::npos);
}

TEST(TextExtractor, widthsOfDamagedAndMissingMetrics) {
  // /Widths shorter than /FirstChar../LastChar: the codes it does not reach keep 250.
  std::string pdf = BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                              "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources << /Font << /F2 5 0 R >> >> >>",
                              Stream("", "BT /F2 10 Tf (AB) Tj ET"),
                              "<< /Type /Font /Subtype /Type1 /BaseFont /Custom /FirstChar 65 /LastChar 200 /Widths [500] >>"});
  Read custom = ReadAll(pdf);
  ASSERT_EQ(custom.tokens.size(), 1u);
  EXPECT_NEAR(custom.tokens[0].width, 5 + 2.5, 1e-6);
  EXPECT_EQ(custom.tokens[0].font, "Custom");
  // A font missing from the resources has no metrics: its text has no width.
  Read missing = ReadAll(Pages({"BT /F2 10 Tf (AB) Tj ET"}));
  ASSERT_EQ(missing.tokens.size(), 1u);
  EXPECT_EQ(missing.tokens[0].width, 0);
  EXPECT_EQ(missing.tokens[0].text, "AB");
  EXPECT_EQ(missing.tokens[0].font, "F2");
}

TEST(TextExtractor, twoByteFontsReadThroughToUnicode) {
  std::string cmap =
      "/CIDInit /ProcSet findresource begin 12 dict begin begincmap 1 begincodespacerange <0000> <FFFF> "
      "endcodespacerange 1 beginbfchar <0001> <0048> endbfchar 1 beginbfrange <0002> <0003> <00E9> endbfrange "
      "1 beginbfrange <0004> <0005> [<D83DDE00> <00660069>] endbfrange endcmap end end";
  std::string pdf = BuildPdf(
      {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
       "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
       Stream("", "BT /F1 10 Tf 100 700 Td <0001000200030004000500> Tj ET"),
       "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+Sans /Encoding /Identity-H /DescendantFonts [6 0 R] "
       "/ToUnicode 7 0 R >>",
       "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+Sans /DW 1000 /W [1 [500 600] 4 5 250] >>",
       Stream("", cmap)});
  Read utf8 = ReadAll(pdf, true);
  ASSERT_EQ(utf8.tokens.size(), 1u);
  EXPECT_EQ(utf8.tokens[0].text, "H\xC3\xA9\xC3\xAA\xF0\x9F\x98\x80" "fi");
  // Five codes and a lone last byte, which shows nothing but keeps text and edges in step.
  EXPECT_EQ(utf8.tokens[0].rightEdges.size(), 6u);
  // 500 + 600 + 1000 (DW) + 250 + 250 at size 10.
  EXPECT_NEAR(utf8.tokens[0].width, 26, 1e-6);
  EXPECT_EQ(utf8.tokens[0].font, "ABCDEF+Sans");
  Read bytes = ReadAll(pdf, false);
  ASSERT_EQ(bytes.tokens.size(), 1u);
  EXPECT_EQ(bytes.tokens[0].text, "H\xE9\xEA?f?");
}

TEST(TextExtractor, singleByteEncodingsGiveUnicodeAndLibraryBytes) {
  struct Case {
    const char* encoding;
    const char* shown;
    const char* bytes;
    const char* utf8;
  } const cases[] = {
      {"/WinAnsiEncoding", "<80E9>", "\x80\xE9", "\xE2\x82\xAC\xC3\xA9"},
      {"/MacRomanEncoding", "<8E8A>", "\xE9\xE4", "\xC3\xA9\xC3\xA4"},
      {"<< /Differences [65 /Aacute /fi /uni263A /bullet] >>", "(ABCD)", "\xC1\x93" "C\x95",
       "\xC3\x81" "fi" "\xE2\x98\xBA\xE2\x80\xA2"},
  };
  for (const Case& c : cases) {
    std::string pdf = BuildPdf(
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
         "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
         Stream("", std::string("BT /F1 10 Tf ") + c.shown + " Tj ET"),
         std::string("<< /Type /Font /Subtype /Type1 /BaseFont /Own /FirstChar 32 /LastChar 255 /Widths [500] "
                     "/Encoding ") + c.encoding + " >>"});
    Read bytes = ReadAll(pdf, false), utf8 = ReadAll(pdf, true);
    ASSERT_EQ(bytes.tokens.size(), 1u) << c.encoding;
    ASSERT_EQ(utf8.tokens.size(), 1u) << c.encoding;
    EXPECT_EQ(bytes.tokens[0].text, c.bytes) << c.encoding;
    EXPECT_EQ(utf8.tokens[0].text, c.utf8) << c.encoding;
  }
}

TEST(TokenFIFO, holdsAHundredTokensAndDropsTheNextWithAMessage) {
  TokenFIFO fifo;
  TextToken token;
  for (int i = 0; i < TokenFIFO::kCapacity; ++i) {
    token.text = std::to_string(i);
    EXPECT_TRUE(fifo.Push(token));
  }
  testing::internal::CaptureStderr();
  token.text = "dropped";
  EXPECT_FALSE(fifo.Push(token));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "TokenFIFO: capacity exceeded\n");
  for (int i = 0; i < TokenFIFO::kCapacity; ++i) {
    ASSERT_TRUE(fifo.Pop(token));
    EXPECT_EQ(token.text, std::to_string(i));
  }
  EXPECT_FALSE(fifo.Pop(token));
}

}  // namespace
