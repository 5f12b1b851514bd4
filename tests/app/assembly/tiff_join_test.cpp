// Joining bilevel TIFF pages into one multi-page TIFF with libtiff.
#include "app/assembly/TiffJoin.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "assembly_fixture.h"

namespace orvane {
namespace {

using namespace orvane::test;

class TiffJoinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("orvane-tiff-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    for (int p = 1; p <= 4; ++p) ASSERT_TRUE(MakeBilevelTiff(Page(p), p));
  }
  void TearDown() override { fs::remove_all(m_dir); }
  fs::path Page(int p) const { return m_dir / ("5007025" + std::to_string(p) + ".tif"); }

  fs::path m_dir;
};

TEST_F(TiffJoinTest, pagesAreAppendedInOrderWithTheirCompression) {
  const fs::path joined = m_dir / "5007025_TOT.tif";
  {
    TiffJoin join(joined.string());
    ASSERT_TRUE(join.Opened());
    for (int p = 1; p <= 4; ++p) EXPECT_TRUE(join.Append(Page(p).string())) << p;
    EXPECT_EQ(join.Pages(), 4);
    EXPECT_TRUE(join.Close());
  }
  EXPECT_EQ(TiffinfoPages(joined), 4);
  EXPECT_EQ(TiffPageCount(joined.string()), 4);
  EXPECT_EQ(TiffWidths(joined), (std::vector<uint32_t>{801, 802, 803, 804}));
  const std::string info = Shell("tiffinfo " + Quote(joined) + " 2>&1");
  EXPECT_NE(info.find("CCITT Group 4"), std::string::npos);
  EXPECT_EQ(info.find("Error"), std::string::npos) << info;
  // Every page decodes to the same pixels as its page file.
  for (int p = 1; p <= 4; ++p) {
    const auto pixels = TiffPixels(Page(p), 0);
    EXPECT_FALSE(pixels.empty());
    EXPECT_EQ(TiffPixels(joined, p - 1), pixels) << p;
  }
}

TEST_F(TiffJoinTest, missingOrBrokenPagesAreRefusedAndTheFileStaysValid) {
  WriteText(m_dir / "broken.tif", "II*\0garbage that is no directory");
  const std::string truncated = ReadText(Page(3)).substr(0, 40);
  WriteText(m_dir / "short.tif", truncated);
  WriteText(m_dir / "page.pdf", "%PDF-1.3\n%%EOF\n");
  const fs::path joined = m_dir / "joined.tif";
  TiffJoin join(joined.string());
  EXPECT_TRUE(join.Append(Page(1).string()));
  for (const char* bad : {"missing.tif", "broken.tif", "short.tif", "page.pdf"}) {
    EXPECT_FALSE(join.Append((m_dir / bad).string())) << bad;
    EXPECT_FALSE(join.LastError().empty()) << bad;
  }
  EXPECT_TRUE(join.Append(Page(4).string()));
  EXPECT_TRUE(join.Close());
  EXPECT_EQ(TiffinfoPages(joined), 2);
  EXPECT_EQ(TiffWidths(joined), (std::vector<uint32_t>{801, 804}));
}

TEST_F(TiffJoinTest, outputThatCannotBeCreatedIsReported) {
  TiffJoin join((m_dir / "no-such-folder" / "x.tif").string());
  EXPECT_FALSE(join.Opened());
  EXPECT_FALSE(join.Append(Page(1).string()));
  EXPECT_EQ(TiffPageCount((m_dir / "no-such-folder" / "x.tif").string()), 0);
}

}  // namespace
}  // namespace orvane
