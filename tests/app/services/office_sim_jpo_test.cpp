// The office simulator's IPDL, PAJ and Delphion pages carry what the
// client's scrapers read, where they read it; form bodies that differ from
// the client's are not answered with the markers; images are of their kind;
// the catalog lists every case.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "app/services/JpoPages.h"
#include "app/transfer/sim_process.h"

namespace orvane {
namespace {

std::vector<std::string> Lines(const std::string& text, size_t max = 1000) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; lines.size() < max && std::getline(in, line);) lines.push_back(line);
  return lines;
}

class OfficeSimJpo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_sim.Start({"--page-bytes", "1500"}); }
  static void TearDownTestSuite() { s_sim.Stop(); }
  void SetUp() override { ASSERT_TRUE(s_sim.ReadyForTest()); }

  static std::string Post(const std::string& path, const std::string& body) { return s_sim->Control(path, body); }
  static std::string Get(const std::string& path) { return s_sim->Control(path, "", false); }

  // The temporary result page's name, as the client finds it on lines 1..40.
  static std::optional<std::string> Search(const std::string& code, const std::string& number) {
    for (const auto& line : Lines(Post(kIpdlSearchPath, IpdlSearchBody(code, number)), 40))
      if (auto name = IpdlTempNameOnLine(line)) return name;
    return std::nullopt;
  }
  static std::optional<IpdlResultKeys> Result(const std::string& name) {
    IpdlResultKeys keys;
    for (const auto& line : Lines(Get(std::string(kIpdlTempFolder) + name + "htm"), 70))
      if (IpdlResultKeysOnLine(line, keys)) return keys;
    return std::nullopt;
  }

  static inline test::SharedSim s_sim;
};

TEST_F(OfficeSimJpo, ipdlPagesCarryNameKeysCountAndMadePdf) {
  const struct {
    const char* code;
    const char* number;
    const char* count;
  } cases[] = {{"A", "2001123456", "5"}, {"A", "2002000012", "12"}, {"A", "2003000000", ""},
               {"U", "H05012345", "3"},  {"B", "3012345", "4"},     {"Y", "3054321", "2"}};
  for (const auto& c : cases) {
    auto name = Search(c.code, c.number);
    ASSERT_TRUE(name) << c.number;
    auto keys = Result(*name);
    ASSERT_TRUE(keys) << c.number;
    EXPECT_EQ(keys->readNUM, c.count) << c.number;
  }
  auto keys = Result(*Search("A", "2002000012"));
  std::optional<IpdlPageSource> source;
  for (const auto& line : Lines(Post(kIpdlMakePath, IpdlMakeBody(*keys, 12)), 40))
    if ((source = IpdlPageSourceOnLine(line))) break;
  ASSERT_TRUE(source);
  EXPECT_TRUE(source->pdf);
  const std::string pdf = Get(source->path);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("Page 12 of 12"), std::string::npos);
}

TEST_F(OfficeSimJpo, requestsTheClientWouldNotSendGetNoMarkers) {
  EXPECT_FALSE(Search("B", "2001123456"));  // another kind
  EXPECT_FALSE(Search("A", "1999999999"));  // unknown number
  // A search body missing one of its fields.
  EXPECT_EQ(Post(kIpdlSearchPath, "N0000=401&N0002=0&N1001=A&N2001=2001123456").find("/NSAPITMP/"),
            std::string::npos);
  auto keys = Result(*Search("A", "2001123456"));
  ASSERT_TRUE(keys);
  EXPECT_EQ(Post(kIpdlMakePath, IpdlMakeBody(*keys, 6)).find("SRC="), std::string::npos);  // beyond the last page
  IpdlResultKeys wrong = *keys;
  wrong.MID = "TJA00010009";
  EXPECT_EQ(Post(kIpdlMakePath, IpdlMakeBody(wrong, 1)).find("SRC="), std::string::npos);
  EXPECT_EQ(Post(kPajDetailPath, PajNumberBody("2001123456")).find(kPajMainFolder), std::string::npos);
}

TEST_F(OfficeSimJpo, pajDetailNamesTheMainPageWhichShowsTheJpegDrawing) {
  std::optional<std::string> name;
  for (const auto& line : Lines(Post(kPajDetailPath, PajDetailBody("2001123456")), 70))
    if ((name = PajTempNameOnLine(line))) break;
  ASSERT_TRUE(name);
  const std::string main = Get(PajMainPath(*name));
  EXPECT_NE(main.find(kPajImageFolder + *name + "jpg"), std::string::npos);
  EXPECT_EQ(Get(PajImagePath(*name)).substr(0, 3), "\xFF\xD8\xFF");
  // The number without the page name in its detail answer.
  for (const auto& line : Lines(Post(kPajDetailPath, PajDetailBody("2001999999")), 70))
    EXPECT_FALSE(PajTempNameOnLine(line)) << line;
}

TEST_F(OfficeSimJpo, delphionPageHasTheLogoLineAndTheGifImage) {
  auto logoLine = [](const std::string& number) {
    for (const auto& line : Lines(Get(DelphionDocumentPath(number)), 100))
      if (DelphionLogoOnLine(line)) return true;
    return false;
  };
  EXPECT_TRUE(logoLine("JP2001123456"));
  EXPECT_FALSE(logoLine("JP2001999999"));
  EXPECT_NE(Get(DelphionDocumentPath("JP2001123456")).find("SRC=" + DelphionImagePath("JP2001123456")),
            std::string::npos);
  EXPECT_EQ(Get(DelphionImagePath("JP2001123456")).substr(0, 4), "GIF8");
  EXPECT_EQ(Get(kDelphionLogoPath).substr(0, 4), "GIF8");
}

TEST(OfficeSimJpoCatalog, listsEveryKindAndEveryEdgeCase) {
  FILE* pipe = popen((std::string(OFFICE_SIM_PATH) + " --catalog").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 0);
  const auto lines = Lines(out);
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  for (const char* line : {"ipdl\t2001123456\tpatent-publication\t5\t-\t-\t-\t-",
                           "ipdl\t2002000012\tpatent-publication\t12\t-\t-\t-\t-",
                           "ipdl\t2003000000\tpatent-publication\t3\t-\t-\t-\t-",
                           "ipdl\tH05012345\tutility-publication\t3\t-\t-\t-\t-",
                           "ipdl\t3012345\tpatent-gazette\t4\t-\t-\t-\t-",
                           "ipdl\t3054321\tutility-registration\t2\t-\t-\t-\t-",
                           "ipdl\t2001123456\tpaj\t1\t-\t-\t-\t-", "ipdl\t2001999999\tpaj\t1\t-\t-\t-\t-",
                           "delphion\tJP2001123456\tA2\t1\t-\t-\t-\t-", "delphion\tJP2001999999\tA2\t1\t-\t-\t-\t-"})
    EXPECT_TRUE(has(line)) << line;
}

}  // namespace
}  // namespace orvane
