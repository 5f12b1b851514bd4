// The USPTO and KIPRIS procedures against the office simulator: the keys the
// lookups leave for the page requests, the scratch pages, the stop during a
// lookup, and the KIPRIS login through the window's login form. Joining into
// TIFF and the pages themselves are tested end to end.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "app/services/KiprisService.h"
#include "app/services/RetrievalSession.h"
#include "app/services/UsptoService.h"
#include "app/transfer/sim_process.h"
#include "app/window/WindowFixture.h"

namespace orvane {
namespace {

class UsptoKiprisTest : public testing::WindowTest {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(s_sim.ReadyForTest());
    writeOption("hosts.txt", "connect_to=" + s_sim->ConnectTo() + "\n");
    load();
    m_session = &RetrievalSession::AttachTo(form());
    m_session->Slots().SetSlotTimeoutMs(3000);
  }

  UsptoService& uspto() {
    auto service =
        std::make_unique<UsptoService>(form(), m_session->Slots(), [this](int box) { joined.push_back(box); });
    return static_cast<UsptoService&>(m_session->AddService(Service::Uspto, std::move(service)));
  }
  KiprisService& kipris() {
    auto service =
        std::make_unique<KiprisService>(form(), m_session->Slots(), [this](int box) { joined.push_back(box); });
    return static_cast<KiprisService&>(m_session->AddService(Service::Kipris, std::move(service)));
  }
  int countRequests(const std::string& part) {
    std::istringstream in(s_sim->Control("/_sim/requests", "", false));
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.find(part) != std::string::npos;
    return n;
  }

  static inline test::SharedSim s_sim;
  RetrievalSession* m_session = nullptr;
  std::vector<int> joined;
};

TEST_F(UsptoKiprisTest, usptoLookupLeavesTheImageKeysForThePageRequests) {
  UsptoService& service = uspto();
  struct Case {
    std::string number;
    std::string label;  // the image host label the pages are asked for on
    std::string firstPage;
  } cases[] = {
      {"5007025", "patimg1",
       "http://patimg1.images.office.test/.DImg?Docid=US005007025&PageNum=1&IDKey=K5007025X7&ImgFormat=tif"},
      {"20010000044", "aiw1",
       "http://aiw1.images.office.test/.DImg?Docid=us20010000044ki&PageNum=1&IDKey=K20010000044X7&ImgFormat=tif"},
  };
  for (Case& c : cases) {
    std::string url_ext, readNUM;
    std::int16_t seq = 1;
    bool good = false;
    service.IDkey_extUSPTO(c.number, url_ext, good);
    ASSERT_TRUE(good) << c.number;
    EXPECT_EQ(m_session->State().UsptoNumLen, static_cast<std::int16_t>(c.number.size()));
    EXPECT_NE(readFile("idkey_int.htm").find("idkey=K" + c.number), std::string::npos) << c.number;
    service.Page_extUSPTO(url_ext, c.number, readNUM, good, seq);
    ASSERT_TRUE(good) << c.number;
    EXPECT_NE(readFile("pagenum_int.htm").find("NumPages"), std::string::npos) << c.number;
    EXPECT_EQ(service.PageAddress(c.number, 1), c.firstPage);
  }
}

TEST_F(UsptoKiprisTest, usptoViewerAddressFromTheAnswerPageMustBeAWebAddress) {
  UsptoService& service = uspto();
  std::string url_ext = "file:///etc/passwd", number = "5007025", readNUM;
  std::int16_t seq = 1;
  bool good = true;
  service.Page_extUSPTO(url_ext, number, readNUM, good, seq);
  EXPECT_FALSE(good);
  EXPECT_EQ(readNUM, "");
}

TEST_F(UsptoKiprisTest, usptoSkipDuringTheSearchEndsTheLookupAtOnce) {
  uspto();
  s_sim->Fault("service=uspto,request=search,latency=400");
  // Skip is pressed while the first search answer is still held back.
  const auto start = std::chrono::steady_clock::now();
  form().pump().addPoller([this, start, pressed = false](int) mutable {
    if (!pressed && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(150)) {
      pressed = true;
      form().click("tempStopBtn");
    }
  });
  form().useServiceForSession(Service::Uspto);
  c("TextBox1").setText("US5007025");
  form().CommandButton1_Click();
  EXPECT_EQ(countRequests("nph-Parser"), 1);
  EXPECT_EQ(listLines().front(), std::string("1. 5007025") + RetrievalForm::kStoppedNumber);
  EXPECT_TRUE(joined.empty());
}

TEST_F(UsptoKiprisTest, kiprisLoginThroughTheWindowFormKeepsTheAnswerButNotThePassword) {
  kipris();
  struct Case {
    std::string id, password;
    bool loggedIn;
  } cases[] = {
      {"kipris-demo", "p&ss w=rd", false},
      {"kipris-registered", "p&ss w=rd+\xED\x95\x9C", false},
      {"kipris-demo", "p&ss w=rd+\xED\x95\x9C", true},
  };
  for (Case& k : cases) {
    host.messages.clear();
    KiprisLoginForm& login = form().kiprisLogin();
    login.KiprisID().setText(k.id);
    login.KiprisPW().setText(k.password);
    EXPECT_EQ(login.KiprisOK_Click(), k.loggedIn) << k.id;
    EXPECT_EQ(form().run().KiprisLoggedIn, k.loggedIn) << k.id;
    ASSERT_EQ(host.messages.size(), k.loggedIn ? 0u : 1u) << k.id;
    if (!k.loggedIn) EXPECT_EQ(host.messages[0].text, KiprisService::kLoginFailed);
    EXPECT_EQ(readFile("ipdl.htm"), c("TextBox").text());
    EXPECT_EQ(readFile("ipdl.htm").find(k.password), std::string::npos);
  }
}

TEST_F(UsptoKiprisTest, kiprisLookupThatFailsLeavesNoEarlierApplicationNumber) {
  KiprisService& service = kipris();
  std::string found = "101995028508", missing = "101999999999", pages;
  bool good = false;
  service.IDkey_extKIPRIS(found, pages, good);
  ASSERT_TRUE(good);
  EXPECT_EQ(pages, "6");
  EXPECT_EQ(m_session->State().KiprisApplNo, "101995004784");
  service.IDkey_extKIPRIS(missing, pages, good);
  EXPECT_FALSE(good);
  EXPECT_EQ(countRequests("search_OPN=101999999999"), 3);
  // The page count is missing but the application number is there; an
  // earlier document's number would fetch that document's pages.
  EXPECT_EQ(m_session->State().KiprisApplNo, "101999999990");
  std::string unknown = "109999999999";
  service.IDkey_extKIPRIS(unknown, pages, good);
  EXPECT_FALSE(good);
  EXPECT_EQ(m_session->State().KiprisApplNo, "");
}

}  // namespace
}  // namespace orvane
