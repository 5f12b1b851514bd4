#include "pdf/doc/PDOutDoc.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>

#include "pdf/PdfScan.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"

using namespace folian;
using namespace folian::test;

namespace {

// 2026-12-07 10:20:30 UTC; dates are written in local time, so the tests pin TZ.
constexpr std::time_t kFixedTime = 1796638830;

class OutDocTest : public testing::Test {
protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }

  static void DrawPages(PDOutDoc& doc, int pages) {
    for (int i = 0; i < pages; ++i) {
      doc.Content().Append("0 0 m 100 100 l S\n");
      ASSERT_TRUE(doc.NewPage());
    }
  }

  // Writes `pages` pages to test-output/NAME and returns the file's bytes.
  static std::string WriteDocument(const std::string& name, int pages,
                                   const std::function<void(PDOutDoc&)>& prepare = {}) {
    PDOutDoc doc;
    doc.SetFixedClock(kFixedTime);
    doc.SetFixedIdSeed(7);
    EXPECT_TRUE(doc.OpenFile(OutputPath(name).c_str()));
    if (prepare) prepare(doc);
    DrawPages(doc, pages);
    EXPECT_TRUE(doc.Close()) << doc.LastError();
    return ReadFile(OutputPath(name));
  }

  // Walks the pages tree from the catalog; returns the page numbers in order and
  // checks every node's /Count, /Parent and fan-out on the way.
  static std::vector<int> WalkPages(const std::map<int, std::string>& objects, int node, int parent, int depth,
                                    std::vector<int>& fanOuts) {
    std::vector<int> pages;
    const std::string& text = objects.at(node);
    if (text.find("/Type /Page\r\n") == std::string::npos && text.find("/Type /Pages") == std::string::npos) {
      pages.push_back(node);
      EXPECT_NE(text.find("/Parent " + std::to_string(parent) + " 0 R"), std::string::npos) << text;
      return pages;
    }
    if (parent == 0)
      EXPECT_EQ(text.find("/Parent"), std::string::npos) << "the root has no parent";
    else
      EXPECT_NE(text.find("/Parent " + std::to_string(parent) + " 0 R"), std::string::npos) << text;
    std::vector<int> kids = KidsOf(text);
    EXPECT_LE(kids.size(), 6u);
    fanOuts.push_back(static_cast<int>(kids.size()));
    for (int kid : kids) {
      std::vector<int> below = WalkPages(objects, kid, node, depth + 1, fanOuts);
      pages.insert(pages.end(), below.begin(), below.end());
    }
    EXPECT_EQ(IntAfter(text, "/Count"), static_cast<int>(pages.size()));
    return pages;
  }

  static int RootPagesOf(const std::map<int, std::string>& objects) {
    for (const auto& [number, text] : objects)
      if (text.find("/Type /Catalog") != std::string::npos) return IntAfter(text, "/Pages");
    return 0;
  }
};

}  // namespace

TEST_F(OutDocTest, smallDocumentMatchesGoldenBytes) {
  std::string bytes;
  {
    PDOutDoc doc;
    doc.SetFixedClock(kFixedTime);
    doc.SetFixedIdSeed(7);
    ASSERT_TRUE(doc.OpenMemory());
    doc.SetInfo("Golden", nullptr, "", "a(b)");
    doc.Content().Append("0 0 m 100 100 l S\n");
    ASSERT_TRUE(doc.Close());
    bytes.assign(doc.Memory()->Data(), doc.Memory()->Used());
  }
  WriteFile(OutputPath("golden-small.pdf"), bytes);
  std::string golden = ReadFile(std::string(FOLIAN_SOURCE_DIR) + "/tests/pdf/doc/golden/small.pdf");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(FirstDifference(bytes, golden), -1) << "lengths " << bytes.size() << " and " << golden.size();
}

TEST_F(OutDocTest, xrefOffsetsPointAtTheirObjectsAndLinesAreTwentyBytes) {
  std::string pdf = WriteDocument("xref-offsets.pdf", 3);
  size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref\r\n") + 11));
  ASSERT_EQ(pdf.compare(xref, 6, "xref\r\n"), 0);
  size_t first = pdf.find("\r\n", xref + 6) + 2;
  size_t trailer = pdf.find("trailer\r\n", first);
  ASSERT_EQ((trailer - first) % 20, 0u);
  auto objects = ObjectsByXref(pdf);
  for (const auto& [number, text] : objects)
    EXPECT_EQ(text.rfind(std::to_string(number) + " 0 obj\r\n", 0), 0u) << number;
  EXPECT_EQ(pdf.substr(0, 10), "%PDF-1.3\r\n");
  EXPECT_EQ(pdf.substr(pdf.size() - 7), "%%EOF\r\n");
}

TEST_F(OutDocTest, pagesTreeShapesKeepSixKidsPerNode) {
  struct Case {
    int pages;
    std::vector<int> fanOuts;  // depth-first order of /Kids sizes
  };
  const Case cases[] = {
      {1, {1}},
      {6, {6}},
      {7, {2, 6, 1}},
      {37, {2, 6, 6, 6, 6, 6, 6, 6, 1, 1}},  // root, two middle nodes, seven leaves
  };
  for (const Case& c : cases) {
    std::string pdf = WriteDocument("tree-" + std::to_string(c.pages) + ".pdf", c.pages);
    auto objects = ObjectsByXref(pdf);
    int root = RootPagesOf(objects);
    ASSERT_NE(root, 0);
    std::vector<int> fanOuts;
    std::vector<int> pages = WalkPages(objects, root, 0, 0, fanOuts);
    EXPECT_EQ(static_cast<int>(pages.size()), c.pages);
    EXPECT_EQ(fanOuts, c.fanOuts) << c.pages << " pages";
    EXPECT_EQ(IntAfter(objects.at(root), "/Count"), c.pages);
  }
}

TEST_F(OutDocTest, thousandPagesStayInOrderUnderABalancedTree) {
  std::string pdf = WriteDocument("pages-1000.pdf", 1000);
  auto objects = ObjectsByXref(pdf);
  std::vector<int> fanOuts;
  std::vector<int> pages = WalkPages(objects, RootPagesOf(objects), 0, 0, fanOuts);
  ASSERT_EQ(pages.size(), 1000u);
  EXPECT_TRUE(std::is_sorted(pages.begin(), pages.end())) << "pages keep the order they were written in";
  for (int fan : fanOuts) EXPECT_LE(fan, 6);
}

TEST_F(OutDocTest, pdfinfoCountsThePages) {
  for (int pages : {1, 37}) {
    std::string name = "pdfinfo-" + std::to_string(pages) + ".pdf";
    WriteDocument(name, pages);
    std::string out;
    ASSERT_EQ(RunCommand("pdfinfo " + OutputPath(name) + " 2>&1", &out), 0) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("Pages:\\s+" + std::to_string(pages) + "\n"))) << out;
  }
}

TEST_F(OutDocTest, pageSizeInForceWhenThePageEndsIsWritten) {
  std::string pdf = WriteDocument("page-sizes.pdf", 0, [](PDOutDoc& doc) {
    doc.Content().Append("0 0 m 1 1 l S\n");
    doc.SetPageSize(612, 792);
    EXPECT_TRUE(doc.NewPage());
    doc.Content().Append("0 0 m 1 1 l S\n");
    doc.SetPageSize(842, 595);
  });
  EXPECT_NE(pdf.find("/MediaBox [0 0 612 792 ]"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [0 0 842 595 ]"), std::string::npos);
}

TEST_F(OutDocTest, emptyPagesAreNotWrittenAndCountedOnlyWithContent) {
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  EXPECT_EQ(doc.NumPages(), 0);
  doc.Content().Append("0 g\n");
  EXPECT_EQ(doc.NumPages(), 1);
  EXPECT_TRUE(doc.NewPage());
  EXPECT_TRUE(doc.NewPage());
  EXPECT_EQ(doc.NumPages(), 1);
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(doc.PagesRecorded(), 1);
}

TEST_F(OutDocTest, informationEntriesFollowTheCallersRules) {
  std::string pdf = WriteDocument("info.pdf", 1, [](PDOutDoc& doc) {
    doc.SetAttr("Title", "first");
    doc.SetAttr("/Title", "second");
    doc.SetAttr("Creator", "/Named");
    doc.SetAttr("Subject", "(already a string)");
    doc.SetAttr("Keywords", "gone");
    doc.SetAttr("Keywords", nullptr);
    doc.SetAttr("ModDate", "(D:19991231235959)");
  });
  auto objects = ObjectsByXref(pdf);
  std::string info = objects.at(IntAfter(pdf.substr(pdf.rfind("trailer")), "/Info"));
  EXPECT_NE(info.find("/Title (second)"), std::string::npos) << info;
  EXPECT_EQ(info.find("first"), std::string::npos);
  EXPECT_NE(info.find("/Creator /Named"), std::string::npos);
  EXPECT_NE(info.find("/Subject (already a string)"), std::string::npos);
  EXPECT_EQ(info.find("/Keywords"), std::string::npos);
  EXPECT_NE(info.find("/ModDate (D:19991231235959)"), std::string::npos);
  EXPECT_EQ(info.find("D:2026"), std::string::npos) << "no local time when the caller gave a date";
  EXPECT_EQ(info.find("/CreationDate"), std::string::npos);
}

TEST_F(OutDocTest, informationValuesAreRawOnlyWhenOneCompleteToken) {
  struct Case {
    const char* key;
    const char* given;
    const char* written;
  } const cases[] = {
      {"/Title", "(Draft) Report", "/Title (\\(Draft\\) Report)"},
      {"/Subject", "(a (nested) string)", "/Subject (a (nested) string)"},
      {"/Author", "(escaped \\) paren)", "/Author (escaped \\) paren)"},
      {"/Keywords", "(unbalanced", "/Keywords (\\(unbalanced)"},
      {"/Creator", "/Two Names", "/Creator (/Two Names)"},
      {"/Custom", "/One#20Name", "/Custom /One#20Name"},
      {"/Other", "(a) (b)", "/Other (\\(a\\) \\(b\\))"},
  };
  std::string pdf = WriteDocument("info-tokens.pdf", 1, [&](PDOutDoc& doc) {
    for (const Case& c : cases) doc.SetAttr(c.key, c.given);
  });
  auto objects = ObjectsByXref(pdf);
  std::string info = objects.at(IntAfter(pdf.substr(pdf.rfind("trailer")), "/Info"));
  for (const Case& c : cases) EXPECT_NE(info.find(c.written), std::string::npos) << c.given << "\n" << info;
  std::string title;
  RunCommand("pdfinfo " + OutputPath("info-tokens.pdf") + " 2>&1", &title);
  EXPECT_NE(title.find("Title:           (Draft) Report"), std::string::npos) << title;
  EXPECT_EQ(title.find("Syntax Error"), std::string::npos) << title;
}

TEST_F(OutDocTest, producerTextDependsOnTheAttachedInput) {
  auto producerOf = [](const char* inputProducer) {
    PDOutDoc doc;
    EXPECT_TRUE(doc.OpenMemory());
    if (inputProducer) {
      auto info = PDValue::MakeDict();
      info->Dict()->SaveAttrVal("/Producer", PDValue::MakeText(inputProducer));
      doc.SetInputInfo(std::move(info));
    }
    doc.Content().Append("0 g\n");
    EXPECT_TRUE(doc.Close());
    std::string pdf(doc.Memory()->Data(), doc.Memory()->Used());
    size_t at = pdf.find("/Producer ");
    return pdf.substr(at + 10, pdf.find("\r\n", at) - at - 10);
  };
  EXPECT_EQ(producerOf("(Acrobat Distiller 5.0)"), "(PDF Folian)");
  EXPECT_EQ(producerOf("(XYZ)"), "(XYZ / PDF Folian)");
  EXPECT_EQ(producerOf("<58595A>"), "(XYZ / PDF Folian)");
  EXPECT_EQ(producerOf(nullptr), "(PDF Folian)");
}

TEST_F(OutDocTest, callerGivenProducerIsKept) {
  std::string pdf = WriteDocument("producer.pdf", 1, [](PDOutDoc& doc) { doc.SetAttr("Producer", "Mine"); });
  EXPECT_NE(pdf.find("/Producer (Mine)"), std::string::npos);
  EXPECT_EQ(pdf.find("PDF Folian"), std::string::npos);
}

TEST_F(OutDocTest, memoryOutputOfASmallDocumentFitsTheFirstBuffer) {
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  DrawPages(doc, 3);
  ASSERT_TRUE(doc.Close());
  EXPECT_EQ(doc.Memory()->Capacity(), MemorySink::kStep);
  std::string pdf(doc.Memory()->Data(), doc.Memory()->Used());
  WriteFile(OutputPath("memory-output.pdf"), pdf);
  EXPECT_EQ(ObjectsByXref(pdf).size(), 10u);
}

TEST_F(OutDocTest, largeMemoryOutputGrowsAndStaysIntact) {
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  std::string filler(300, 'x');
  for (int i = 0; i < 500; ++i) {
    doc.Content().Append(("% " + filler + "\n0 g\n").c_str());
    EXPECT_TRUE(doc.NewPage());
  }
  ASSERT_TRUE(doc.Close());
  EXPECT_GT(doc.Memory()->Capacity(), MemorySink::kStep);
  std::string pdf(doc.Memory()->Data(), doc.Memory()->Used());
  WriteFile(OutputPath("memory-large.pdf"), pdf);
  EXPECT_EQ(RootPagesOf(ObjectsByXref(pdf)) != 0, true);
}

TEST_F(OutDocTest, unwritablePathGivesTheOperatingSystemError) {
  PDOutDoc doc;
  EXPECT_FALSE(doc.OpenFile("/nonexistent-folder/out.pdf"));
  EXPECT_EQ(doc.LastError(), ENOENT);
  EXPECT_TRUE(doc.Close()) << "closing what never opened writes nothing";
}

TEST_F(OutDocTest, twoDocumentsGetDifferentIdentifiers) {
  PDOutDoc a, b;
  EXPECT_TRUE(a.OpenMemory());
  EXPECT_TRUE(b.OpenMemory());
  EXPECT_NE(std::string(reinterpret_cast<const char*>(a.FileIdentifier()), 16),
            std::string(reinterpret_cast<const char*>(b.FileIdentifier()), 16));
}

TEST_F(OutDocTest, diskFullIsReportedByClose) {
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenFile("/dev/full"));
  DrawPages(doc, 2);
  EXPECT_FALSE(doc.Close()) << "a file that could not be written is not reported as written";
  EXPECT_EQ(doc.LastError(), ENOSPC);
}
