// Bookmarks, links and named destinations of the output document: the exact
// text written for the cases readers are fussy about, and hostile inputs whose
// outlines and name trees loop, nest too deep or point nowhere.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "pdf/PdfBuilder.h"
#include "pdf/PdfScan.h"
#include "pdf/base/Status.h"
#include "pdf/doc/PDOutDoc.h"

using namespace folian;
using namespace folian::test;

namespace {

void DrawPages(PDOutDoc& doc, int pages) {
  for (int i = 0; i < pages; ++i) {
    doc.Content().Append("0 0 m 100 100 l S\n");
    ASSERT_TRUE(doc.NewPage());
  }
}

// Closes the document and returns the file's bytes, kept in test-output/NAME.
std::string Finish(PDOutDoc& doc) {
  EXPECT_TRUE(doc.Close()) << doc.LastError();
  return ReadFile(doc.FileName().c_str());
}

std::string Open(PDOutDoc& doc, const std::string& name) {
  std::string path = OutputPath(name);
  EXPECT_TRUE(doc.OpenFile(path.c_str()));
  return path;
}

// The text of the object that contains `needle`.
std::string ObjectWith(const std::string& pdf, const std::string& needle) {
  for (const auto& [number, text] : ObjectsByXref(pdf))
    if (text.find(needle) != std::string::npos) return text;
  return {};
}

bool QpdfPasses(const std::string& path, std::string* report) {
  return RunCommand("qpdf --check " + path + " 2>&1", report) == 0;
}

std::string Summary(const std::string& path) {
  std::string out;
  RunCommand("/usr/bin/python3 " FOLIAN_SOURCE_DIR "/tests/pdf/outline/summarize.py " + path, &out);
  return out;
}

}  // namespace

TEST(OutlineWriting, oneBookmarkGivesRootCountOneAndNoDest) {
  PDOutDoc doc;
  Open(doc, "outline-one.pdf");
  DrawPages(doc, 1);
  ASSERT_TRUE(doc.AddBookmark(0, "Only", std::nullopt));
  std::string pdf = Finish(doc);
  std::string root = ObjectWith(pdf, "/Type /Outlines");
  EXPECT_NE(root.find("/Count 1"), std::string::npos) << root;
  std::string item = ObjectWith(pdf, "/Title (Only)");
  EXPECT_NE(item.find("/Parent"), std::string::npos) << item;
  EXPECT_EQ(item.find("/Dest"), std::string::npos) << item;
  EXPECT_EQ(item.find("/Count"), std::string::npos) << item;
  std::string catalog = ObjectWith(pdf, "/Type /Catalog");
  EXPECT_NE(catalog.find("/PageMode /UseOutlines"), std::string::npos) << catalog;
}

TEST(OutlineWriting, parentWithTwoChildrenIsClosedAndWrittenBeforeThem) {
  PDOutDoc doc;
  std::string path = Open(doc, "outline-nested.pdf");
  DrawPages(doc, 3);
  ASSERT_TRUE(doc.AddBookmark(0, "Parent", PDAction::GoTo(0, 0, 0)));
  ASSERT_TRUE(doc.AddBookmark(1, "First child", PDAction::GoTo(1, 0, 0)));
  ASSERT_TRUE(doc.AddBookmark(1, "Second child", PDAction::GoTo(2, 72, 700)));
  std::string pdf = Finish(doc);
  std::string parent = ObjectWith(pdf, "/Title (Parent)");
  EXPECT_NE(parent.find("/Count -2"), std::string::npos) << parent;
  EXPECT_LT(pdf.find("/Title (Parent)"), pdf.find("/Title (First child)"));
  EXPECT_LT(pdf.find("/Title (First child)"), pdf.find("/Title (Second child)"));
  // A GoTo inside the document names its page by reference, with the view.
  std::string second = ObjectWith(pdf, "/Title (Second child)");
  EXPECT_TRUE(std::regex_search(second, std::regex(R"(/D \[ ?\d+ 0 R /XYZ 72 700 null ?\])"))) << second;
  EXPECT_NE(ObjectWith(pdf, "/Type /Outlines").find("/Count 1"), std::string::npos);
  std::string report;
  EXPECT_TRUE(QpdfPasses(path, &report)) << report;
  EXPECT_EQ(Summary(path),
            "outline: Parent -> p1 closed\n"
            "outline:   First child -> p2\n"
            "outline:   Second child -> p3\n");
}

TEST(OutlineWriting, destinationViews) {
  struct Case {
    std::array<float, 4> box;
    const char* text;
  } cases[] = {
      {{0, 0, 0, 0}, "/XYZ null null null"},
      {{0, 500, 0, 0}, "/FitH 500"},
      {{10, 20, 300, 400.5f}, "/FitR 10 20 300 400.5"},
  };
  for (const Case& c : cases) {
    PDOutDoc doc;
    ASSERT_TRUE(doc.OpenMemory());
    DrawPages(doc, 1);
    PDDest dest;
    dest.pageId = doc.PageIdAt(0) + kOutputIdBase;
    dest.box = c.box;
    ASSERT_TRUE(doc.BeginObject(doc.NewObjectId()) && WriteDestArray(doc, dest) && doc.EndObject());
    ASSERT_TRUE(doc.Close());
    std::string pdf(doc.Memory()->Data(), doc.Memory()->Used());
    EXPECT_NE(pdf.find(std::string(c.text) + " ]"), std::string::npos) << c.text;
  }
}

TEST(OutlineWriting, borderCodes) {
  struct Case {
    int32_t code;
    const char* text;
  } cases[] = {
      {0, "/Border [ 0 0 1 ]"},
      {5, "/Border [ 0 0 1 [1 2] ] /C [0 0 1 ]"},
      {2, "/Border [ 0 0 1 ] /C [1 0 0 ]"},
      {21009, "/Border [ 0 0 1 [ 1 2] ] /C [1 0 0 ]"},
      {950, "/Border [ 0 0 1 ] /C [0 0.5 1 ]"},
      {-1, nullptr},
  };
  for (const Case& c : cases) {
    PDOutDoc doc;
    ASSERT_TRUE(doc.OpenMemory());
    PDLink link;
    link.rect = {10, 20, 110, 40};
    link.border = BorderStyle::FromCode(c.code);
    link.action = PDAction::Uri("http://example.com/a(b)c");
    ASSERT_TRUE(doc.AddLink(0, std::move(link)));
    DrawPages(doc, 1);
    ASSERT_TRUE(doc.Close());
    std::string pdf(doc.Memory()->Data(), doc.Memory()->Used());
    std::string annot = ObjectWith(pdf, "/Type /Annot");
    if (c.text)
      EXPECT_NE(annot.find(c.text), std::string::npos) << c.code << "\n" << annot;
    else
      EXPECT_EQ(annot.find("/Border"), std::string::npos) << annot;
    // The address keeps its parentheses, escaped.
    EXPECT_NE(annot.find("/URI (http://example.com/a\\(b\\)c)"), std::string::npos) << annot;
    EXPECT_NE(annot.find("/Rect [ 10 20 110 40 ]"), std::string::npos) << annot;
  }
}

TEST(OutlineWriting, linkOnAWrittenPageIsRefusedAndOneOnAPageNeverMadeIsDropped) {
  PDOutDoc doc;
  std::string path = Open(doc, "outline-link-pages.pdf");
  DrawPages(doc, 1);
  PDLink late;
  late.action = PDAction::GoTo(0, 0, 0);
  EXPECT_FALSE(doc.AddLink(0, late));
  EXPECT_EQ(doc.LastError(), kBadCallingSequence);
  PDLink never;
  never.action = PDAction::GoTo(0, 0, 0);
  EXPECT_TRUE(doc.AddLink(5, never));
  PDLink toNowhere;
  toNowhere.action = PDAction::GoTo(9, 0, 0);
  EXPECT_TRUE(doc.AddLink(1, toNowhere));
  DrawPages(doc, 1);
  Finish(doc);
  std::string report;
  EXPECT_TRUE(QpdfPasses(path, &report)) << report;
  EXPECT_EQ(Summary(path), "link p2 [0 0 0 0] -> none\n");
}

TEST(OutlineWriting, parentBeyondTheBookmarksMadeIsRefused) {
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  ASSERT_TRUE(doc.AddBookmark(0, "one", std::nullopt));
  EXPECT_FALSE(doc.AddBookmark(2, "orphan", std::nullopt));
  EXPECT_EQ(doc.LastError(), kParamValue);
  EXPECT_FALSE(doc.AddBookmark(-1, "orphan", std::nullopt));
  EXPECT_EQ(doc.Outline().ItemCount(), 1);
  DrawPages(doc, 1);
  EXPECT_TRUE(doc.Close());
}

TEST(OutlineWriting, fortyNamesMakeOneLeafFortyOneMakeLeavesOfTwentyAndTwentyOne) {
  struct Case {
    int names;
    std::vector<int> leaves;  // names per leaf; empty for a single leaf
  } cases[] = {{40, {}}, {41, {20, 21}}, {43, {21, 22}}, {60, {20, 20, 20}}};
  for (const Case& c : cases) {
    PDOutDoc doc;
    std::string path = Open(doc, "outline-names-" + std::to_string(c.names) + ".pdf");
    DrawPages(doc, 2);
    for (int i = 0; i < c.names; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "n%03d", i);
      ASSERT_TRUE(doc.AddNamedDest(name, i % 2));
    }
    EXPECT_FALSE(doc.AddNamedDest("n000", 0)) << "a name is given once";
    std::string pdf = Finish(doc);
    std::string catalog = ObjectWith(pdf, "/Type /Catalog");
    int rootNumber = IntAfter(catalog, "/Dests");
    ASSERT_GT(rootNumber, 0) << catalog;
    std::string root = ObjectsByXref(pdf)[rootNumber];
    std::vector<int> kids = KidsOf(root);
    if (c.leaves.empty()) {
      EXPECT_TRUE(kids.empty()) << root;
      EXPECT_NE(root.find("/Limits [ (n000) (n039) ]"), std::string::npos) << root;
    } else {
      ASSERT_EQ(kids.size(), c.leaves.size()) << root;
      for (size_t i = 0; i < kids.size(); ++i) {
        std::string leaf = ObjectsByXref(pdf)[kids[i]];
        EXPECT_EQ(static_cast<int>(std::count(leaf.begin(), leaf.end(), 'R')), c.leaves[i]) << leaf;
      }
    }
    std::string report;
    EXPECT_TRUE(QpdfPasses(path, &report)) << report;
    std::string summary = Summary(path);
    EXPECT_NE(summary.find("name n000 -> p1\nname n001 -> p2\n"), std::string::npos) << summary;
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), c.names) << summary;
  }
}

// ---- hostile inputs ------------------------------------------------------------

namespace {

// Two pages; `extra` adds catalog entries and `objects` the objects they use.
std::string HostileInput(const std::string& catalogExtra, const std::map<int, std::string>& objects) {
  PdfBuilder pdf;
  pdf.Obj(1, "<< /Type /Catalog /Pages 2 0 R " + catalogExtra + " >>")
      .Obj(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 200 200] >>")
      .Obj(3, "<< /Type /Page /Parent 2 0 R /Annots [20 0 R] >>")
      .Obj(4, "<< /Type /Page /Parent 2 0 R >>")
      .Obj(20, "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /Dest (nowhere) >>");
  // An object given again replaces the one above: the cross-reference table
  // lists the last offset.
  for (const auto& [number, body] : objects) pdf.Obj(number, body);
  pdf.Xref("/Size 100 /Root 1 0 R");
  return pdf.Bytes();
}

}  // namespace

TEST(OutlineCarry, hostileOutlinesAndNameTreesEndCleanly) {
  std::string longTitle(100000, 'x');
  std::string deep;  // a name tree nested 10,000 deep (objects 1000 and up)
  std::map<int, std::string> deepObjects;
  for (int i = 0; i < 10000; ++i)
    deepObjects[1000 + i] = i + 1 < 10000 ? "<< /Kids [" + std::to_string(1001 + i) + " 0 R] >>"
                                           : "<< /Names [(deep) [4 0 R /Fit]] >>";
  struct Case {
    const char* name;
    std::string catalog;
    std::map<int, std::string> objects;
    const char* expected;  // the summary of the merged file
  } cases[] = {
      {"next-loop", "/Outlines 10 0 R",
       {{10, "<< /First 11 0 R /Last 12 0 R /Count 2 >>"},
        {11, "<< /Title (a) /Parent 10 0 R /Next 12 0 R /Dest [3 0 R /Fit] >>"},
        {12, "<< /Title (b) /Parent 10 0 R /Next 11 0 R /Dest [4 0 R /Fit] >>"}},
       "outline: a -> p1\noutline: b -> p2\n"},
      {"first-loop-and-lying-count", "/Outlines 10 0 R",
       {{10, "<< /First 11 0 R /Count 999999 >>"},
        {11, "<< /Title (a) /Parent 10 0 R /First 11 0 R /Count 77 /Dest [3 0 R /Fit] >>"}},
       "outline: a -> p1\n"},
      {"dest-on-no-page", "/Outlines 10 0 R /Names << /Dests 30 0 R >>",
       {{10, "<< /First 11 0 R >>"},
        {11, "<< /Title (gone) /Parent 10 0 R /Next 12 0 R /Dest [99 0 R /Fit] >>"},
        {12, "<< /Title (named) /Parent 10 0 R /Dest (second) >>"},
        {30, "<< /Names [(second) [4 0 R /XYZ 0 200 0] (bad) [55 0 R /Fit] (notarray) 5] >>"}},
       "outline: named -> p2\nname second -> p2\n"},
      {"long-title", "/Outlines 10 0 R",
       {{10, "<< /First 11 0 R >>"}, {11, "<< /Title (" + longTitle + ") /Parent 10 0 R /Dest [4 0 R /Fit] >>"}},
       nullptr},
      {"name-tree-loop", "/Names << /Dests 30 0 R >>",
       {{30, "<< /Kids [31 0 R] >>"}, {31, "<< /Kids [30 0 R 31 0 R] /Names [(x) [3 0 R /Fit]] >>"}},
       "name x -> p1\n"},
      {"name-tree-deep", "/Names << /Dests 1000 0 R >>", deepObjects, ""},
      // Actions that lead out of the document come along; one that refers to an
      // object of the input, and a heading with nothing below it, do not.
      {"outward-actions", "/Outlines 10 0 R",
       {{10, "<< /First 11 0 R >>"},
        {11, "<< /Title (web) /Parent 10 0 R /Next 12 0 R /A << /S /URI /URI (http://x/\\(1\\)) >> >>"},
        {12, "<< /Title (remote) /Parent 10 0 R /Next 13 0 R /A << /S /GoToR /F (other.pdf) /D [1 /Fit] >> >>"},
        {13, "<< /Title (program) /Parent 10 0 R /Next 14 0 R /A << /S /Launch /F 50 0 R >> >>"},
        {14, "<< /Title (empty heading) /Parent 10 0 R >>"},
        {50, "<< /Type /Filespec /F (x.exe) >>"}},
       "outline: web -> uri http://x/(1)\noutline: remote -> file other.pdf p2\n"},
      // Older files name their destinations in a catalog dictionary.
      {"old-dests-dictionary", "/Dests 40 0 R",
       {{40, "<< /chap [4 0 R /FitH 150] /lost [77 0 R /Fit] >>"},
        {20, "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /Dest /chap >>"}},
       "link p1 [0 0 10 10] -> p2\nname chap -> p2\n"},
      // A link on page 2 whose explicit destination is an object of its own.
      {"indirect-link-dest", "",
       {{4, "<< /Type /Page /Parent 2 0 R /Annots [21 0 R] >>"},
        {21, "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /Dest 22 0 R >>"},
        {22, "[3 0 R /XYZ 0 100 0]"}},
       "link p2 [0 0 10 10] -> p1\n"},
  };
  for (const Case& c : cases) {
    // Damaged on purpose, so not named .pdf: the run's qpdf check is for files written here.
    std::string input = OutputPath(std::string("hostile-") + c.name + ".input");
    WriteFile(input, HostileInput(c.catalog, c.objects));
    PDOutDoc doc;
    std::string path = Open(doc, std::string("hostile-") + c.name + ".pdf");
    doc.Diagnostics().SetEcho(false);
    ASSERT_TRUE(doc.InputOpen(input.c_str())) << c.name;
    doc.CurrentInput()->Input().Diagnostics().SetEcho(false);
    EXPECT_TRUE(doc.InputCopyPages(1, 2)) << c.name;
    EXPECT_TRUE(doc.InputCopyBookmarks(0)) << c.name;
    Finish(doc);
    std::string report;
    EXPECT_TRUE(QpdfPasses(path, &report)) << c.name << "\n" << report;
    std::string summary = Summary(path);
    EXPECT_EQ(summary.find("dangling"), std::string::npos) << c.name << "\n" << summary;
    // The link to a name no tree gives is taken out of its page.
    if (c.objects.count(20) == 0) {
      EXPECT_EQ(summary.find("link p1"), std::string::npos) << c.name << "\n" << summary;
    }
    if (c.expected) {
      EXPECT_EQ(summary, c.expected) << c.name;
    } else {
      EXPECT_NE(summary.find("outline: xxxxxxxx"), std::string::npos) << c.name;
    }
  }
}
