// The name tree shares its names out without losing or repeating any, whatever
// the count.
#include "pdf/outline/PDNameTree.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "pdf/PdfScan.h"

using namespace folian;
using namespace folian::test;

namespace {

std::string Written(PDFile& file) { return std::string(file.Memory()->Data(), file.Memory()->Used()); }

// Adds `pages` one-object pages so that destinations have something to name.
std::vector<int32_t> MakePages(PDFile& file, int pages) {
  std::vector<int32_t> ids;
  for (int i = 0; i < pages; ++i) {
    int32_t id = file.NewObjectId();
    EXPECT_TRUE(file.BeginObject(id) && file.WriteToken("<< >>") && file.EndObject());
    ids.push_back(id);
  }
  return ids;
}

}  // namespace

TEST(PDNameTree, everyNameIsWrittenOnceForAnyCount) {
  for (int count : {1, 2, 39, 40, 41, 42, 43, 59, 60, 61, 99, 100, 199, 257}) {
    PDFile file;
    ASSERT_TRUE(file.OpenMemory());
    std::vector<int32_t> pages = MakePages(file, 1);
    PDNameTree tree;
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "d%04d", i);
      ASSERT_TRUE(tree.Add(name, PDDest(pages[0], PDValue::MakeArray())));
    }
    int32_t root = 0;
    ASSERT_TRUE(tree.Write(file, [&](int32_t) { return pages[0]; }, root));
    ASSERT_NE(root, 0);
    std::string pdf = Written(file);
    std::regex pair(R"(\(d(\d{4})\)\s+\d+ 0 R)");
    std::multiset<int> seen;
    for (std::sregex_iterator it(pdf.begin(), pdf.end(), pair), end; it != end; ++it) seen.insert(std::stoi((*it)[1]));
    ASSERT_EQ(static_cast<int>(seen.size()), count) << count;
    for (int i = 0; i < count; ++i) EXPECT_EQ(seen.count(i), 1u) << count << " name " << i;
    size_t leaves = 0;
    for (size_t at = 0; (at = pdf.find("/Limits", at)) != std::string::npos; ++at) ++leaves;
    EXPECT_EQ(leaves, count <= 40 ? 1u : static_cast<size_t>(count / 20)) << count;
  }
}

TEST(PDNameTree, nameWithoutAPageIsLeftOut) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  PDNameTree tree;
  ASSERT_TRUE(tree.AddOnPage("far", 7));
  int32_t root = -1;
  ASSERT_TRUE(tree.Write(file, [](int32_t) { return 0; }, root));
  EXPECT_EQ(root, 0);
  EXPECT_EQ(Written(file).find("far"), std::string::npos);
}
