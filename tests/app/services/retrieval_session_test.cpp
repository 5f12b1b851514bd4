// The transfers joined to the main window: the window's pump drives them, its
// Skip cancels them, hosts.txt in the settings root reaches them, and a
// service procedure registered through the session fetches pages from inside
// the run driver.
#include "app/services/RetrievalSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/transfer/sim_process.h"
#include "app/window/WindowFixture.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A page loop of the esp@cenet kind: the whole document on the five slots.
class PageLoopService : public RetrievalService {
 public:
  explicit PageLoopService(RetrievalSession& session) : m_session(session) {}
  void IDkey_ext(std::string&, std::string& tot, std::string&, std::string&, std::string&, std::string&,
                 bool& good) override {
    tot = "7";
    good = true;
  }
  void TotPrt_TotFile(std::string&, std::string&, std::string&, std::string&, std::string&, std::string& n,
                      std::int16_t&) override {
    SlotState& s = m_session.State();
    s.EspID = "EP+++" + n.substr(2) + "+I+";
    s.downfolder = (fs::path(m_session.Run().SaveFolder) / n).string();
    m_session.Run().TotPages = 7;
    m_session.Slots().BeginRange(1, 7);
    m_session.Slots().StartFirstPages();
    result = m_session.Form().waitFor([this] { return m_session.Slots().RangeFinished(); },
                                      std::chrono::seconds(30));
  }
  EventPump::WaitResult result = EventPump::WaitResult::TimedOut;

 private:
  RetrievalSession& m_session;
};

class SessionTest : public testing::WindowTest {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(s_sim.ReadyForTest());
    writeOption("hosts.txt", "# the simulator\nconnect_to=" + s_sim->ConnectTo() + "\n");
  }

  RetrievalSession& attach() {
    load();
    return RetrievalSession::AttachTo(form());
  }

  static inline test::SharedSim s_sim;
};


TEST_F(SessionTest, hostsFileOfTheSettingsRootReachesTheTransfers) {
  writeOption("hosts.txt", "espacenet=ep.example.test\nconnect_to=" + s_sim->ConnectTo() + "\n");
  RetrievalSession& session = attach();
  EXPECT_EQ(Hosts::FilePath(), (m_root / "hosts.txt").string());
  EXPECT_EQ(SettingsRoot(), m_root);
  EXPECT_EQ(session.HostTable().ConnectTo(), s_sim->ConnectTo());
  EXPECT_EQ(session.Slots().Engine().ConnectTo(), s_sim->ConnectTo());
  EXPECT_EQ(session.HostTable().Get(Hosts::kEspacenet), "ep.example.test");
}

TEST_F(SessionTest, runDriverFetchesPagesThroughTheWindowPump) {
  RetrievalSession& session = attach();
  auto* loop = static_cast<PageLoopService*>(
      &session.AddService(Service::Espacenet, std::make_unique<PageLoopService>(session)));
  c("TextBox1").setText("EP1033882A1");
  form().CommandButton1_Click();
  ASSERT_EQ(loop->result, EventPump::WaitResult::Done);

  const fs::path folder = fs::path(form().run().SaveFolder) / "EP1033882A1";
  std::vector<std::string> lines = listLines();
  ASSERT_EQ(lines.size(), 7u);
  for (int p = 1; p <= 7; ++p) {
    EXPECT_EQ(lines[p - 1], "1. EP1033882A1 :  " + std::to_string(p) + " Page  GOOD !");
    EXPECT_FALSE(c("ListBox1").selected(p - 1));
    EXPECT_TRUE(fs::exists(folder / ("EP1033882A1" + std::to_string(p) + ".pdf"))) << p;
  }
  EXPECT_EQ(form().run().PageCount, 7);
  EXPECT_FALSE(form().run().Aborted);
  EXPECT_TRUE(form().lastRun().allComplete());
  EXPECT_GT(form().pump().turns(), 0);
}

TEST_F(SessionTest, skipOnTheWindowCancelsEveryTransfer) {
  RetrievalSession& session = attach();
  s_sim->Fault("service=espacenet,request=page,latency=5000");
  RunState& run = form().run();
  run.CurPatNum = "EP1033882A1";
  run.SeqNo = 1;
  run.SaveFolder = (m_root / "patent_file").string();
  session.State().EspID = "EP+++1033882A1+I+";
  session.State().downfolder = run.SaveFolder + "/EP1033882A1";
  session.Slots().BeginRange(1, 12);
  session.Slots().StartFirstPages();
  ASSERT_TRUE(session.Slots().SlotsExecuting());

  // The Skip button is pressed while the wait pumps.
  int turns = 0;
  int clicker = form().pump().addPoller([&](int) {
    if (++turns == 3) form().tempStopBtn_Click();
  });
  const auto start = Clock::now();
  EXPECT_EQ(form().waitFor([&] { return session.Slots().RangeFinished(); }, std::chrono::seconds(20)),
            EventPump::WaitResult::Stopped);
  form().pump().removePoller(clicker);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  EXPECT_TRUE(run.TempStop);
  EXPECT_FALSE(session.Slots().SlotsExecuting());
  for (int i = 0; i <= 6; ++i) EXPECT_FALSE(session.Slots().Inet(i).StillExecuting()) << i;
  EXPECT_EQ(session.State().LastIssuedPage, 5);
}

TEST_F(SessionTest, windowWithoutItsSessionNoLongerPollsOrCancels) {
  load();
  {
    auto session = std::make_unique<RetrievalSession>(form(), Hosts());
    RetrievalService& added = session->AddService(Service::Espacenet, std::make_unique<RetrievalService>());
    (void)added;
  }
  // Nothing left registered that points at the destroyed session.
  form().doEvents();
  form().cancelTransfers();
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_EQ(form().lastRun().notFound, 1);
}

}  // namespace
}  // namespace orvane
