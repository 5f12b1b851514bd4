// The five page slots, Inet6 and the text channel, against the office
// simulator over real HTTP.
#include "app/transfer/TransferSlots.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <sstream>

#include "app/transfer/fake_slot_host.h"
#include "app/transfer/sim_process.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class SlotsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    ASSERT_TRUE(s_sim.ReadyForTest());
    static int serial = 0;
    m_dir = fs::temp_directory_path() / ("orvane-slots-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    fs::create_directories(m_dir);
    m_host.saveFolder = m_dir.string();
    Hosts hosts;
    hosts.Set(Hosts::kConnectTo, s_sim->ConnectTo());
    m_slots = std::make_unique<TransferSlots>(m_host, hosts);
    m_host.slots = m_slots.get();
    SlotState& s = m_slots->State();
    s.EspID = "EP+++1033882A1+I+";
    s.downfolder = (m_dir / "EP1033882A1").string();
    s.imsifolder = (m_dir / "temp").string();
    m_slots->SetRequestObserver([this](int k, int page) { m_requests.emplace_back(k, page); });
  }

  void TearDown() override {
    m_slots.reset();
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  bool Pump(const std::function<bool()>& done, int timeoutMs) {
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
      if (Clock::now() > end) return false;
      m_slots->Engine().Poll(10);
    }
    return true;
  }

  // Fetches a range the way a download procedure does; false on time-out.
  bool RunRange(int start, int end, int timeoutMs = 20000) {
    m_slots->BeginRange(start, end);
    m_slots->StartFirstPages();
    return Pump([&] { return m_slots->RangeFinished() || m_host.tempStop; }, timeoutMs);
  }

  int RequestsOf(int page) const {
    int n = 0;
    for (const auto& r : m_requests) n += r.second == page;
    return n;
  }

  std::string Good(int page) const { return "1. " + m_host.number + " :  " + std::to_string(page) + " Page  GOOD !"; }
  std::string Progress(int page) const {
    return "1. " + m_host.number + " :  " + std::to_string(page) + " Page  진행 중 !";
  }
  fs::path PageFile(int page) const {
    return m_dir / m_host.number / (m_host.number + std::to_string(page) + ".pdf");
  }

  // Switches to another EP document of the catalog.
  void UseDocument(const std::string& number, int pages) {
    m_host.number = number;
    m_host.totPages = pages;
    m_slots->State().EspID = "EP+++" + number.substr(2) + "+I+";
    m_slots->State().downfolder = (m_dir / number).string();
  }

  void ExpectPagePdf(int page) const {
    std::string pdf = ReadAll(PageFile(page));
    EXPECT_EQ(pdf.rfind("%PDF-1.3", 0), 0u) << "page " << page;
    EXPECT_NE(pdf.find("(Page " + std::to_string(page) + " of " + std::to_string(m_host.totPages) + ")"),
              std::string::npos)
        << "page " << page;
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  }

  static inline test::SharedSim s_sim;
  fs::path m_dir;
  test::FakeSlotHost m_host;
  std::unique_ptr<TransferSlots> m_slots;
  std::vector<std::pair<int, int>> m_requests;  // (slot, page) of every request sent
};


TEST_F(SlotsTest, threePageRangeUsesSlotsOneToThreeOnly) {
  ASSERT_TRUE(RunRange(1, 3));
  EXPECT_EQ(m_requests, (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 3}}));
  ASSERT_EQ(m_host.lines.size(), 3u);
  for (int p = 1; p <= 3; ++p) {
    const auto& line = m_host.lines[p - 1];
    EXPECT_EQ(line.texts, (std::vector<std::string>{Progress(p), Good(p)}));
    EXPECT_FALSE(line.selected);
    EXPECT_EQ(m_host.Count(m_host.label6, Good(p)), 1);
    ExpectPagePdf(p);
  }
  EXPECT_EQ(m_host.progress, 3);
  EXPECT_EQ(m_host.progressMax, 3);
  EXPECT_EQ(m_host.pageCount, 3);
  EXPECT_FALSE(m_host.aborted);
  for (int k = 4; k <= 5; ++k) EXPECT_FALSE(m_slots->Inet(k).StillExecuting());
}

TEST_F(SlotsTest, pageSixGoesToTheSlotThatFinishesFirst) {
  for (int p : {1, 2, 4, 5}) s_sim->Fault("service=espacenet,request=page,page=" + std::to_string(p) + ",latency=400");
  ASSERT_TRUE(RunRange(1, 12));
  ASSERT_GE(m_requests.size(), 6u);
  for (int p = 1; p <= 5; ++p) EXPECT_EQ(m_requests[p - 1], std::make_pair(p, p));
  EXPECT_EQ(m_requests[5], std::make_pair(3, 6));
  EXPECT_EQ(m_requests.size(), 12u);
  for (int p = 1; p <= 12; ++p) {
    EXPECT_EQ(RequestsOf(p), 1) << "page " << p;
    ExpectPagePdf(p);
  }
  EXPECT_EQ(m_host.progress, 12);
  for (const auto& line : m_host.lines) EXPECT_FALSE(line.selected) << line.Text();
  // The server saw each page once too.
  EXPECT_EQ(s_sim->Log().size(), 12u);
}

TEST_F(SlotsTest, rangeNotStartingAtOneMapsPagesByModulo) {
  ASSERT_TRUE(RunRange(7, 9));
  EXPECT_EQ(m_requests, (std::vector<std::pair<int, int>>{{2, 7}, {3, 8}, {4, 9}}));
}

TEST_F(SlotsTest, emptyRangeIsFinishedAtOnce) {
  m_slots->State().LastIssuedPage = 12;  // left over from an earlier range
  m_slots->BeginRange(7, 6);
  m_slots->StartFirstPages();
  EXPECT_TRUE(m_requests.empty());
  EXPECT_TRUE(m_slots->RangeFinished());
}

struct FaultCase {
  const char* name;
  const char* rule;
  int othersLatencyMs;  // keeps the other slots busy until the failing one is through
};

const FaultCase kFaults[] = {
    {"http500", "status=500", 100}, {"reset", "reset", 100},         {"stall", "stall=2000", 100},
    {"truncated", "truncate", 100}, {"htmlWith200", "html", 100},
};

void PrintTo(const FaultCase& f, std::ostream* os) { *os << f.name; }

class SlotFaultTest : public SlotsTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    SlotsTest::SetUp();
    m_slots->SetSlotTimeoutMs(400);
  }
};

TEST_P(SlotFaultTest, pageFailingFourTimesIsBadOnceAndTheSlotGoesOn) {
  const FaultCase& f = GetParam();
  UseDocument("EP1100000A1", 100);
  s_sim->Fault(std::string("service=espacenet,request=page,page=2,") + f.rule);
  // The other slots stay busy with slow pages while page 2 fails four times.
  s_sim->Fault("service=espacenet,request=page,latency=" + std::to_string(f.othersLatencyMs));
  ASSERT_TRUE(RunRange(1, 100));
  EXPECT_EQ(RequestsOf(2), 4);
  const std::string bad = "1. EP1100000A1 :  2 Page   BAD ! ->";
  int badLines = 0;
  for (const auto& line : m_host.lines) badLines += line.Text() == bad;
  EXPECT_EQ(badLines, 1);
  EXPECT_EQ(m_host.lines[1].texts, (std::vector<std::string>{Progress(2), bad}));
  EXPECT_TRUE(m_host.lines[1].selected);
  EXPECT_EQ(m_host.Count(m_host.label6, "1. EP1100000A1 :  2/100 Page   BAD !"), 1);
  EXPECT_TRUE(m_host.aborted);
  EXPECT_EQ(m_host.progress, 100);
  EXPECT_EQ(m_slots->State().SlotRetries[2], 0);
  // After the fourth failure slot 2 went on with a page not yet issued.
  auto fourth = std::find_if(m_requests.rbegin(), m_requests.rend(), [](auto r) { return r.second == 2; });
  auto next = std::find_if(fourth.base(), m_requests.end(), [](auto r) { return r.first == 2; });
  ASSERT_NE(next, m_requests.end());
  EXPECT_GT(next->second, 5);
  EXPECT_EQ(RequestsOf(next->second), 1);
  // No error page is left behind as a page file.
  EXPECT_FALSE(fs::exists(PageFile(2)));
  ExpectPagePdf(next->second);
}

TEST_P(SlotFaultTest, pageFailingTwiceThenGoodShowsOnlyProgressAndGood) {
  const FaultCase& f = GetParam();
  s_sim->Fault(std::string("service=espacenet,request=page,page=2,first=2,") + f.rule);
  ASSERT_TRUE(RunRange(1, 3));
  EXPECT_EQ(RequestsOf(2), 3);
  ASSERT_EQ(m_host.lines.size(), 3u);
  EXPECT_EQ(m_host.lines[1].texts, (std::vector<std::string>{Progress(2), Good(2)}));
  EXPECT_FALSE(m_host.lines[1].selected);
  EXPECT_EQ(m_slots->State().SlotRetries[2], 0);
  EXPECT_EQ(m_host.progress, 3);
  EXPECT_FALSE(m_host.aborted);
  ExpectPagePdf(2);
}

INSTANTIATE_TEST_SUITE_P(Faults, SlotFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SlotsTest, skipWhileSlotTwoReadsLeavesPartialFileAndRequestsNothingMore) {
  m_host.onEvents = [&] {
    std::error_code ec;
    if (!m_host.tempStop && m_slots->SlotReading(2) && fs::file_size(PageFile(2), ec) >= 1024) m_host.Skip();
  };
  ASSERT_TRUE(RunRange(1, 12));
  ASSERT_TRUE(m_host.tempStop);
  EXPECT_TRUE(m_host.aborted);
  const size_t sent = m_requests.size();
  Pump([] { return false; }, 500);
  EXPECT_EQ(m_requests.size(), sent);
  EXPECT_FALSE(m_slots->SlotsExecuting());
  // One chunk had been written when the stop came.
  EXPECT_EQ(fs::file_size(PageFile(2)), 1024u);
  EXPECT_NE(m_host.lines[1].Text(), Good(2));
  EXPECT_TRUE(m_host.lines[1].selected);
}

TEST_F(SlotsTest, badPageModeWritesIntoTheNumbersFolderUnderSaveFolder) {
  m_host.folderPerNumber = false;
  m_host.badPageMode = true;
  ASSERT_TRUE(RunRange(3, 3));
  EXPECT_TRUE(fs::exists(m_dir / "EP1033882A1" / "EP1033882A13.pdf"));
  EXPECT_FALSE(fs::exists(m_dir / "temp"));
  ExpectPagePdf(3);
}

TEST_F(SlotsTest, inet6SavesOnSlotOneWithoutHandingOutPages) {
  m_slots->SetInet6Service(Inet6Service::Ipdl);
  m_slots->BeginRange(1, 2);
  SlotState& s = m_slots->State();
  s.SlotPage[1] = 1;
  s.LastIssuedPage = 1;
  s.SlotLine[1] = m_host.AddStatusLine(Progress(1));
  s.PageURL = "http://espacenet.office.test/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=1+";
  m_slots->SendInet6();
  ASSERT_TRUE(Pump([&] { return !m_slots->Inet(6).StillExecuting(); }, 10000));
  EXPECT_EQ(m_host.lines[0].Text(), Good(1));
  EXPECT_EQ(m_requests.size(), 1u);
  EXPECT_EQ(s.LastIssuedPage, 1);
  EXPECT_TRUE(fs::exists(PageFile(1)));
}

TEST_F(SlotsTest, textChannelKeepsSevenThousandCharactersOrALittleMore) {
  const std::string url = "http://espacenet.office.test/dips/abstract?CY=ep&LG=en&PNP=WO0099999&PN=WO0099999";
  std::string whole;
  ASSERT_TRUE(m_slots->Inet(0).FetchText(url, whole));
  ASSERT_GE(whole.size(), 20000u);
  ASSERT_TRUE(m_slots->Inet(0).Execute(url, "Get"));
  ASSERT_TRUE(Pump([&] { return !m_slots->Inet(0).StillExecuting(); }, 10000));
  ASSERT_TRUE(m_host.textBoxSet);
  EXPECT_GT(m_host.textBox.size(), 7000u);
  EXPECT_LE(m_host.textBox.size(), 8024u);
  EXPECT_EQ(whole.compare(0, m_host.textBox.size(), m_host.textBox), 0);
}

TEST_F(SlotsTest, textChannelReportsErrorsOnLabel6AndKeepsTextBox) {
  struct Case {
    const char* rule;
    std::string label;
  } cases[] = {{"stall=1500", "1. EP1033882A1 :   접속실패 !"}, {"status=500", "1. HTTP status 500"}};
  m_slots->Inet(0).SetRequestTimeoutMs(250);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    s_sim->Reset();
    s_sim->Fault(std::string("service=espacenet,request=abstract,") + c.rule);
    m_host.label6.clear();
    ASSERT_TRUE(m_slots->Inet(0).Execute(
        "http://espacenet.office.test/dips/abstract?CY=ep&LG=en&PNP=EP1033882A1&PN=EP1033882A1"));
    ASSERT_TRUE(Pump([&] { return !m_slots->Inet(0).StillExecuting(); }, 10000));
    EXPECT_EQ(m_host.label6, std::vector<std::string>{c.label});
    EXPECT_FALSE(m_host.textBoxSet);
  }
}

TEST_F(SlotsTest, pageAddressesFollowTheService) {
  SlotState& s = m_slots->State();
  s.UsptoImgHost = "patimg1";
  s.UsptoAppImgHost = "aiw1";
  s.UsptoDocId = "5007025";
  s.UsptoIDKey = "ABC123";
  s.KiprisApplNo = "1019950004784";
  m_host.number = "5007025";
  struct Case {
    PageService service;
    int numLen;
    std::string address;
  } cases[] = {
      {PageService::Espacenet, 0,
       "http://espacenet.office.test/dips/bns.pdf?PN=5007025&ID=EP+++1033882A1+I+&PG=7+"},
      {PageService::Uspto, 7,
       "http://patimg1.images.office.test/.DImg?Docid=US05007025&PageNum=7&IDKey=ABC123&ImgFormat=tif"},
      {PageService::Uspto, 11,
       "http://aiw1.images.office.test/.DImg?Docid=us5007025ki&PageNum=7&IDKey=ABC123&ImgFormat=tif"},
      {PageService::Kipris, 0,
       "http://kipris.office.test:9005/cgi/IMAGE6?sql=IMAGE6&page=7&user=KELDMARE&sys=KO&sub=0x105&appl_no=1019950004784"},
  };
  for (const auto& c : cases) {
    m_slots->SetPageService(c.service);
    s.UsptoNumLen = static_cast<int16_t>(c.numLen);
    EXPECT_EQ(m_slots->PageAddress(7), c.address);
  }
}

// A metering gate on the slots: it holds slots back until it has budget,
// adds its header lines, and sends one answer of a chosen page back.
class BudgetGate : public SendGate {
 public:
  explicit BudgetGate(TransferSlots& slots) : m_slots(slots) {}
  int budget = 0;
  int resendPage = 0;  // this page's first good answer is sent back once
  int polls = 0;
  bool MaySend(int) override {
    if (budget <= 0) return false;
    --budget;
    return true;
  }
  std::string RequestHeaders(int) override { return "Accept: application/pdf"; }
  Verdict OnAnswer(int k, const Transfer& answer) override {
    if (m_slots.State().SlotPage[k] == resendPage && answer.ResponseStatus() == 200) {
      resendPage = 0;
      return Verdict::Resend;
    }
    return Verdict::Judge;
  }
  void Poll() override { ++polls; }

 private:
  TransferSlots& m_slots;
};

TEST_F(SlotsTest, gateHoldsSlotsBackAndItsResendSpendsNoRetry) {
  BudgetGate gate(*m_slots);
  m_slots->SetSendGate(&gate);
  gate.budget = 2;
  // Page 3 fails three times; the gate then sends its good answer back once.
  // Had that cost a retry, the page would be BAD.
  gate.resendPage = 3;
  s_sim->Fault("service=espacenet,request=page,page=3,status=500,first=3");
  m_slots->BeginRange(1, 5);
  m_slots->StartFirstPages();
  auto pump = [&](int ms) {
    return Pump(
        [&] {
          m_slots->SendHeld();
          return m_slots->RangeFinished();
        },
        ms);
  };
  // Two requests go; the other three slots wait and count as busy.
  EXPECT_FALSE(pump(300));
  EXPECT_EQ(m_requests.size(), 2u);
  EXPECT_GT(gate.polls, 0);
  gate.budget = 100;
  ASSERT_TRUE(pump(20000));
  EXPECT_EQ(RequestsOf(3), 5);
  for (int p = 1; p <= 5; ++p) {
    EXPECT_EQ(m_host.lines[p - 1].texts.back(), Good(p)) << p;
    ExpectPagePdf(p);
  }
  EXPECT_FALSE(m_host.aborted);
  m_slots->SetSendGate(nullptr);
}

TEST_F(SlotsTest, cancelDropsWhatTheGateHeldBack) {
  BudgetGate gate(*m_slots);
  m_slots->SetSendGate(&gate);
  m_slots->BeginRange(1, 3);
  m_slots->StartFirstPages();
  EXPECT_FALSE(m_slots->RangeFinished());
  m_slots->CancelAll();
  gate.budget = 10;
  m_slots->SendHeld();
  EXPECT_TRUE(m_requests.empty());
  m_slots->SetSendGate(nullptr);
}

}  // namespace
}  // namespace orvane
