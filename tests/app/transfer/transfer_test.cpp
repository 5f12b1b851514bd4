// Transfer over real HTTP against the office simulator.
#include "app/transfer/Transfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "app/transfer/TransferEngine.h"
#include "app/transfer/sim_process.h"

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;

class TransferTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_sim.Start(); }
  static void TearDownTestSuite() { s_sim.Stop(); }
  void SetUp() override {
    ASSERT_TRUE(s_sim.ReadyForTest());
  }

  // Polls until cond holds; false after timeoutMs.
  bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 10000) {
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
      if (Clock::now() > end) return false;
      m_engine.Poll(10);
    }
    return true;
  }

  std::string PageUrl(int page) const {
    return s_sim->Base() + "/dips/bns.pdf?PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=" + std::to_string(page) + "+";
  }

  static inline test::SharedSim s_sim;
  TransferEngine m_engine;
};


TEST_F(TransferTest, noticesArriveInTheControlsOrder) {
  Transfer t(m_engine, "Inet1");
  std::vector<int> states;
  t.SetStateHandler([&](int s) { states.push_back(s); });
  ASSERT_TRUE(t.Execute(PageUrl(1), "Get"));
  EXPECT_TRUE(t.StillExecuting());
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
  EXPECT_EQ(states, (std::vector<int>{7, 8, 9, 10, 12}));
  EXPECT_EQ(t.ResponseStatus(), 200);
}

TEST_F(TransferTest, bodyIsReadIn1024ByteChunks) {
  Transfer t(m_engine, "Inet1");
  std::string whole;
  ASSERT_TRUE(t.FetchText(PageUrl(2), whole));
  std::vector<size_t> sizes;
  std::string joined;
  t.SetStateHandler([&](int s) {
    if (s != Transfer::kResponseCompleted) return;
    for (std::string c = t.GetChunk(1024); !c.empty(); c = t.GetChunk(1024)) {
      sizes.push_back(c.size());
      joined += c;
    }
  });
  ASSERT_TRUE(t.Execute(PageUrl(2)));
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
  EXPECT_EQ(joined, whole);
  ASSERT_GT(sizes.size(), 2u);
  for (size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 1024u);
}

TEST_F(TransferTest, postSendsFormBodyAndHeaderLines) {
  Transfer t(m_engine, "Inet0");
  std::string body;
  for (int i = 0; i < 400; ++i) body += "특허";  // three bytes a character
  std::vector<std::string> chunks;
  t.SetStateHandler([&](int s) {
    if (s != Transfer::kResponseCompleted) return;
    for (std::string c = t.GetChunk(1024, Transfer::Chunk::Text); !c.empty();
         c = t.GetChunk(1024, Transfer::Chunk::Text)) {
      chunks.push_back(c);
    }
  });
  ASSERT_TRUE(t.Execute(s_sim->Base() + "/_sim/echo", "POST", body,
                        "Content-Type:application/x-www-form-urlencoded\r\nX-Extra: 1"));
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
  std::string joined;
  for (const auto& c : chunks) {
    joined += c;
    EXPECT_LE(c.size(), 1024u);
    // A text chunk ends on a character boundary.
    EXPECT_NE(static_cast<unsigned char>(c.back()) & 0xC0, 0xC0);
  }
  EXPECT_NE(joined.find("method=POST\n"), std::string::npos);
  EXPECT_NE(joined.find("content-type=application/x-www-form-urlencoded\n"), std::string::npos);
  EXPECT_NE(joined.find("body=" + body + "\n"), std::string::npos);
}

TEST_F(TransferTest, stallPastTheTimeOutGivesError35761) {
  s_sim->Fault("service=espacenet,request=page,page=3,stall=3000");
  Transfer t(m_engine, "Inet3");
  t.SetRequestTimeoutMs(300);
  std::vector<int> states;
  t.SetStateHandler([&](int s) { states.push_back(s); });
  auto start = Clock::now();
  ASSERT_TRUE(t.Execute(PageUrl(3)));
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_EQ(states, std::vector<int>{11});
  EXPECT_EQ(t.ErrorCode(), Transfer::kTimedOut);
}

TEST_F(TransferTest, stallInTheMiddleOfTheBodyTimesOut) {
  s_sim->Fault("service=espacenet,request=page,page=3,stallbody=3000");
  Transfer t(m_engine, "Inet3");
  t.SetRequestTimeoutMs(300);
  std::vector<int> states;
  t.SetStateHandler([&](int s) { states.push_back(s); });
  ASSERT_TRUE(t.Execute(PageUrl(3)));
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }, 2500));
  EXPECT_EQ(states, (std::vector<int>{7, 8, 11}));
  EXPECT_EQ(t.ErrorCode(), Transfer::kTimedOut);
}

TEST_F(TransferTest, brokenResponsesGiveErrorNotice) {
  for (const char* fault : {"reset", "truncate"}) {
    SCOPED_TRACE(fault);
    s_sim->Reset();
    s_sim->Fault(std::string("service=espacenet,request=page,page=4,") + fault);
    Transfer t(m_engine, "Inet4");
    std::vector<int> states;
    t.SetStateHandler([&](int s) { states.push_back(s); });
    ASSERT_TRUE(t.Execute(PageUrl(4)));
    ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), Transfer::kError);
    EXPECT_EQ(std::count(states.begin(), states.end(), int{Transfer::kResponseCompleted}), 0);
    EXPECT_EQ(t.ErrorCode(), Transfer::kRequestFailed);
    EXPECT_FALSE(t.ErrorText().empty());
  }
}

TEST_F(TransferTest, cancelStopsEveryNotice) {
  s_sim->Fault("service=espacenet,request=page,latency=300");
  Transfer t(m_engine, "Inet1");
  std::vector<int> states;
  t.SetStateHandler([&](int s) { states.push_back(s); });
  ASSERT_TRUE(t.Execute(PageUrl(1)));
  m_engine.Poll(50);
  t.Cancel();
  EXPECT_FALSE(t.StillExecuting());
  PumpUntil([] { return false; }, 600);
  EXPECT_TRUE(states.empty());
  EXPECT_TRUE(t.GetChunk().empty());
}

TEST_F(TransferTest, secondRequestWhileExecutingIsRefused) {
  s_sim->Fault("service=espacenet,request=page,latency=200");
  Transfer t(m_engine, "Inet1");
  ASSERT_TRUE(t.Execute(PageUrl(1)));
  EXPECT_FALSE(t.Execute(PageUrl(2)));
  EXPECT_EQ(t.ErrorCode(), Transfer::kStillExecuting);
  ASSERT_TRUE(PumpUntil([&] { return !t.StillExecuting(); }));
}

TEST_F(TransferTest, fetchTextReturnsBodyOrFails) {
  struct Case {
    const char* fault;
    bool ok;
  } cases[] = {{"", true}, {"status=500", false}, {"reset", false}, {"truncate", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    s_sim->Reset();
    if (*c.fault) s_sim->Fault(std::string("service=espacenet,request=abstract,") + c.fault);
    Transfer t(m_engine, "Inet0");
    std::string text = "stale";
    bool ok = t.FetchText(s_sim->Base() + "/dips/abstract?CY=ep&LG=en&PNP=EP1033882A1&PN=EP1033882A1", text);
    EXPECT_EQ(ok, c.ok);
    if (c.ok) {
      EXPECT_NE(text.find("PN=EP1033882A1&ID="), std::string::npos);
    } else {
      EXPECT_TRUE(text.empty());
      EXPECT_NE(t.ErrorCode(), 0);
    }
  }
}

TEST_F(TransferTest, onlyWebAddressesAreFetched) {
  for (const char* url : {"file:///etc/hostname", "ftp://127.0.0.1/x", "dict://127.0.0.1/x"}) {
    SCOPED_TRACE(url);
    Transfer t(m_engine, "Inet0");
    std::string text = "stale";
    EXPECT_FALSE(t.FetchText(url, text));
    EXPECT_TRUE(text.empty());
    EXPECT_NE(t.ErrorCode(), 0);
  }
}

TEST_F(TransferTest, connectToKeepsTheHostName) {
  m_engine.SetConnectTo(s_sim->ConnectTo());
  Transfer t(m_engine, "Inet0");
  std::string text;
  ASSERT_TRUE(t.FetchText("http://espacenet.office.test/_sim/echo", text)) << t.ErrorText();
  EXPECT_NE(text.find("host=espacenet.office.test\n"), std::string::npos) << text;
}

TEST_F(TransferTest, otherTransfersProgressDuringFetchText) {
  s_sim->Fault("service=espacenet,request=abstract,latency=300");
  Transfer slot(m_engine, "Inet1");
  Transfer text(m_engine, "Inet0");
  std::vector<int> states;
  slot.SetStateHandler([&](int s) { states.push_back(s); });
  ASSERT_TRUE(slot.Execute(PageUrl(1)));
  std::string body;
  ASSERT_TRUE(text.FetchText(s_sim->Base() + "/dips/abstract?CY=ep&LG=en&PNP=EP1033882A1&PN=EP1033882A1", body));
  EXPECT_EQ(states, (std::vector<int>{7, 8, 9, 10, 12}));
}

}  // namespace
}  // namespace orvane
