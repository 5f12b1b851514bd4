#include "pdf/reader/PDFInput.h"

#include <gtest/gtest.h>

#include "pdf/OpenQuietly.h"

#include <string>
#include <vector>

#include "pdf/PdfBuilder.h"
#include "pdf/PdfScan.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

using test::OpenQuietly;

using test::PdfBuilder;

// Catalog 1, root 2 (/MediaBox, /Rotate 90), middle node 3 (/CropBox) holding
// pages 4 and 5, and page 6 directly under the root with its own /Rotate.
PdfBuilder ThreePageTree() {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 3 /MediaBox [0 0 612 792] /Rotate 90 >>")
      .Obj(3, "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R 5 0 R] /Count 2 /CropBox [10 20 600 780] >>")
      .Obj(4, "<< /Type /Page /Parent 3 0 R >>")
      .Obj(5, "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 300 400] >>")
      .Obj(6, "<< /Type /Page /Parent 2 0 R /Rotate -90 /MediaBox 7 0 R >>")
      .Obj(7, "[0 0 595.5 842]")
      .Xref("/Size 8 /Root 1 0 R");
  return pdf;
}

TEST(PDFInput, pagesBoxesAndRotationAreInherited) {
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, ThreePageTree().Bytes()));
  EXPECT_EQ(input.State(), PDDocumentBase::kReading);
  EXPECT_EQ(input.Version(), "1.4");
  ASSERT_EQ(input.PageCount(), 3);
  struct Expect {
    int number;
    PDBox media;
    PDBox visible;
    int rotation;
  } const pages[] = {
      {4, {0, 0, 612, 792}, {10, 20, 600, 780}, 90},
      // The parent's crop box is inherited and clipped to the page's own media box.
      {5, {0, 0, 300, 400}, {10, 20, 300, 400}, 90},
      {6, {0, 0, 595.5, 842}, {0, 0, 595.5, 842}, 270},
  };
  for (int i = 0; i < 3; ++i) {
    PDObject* page = input.FindPage(i);
    ASSERT_NE(page, nullptr) << i;
    EXPECT_EQ(page->Number(), pages[i].number);
    EXPECT_EQ(input.MediaBox(page), pages[i].media) << i;
    EXPECT_EQ(input.VisibleBox(page), pages[i].visible) << i;
    EXPECT_EQ(input.Rotation(page), pages[i].rotation) << i;
  }
  EXPECT_EQ(input.FindPage(3), nullptr);
  EXPECT_EQ(input.FindPage(-1), nullptr);
  ASSERT_TRUE(input.ReadPages());
  EXPECT_EQ(input.PageNumbers(), (std::vector<int32_t>{4, 5, 6}));
}

TEST(PDFInput, findingOnePageLoadsOnlyItsPath) {
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, ThreePageTree().Bytes()));
  int64_t before = input.ObjectsLoaded();
  ASSERT_NE(input.FindPage(2), nullptr);
  // Root, its two kids (the middle node is counted, not entered).
  EXPECT_LE(input.ObjectsLoaded() - before, 3);
  // Cached: asking again loads nothing.
  input.FindPage(2);
  EXPECT_LE(input.ObjectsLoaded() - before, 3);
}

TEST(PDFInput, newestCrossReferenceSectionWins) {
  PdfBuilder pdf = ThreePageTree();
  pdf.Obj(9, "(old nine)").Obj(10, "(old ten)").Xref("/Size 11 /Root 1 0 R");
  // The update frees 9 and replaces 10.
  pdf.Free(9).Obj(10, "(new ten)").Xref("/Size 11 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  EXPECT_EQ(input.GetObj(9), nullptr);
  ASSERT_NE(input.GetObj(10), nullptr);
  EXPECT_TRUE(input.GetObj(10)->Root()->IsText("(new ten)"));
  EXPECT_EQ(input.PageCount(), 3);
}

TEST(PDFInput, openFailuresGiveTheirCodes) {
  std::string good = ThreePageTree().Bytes();
  std::string noRoot = PdfBuilder().Obj(1, "<< >>").Xref("/Size 2").Bytes();
  std::string noStartxref = noRoot.substr(0, noRoot.rfind("startxref"));
  std::string zeroStartxref = noStartxref + "startxref\n0\n%%EOF\n";
  std::string pastEnd = noStartxref + "startxref\n99999999\n%%EOF\n";
  std::string badEntry = noRoot;
  badEntry.replace(badEntry.find(" n\r\n"), 4, " x\r\n");
  std::string hugeSubsection = noRoot;
  hugeSubsection.replace(hugeSubsection.find("\n0 2\n"), 5, "\n0 2000000000\n");
  std::string noCatalog = PdfBuilder().Obj(1, "<< /Type /Catalog >>").Xref("/Size 2 /Root 5 0 R").Bytes();
  // Damage a scan cannot mend (no catalog anywhere) keeps the code of the damage.
  struct Case {
    const char* name;
    std::string bytes;
    int32_t code;
  } const cases[] = {
      {"byte order mark", "\xEF\xBB\xBF" + good, kNotPdf},
      {"blank line first", "\n" + good, kNotPdf},
      {"empty", "", kNotPdf},
      {"no /Root", noRoot, kBadTrailer},
      {"no startxref", noStartxref, kBadXref},
      {"startxref 0", zeroStartxref, kBadXref},
      {"startxref past the end", pastEnd, kBadXref},
      {"bad entry letter", badEntry, kBadTrailer},
      {"subsection larger than the file", hugeSubsection, kBadTrailer},
      {"catalog missing", noCatalog, kReadingObject},
  };
  for (const Case& c : cases) {
    PDFInput input;
    EXPECT_FALSE(OpenQuietly(input, c.bytes)) << c.name;
    EXPECT_EQ(input.LastError(), c.code) << c.name;
    EXPECT_EQ(input.State(), PDDocumentBase::kClosed) << c.name;
  }
}

TEST(PDFInput, damagedCrossReferenceDataIsRepaired) {
  std::string good = ThreePageTree().Bytes();
  std::string body = good.substr(0, good.rfind("xref"));
  std::string shifted = good;
  // Every offset of the table a few bytes off: blanks pushed in after the header.
  shifted.insert(9, "   \n");
  std::string badEntry = good;
  badEntry.replace(badEntry.find(" n\r\n"), 4, " x\r\n");
  std::string noTrailer = body;  // neither table nor trailer: the catalog is found by its /Type
  struct Case {
    const char* name;
    std::string bytes;
    int32_t code;
  } const cases[] = {
      {"no startxref", good.substr(0, good.rfind("startxref")), kBadXref},
      {"startxref past the end", good.substr(0, good.rfind("startxref")) + "startxref\n99999999\n%%EOF\n", kBadXref},
      {"bad entry letter", badEntry, kBadTrailer},
      {"offsets shifted", shifted, kBadTrailer},
      {"no table and no trailer", noTrailer, kBadXref},
  };
  for (const Case& c : cases) {
    for (bool memory : {true, false}) {
      PDFInput input;
      std::string messages;
      std::string path = test::OutputPath("reader-repair.damaged");
      if (memory) {
        ASSERT_TRUE(OpenQuietly(input, c.bytes, &messages)) << c.name;
      } else {
        test::WriteFile(path, c.bytes);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(input.Open(path.c_str())) << c.name;
        messages = testing::internal::GetCapturedStderr();
      }
      EXPECT_TRUE(input.WasRepaired()) << c.name;
      EXPECT_NE(messages.find("file repaired"), std::string::npos) << c.name;
      if (!memory) EXPECT_NE(messages.find(path), std::string::npos) << c.name;
      ASSERT_EQ(input.PageCount(), 3) << c.name;
      EXPECT_EQ(input.FindPage(2)->Number(), 6) << c.name;
      EXPECT_EQ(input.MediaBox(input.FindPage(2))[2], 595.5) << c.name;
      // The repair is recorded with the code of the damage that caused it.
      bool recorded = false;
      for (const Diagnostic& record : input.Diagnostics().Records())
        recorded = recorded || (record.code == c.code && record.text.find("file repaired") == 0);
      EXPECT_TRUE(recorded) << c.name;
    }
  }
}

TEST(PDFInput, manyObjectsWithoutATableAreFound) {
  // Twenty thousand pages and no table at all: the scan finds every one.
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  const int pages = 20000;
  for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
  pdf.Obj(2, "<< /Type /Pages /Count " + std::to_string(pages) + " /Kids [" + kids + "] >>");
  for (int i = 0; i < pages; ++i) pdf.Obj(3 + i, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >>");
  std::string bytes = pdf.Bytes();
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, bytes));
  EXPECT_TRUE(input.WasRepaired());
  EXPECT_EQ(input.PageCount(), pages);
  ASSERT_NE(input.FindPage(pages - 1), nullptr);
  EXPECT_EQ(input.FindPage(pages - 1)->Number(), pages + 2);
}

TEST(PDFInput, diskFileMessagesNameTheFile) {
  // Not named .pdf: every PDF in the test output must pass qpdf --check.
  std::string path = test::OutputPath("reader-no-root.damaged");
  test::WriteFile(path, PdfBuilder().Obj(1, "<< >>").Xref("/Size 2").Bytes());
  PDFInput input;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(input.Open(path.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "could not scan trailer information (" + path + ")\n");
  EXPECT_EQ(input.LastError(), kBadTrailer);

  PDFInput missing;
  EXPECT_FALSE(missing.Open((path + ".none").c_str()));
  EXPECT_EQ(missing.LastError(), ENOENT);
  EXPECT_FALSE(missing.Open(""));
  EXPECT_EQ(missing.LastError(), kParamValue);
}

TEST(PDFInput, diskAndWholeLoadReadTheSame) {
  std::string path = test::OutputPath("reader-three-pages.pdf");
  test::WriteFile(path, ThreePageTree().Bytes());
  for (bool whole : {false, true}) {
    PDFInput input;
    ASSERT_TRUE(input.Open(path.c_str(), whole)) << whole;
    ASSERT_NE(input.FindPage(1), nullptr);
    EXPECT_EQ(input.FindPage(1)->Number(), 5);
    EXPECT_EQ(input.MediaBox(input.FindPage(2))[2], 595.5);
  }
}

TEST(PDFInput, xrefKeywordAfterWhiteSpaceAndTolerantEntries) {
  std::string bytes = ThreePageTree().Bytes();
  size_t xref = bytes.rfind("xref\n0 ");
  std::string offset = std::to_string(xref);
  // startxref points two bytes early, at white space before the keyword.
  bytes.insert(xref, "\r\n");
  size_t sx = bytes.rfind("startxref\n") + 10;
  bytes.replace(sx, bytes.find('\n', sx) - sx, offset);
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, bytes));
  EXPECT_EQ(input.PageCount(), 3);
}

TEST(PDFInput, prevChainThatLoopsStops) {
  PdfBuilder pdf = ThreePageTree();
  std::string bytes = pdf.Bytes();
  long long xref = static_cast<long long>(bytes.rfind("\nxref\n") + 1);
  bytes.replace(bytes.rfind(" >>\nstartxref"), 3, " /Prev " + std::to_string(xref) + " >>");
  PDFInput input;
  std::string messages;
  ASSERT_TRUE(OpenQuietly(input, bytes, &messages));
  EXPECT_NE(messages.find("cross-reference chain returns to offset"), std::string::npos);
  EXPECT_EQ(input.PageCount(), 3);
}

TEST(PDFInput, hostileSizesAndOffsets) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2000000000 >>")
      .Obj(3, "<< /Type /Page /Parent 2 0 R >>")
      .Obj(4, "<< /Type /Page /Parent 2 0 R >>")
      .Xref("/Size 2000000000 /Root 1 0 R");
  std::string bytes = pdf.Bytes();
  // Object 4 points past the end of the file.
  size_t entry = bytes.rfind(" 00000 n\r\n");
  bytes.replace(entry - 10, 10, "0999999999");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, bytes));
  EXPECT_EQ(input.Size(), 5);
  EXPECT_EQ(input.GetObj(4), nullptr);
  EXPECT_EQ(input.GetObj(1999999999), nullptr);
  EXPECT_EQ(input.PageCount(), 2000000000);
  EXPECT_NE(input.FindPage(0), nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.FindPage(1), nullptr);
  EXPECT_EQ(input.FindPage(1500000000), nullptr);
  EXPECT_EQ(input.LastError(), kUnexpected);
  EXPECT_TRUE(input.ReadPages());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(input.LastError(), kReadingObject);
  EXPECT_EQ(input.PageNumbers(), (std::vector<int32_t>{3}));
}

TEST(PDFInput, pagesTreeCyclesAreSkipped) {
  struct Case {
    const char* name;
    const char* kidsOfThree;
  } const cases[] = {
      {"kid is the node itself", "[3 0 R 4 0 R]"},
      {"kid is the root further up", "[4 0 R 2 0 R]"},
  };
  for (const Case& c : cases) {
    PdfBuilder pdf;
    pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 5 >>")
        .Obj(3, std::string("<< /Type /Pages /Parent 2 0 R /Count 5 /Kids ") + c.kidsOfThree + " >>")
        .Obj(4, "<< /Type /Page /Parent 3 0 R >>")
        .Xref("/Size 5 /Root 1 0 R");
    PDFInput input;
    ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(input.ReadPages());
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("object id recursion in /Pages object 3\n"), std::string::npos) << c.name;
    EXPECT_EQ(input.PageNumbers(), (std::vector<int32_t>{4})) << c.name;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i) input.FindPage(i);
    testing::internal::GetCapturedStderr();
  }
}

// A kid listed twice is no loop: readers show its page twice, and so does the
// reader here.
TEST(PDFInput, kidListedTwiceIsReadTwice) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 3 >>")
      .Obj(3, "<< /Type /Pages /Parent 2 0 R /Count 3 /Kids [4 0 R 5 0 R 4 0 R] >>")
      .Obj(4, "<< /Type /Page /Parent 3 0 R >>")
      .Obj(5, "<< /Type /Page /Parent 3 0 R >>")
      .Xref("/Size 6 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  ASSERT_TRUE(input.ReadPages());
  EXPECT_EQ(input.PageNumbers(), (std::vector<int32_t>{4, 5, 4}));
  for (int32_t i : {0, 1, 2}) EXPECT_EQ(input.FindPage(i)->Number(), (std::vector<int32_t>{4, 5, 4})[i]);
}

// Page lookup follows the counts of every kid before the one holding the page: an
// empty /Pages node first must not shift the pages by position.
TEST(PDFInput, findPageFollowsTheCountsPastAnEmptyNode) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>")
      .Obj(3, "<< /Type /Pages /Parent 2 0 R /Kids [] /Count 0 >>")
      .Obj(4, "<< /Type /Page /Parent 2 0 R >>")
      .Obj(5, "<< /Type /Pages /Parent 2 0 R /Kids [6 0 R 7 0 R] /Count 2 >>")
      .Obj(6, "<< /Type /Page /Parent 5 0 R >>")
      .Obj(7, "<< /Type /Page /Parent 5 0 R >>")
      .Xref("/Size 8 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  std::vector<int32_t> found;
  for (int32_t i = 0; i < 3; ++i) found.push_back(input.FindPage(i) ? input.FindPage(i)->Number() : 0);
  EXPECT_EQ(found, (std::vector<int32_t>{4, 6, 7}));
  EXPECT_EQ(input.FindPage(3), nullptr);
}

// A root /Count that lies: lookups and the page total go by the pages the tree holds.
TEST(PDFInput, lyingRootCountGivesThePagesTheTreeHolds) {
  for (const char* count : {"1000000000", "0", "-3"}) {
    PdfBuilder pdf;
    pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Obj(2, std::string("<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count ") + count + " >>")
        .Obj(3, "<< /Type /Page /Parent 2 0 R >>")
        .Obj(4, "<< /Type /Page /Parent 2 0 R >>")
        .Obj(5, "<< /Type /Page /Parent 2 0 R >>")
        .Xref("/Size 6 /Root 1 0 R");
    PDFInput input;
    ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
    testing::internal::CaptureStderr();
    EXPECT_EQ(input.PagesHeld(), 3) << count;
    for (int32_t i = 0; i < 3; ++i) EXPECT_NE(input.FindPage(i), nullptr) << count << " page " << i;
    EXPECT_EQ(input.FindPage(3), nullptr) << count;
    testing::internal::GetCapturedStderr();
  }
}

// A page without a usable media box reads as US Letter, with a warning.
TEST(PDFInput, unusableMediaBoxGivesLetter) {
  for (const char* box : {"", "/MediaBox [0 0 200]", "/MediaBox [(0) (0) (200) (300)]", "/MediaBox [0 0 0 0]",
                          "/MediaBox /Letter", "/MediaBox 9 0 R"}) {
    PdfBuilder pdf;
    pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
        .Obj(3, std::string("<< /Type /Page /Parent 2 0 R ") + box + " >>")
        .Xref("/Size 4 /Root 1 0 R");
    PDFInput input;
    ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
    testing::internal::CaptureStderr();
    EXPECT_EQ(input.MediaBox(input.FindPage(0)), (PDBox{0, 0, 612, 792})) << box;
    EXPECT_EQ(input.VisibleBox(input.FindPage(0)), (PDBox{0, 0, 612, 792})) << box;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("US Letter assumed"), std::string::npos) << box;
  }
}

// Every reader path with each line end: comments, the end of line after "stream"
// (also with a blank before it), "startxref", the xref keyword and entry lines.
TEST(PDFInput, lineEndsOfEveryKindAreRead) {
  const std::string data = "0 0 m\n10 10 l S";  // bytes of the stream, kept exactly
  for (const std::string eol : {"\n", "\r", "\r\n"}) {
    for (const std::string afterStream : {std::string(""), std::string(" ")}) {
      std::string pdf = "%PDF-1.4" + eol + "%\xE2\xE3\xCF\xD3" + eol;
      std::vector<size_t> offsets;
      auto obj = [&](const std::string& body) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj" + eol + "% a comment" + eol + body + eol + "endobj" + eol;
      };
      obj("<< /Type /Catalog /Pages 2 0 R >>");
      obj("<< /Type /Pages % comment inside" + eol + "/Kids [3 0 R] /Count 1 >>");
      obj("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R >>");
      obj("<< /Length " + std::to_string(data.size()) + " >>" + eol + "stream" + afterStream + eol + data + eol + "endstream");
      size_t xref = pdf.size();
      // Entry lines are 20 bytes: a blank before a one-byte line end.
      std::string entryEnd = eol.size() == 2 ? eol : " " + eol;
      pdf += "xref" + eol + "0 5" + eol + "0000000000 65535 f" + entryEnd;
      char line[32];
      for (size_t offset : offsets) {
        std::snprintf(line, sizeof line, "%010zu 00000 n", offset);
        pdf += line + entryEnd;
      }
      pdf += "trailer" + eol + "<< /Size 5 /Root 1 0 R >>" + eol + "startxref" + eol + std::to_string(xref) + eol +
             "%%EOF" + eol;
      std::string what = (eol == "\n" ? "LF" : eol == "\r" ? "CR" : "CRLF") + std::string(afterStream.empty() ? "" : " blank");
      PDFInput input;
      std::string messages;
      ASSERT_TRUE(OpenQuietly(input, pdf, &messages)) << what << messages;
      EXPECT_EQ(messages, "") << what;
      ASSERT_EQ(input.PageCount(), 1) << what;
      PDObject* page = input.FindPage(0);
      ASSERT_NE(page, nullptr) << what;
      EXPECT_EQ(input.MediaBox(page), (PDBox{0, 0, 100, 100})) << what;
      ByteString content;
      ASSERT_TRUE(input.StreamData(4, content)) << what;
      EXPECT_EQ(std::string(content.data(), static_cast<size_t>(content.length())), data) << what;
    }
  }
}

TEST(PDFInput, deepPagesTreeStopsAtTheDepthLimit) {
  PdfBuilder pdf;
  const int depth = 3000;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>");
  for (int n = 2; n < depth; ++n)
    pdf.Obj(n, "<< /Type /Pages /Count 1 /Kids [" + std::to_string(n + 1) + " 0 R] >>");
  pdf.Obj(depth, "<< /Type /Page >>").Xref("/Size " + std::to_string(depth + 1) + " /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.FindPage(0), nullptr);
  EXPECT_TRUE(input.ReadPages());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("pages tree deeper than"), std::string::npos);
  EXPECT_EQ(input.LastError(), kUnexpected);
}

TEST(PDFInput, kidsByReferenceAndIndirectCount) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids 3 0 R /Count 6 0 R >>")
      .Obj(3, "[4 0 R 5 0 R]")
      .Obj(4, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 200] >>")
      .Obj(5, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 400] >>")
      .Obj(6, "2")
      .Xref("/Size 7 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  EXPECT_EQ(input.PageCount(), 2);
  ASSERT_NE(input.FindPage(1), nullptr);
  EXPECT_EQ(input.FindPage(1)->Number(), 5);
  ASSERT_TRUE(input.ReadPages());
  EXPECT_EQ(input.PageNumbers(), (std::vector<int32_t>{4, 5}));
}

TEST(PDFInput, rotationMustBeAnInteger) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /Rotate 90.0 /MediaBox [0 0 5] >>")
      .Obj(3, "<< /Type /Page /Parent 2 0 R >>")
      .Xref("/Size 4 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.Rotation(input.FindPage(0)), 0);
  // Three numbers are no box: the page reads as US Letter.
  EXPECT_EQ(input.MediaBox(input.FindPage(0)), (PDBox{0, 0, 612, 792}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "unexpected value for /Rotate attribute\nMediaBox: 4 values expected\n"
            "page without a usable /MediaBox: US Letter assumed\n");
}

TEST(PDFInput, indirectLengthStreamAndTrailerEntries) {
  std::string data(120, 'd');
  PdfBuilder pdf = ThreePageTree();
  pdf.Obj(8, "120")
      .Obj(9, "<< /Length 8 0 R >>\nstream\n" + data + "\nendstream")
      .Obj(10, "<< /Producer (me) >>")
      .Xref("/Size 11 /Root 1 0 R /Info 10 0 R /ID [<0102> (ab)]");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  ByteString bytes;
  ASSERT_TRUE(input.StreamData(9, bytes));
  EXPECT_EQ(bytes.str(), data);
  ASSERT_NE(input.Info(), nullptr);
  EXPECT_TRUE(input.Info()->Dict()->Find("/Producer")->IsText("(me)"));
  EXPECT_EQ(input.FileIdentifier(0).str(), std::string("\x01\x02", 2));
  EXPECT_EQ(input.FileIdentifier(1).str(), "ab");
  // An object without data gives no bytes.
  EXPECT_TRUE(input.StreamData(1, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(PDFInput, headerOnlyObjectsStillGiveTheirData) {
  PdfBuilder pdf = ThreePageTree();
  pdf.Obj(9, "<< /Length 3 >>\nstream\nabc\nendstream").Xref("/Size 10 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  input.SetHeaderOnly(true);
  ASSERT_NE(input.GetObj(9), nullptr);
  EXPECT_FALSE(input.GetObj(9)->Root()->HasStream());
  ByteString bytes;
  ASSERT_TRUE(input.StreamData(9, bytes));
  EXPECT_EQ(bytes.str(), "abc");
}

TEST(PDFInput, encryptedFileOpensButItsDataIsRefused) {
  PdfBuilder pdf = ThreePageTree();
  pdf.Obj(9, "<< /Filter /Standard /V 1 >>")
      .Obj(10, "<< /Length 3 >>\nstream\nabc\nendstream")
      .Xref("/Size 11 /Root 1 0 R /Encrypt 9 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  EXPECT_TRUE(input.IsEncrypted());
  ByteString bytes;
  EXPECT_FALSE(input.StreamData(10, bytes));
  EXPECT_EQ(input.LastError(), kEncrypted);
}

TEST(PDFInput, crossReferenceStreamWithoutEntriesIsRepaired) {
  // Once refused; now read, and since its stream lists nothing, the objects are
  // found by scanning the file.
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>").Obj(2, "<< /Type /Pages /Kids [] /Count 0 >>");
  long long at = pdf.Offset();
  pdf.Raw("3 0 obj\n<< /Type /XRef /Size 4 /W [1 2 1] /Root 1 0 R /Length 0 >>\nstream\n\nendstream\nendobj\n");
  pdf.Raw("startxref\n" + std::to_string(at) + "\n%%EOF\n");
  PDFInput input;
  std::string messages;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes(), &messages)) << messages;
  EXPECT_TRUE(input.UsesXrefStreams());
  EXPECT_TRUE(input.WasRepaired());
  EXPECT_NE(messages.find("file repaired"), std::string::npos);
  EXPECT_EQ(input.PageCount(), 0);
}

TEST(PDFInput, objectWithAnotherNumberIsRejected) {
  std::string bytes = ThreePageTree().Bytes();
  bytes.replace(bytes.find("7 0 obj"), 7, "8 0 obj");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, bytes));
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.GetObj(7), nullptr);
  // The wrong object makes the reader rebuild the table once; 7 is still not there.
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed.find("Read failed for id 7\nfound 8\n"), 0u) << printed;
  EXPECT_NE(printed.find("file repaired"), std::string::npos) << printed;
  EXPECT_TRUE(input.WasRepaired());

  // The same messages are recorded by the input with the object and where it lies.
  const auto& records = input.Diagnostics().Records();
  ASSERT_GE(records.size(), 2u);
  Diagnostic found;
  for (const Diagnostic& record : records)
    if (record.text == "found 8\n") found = record;
  EXPECT_EQ(found.text, "found 8\n");
  EXPECT_EQ(found.object, 7);
  EXPECT_EQ(found.offset, static_cast<int64_t>(bytes.find("8 0 obj")));
  input.Diagnostics().SetEcho(false);
  input.Diagnostics().Clear();
  testing::internal::CaptureStderr();
  EXPECT_EQ(input.GetObj(7), nullptr);
  EXPECT_TRUE(testing::internal::GetCapturedStderr().empty()) << "an unreadable object is not read again";
}

TEST(PDFInput, releaseAndAddObjects) {
  PdfBuilder pdf = ThreePageTree();
  pdf.Obj(9, "<< /A 10 0 R >>").Obj(10, "<< /B 9 0 R /C 2 0 R >>").Xref("/Size 11 /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(OpenQuietly(input, pdf.Bytes()));
  PDObject* nine = input.GetObj(9);
  PDObject* root = input.GetObj(2);
  ASSERT_NE(input.GetObj(10), nullptr);
  // A deep release follows references (here a cycle) but keeps page-tree nodes.
  input.ReleaseObj(nine, true);
  EXPECT_EQ(input.GetObj(2), root);
  int64_t loads = input.ObjectsLoaded();
  EXPECT_NE(input.GetObj(10), nullptr);
  EXPECT_EQ(input.ObjectsLoaded(), loads + 1);

  PDValue stray(PDKind::Dictionary);
  PDObject foreign(PDValue::MakeDict(), 10);
  testing::internal::CaptureStderr();
  input.ReleaseObj(&foreign);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PDFInput::ReleaseObj - wrong object\n");

  int32_t added = input.AddObject(PDValue::MakeInt(5));
  EXPECT_EQ(added, input.Size());
  EXPECT_EQ(input.GetObj(added)->Root()->Number(), 5);
  EXPECT_EQ(input.AddObject(PDValue::MakeInt(6)), added + 1);

  input.ReleasePageTreeNodes();
  EXPECT_NE(input.GetObj(2), nullptr);
  input.Close();
  EXPECT_EQ(input.State(), PDDocumentBase::kClosed);
  EXPECT_EQ(input.GetObj(2), nullptr);
}

}  // namespace
}  // namespace folian

namespace folian {
namespace {

// Every page of a flat tree asked for in turn is the right one and each kid is
// read once (the speed of this is measured by bench/large/run.sh).
TEST(PDFInput, everyPageOfAFlatTreeInTurnIsFoundAndReadOnce) {
  const int pages = 300;
  test::PdfBuilder pdf;
  std::string kids;
  for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
      .Obj(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " /MediaBox [0 0 612 792] >>");
  for (int i = 0; i < pages; ++i) pdf.Obj(3 + i, "<< /Type /Page /Parent 2 0 R /Rotate " + std::to_string(i % 4 * 90) + " >>");
  pdf.Xref("/Size " + std::to_string(3 + pages) + " /Root 1 0 R");
  PDFInput input;
  ASSERT_TRUE(input.OpenMemory(pdf.Bytes().data(), pdf.Bytes().size()));
  for (int i = 0; i < pages; ++i) {
    PDObject* page = input.FindPage(i);
    ASSERT_NE(page, nullptr) << i;
    EXPECT_EQ(page->Number(), 3 + i);
    EXPECT_EQ(input.Rotation(page), i % 4 * 90);
  }
  EXPECT_LE(input.ObjectsLoaded(), pages + 3);
}

}  // namespace
}  // namespace folian

namespace folian {
namespace {

// An indirect /Length in each form a writer may give it. The data holds the
// keyword "endstream" itself, so only a length read right gives the whole of it;
// a length that is no integer leaves the data to the keyword search.
TEST(PDFInput, indirectLengthsInEveryFormAreReadAsTheParserReadsThem) {
  const std::string data = "ab\nendstream\ncd";
  const std::string size = std::to_string(data.size());
  const struct {
    std::string body;
    bool whole;
  } forms[] = {
      {size, true},           {"  " + size + "  ", true}, {"+" + size, true},   {"% note\n" + size, true},
      {size + ".0", false},   {"7 0 R", false},            {"-" + size, false},  {"", false},
      {"99999999999999", false},
  };
  for (const auto& form : forms) {
    PdfBuilder pdf;
    pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R >>")
        .Obj(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
        .Obj(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 4 0 R >>")
        .Obj(4, "<< /Length 5 0 R >>\nstream\n" + data + "\nendstream")
        .Obj(5, form.body)
        .Obj(7, "12")
        .Xref("/Size 8 /Root 1 0 R");
    PDFInput input;
    ASSERT_TRUE(OpenQuietly(input, pdf.Bytes())) << form.body;
    testing::internal::CaptureStderr();
    PDObject* stream = input.GetObj(4);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(stream && stream->Root() && stream->Root()->HasStream()) << form.body;
    const std::vector<char>& bytes = stream->Root()->StreamBytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), form.whole ? data : "ab\n") << "length object: " << form.body;
  }
}

}  // namespace
}  // namespace folian
