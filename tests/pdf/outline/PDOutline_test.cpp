// The outline's counts follow what is open and what is closed, not what an input
// claimed.
#include "pdf/outline/PDOutline.h"

#include <gtest/gtest.h>

#include "pdf/PdfScan.h"

using namespace folian;
using namespace folian::test;

TEST(PDOutline, countsFollowOpenAndClosedItems) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  PDOutline outline(file);
  // top (open) > a (closed) > a1, a2; top > b (open) > b1; then a closed top item.
  OutlineItem* top = outline.AddCopied(nullptr, "(top)", true);
  OutlineItem* a = outline.AddCopied(top, "(a)", false);
  outline.AddCopied(a, "(a1)", false);
  outline.AddCopied(a, "(a2)", false);
  OutlineItem* b = outline.AddCopied(top, "(b)", true);
  outline.AddCopied(b, "(b1)", false);
  ASSERT_NE(outline.Add(0, "made", std::nullopt), nullptr);
  ASSERT_NE(outline.Add(1, "made child", std::nullopt), nullptr);
  ASSERT_TRUE(outline.Write([](int32_t) { return 0; }));
  std::string pdf(file.Memory()->Data(), file.Memory()->Used());
  auto countOf = [&](const std::string& title) {
    size_t at = pdf.find("/Title " + title);
    size_t end = pdf.find("endobj", at);
    return IntAfter(pdf.substr(at, end - at), "/Count");
  };
  EXPECT_EQ(countOf("(top)"), 3);  // a, b and b1 show below it; a is closed
  EXPECT_EQ(countOf("(a)"), -2);
  EXPECT_EQ(countOf("(b)"), 1);
  EXPECT_EQ(countOf("(made)"), -1);
  // The root counts what shows: top, a, b, b1, made.
  size_t root = pdf.find("/Type /Outlines");
  EXPECT_EQ(IntAfter(pdf.substr(root, pdf.find("endobj", root) - root), "/Count"), 5);
}

TEST(PDOutline, twoHundredThousandLevelsAreWrittenAndFreedWithoutRecursion) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  {
    PDOutline outline(file);
    constexpr int kDepth = 200000;
    for (int i = 0; i < kDepth; ++i) ASSERT_NE(outline.Add(i, "x", std::nullopt), nullptr);
    ASSERT_TRUE(outline.Write([](int32_t) { return 0; }));
    std::string pdf(file.Memory()->Data(), file.Memory()->Used());
    // The top item counts its one child, closed; the root counts the top item.
    EXPECT_NE(pdf.find("/Count -1"), std::string::npos);
    EXPECT_EQ(IntAfter(pdf.substr(pdf.find("/Type /Outlines")), "/Count"), 1);
  }
}
