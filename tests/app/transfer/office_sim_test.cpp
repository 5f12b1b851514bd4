// The office simulator's esp@cenet pages carry what the scraper reads, where
// it reads it; its page PDFs are valid and readable; its faults and options
// behave as documented.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "app/transfer/Transfer.h"
#include "app/transfer/TransferEngine.h"
#include "app/transfer/sim_process.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The document key as the scraper takes it: on the first of lines 1..400
// holding "PN=" + number + "&ID=", from after that marker to two characters
// before "TARGET".
std::string ScrapeKey(const std::string& page, const std::string& number) {
  auto lines = Lines(page);
  const std::string marker = "PN=" + number + "&ID=";
  for (size_t i = 0; i < lines.size() && i < 400; ++i) {
    size_t m = lines[i].find(marker);
    size_t t = lines[i].find("TARGET");
    if (m == std::string::npos || t == std::string::npos) continue;
    size_t start = m + marker.size();
    return lines[i].substr(start, t - start - 2);
  }
  return "";
}

// The five page markers as the scraper takes them from lines 1..100.
std::vector<std::string> ScrapeMarkers(const std::string& page) {
  auto lines = Lines(page);
  for (size_t i = 0; i < lines.size() && i < 100; ++i) {
    const std::string& l = lines[i];
    size_t tot = l.find("TOTPG");
    if (tot == std::string::npos) continue;
    size_t no = l.find("NOTPG"), des = l.find("DESPG"), cla = l.find("CLAPG"), dra = l.find("DRAPG"),
           rep = l.find("REPPG"), loop = l.find("LOOP");
    auto value = [&](size_t key, size_t next) { return l.substr(key + 6, next - key - 7); };
    return {value(tot, no), value(des, cla), value(cla, dra), value(dra, rep), value(rep, loop)};
  }
  return {};
}

class OfficeSimTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }
  void SetUp() override {
    ASSERT_TRUE(s_sim.ReadyForTest());
  }

  std::string Get(const std::string& path, bool* ok = nullptr) {
    std::string text;
    bool fetched = m_inet.FetchText(s_sim->Base() + path, text);
    if (ok) *ok = fetched;
    return text;
  }
  std::string Abstract(const std::string& n) { return Get("/dips/abstract?CY=ep&LG=en&PNP=" + n + "&PN=" + n); }
  std::string Navigation(const std::string& pn, const std::string& id) {
    return Get("/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=" + pn + "&ID=" + id + "&RETR=OKE&PG=1");
  }

  static inline test::SharedSim s_sim;
  TransferEngine m_engine;
  Transfer m_inet{m_engine, "Inet0"};
};


TEST_F(OfficeSimTest, firstLineNamesTheAddress) {
  EXPECT_EQ(s_sim->FirstLine(), "listening on 127.0.0.1:" + std::to_string(s_sim->Port()));
}

TEST_F(OfficeSimTest, answerPagesCarryKeyAndMarkersWhereTheScraperReadsThem) {
  struct Case {
    std::string number;
    std::vector<std::string> markers;  // total, description, claims, drawings, search report
  } cases[] = {
      {"EP1033882A1", {"12", "2", "7", "9", "11"}}, {"EP0441236B1", {"9", "2", "6", "8", "0"}},
      {"US5007025", {"10", "5", "9", "2", "0"}},    {"WO0050842", {"20", "2", "12", "15", "18"}},
      {"JP11331656", {"8", "2", "5", "6", "0"}},    {"GB2312191", {"14", "2", "10", "12", "0"}},
      {"WO0099999", {"3", "2", "3", "0", "0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    std::string key = ScrapeKey(Abstract(c.number), c.number);
    ASSERT_FALSE(key.empty());
    std::string pn = c.number, id = key;
    if (c.number.rfind("EP", 0) == 0) {
      // The client rebuilds the key of an EP number and asks by nine characters.
      pn = c.number.substr(0, 9);
      id = "EP+++" + c.number.substr(2) + "+I+";
      EXPECT_EQ(key, id);
    }
    EXPECT_EQ(ScrapeMarkers(Navigation(pn, id)), c.markers);
  }
}

TEST_F(OfficeSimTest, markersOnLine101AreOutOfTheScrapersReach) {
  std::string page = Navigation("EP9999101", "EP+++9999101A1+I+");
  EXPECT_TRUE(ScrapeMarkers(page).empty());
  EXPECT_NE(Lines(page).at(100).find("TOTPG=5&"), std::string::npos);
}

TEST_F(OfficeSimTest, unknownNumberHasNoKeyAndNoMarkers) {
  EXPECT_EQ(ScrapeKey(Abstract("EP0000000A1"), "EP0000000A1"), "");
  EXPECT_TRUE(ScrapeMarkers(Navigation("EP0000000", "EP+++0000000A1+I+")).empty());
}

TEST_F(OfficeSimTest, pagePdfPassesQpdfAndShowsNumberAndPage) {
  std::string pdf = Get("/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=3+");
  ASSERT_EQ(pdf.rfind("%PDF-1.3", 0), 0u);
  fs::path dir = fs::path(FOLIAN_TEST_OUTPUT) / "office-sim";
  fs::create_directories(dir);
  fs::path file = dir / "EP1033882A13.pdf";
  std::ofstream(file, std::ios::binary) << pdf;
  ASSERT_EQ(std::system(("qpdf --check '" + file.string() + "' >/dev/null 2>&1").c_str()), 0);
  std::string text;
  if (FILE* p = popen(("pdftotext '" + file.string() + "' - 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) text.append(buf, n);
    pclose(p);
  }
  EXPECT_NE(text.find("EP1033882A1"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 3 of 12"), std::string::npos) << text;
}

TEST_F(OfficeSimTest, pageRequestWithWrongKeyOrPageIsNotFound) {
  for (const char* query : {"PN=EP1033882A1&ID=EP+++1033882A2+I+&PG=1+", "PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=13+",
                            "PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=0+"}) {
    SCOPED_TRACE(query);
    bool ok = true;
    Get(std::string("/dips/bns.pdf?") + query, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_inet.ResponseStatus(), 404);
  }
}

TEST_F(OfficeSimTest, failFirstCountsAttemptsPerPage) {
  s_sim->Fault("service=espacenet,request=page,first=2,status=503");
  const std::string p1 = "/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=1+";
  const std::string p2 = "/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=2+";
  std::vector<bool> results;
  for (const auto& path : {p1, p1, p2, p1, p2, p2}) {
    bool ok = false;
    Get(path, &ok);
    results.push_back(ok);
  }
  EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false, true}));
  auto log = s_sim->Log();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[0], "espacenet page EP1033882A1 1 1 status=503");
  EXPECT_EQ(log[3], "espacenet page EP1033882A1 1 3 ok");
}

TEST_F(OfficeSimTest, htmlFaultAnswersAnErrorPageWithStatus200) {
  s_sim->Fault("service=espacenet,request=page,page=5,html");
  bool ok = false;
  std::string body = Get("/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=5+", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(m_inet.ResponseStatus(), 200);
  EXPECT_EQ(body.rfind("<HTML>", 0), 0u);
}

TEST(OfficeSimOptions, documentsAndFaultsFromTheCommandLine) {
  test::SimProcess sim({"--doc", "number=EP1200000A1,pages=40,des=2,cla=30,dra=35,rep=0", "--fault",
                        "service=espacenet,request=abstract,status=500"});
  ASSERT_TRUE(sim.Ok());
  TransferEngine engine;
  Transfer inet(engine, "Inet0");
  std::string text;
  EXPECT_FALSE(inet.FetchText(sim.Base() + "/dips/abstract?CY=ep&LG=en&PNP=EP1200000A1&PN=EP1200000A1", text));
  EXPECT_EQ(inet.ResponseStatus(), 500);
  ASSERT_TRUE(inet.FetchText(
      sim.Base() + "/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1200000&ID=EP+++1200000A1+I+&RETR=OKE&PG=1", text));
  EXPECT_EQ(ScrapeMarkers(text), (std::vector<std::string>{"40", "2", "30", "35", "0"}));
}

TEST(OfficeSimOptions, pagesFolderServesItsFilesBeforeGeneratedOnes) {
  fs::path dir = fs::temp_directory_path() / ("orvane-sim-pages-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string own = "%PDF-1.3\n% a page from the folder\n%%EOF\n";
  std::ofstream(dir / "EP1033882A12.pdf", std::ios::binary) << own;
  test::SimProcess sim({"--pages", dir.string()});
  ASSERT_TRUE(sim.Ok());
  TransferEngine engine;
  Transfer inet(engine, "Inet2");
  std::string page2, page3;
  const std::string base = sim.Base() + "/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=";
  EXPECT_TRUE(inet.FetchText(base + "2+", page2));
  EXPECT_TRUE(inet.FetchText(base + "3+", page3));
  fs::remove_all(dir);
  EXPECT_EQ(page2, own);
  EXPECT_NE(page3.find("(Page 3 of 12)"), std::string::npos);
}

TEST(OfficeSimOptions, badOptionsExitWithoutListening) {
  for (const char* bad : {"--fault", "--doc", "--port"}) {
    SCOPED_TRACE(bad);
    test::SimProcess sim({bad, "bogus=1"});
    EXPECT_FALSE(sim.Ok());
    EXPECT_EQ(sim.WaitExit(5000), 2);
  }
}

TEST_F(OfficeSimTest, markersOnLine100AreTheLastOnesInReach) {
  std::string page = Navigation("EP9999100", "EP+++9999100A1+I+");
  EXPECT_NE(Lines(page).at(99).find("TOTPG=5&"), std::string::npos);
  EXPECT_EQ(ScrapeMarkers(page), (std::vector<std::string>{"5", "2", "3", "4", "0"}));
}

TEST_F(OfficeSimTest, keyLineMovesTheKeyDownTheAbstractPage) {
  auto lines = Lines(Abstract("WO0000401"));
  ASSERT_GT(lines.size(), 401u);
  EXPECT_NE(lines[400].find("PN=WO0000401&ID=WO0000401+D+"), std::string::npos);
  EXPECT_EQ(ScrapeKey(Abstract("WO0000400"), "WO0000400"), "WO0000400+D+");
  EXPECT_EQ(ScrapeKey(Abstract("WO0000401"), "WO0000401"), "");
  // Without its key the navigation page shows no document.
  EXPECT_TRUE(ScrapeMarkers(Navigation("WO0000401", "")).empty());
}

TEST_F(OfficeSimTest, abstractKeyOfAnEpNumberMayDifferFromTheKeyItsPagesNeed) {
  EXPECT_EQ(ScrapeKey(Abstract("EP1234567A1"), "EP1234567A1"), "EP1234567+A1+W+");
  bool ok = true;
  Get("/dips/bns.pdf?PN=EP1234567A1&ID=EP1234567+A1+W+&PG=1+", &ok);
  EXPECT_FALSE(ok);
  std::string pdf = Get("/dips/bns.pdf?PN=EP1234567A1&ID=EP+++1234567A1+I+&PG=1+", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
}

TEST_F(OfficeSimTest, requestLinesAreKeptAsSentUntilReset) {
  Abstract("EP1033882A1");
  Navigation("EP1033882", "EP+++1033882A1+I+");
  std::vector<std::string> requests = Lines(s_sim->Control("/_sim/requests", "", false));
  EXPECT_EQ(requests, (std::vector<std::string>{
                          "GET /dips/abstract?CY=ep&LG=en&PNP=EP1033882A1&PN=EP1033882A1",
                          "GET /dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1033882&ID=EP+++1033882A1+I+&RETR=OKE&PG=1"}));
  s_sim->Reset();
  EXPECT_EQ(s_sim->Control("/_sim/requests", "", false), "");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// `office-sim --catalog` lists one document a line, tab-separated: service,
// number as typed, kind, pages, and the first page of claims, description,
// drawings and search report ("-" where none); documents given with --doc
// are listed too, and nothing is served.
TEST(OfficeSimOptions, catalogListsEveryDocumentWithItsSections) {
  const std::string command = std::string(OFFICE_SIM_PATH) +
                              " --doc number=EP1200000A1,pages=40,des=2,cla=30,dra=35,rep=0 --catalog";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::vector<std::string> lines = Lines(out);
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  EXPECT_TRUE(has("espacenet\tEP1033882A1\tEP\t12\t7\t2\t9\t11"));
  EXPECT_TRUE(has("espacenet\tUS5007025\tUS\t10\t9\t5\t2\t-"));
  EXPECT_TRUE(has("espacenet\tWO0099999\tWO\t3\t3\t2\t-\t-"));
  EXPECT_TRUE(has("espacenet\tGB2312191\tother\t14\t10\t2\t12\t-"));
  EXPECT_TRUE(has("espacenet\tEP1200000A1\tEP\t40\t30\t2\t35\t-"));
  for (const std::string& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 7) << line;
}

// A document's page count can be shown as any text (totpg=), for clients
// that meet a count of 0 or one that is no number.
TEST(OfficeSimOptions, totalPagesTextReplacesThePageCountOnTheNavigationPage) {
  test::SimProcess sim({"--doc", "number=EP1300000A1,pages=5,des=2,cla=3,dra=4,rep=0,totpg=0"});
  ASSERT_TRUE(sim.Ok());
  TransferEngine engine;
  Transfer inet(engine, "Inet0");
  std::string text;
  ASSERT_TRUE(inet.FetchText(
      sim.Base() + "/dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1300000&ID=EP+++1300000A1+I+&RETR=OKE&PG=1", text));
  EXPECT_EQ(ScrapeMarkers(text), (std::vector<std::string>{"0", "2", "3", "4", "0"}));
}

}  // namespace
}  // namespace orvane
