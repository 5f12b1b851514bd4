// The content stream writer: the exact bytes each operator appends, the path
// and text-object rules, font selection with its prologue, and bad arguments
// that must leave the stream as it was.
#include "pdf/content/PDPgStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "pdf/writer/PDFile.h"

using namespace folian;

namespace {

struct Fixture {
  PDFile file;
  PDResources page{file, 'F'};
  PDResources header{file, 'H'};
  PDPgStream stream{page, &header};
  Fixture() { EXPECT_TRUE(file.OpenMemory()); }
  std::string Text() const { return stream.Text().str(); }
  std::string FileBytes() const { return std::string(file.Memory()->Data(), file.Memory()->Used()); }
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(PgStreamBytes, operatorSequencesGiveExactBytes) {
  struct Case {
    const char* name;
    std::function<void(PDPgStream&)> draw;
    const char* bytes;
  };
  const Case cases[] = {
      {"first font prologue, then only Tf",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetFont("Helvetica", 12), 0);
         EXPECT_EQ(s.SetFont(nullptr, 9.5), 0);
       },
       "BT\n0 g 0 Ts 0 Tr /F1 12 Tf\n0 Tc 0 Tw /F1 9.5 Tf\n"},
      {"spacing before a font goes into the prologue",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetCharSpacing(2), 0);
         EXPECT_EQ(s.SetWordSpacing(1.25), 0);
         EXPECT_EQ(s.SetFont("/Times-Roman", 10), 0);
         EXPECT_EQ(s.SetCharSpacing(0.5), 0);
       },
       "BT\n0 g 0 Ts 0 Tr /F1 10 Tf\n2 Tc 1.25 Tw 0.5 Tc\n"},
      {"text with a position and escapes",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetFont("Courier", 10), 0);
         EXPECT_EQ(s.PutText("a(b)\\", 72, 700.5), 0);
         EXPECT_EQ(s.PutLn(), 0);
         EXPECT_EQ(s.PutText("next"), 0);
       },
       "BT\n0 g 0 Ts 0 Tr /F1 10 Tf\n0 Tc 0 Tw 1 0 0 1 72 700.5 Tm\n(a\\(b\\)\\\\) Tj\nT*\n(next) Tj\n"},
      {"polyline has a single S",
       [](PDPgStream& s) {
         EXPECT_EQ(s.MoveTo(10, 20), 0);
         EXPECT_EQ(s.DrawTo(30, 20), 0);
         EXPECT_EQ(s.DrawTo(30, 40), 0);
         EXPECT_EQ(s.DrawTo(10.25, 40), 0);
       },
       "10 20 m 30 20 l 30 40 l 10.25 40 l S\n"},
      {"curves join the path",
       [](PDPgStream& s) {
         const double c[6] = {1, 2, 3, 4, 5, 6};
         EXPECT_EQ(s.MoveTo(0, 0), 0);
         EXPECT_EQ(s.CurveTo(c, 6, 'c'), 0);
         EXPECT_EQ(s.CurveTo(c, 4, 'v'), 0);
         EXPECT_EQ(s.CurveTo(c, 6, 'y'), 0);
       },
       "0 0 m 1 2 3 4 5 6 c 1 2 3 4 v 1 2 3 4 y S\n"},
      {"closed area, clipped",
       [](PDPgStream& s) {
         EXPECT_EQ(s.MoveTo(0, 0), 0);
         EXPECT_EQ(s.DrawTo(10, 0), 0);
         EXPECT_EQ(s.DrawTo(5, 8), 0);
         EXPECT_EQ(s.DrawArea(true), 0);
         EXPECT_EQ(s.MoveTo(1, 1), 0);
         EXPECT_EQ(s.DrawArea(false), 0);
       },
       "0 0 m 10 0 l 5 8 l W b\n1 1 m b\n"},
      {"grey outside 0..1 is skipped",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetGray(1.5, 0.5), 0);
         EXPECT_EQ(s.SetGray(0, -1), 0);
         EXPECT_EQ(s.SetGray(1, 0), 0);
       },
       "0.5 g 0 G 1 G 0 g"},
      {"rectangles by style",
       [](PDPgStream& s) {
         EXPECT_EQ(s.Rectangle(1, 2, 3, 4, 0), 0);
         EXPECT_EQ(s.Rectangle(1, 2, 3, 4, 1), 0);
         EXPECT_EQ(s.Rectangle(1, 2, 3, 4, 2), 0);
       },
       "1 2 3 4 re f\n1 2 3 4 re B*\n1 2 3 4 re S\n"},
      {"colours, line width and a grey bar",
       [](PDPgStream& s) {
         EXPECT_EQ(s.LineColor(1, 0, 0.5), 0);
         EXPECT_EQ(s.FillColor(0, 0.25, 1), 0);
         EXPECT_EQ(s.SetLineWidth(0.2), 0);
         EXPECT_EQ(s.GrayBar(50, 60, 100, 10.5, 0.75), 0);
       },
       "1 0 0.5 RG 0 0.25 1 rg 0.2 w\n0.8 g\n50 60 100 10.5 re f\n"},
      {"drawing after text closes it; the next text opens a new one",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetFont("Helvetica", 12), 0);
         EXPECT_EQ(s.PutText("A"), 0);
         EXPECT_EQ(s.DrawOp("0 0 m 5 5 l S"), 0);
         EXPECT_EQ(s.SetGray(-1, 0.5), 0);
         EXPECT_EQ(s.PutTab(10, -12), 0);
         EXPECT_EQ(s.TextOp("(raw) Tj"), 0);
       },
       "BT\n0 g 0 Ts 0 Tr /F1 12 Tf\n0 Tc 0 Tw (A) Tj\nET\n0 0 m 5 5 l S 0.5 g BT\n10 -12 Td\n(raw) Tj"},
      {"text matrix, leading and scaling",
       [](PDPgStream& s) {
         EXPECT_EQ(s.SetTz(80), 0);
         EXPECT_EQ(s.SetTm(1, 0, 0, 1, 0.00004, -3), 0);
         EXPECT_EQ(s.SetLineSpacing(14), 0);
       },
       "BT\n80 Tz\n1 0 0 1 0.00004 -3 Tm\n14 TL\n"},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.draw(f.stream);
    EXPECT_EQ(f.Text(), c.bytes) << c.name;
  }
}

TEST(PgStreamBytes, standardFontDictionaryIsWrittenOnceAtSelection) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Symbol", 10), 0);
  ASSERT_EQ(f.stream.SetFont("Helvetica", 10), 0);
  ASSERT_EQ(f.stream.SetFont("Symbol", 12), 0);
  EXPECT_EQ(f.FileBytes(),
            "%PDF-1.3\r\n1 0 obj\r\n<</Type /Font /Subtype /Type1\r\n/BaseFont /Symbol >>\r\nendobj\r\n"
            "2 0 obj\r\n<</Type /Font /Subtype /Type1\r\n/Encoding /WinAnsiEncoding /BaseFont /Helvetica >>\r\n"
            "endobj\r\n");
  ASSERT_EQ(f.page.Fonts().size(), 2u);
  EXPECT_EQ(f.page.Fonts()[0]->resourceName, ByteString("/F1"));
  EXPECT_EQ(f.page.Fonts()[1]->resourceName, ByteString("/F2"));
}

TEST(PgStreamBytes, headerStreamSharesAFontThePageSetWrote) {
  Fixture f;
  PDPgStream header(f.header, &f.page);
  ASSERT_EQ(f.stream.SetFont("Courier", 10), 0);
  ASSERT_EQ(header.SetFont("Courier", 8), 0);
  EXPECT_EQ(header.Text().str(), "BT\n0 g 0 Ts 0 Tr /F1 8 Tf\n0 Tc 0 Tw");
  EXPECT_EQ(f.header.Fonts()[0]->objectId, f.page.Fonts()[0]->objectId);
  EXPECT_EQ(f.FileBytes().find("2 0 obj"), std::string::npos) << "one font object for both sets";
  ASSERT_EQ(header.SetFont("Times-Bold", 8), 0);
  EXPECT_EQ(f.header.Fonts()[1]->resourceName, ByteString("/H2"));
}

TEST(PgStreamFailures, badCallsReturnTheirCodeAndLeaveTheStream) {
  struct Case {
    const char* name;
    std::function<void(PDPgStream&)> prepare;
    std::function<int32_t(PDPgStream&)> call;
    int32_t code;
  };
  const double six[6] = {1, 2, 3, 4, 5, 6};
  const double withNaN[6] = {1, 2, kNaN, 4, 5, 6};
  auto moved = [](PDPgStream& s) { EXPECT_EQ(s.MoveTo(0, 0), 0); };
  auto line = [](PDPgStream& s) {
    EXPECT_EQ(s.MoveTo(0, 0), 0);
    EXPECT_EQ(s.DrawTo(1, 1), 0);
  };
  auto font = [](PDPgStream& s) { EXPECT_EQ(s.SetFont("Helvetica", 10), 0); };
  auto none = [](PDPgStream&) {};
  const std::string longName(10000, 'A');
  const Case cases[] = {
      {"line without a move", none, [](PDPgStream& s) { return s.DrawTo(1, 1); }, 1008},
      {"curve without a move", none, [&](PDPgStream& s) { return s.CurveTo(six, 6, 'c'); }, 1008},
      {"area without a move", none, [](PDPgStream& s) { return s.DrawArea(false); }, 1008},
      {"raw n after a line", [&](PDPgStream& s) { line(s); EXPECT_EQ(s.DrawOp("n"), 0); },
       [](PDPgStream& s) { return s.DrawTo(2, 2); }, 1009},
      {"area after a raw operator", [&](PDPgStream& s) { line(s); EXPECT_EQ(s.DrawOp("0 g"), 0); },
       [](PDPgStream& s) { return s.DrawArea(false); }, 1009},
      {"curve type x", moved, [&](PDPgStream& s) { return s.CurveTo(six, 6, 'x'); }, 1005},
      {"curve c with four numbers", moved, [&](PDPgStream& s) { return s.CurveTo(six, 4, 'c'); }, 1005},
      {"curve v with three numbers", moved, [&](PDPgStream& s) { return s.CurveTo(six, 3, 'v'); }, 1005},
      {"curve without numbers", moved, [](PDPgStream& s) { return s.CurveTo(nullptr, 6, 'c'); }, 1005},
      {"curve with NaN", moved, [&](PDPgStream& s) { return s.CurveTo(withNaN, 6, 'c'); }, 1005},
      {"text without font", none, [](PDPgStream& s) { return s.PutText("x"); }, 1008},
      {"null text", font, [](PDPgStream& s) { return s.PutText(nullptr); }, 1005},
      {"no font name, no size", none, [](PDPgStream& s) { return s.SetFont(nullptr, 0); }, 1005},
      {"size without any font", none, [](PDPgStream& s) { return s.SetFont(nullptr, 12); }, 1005},
      {"font name of 10000 bytes", none, [&](PDPgStream& s) { return s.SetFont(longName.c_str(), 12); }, 1005},
      {"font name with a blank", none, [](PDPgStream& s) { return s.SetFont("My Font", 12); }, 1005},
      {"Times is no standard font", none, [](PDPgStream& s) { return s.SetFont("Times", 12); }, 1017},
      {"unknown font without input", font, [](PDPgStream& s) { return s.SetFont("Palatino", 12); }, 1017},
      {"colour without input", none, [](PDPgStream& s) { return s.SetFillCS("PANTONE 300", 1); }, 1017},
      {"NaN size", font, [](PDPgStream& s) { return s.SetFont("Courier", kNaN); }, 1005},
      {"infinite move", none, [](PDPgStream& s) { return s.MoveTo(kInf, 0); }, 1005},
      {"NaN grey", none, [](PDPgStream& s) { return s.SetGray(kNaN, 0.5); }, 1005},
      {"NaN text matrix", font, [](PDPgStream& s) { return s.SetTm(1, 0, 0, 1, kNaN, 0); }, 1005},
      {"NaN position", font, [](PDPgStream& s) { return s.PutText("x", kNaN, 1); }, 1005},
      {"huge colour", none, [](PDPgStream& s) { return s.FillColor(1e39, 0, 0); }, 1005},
      {"rectangle style 3", none, [](PDPgStream& s) { return s.Rectangle(0, 0, 1, 1, 3); }, 1005},
      {"rectangle style -1", none, [](PDPgStream& s) { return s.Rectangle(0, 0, 1, 1, -1); }, 1005},
      {"null raw text", none, [](PDPgStream& s) { return s.DrawOp(nullptr); }, 1005},
  };
  for (const Case& c : cases) {
    Fixture f;
    c.prepare(f.stream);
    std::string before = f.Text();
    size_t fontsBefore = f.page.Fonts().size();
    EXPECT_EQ(c.call(f.stream), c.code) << c.name;
    EXPECT_EQ(f.Text(), before) << c.name;
    EXPECT_EQ(f.page.Fonts().size(), fontsBefore) << c.name << ": a font that failed leaves no entry";
  }
}

TEST(PgStreamFailures, aFailedFontKeepsTheCurrentOne) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Courier", 10), 0);
  EXPECT_EQ(f.stream.SetFont("Times", 20), 1017);
  EXPECT_EQ(f.stream.FontSize(), 10);
  EXPECT_NEAR(f.stream.TextWidth("ab"), 12, 1e-6) << "still Courier at 10";
  ASSERT_EQ(f.stream.SetFont("Symbol", 0), 0);
  EXPECT_EQ(f.page.Fonts()[1]->resourceName, ByteString("/F2")) << "the failed name did not use up a number";
}

TEST(PgStreamWidth, followsFontSizeAndSpacing) {
  Fixture f;
  EXPECT_EQ(f.stream.TextWidth("Hello"), 0) << "no font";
  ASSERT_EQ(f.stream.SetFont("Helvetica", 10), 0);
  EXPECT_NEAR(f.stream.TextWidth("Hello"), (722 + 556 + 222 + 222 + 556) * 0.01, 1e-5);
  EXPECT_EQ(f.stream.TextWidth(nullptr), 0);
  ASSERT_EQ(f.stream.SetWordSpacing(2), 0);
  ASSERT_EQ(f.stream.SetTz(50), 0);
  EXPECT_NEAR(f.stream.TextWidth("a b"), (556 * 2 + 278) * 0.01 * 0.5 + 1, 1e-5);
  ASSERT_EQ(f.stream.SetFont("Courier-BoldOblique", 10), 0);
  ASSERT_EQ(f.stream.SetTz(100), 0);
  ASSERT_EQ(f.stream.SetWordSpacing(0), 0);
  EXPECT_NEAR(f.stream.TextWidth("abc"), 18.3, 1e-5);
}

TEST(PgStreamWrite, pageContentIsClosedWithETAndWrittenOnce) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Helvetica", 12), 0);
  ASSERT_EQ(f.stream.PutText("Hi"), 0);
  ASSERT_TRUE(f.stream.WriteObject(f.file, false));
  int32_t id = f.stream.ObjectId();
  EXPECT_NE(id, 0);
  ASSERT_TRUE(f.stream.WriteObject(f.file, false));
  EXPECT_EQ(f.stream.ObjectId(), id);
  std::string bytes = f.FileBytes();
  std::string body = "BT\n0 g 0 Ts 0 Tr /F1 12 Tf\n0 Tc 0 Tw (Hi) Tj\nET\n";
  EXPECT_NE(bytes.find("2 0 obj\r\n<</Length " + std::to_string(body.size()) + " >>\r\nstream\r\n" + body +
                       "endstream\r\nendobj\r\n"),
            std::string::npos)
      << bytes;
}

TEST(PgStreamWrite, rawBytesOfAnOpenTextObjectWarnAndStayUnchanged) {
  Fixture f;
  ASSERT_EQ(f.stream.SetFont("Helvetica", 12), 0);
  testing::internal::CaptureStderr();
  std::string raw = f.stream.RawBytes().str();
  std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_EQ(warning, "PDPgStream::Write - \"ET\" probably missing\n");
  EXPECT_EQ(raw, "BT\n0 g 0 Ts 0 Tr /F1 12 Tf\n0 Tc 0 Tw");
}

TEST(PgStreamWrite, compressedContentIsMarkedAndSmaller) {
  Fixture f;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(f.stream.Rectangle(i, i, 10, 10, 2), 0);
  ASSERT_TRUE(f.stream.WriteObject(f.file, true));
  std::string bytes = f.FileBytes();
  EXPECT_NE(bytes.find("<</Filter /FlateDecode /Length"), std::string::npos);
  EXPECT_LT(bytes.size(), f.stream.Text().str().size());
}
