// Bookmarks, links and named destinations through the C interface, checked by
// what qpdf reads back (tests/pdf/outline/summarize.py): files made here, and
// files made by reportlab with outlines, internal links and named destinations,
// merged so that everything still points at the right output page.
#include <gtest/gtest.h>

#include <string>

#include "pdf/PdfScan.h"
#include "pdf/api/folian32.h"

using namespace folian::test;

namespace {

bool Have(const char* tool) { return RunCommand(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0; }

bool HaveReportlab() { return RunCommand("/usr/bin/python3 -c 'import reportlab' >/dev/null 2>&1") == 0; }

std::string Summary(const std::string& path) {
  std::string out;
  RunCommand("/usr/bin/python3 " FOLIAN_SOURCE_DIR "/tests/pdf/outline/summarize.py " + path, &out);
  return out;
}

void ExpectQpdfCheck(const std::string& path) {
  std::string report;
  EXPECT_EQ(RunCommand("qpdf --check " + path + " 2>&1", &report), 0) << report;
}

// Makes a reportlab file of `pages` pages whose titles, names and texts carry `tag`.
std::string MakeOutlined(const std::string& tag, int pages) {
  // Named after the test too: ctest runs tests in parallel, and one must not
  // rewrite an input another is reading.
  std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string path = OutputPath("outlined-" + test + "-" + tag + ".pdf");
  EXPECT_EQ(RunCommand("/usr/bin/python3 " FOLIAN_SOURCE_DIR "/tests/pdf/outline/make_outlined.py " + path + " " +
                       std::to_string(pages) + " " + tag),
            0);
  return path;
}

void DrawPage(FLHANDLE doc) {
  ASSERT_EQ(PConDrawOp(PDocGetContentHandle(doc), "0 0 m 100 100 l S"), 0);
  ASSERT_EQ(PDocNewPage(doc), 0);
}

}  // namespace

TEST(OutlineOracle, bookmarksAndLinksMadeThroughTheCInterface) {
  if (!Have("qpdf")) GTEST_SKIP() << "qpdf missing";
  std::string path = OutputPath("outline-capi.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  ASSERT_NE(doc, 0u) << error;
  // Links go on the page being built or a later one.
  EXPECT_EQ(PDocAddWebLink(doc, 1, 72, 700, 100, 20, "http://example.com/q?(a)", 6), 0);
  EXPECT_EQ(PDocAddGoToLink(doc, 1, 72, 600, 100, 20, 3, 0, 500, 21009), 0);
  EXPECT_EQ(PDocAddGoToRLink(doc, 2, 10, 10, 50, 50, "other.pdf", 4, 0, 0, -1), 0);
  DrawPage(doc);
  DrawPage(doc);
  DrawPage(doc);
  EXPECT_EQ(PDocAddGoToBookmark(doc, 0, "Cover", 1, 0, 0), 0);
  EXPECT_EQ(PDocAddNullBookmark(doc, 0, "Claims"), 0);
  EXPECT_EQ(PDocAddGoToBookmark(doc, 2, "Claim 1", 2, 0, 700), 0);
  EXPECT_EQ(PDocAddGoToBookmark(doc, 2, "Claim 2", 3, 0, 0), 0);
  EXPECT_EQ(PDocAddWebBookmark(doc, 3, "Register", "http://example.com/(reg)"), 0);
  EXPECT_EQ(PDocAddGoToRBookmark(doc, 0, "Family", "family.pdf", 2, 0, 0), 0);
  EXPECT_EQ(PDocAddOpenFileBookmark(doc, 0, "Drawings", "drawings.tif"), 0);

  struct Refused {
    int32_t code;
    int32_t expected;
  } refused[] = {
      {PDocAddNullBookmark(doc, 0, nullptr), FL_ERR_PARAM_VALUE},
      {PDocAddNullBookmark(doc, 99, "no such parent"), FL_ERR_PARAM_VALUE},
      {PDocAddWebBookmark(doc, 0, "no address", nullptr), FL_ERR_PARAM_VALUE},
      {PDocAddGoToBookmark(doc, 0, "page 0", 0, 0, 0), FL_ERR_PARAM_VALUE},
      {PDocAddGoToRBookmark(doc, 0, "no file", "", 1, 0, 0), FL_ERR_PARAM_VALUE},
      {PDocAddOpenFileBookmark(doc, 0, "no file", nullptr), FL_ERR_PARAM_VALUE},
      {PDocAddWebLink(doc, 4, 0, 0, 1, 1, nullptr, 0), FL_ERR_PARAM_VALUE},
      {PDocAddGoToLink(doc, 0, 0, 0, 1, 1, 1, 0, 0, 0), FL_ERR_PARAM_VALUE},
      {PDocAddGoToLink(doc, 1, 0, 0, 1, 1, 1, 0, 0, 0), FL_ERR_BAD_CALLING_SEQUENCE},
      {PDocAddGoToRLink(doc, 4, 0, 0, 1, 1, nullptr, 1, 0, 0, 0), FL_ERR_PARAM_VALUE},
      {PDocInputCopyBookmarks(doc, 0), FL_ERR_BAD_CALLING_SEQUENCE},
      {PDocAddNullBookmark(0, 0, "no document"), FL_ERR_MISSING_HANDLE},
  };
  for (size_t i = 0; i < sizeof refused / sizeof refused[0]; ++i)
    EXPECT_EQ(refused[i].code, refused[i].expected) << "case " << i;
  ASSERT_EQ(PDocRelease(doc), 0);

  ExpectQpdfCheck(path);
  EXPECT_EQ(Summary(path),
            "outline: Cover -> p1\n"
            "outline: Claims -> none closed\n"
            "outline:   Claim 1 -> p2 closed\n"
            "outline:     Register -> uri http://example.com/(reg)\n"
            "outline:   Claim 2 -> p3\n"
            "outline: Family -> file family.pdf p2\n"
            "outline: Drawings -> launch drawings.tif\n"
            "link p1 [72 700 172 720] -> uri http://example.com/q?(a)\n"
            "link p1 [72 600 172 620] -> p3\n"
            "link p2 [10 10 60 60] -> file other.pdf p4\n");
}

TEST(OutlineOracle, mergingKeepsLinksAndNamedDestinationsOnTheirPages) {
  if (!Have("qpdf") || !HaveReportlab()) GTEST_SKIP() << "qpdf or reportlab missing";
  std::string a = MakeOutlined("A", 4);
  std::string b = MakeOutlined("B", 3);
  std::string path = OutputPath("outline-merged.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  ASSERT_NE(doc, 0u) << error;
  ASSERT_EQ(PDocMerge(doc, a.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocMerge(doc, b.c_str(), 1, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectQpdfCheck(path);
  EXPECT_EQ(Summary(path),
            "link p1 [72 600 200 620] -> p4\n"
            "link p1 [72 500 200 520] -> p2\n"
            "link p5 [72 600 200 620] -> p7\n"
            "link p5 [72 500 200 520] -> p6\n"
            "name Ap1 -> p1\nname Ap2 -> p2\nname Ap3 -> p3\nname Ap4 -> p4\n"
            "name Bp1 -> p5\nname Bp2 -> p6\nname Bp3 -> p7\n");
}

TEST(OutlineOracle, copiedBookmarksFollowTheirPagesAndTargetsLeftBehindAreDropped) {
  if (!Have("qpdf") || !HaveReportlab()) GTEST_SKIP() << "qpdf or reportlab missing";
  std::string a = MakeOutlined("A", 4);
  struct Case {
    const char* name;
    int16_t first, last;
    const char* expected;
  } cases[] = {
      {"all", 1, 4,
       "outline: A chapter 1 -> p1 closed\n"
       "outline:   A chapter 2 -> p2\n"
       "outline: A chapter 3 -> p3 open\n"
       "outline:   A chapter 4 -> p4\n"
       "link p1 [72 600 200 620] -> p4\n"
       "link p1 [72 500 200 520] -> p2\n"
       "name Ap1 -> p1\nname Ap2 -> p2\nname Ap3 -> p3\nname Ap4 -> p4\n"},
      // Pages 2 and 3: chapter 1 is left out and its child takes its place; the
      // links of page 1 stay behind with it.
      {"middle", 2, 3,
       "outline: A chapter 2 -> p1\n"
       "outline: A chapter 3 -> p2\n"
       "name Ap2 -> p1\nname Ap3 -> p2\n"},
      // Pages 1 and 2: the link to page 4 goes, the named link to page 2 stays.
      {"front", 1, 2,
       "outline: A chapter 1 -> p1 closed\n"
       "outline:   A chapter 2 -> p2\n"
       "link p1 [72 500 200 520] -> p2\n"
       "name Ap1 -> p1\nname Ap2 -> p2\n"},
  };
  for (const Case& c : cases) {
    std::string path = OutputPath(std::string("outline-range-") + c.name + ".pdf");
    int32_t error = 0;
    FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
    ASSERT_NE(doc, 0u) << error;
    ASSERT_EQ(PDocInputOpen(doc, a.c_str()), 0);
    ASSERT_EQ(PDocInputCopyPages(doc, c.first, c.last), 0);
    ASSERT_EQ(PDocInputCopyBookmarks(doc, 0), 0);
    ASSERT_EQ(PDocRelease(doc), 0);
    ExpectQpdfCheck(path);
    EXPECT_EQ(Summary(path), c.expected) << c.name;
  }
}

TEST(OutlineOracle, twoRangesOfOneInputKeepLinksBetweenThem) {
  if (!Have("qpdf") || !HaveReportlab()) GTEST_SKIP() << "qpdf or reportlab missing";
  std::string a = MakeOutlined("A", 4);
  std::string path = OutputPath("outline-two-ranges.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  ASSERT_NE(doc, 0u) << error;
  ASSERT_EQ(PDocInputOpen(doc, a.c_str()), 0);
  // Page 4 first, then pages 1 and 2: the link on page 1 to page 4 finds it.
  ASSERT_EQ(PDocInputCopyPages(doc, 4, 4), 0);
  ASSERT_EQ(PDocInputCopyPages(doc, 1, 2), 0);
  ASSERT_EQ(PDocInputCopyBookmarks(doc, 0), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectQpdfCheck(path);
  EXPECT_EQ(Summary(path),
            "outline: A chapter 1 -> p2 closed\n"
            "outline:   A chapter 2 -> p3\n"
            "outline: A chapter 4 -> p1\n"
            "link p2 [72 600 200 620] -> p1\n"
            "link p2 [72 500 200 520] -> p3\n"
            "name Ap1 -> p2\nname Ap2 -> p3\nname Ap4 -> p1\n");
}

// Links made for pages that are then filled by copying: a page with links of its
// own keeps them (less the one whose target is not copied) and gets the new one
// beside them; none is dropped at close.
TEST(OutlineOracle, linksMadeAheadLandOnCopiedPages) {
  if (!Have("qpdf") || !HaveReportlab()) GTEST_SKIP() << "qpdf or reportlab missing";
  std::string a = MakeOutlined("A", 4);
  std::string path = OutputPath("outline-links-ahead.pdf");
  int32_t error = 0;
  FLHANDLE doc = PDocNew(path.c_str(), 0, 0, &error);
  ASSERT_NE(doc, 0u) << error;
  DrawPage(doc);
  EXPECT_EQ(PDocAddWebLink(doc, 2, 10, 10, 50, 20, "http://example.com/two", 0), 0);
  EXPECT_EQ(PDocAddGoToLink(doc, 3, 10, 40, 50, 20, 1, 0, 0, 0), 0);
  EXPECT_EQ(PDocAddWebLink(doc, 3, 10, 70, 50, 20, "http://example.com/three", 0), 0);
  ASSERT_EQ(PDocMerge(doc, a.c_str(), 1, 3), 0);
  ASSERT_EQ(PDocRelease(doc), 0);
  ExpectQpdfCheck(path);
  EXPECT_EQ(Summary(path),
            "link p2 [72 500 200 520] -> p3\n"
            "link p2 [10 10 60 30] -> uri http://example.com/two\n"
            "link p3 [10 40 60 60] -> p1\n"
            "link p3 [10 70 60 90] -> uri http://example.com/three\n"
            "name Ap1 -> p2\nname Ap2 -> p3\nname Ap3 -> p4\n");
}
