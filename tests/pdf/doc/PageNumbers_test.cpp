// Page numbers on copied pages: the text matrix of each orientation, the "%p"
// and "%%" expansion with the counter advancing per copied page, and the order
// of the streams laid around a page's own content.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "pdf/MiniPdf.h"
#include "pdf/PdfScan.h"
#include "pdf/doc/PDOutDoc.h"

using namespace folian;
using namespace folian::test;

namespace {

// Named after the test: ctest runs the tests of this file in parallel.
std::string TwoPageInput() {
  std::string path =
      OutputPath(std::string("page-numbers-in-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                 ".pdf");
  const std::string content = Stream("", "0 0 m 10 10 l S");
  WriteFile(path, BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                            "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 300 300] >>",
                            "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
                            "<< /Type /Page /Parent 2 0 R /Contents [5 0 R] >>", content}));
  return path;
}

std::string MemoryBytes(PDOutDoc& doc) { return std::string(doc.Memory()->Data(), doc.Memory()->Used()); }

}  // namespace

TEST(PageNumbers, eachOrientationWritesItsMatrix) {
  struct Case {
    int32_t orientation;
    const char* matrix;
  } cases[] = {{0, "1 0 0 1 40 30 Tm"},   {90, "0 -1 1 0 40 30 Tm"}, {270, "0 1 -1 0 40 30 Tm"},
               {-90, "0 1 -1 0 40 30 Tm"}, {180, "-1 0 0 -1 40 30 Tm"}};
  std::string input = TwoPageInput();
  for (const Case& c : cases) {
    PDOutDoc doc;
    ASSERT_TRUE(doc.OpenMemory());
    doc.SetCompress(false);
    ASSERT_EQ(doc.PutPageNumbers(40, 30, "Page %p of 10%% %d", 3, c.orientation), 0);
    ASSERT_TRUE(doc.Merge(input.c_str(), 1, 0));
    ASSERT_TRUE(doc.Close());
    std::string pdf = MemoryBytes(doc);
    EXPECT_NE(pdf.find(c.matrix), std::string::npos) << c.orientation;
    // The counter starts at 3 and advances once per copied page; "%%" is one
    // percent sign and "%d" stays as it is.
    EXPECT_NE(pdf.find("(Page 3 of 10% %d) Tj"), std::string::npos) << c.orientation;
    EXPECT_NE(pdf.find("(Page 4 of 10% %d) Tj"), std::string::npos) << c.orientation;
    EXPECT_NE(pdf.find("0 g BT\n/H1 10 Tf\n"), std::string::npos) << "a font of its own when the header has none";
  }
}

TEST(PageNumbers, unsupportedOrientationLeavesNoNumbering) {
  std::string input = TwoPageInput();
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  doc.SetCompress(false);
  ASSERT_EQ(doc.PutPageNumbers(40, 30, "Page %p", 1, 0), 0);
  EXPECT_EQ(doc.PutPageNumbers(40, 30, "Page %p", 1, 45), 1005);
  EXPECT_EQ(doc.PutPageNumbers(40, 30, nullptr, 1, 0), 1005);
  ASSERT_TRUE(doc.Merge(input.c_str(), 1, 0));
  ASSERT_TRUE(doc.Close());
  EXPECT_EQ(MemoryBytes(doc).find("(Page"), std::string::npos);
}

TEST(PageNumbers, streamsAroundThePageComeInOrder) {
  std::string input = TwoPageInput();
  PDOutDoc doc;
  ASSERT_TRUE(doc.OpenMemory());
  doc.SetCompress(false);
  ASSERT_EQ(doc.Header().SetFont("Courier", 8), 0);
  ASSERT_EQ(doc.Header().PutText("head", 10, 290), 0);
  ASSERT_EQ(doc.PutPageNumbers(10, 5, "%p", 1, 0), 0);
  ASSERT_TRUE(doc.Merge(input.c_str(), 1, 0));
  ASSERT_TRUE(doc.Close());
  std::string pdf = MemoryBytes(doc);
  // Every copied page: save state, its own content, restore, header, number.
  std::regex contents(R"(/Contents \[ ?(\d+) 0 R (\d+) 0 R (\d+) 0 R (\d+) 0 R (\d+) 0 R ?\])");
  std::smatch match;
  int pages = 0;
  std::map<int, std::string> objects = ObjectsByXref(pdf);
  for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), contents); it != std::sregex_iterator(); ++it) {
    ++pages;
    auto body = [&](int k) { return objects[std::stoi((*it)[k])]; };
    EXPECT_NE(body(1).find("stream\r\nq\n"), std::string::npos) << body(1);
    EXPECT_NE(body(2).find("0 0 m 10 10 l S"), std::string::npos) << body(2);
    EXPECT_NE(body(3).find("stream\r\nQ\n"), std::string::npos) << body(3);
    EXPECT_NE(body(4).find("(head) Tj"), std::string::npos) << body(4);
    EXPECT_NE(body(5).find("(" + std::to_string(pages) + ") Tj"), std::string::npos) << body(5);
  }
  EXPECT_EQ(pages, 2);
}
