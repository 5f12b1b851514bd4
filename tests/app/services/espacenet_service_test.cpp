// The esp@cenet retrieval against the office simulator: the lookups, the
// sections with their ranges, the page list, and the run under faults, Skip
// and stop-all. The assembly is recorded here (which section, which range,
// whether every page file was there); joining into PDF is tested end to end.
#include "app/services/EspacenetService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <utility>

#include "app/services/RetrievalSession.h"
#include "app/transfer/sim_process.h"
#include "app/window/WindowFixture.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct Joined {
  int box = 0;
  int start = 0, end = 0;
  bool allPages = false;  // every page file of the range was on disk
  bool operator==(const Joined&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Joined& j) {
  return out << "{" << j.box << ", " << j.start << ".." << j.end << (j.allPages ? ", all" : ", missing") << "}";
}

class EspacenetTest : public testing::WindowTest {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(s_sim.ReadyForTest());
    writeOption("hosts.txt", "connect_to=" + s_sim->ConnectTo() + "\n");
  }

  EspacenetService& attach(bool folderPerNumber = true) {
    writeOption("check.txt", folderPerNumber ? "1\n" : "0\n");
    load();
    m_session = &RetrievalSession::AttachTo(form());
    m_session->Slots().SetSlotTimeoutMs(3000);
    auto service = std::make_unique<EspacenetService>(form(), m_session->Slots(), [this](int box) { record(box); });
    return static_cast<EspacenetService&>(m_session->AddService(Service::Espacenet, std::move(service)));
  }

  void record(int box) {
    const SlotState& s = m_session->State();
    Joined j{box, s.start_num, s.end_num, true};
    for (int p = s.start_num; p <= s.end_num; ++p)
      j.allPages = j.allPages && fs::exists(m_session->Slots().PageFilePath(1, p));
    joined.push_back(j);
  }

  // Runs the driver on the numbers with the given boxes ticked.
  void run(const std::string& numbers, std::initializer_list<const char*> boxes) {
    for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"})
      c(box).setChecked(false);
    for (const char* box : boxes) c(box).setChecked(true);
    c("TextBox1").setText(numbers);
    form().CommandButton1_Click();
  }

  bool hasLine(const std::string& text) {
    auto lines = listLines();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }
  int countRequests(const std::string& prefix) {
    int n = 0;
    for (const auto& line : Split(s_sim->Control("/_sim/requests", "", false))) n += line.rfind(prefix, 0) == 0;
    return n;
  }
  static std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Presses Skip (or stop all) once, when the given page request has been sent.
  void pressWhenRequested(int page, const char* button) {
    m_session->Slots().SetRequestObserver([this, page, button, pressed = false](int, int p) mutable {
      if (p == page && !pressed) m_pressAt = button;
      pressed = pressed || p == page;
    });
    form().pump().addPoller([this](int) {
      if (m_pressAt) form().click(std::exchange(m_pressAt, nullptr));
    });
  }

  static inline test::SharedSim s_sim;
  RetrievalSession* m_session = nullptr;
  std::vector<Joined> joined;
  const char* m_pressAt = nullptr;
};


TEST_F(EspacenetTest, lookupReadsTheKeyAndTheFiveMarkers) {
  EspacenetService& esp = attach();
  std::string n = "EP1033882A1", tot, des, cla, dra, rep;
  form().run().CurPatNum = n;
  bool good = false;
  esp.IDkey_ext(n, tot, des, cla, dra, rep, good);
  ASSERT_TRUE(good);
  EXPECT_EQ((std::vector<std::string>{tot, des, cla, dra, rep}),
            (std::vector<std::string>{"12", "2", "7", "9", "11"}));
  EXPECT_EQ(m_session->State().EspID, "EP+++1033882A1+I+");
  // The navigation page is the last one the scratch file and TextBox hold.
  EXPECT_NE(readFile("idkey_int.htm").find("TOTPG=12&"), std::string::npos);
  EXPECT_EQ(c("TextBox").text(), readFile("idkey_int.htm"));
}

TEST_F(EspacenetTest, epNumberIsLookedUpByItsRebuiltKeyWhateverTheAbstractSays) {
  EspacenetService& esp = attach();
  std::string n = "EP1234567A1", tot, des, cla, dra, rep;
  form().run().CurPatNum = n;
  esp.SECOND_IDkey_ext("http://espacenet.test" + AbstractPath(n));
  EXPECT_EQ(m_session->State().EspID, "EP1234567+A1+W+");  // what the abstract page says

  bool good = false;
  esp.IDkey_ext(n, tot, des, cla, dra, rep, good);
  ASSERT_TRUE(good);
  EXPECT_EQ(tot, "7");
  EXPECT_EQ(m_session->State().EspID, "EP+++1234567A1+I+");
  EXPECT_EQ(countRequests("GET /dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1234567&ID=EP+++1234567A1+I+&RETR=OKE&PG=1"),
            1);
}

TEST_F(EspacenetTest, otherKindsUseTheKeyOfTheAbstractPage) {
  EspacenetService& esp = attach();
  std::string n = "WO0050842", tot, des, cla, dra, rep;
  form().run().CurPatNum = n;
  bool good = false;
  esp.IDkey_ext(n, tot, des, cla, dra, rep, good);
  ASSERT_TRUE(good);
  EXPECT_EQ(m_session->State().EspID, "WO0050842+D+");
  EXPECT_EQ(countRequests("GET /dips/abstract?CY=ep&LG=en&PNP=WO0050842&PN=WO0050842"), 1);
  EXPECT_EQ(countRequests("GET /dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=WO0050842&ID=WO0050842+D+&"), 1);
}

TEST_F(EspacenetTest, keyAndMarkersAreReadOnTheirFirst400And100LinesOnly) {
  EspacenetService& esp = attach();
  struct Case {
    std::string number;
    bool found;
  } cases[] = {{"EP9999100A1", true}, {"EP9999101A1", false}, {"WO0000400", true}, {"WO0000401", false}};
  for (Case& c : cases) {
    std::string tot, des, cla, dra, rep;
    form().run().CurPatNum = c.number;
    bool good = !c.found;
    esp.IDkey_ext(c.number, tot, des, cla, dra, rep, good);
    EXPECT_EQ(good, c.found) << c.number;
  }
}

TEST_F(EspacenetTest, numberNotFoundIsTriedThreeTimesAndReportedFailed) {
  attach();
  run("XX0000001\nEP1234567A1", {"CheckBox4"});
  EXPECT_EQ(countRequests("GET /dips/abstract?CY=ep&LG=en&PNP=XX0000001&"), 9);
  EXPECT_EQ(countRequests("GET /dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=XX0000001&"), 3);
  auto lines = listLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1. XX0000001  FAILED !");
  EXPECT_EQ(lines[1], "");
  // The run goes on with the next number.
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 7, true}}));
  EXPECT_TRUE(hasLine("2. EP1234567A1 :  7 Page  GOOD !"));
}

TEST_F(EspacenetTest, fullPagesFetchesEveryPageAndClosesTheSection) {
  attach();
  run("EP1033882A1", {"CheckBox4"});
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 12, true}}));
  for (int p = 1; p <= 12; ++p) EXPECT_TRUE(hasLine("1. EP1033882A1 :  " + std::to_string(p) + " Page  GOOD !")) << p;
  auto lines = listLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "++++ Full Pages  Finished ++++");
  EXPECT_EQ(lines.back(), "");
  EXPECT_FALSE(c("ListBox1").anySelected());
  EXPECT_EQ(countRequests("GET /dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=12+"), 1);
  EXPECT_TRUE(form().lastRun().allComplete());
  EXPECT_EQ(c("Label8").text(), "");
}

TEST_F(EspacenetTest, sectionsComeInTheirOrderWithTheRangesOfTheirKind) {
  struct Case {
    const char* number;
    std::vector<Joined> joined;
  } cases[] = {
      {"EP1033882A1", {{8, 9, 10, true}, {7, 2, 7, true}, {6, 7, 8, true}}},
      {"EP0441236B1", {{8, 8, 9, true}, {7, 2, 6, true}, {6, 6, 7, true}}},
      {"US5007025", {{8, 2, 4, true}, {7, 5, 9, true}, {6, 9, 10, true}}},
      {"WO0050842", {{8, 15, 17, true}, {7, 2, 11, true}, {6, 12, 14, true}}},
      {"JP11331656", {{8, 1, 8, true}, {7, 1, 8, true}, {6, 1, 8, true}}},
      {"DE19812996", {{8, 5, 6, true}, {7, 2, 6, true}, {6, 4, 6, true}}},
  };
  for (const Case& k : cases) {
    TearDown();
    SetUp();
    joined.clear();
    attach(false);
    run(k.number, {"CheckBox6", "CheckBox7", "CheckBox8"});
    EXPECT_EQ(joined, k.joined) << k.number;
    const std::vector<std::string> closing = {"+++++ Drawings  Finished +++++", "+++ Specifications  Finished +++",
                                              "++++++ Claims  Finished ++++++"};
    std::vector<std::string> seen;
    for (const auto& line : listLines())
      if (line.rfind("++", 0) == 0) seen.push_back(line);
    EXPECT_EQ(seen, closing) << k.number;
  }
}

TEST_F(EspacenetTest, pageListFetchesListedPagesAndReportsThoseBeyondTheEnd) {
  attach();
  c("TextBox3").setText("3,99");
  run("EP1033882A1", {"CheckBox5"});
  EXPECT_EQ(joined, (std::vector<Joined>{{5, 3, 3, true}}));
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  3 Page  GOOD !"));
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  99 Page  없음 !"));
  EXPECT_TRUE(hasLine("+++++ Each Page Finished +++++"));
  EXPECT_EQ(countRequests("GET /dips/bns.pdf"), 1);
}

TEST_F(EspacenetTest, documentWithoutDrawingsFetchesNoneButClosesTheSection) {
  attach();
  run("WO0099999", {"CheckBox8"});
  EXPECT_TRUE(joined.empty());
  EXPECT_EQ(countRequests("GET /dips/bns.pdf"), 0);
  EXPECT_TRUE(hasLine("+++++ Drawings  Finished +++++"));
}

TEST_F(EspacenetTest, epClaimsWithoutDrawingsRunToTheLastPage) {
  attach();
  run("EP0500000A1", {"CheckBox6"});
  EXPECT_EQ(joined, (std::vector<Joined>{{6, 5, 6, true}}));
}

TEST_F(EspacenetTest, aShortRangeStartsOnlyItsSlots) {
  EspacenetService& esp = attach();
  std::vector<std::pair<int, int>> sent;
  m_session->Slots().SetRequestObserver([&](int k, int page) { sent.emplace_back(k, page); });
  RunState& r = form().run();
  r.CurPatNum = "EP1033882A1";
  r.SeqNo = 1;
  r.SaveFolder = (m_root / "patent_file").string();
  m_session->State().EspID = "EP+++1033882A1+I+";
  m_session->State().downfolder = r.SaveFolder + "/EP1033882A1";
  esp.ImageWork(kClaims, 7, 9, r.CurPatNum, r.SeqNo);
  // Pages 7, 8, 9 go to slots 2, 3, 4: the slot is the page modulo five.
  EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{2, 7}, {3, 8}, {4, 9}}));
  EXPECT_EQ(joined, (std::vector<Joined>{{6, 7, 9, true}}));
  EXPECT_EQ(r.PageCount, 3);
}

TEST_F(EspacenetTest, pageFailingFourTimesIsBadAndTheRunGoesOn) {
  attach();
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,page=3,status=500");
  run("EP1033882A1\nEP1234567A1", {"CheckBox4"});
  EXPECT_EQ(countRequests("GET /dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=3+"), 4);
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  3 Page   BAD ! ->"));
  // The section is still joined (without the page); the next number is whole.
  ASSERT_EQ(joined.size(), 2u);
  EXPECT_EQ(joined[0], (Joined{4, 1, 12, false}));
  EXPECT_EQ(joined[1], (Joined{4, 1, 7, true}));
  EXPECT_EQ(form().lastRun().incomplete, 1);
}

TEST_F(EspacenetTest, pageStalledPastTheTimeOutIsRequestedAgain) {
  attach();
  m_session->Slots().SetSlotTimeoutMs(700);
  s_sim->Fault("service=espacenet,request=page,number=EP1234567A1,page=2,stall=1500,first=1");
  run("EP1234567A1", {"CheckBox4"});
  EXPECT_EQ(countRequests("GET /dips/bns.pdf?PN=EP1234567A1&ID=EP+++1234567A1+I+&PG=2+"), 2);
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 7, true}}));
  EXPECT_TRUE(form().lastRun().allComplete());
}

TEST_F(EspacenetTest, skipDuringAStallMarksPagesInFlightBadAndJoinsNothing) {
  attach();
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,page=4,stall=2500");
  pressWhenRequested(6, "tempStopBtn");
  run("EP1033882A1\nEP1234567A1", {"CheckBox4"});
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  4 Page  BAD !"));
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0], (Joined{4, 1, 7, true}));
  EXPECT_TRUE(hasLine("2. EP1234567A1 :  7 Page  GOOD !"));
  EXPECT_EQ(form().lastRun().incomplete, 1);
}

TEST_F(EspacenetTest, skipMarksOnlyTheLinesOfTheRangeItStopped) {
  attach();
  // Drawings 9..10 leave page 9 BAD on slot 4; claims 7..8 use slots 2 and 3
  // only and are skipped while page 8 is slow.
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,page=9,status=500");
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,page=8,latency=3000");
  pressWhenRequested(8, "tempStopBtn");
  run("EP1033882A1", {"CheckBox6", "CheckBox8"});
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  9 Page   BAD ! ->"));
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  8 Page  BAD !"));
  EXPECT_FALSE(hasLine("1. EP1033882A1 :  9 Page  BAD !"));
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0], (Joined{8, 9, 10, false}));
}

TEST_F(EspacenetTest, stopAllInTheMiddleEndsTheRun) {
  attach();
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,latency=200");
  pressWhenRequested(7, "allStopBtn");
  run("EP1033882A1\nEP1234567A1", {"CheckBox4"});
  EXPECT_TRUE(joined.empty());
  EXPECT_TRUE(form().lastRun().stoppedAll);
  EXPECT_EQ(countRequests("GET /dips/abstract?CY=ep&LG=en&PNP=EP1234567A1&"), 0);
  int bad = 0;
  for (const auto& line : listLines()) bad += line.ends_with(" Page  BAD !");
  EXPECT_GE(bad, 1);
  EXPECT_TRUE(c("CommandButton1").visible());
}

TEST_F(EspacenetTest, badPageRunFetchesTheListedPagesAndJoinsAfterTheLast) {
  attach(false);
  form().click("mnuBad");
  c("TextBox3").setText("3,5");
  c("TextBox1").setText("EP1033882A1");
  form().CommandButton1_Click();
  // Pages land in the number's folder under the save folder; the join comes
  // once, after the last listed page.
  const fs::path folder = fs::path(form().run().SaveFolder) / "EP1033882A1";
  EXPECT_TRUE(fs::exists(folder / "EP1033882A13.pdf"));
  EXPECT_TRUE(fs::exists(folder / "EP1033882A15.pdf"));
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0].box, 5);
  EXPECT_TRUE(form().run().LastBadPage);
}

TEST_F(EspacenetTest, badPageRunWhoseLastEntryIsNoPageStillJoins) {
  attach(false);
  form().click("mnuBad");
  c("TextBox3").setText("3,99");
  c("TextBox1").setText("EP1033882A1");
  form().CommandButton1_Click();
  ASSERT_EQ(joined.size(), 1u);
  EXPECT_EQ(joined[0].box, 5);
  EXPECT_TRUE(hasLine("1. EP1033882A1 :  99 Page  없음 !"));
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// Bad-page mode over two numbers: each is joined once, after its own last
// listed page; the first number's last page must not join the second early.
TEST_F(EspacenetTest, badPageRunJoinsEachNumberOnceAfterItsOwnLastPage) {
  attach(false);
  form().click("mnuBad");
  c("TextBox3").setText("3,5");
  c("TextBox1").setText("EP1033882A1\nEP1234567A1");
  form().CommandButton1_Click();
  EXPECT_EQ(joined, (std::vector<Joined>{{5, 5, 5, true}, {5, 5, 5, true}}));
  EXPECT_EQ(countRequests("GET /dips/bns.pdf"), 4);
}

// Skip while the lookup waits for the office: the number was stopped, not
// missing, and the next number is fetched.
TEST_F(EspacenetTest, skipDuringTheLookupSaysTheNumberWasStopped) {
  attach();
  s_sim->Fault("service=espacenet,request=abstract,number=EP1033882A1,latency=3000");
  const auto start = std::chrono::steady_clock::now();
  bool pressed = false;
  form().pump().addPoller([&](int) {
    if (!pressed && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300)) {
      pressed = true;
      form().click("tempStopBtn");
    }
  });
  run("EP1033882A1\nEP1234567A1", {"CheckBox4"});
  EXPECT_TRUE(hasLine("1. EP1033882A1  중단되었습니다 !"));
  EXPECT_FALSE(hasLine("1. EP1033882A1  FAILED !"));
  EXPECT_EQ(joined, (std::vector<Joined>{{4, 1, 7, true}}));
  EXPECT_EQ(form().lastRun().notFound, 0);
  EXPECT_EQ(form().lastRun().incomplete, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

// Sections left after a Skip are not fetched, but each ticked one is closed.
TEST_F(EspacenetTest, sectionsLeftAfterASkipStillGetTheirClosingLines) {
  attach();
  s_sim->Fault("service=espacenet,request=page,number=EP1033882A1,page=9,latency=3000");
  pressWhenRequested(9, "tempStopBtn");
  run("EP1033882A1", {"CheckBox6", "CheckBox7", "CheckBox8"});
  std::vector<std::string> closing;
  for (const auto& line : listLines())
    if (line.rfind("++", 0) == 0) closing.push_back(line);
  EXPECT_EQ(closing, (std::vector<std::string>{"+++++ Drawings  Finished +++++", "+++ Specifications  Finished +++",
                                               "++++++ Claims  Finished ++++++"}));
  EXPECT_TRUE(joined.empty());
  EXPECT_EQ(countRequests("GET /dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=2+"), 0);
}

// The service interface: lookup, sections and page addresses as values.
TEST_F(EspacenetTest, documentServiceAnswersWithValues) {
  EspacenetService& esp = attach();
  form().run().CurPatNum = "WO0050842";
  const DocumentLookup found = esp.LookUpDocument("WO0050842");
  EXPECT_EQ(found.status, LookupStatus::Found);
  EXPECT_EQ(found.pageCount, 20);
  const std::vector<DocumentSection> sections = esp.Sections("WO0050842");
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0].code, kDrawings);
  EXPECT_EQ(sections[0].pages, (PageRange{15, 17}));
  EXPECT_EQ(sections[1].pages, (PageRange{2, 11}));
  EXPECT_EQ(sections[2].pages, (PageRange{12, 14}));
  EXPECT_EQ(esp.PageAddress("WO0050842", 3), "http://" + m_session->HostTable().Get(Hosts::kEspacenet) +
                                                 "/dips/bns.pdf?PN=WO0050842&ID=WO0050842+D+&PG=3+");
  form().run().CurPatNum = "XX0000001";
  EXPECT_EQ(esp.LookUpDocument("XX0000001").status, LookupStatus::NotFound);
}

}  // namespace
}  // namespace orvane
