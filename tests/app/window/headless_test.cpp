// The headless front end: command line, printing and exit status.
#include <sstream>

#include "WindowFixture.h"
#include "app/window/CommandLine.h"
#include "app/window/HeadlessRun.h"

namespace orvane::testing {
namespace {

using HeadlessTest = WindowTest;

int countOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(CommandLineTest, parsesAndRejects) {
  struct Row {
    std::vector<std::string> args;
    bool ok;
  };
  const std::vector<Row> rows = {
      {{}, true},
      {{"--headless"}, true},
      {{"--headless", "--numbers", "list.txt", "--service", "USPTO", "--range", "claims,drawings"}, true},
      {{"--headless", "--pages", "1,3"}, true},
      {{"--headless", "--kind", "paj", "--service", "3"}, true},
      {{"--numbers", "list.txt"}, false},
      {{"--headless", "--numbers"}, false},
      {{"--headless", "--service", "google"}, false},
      {{"--headless", "--range", "full,claims"}, false},
      {{"--headless", "--range", "claims", "--pages", "1"}, false},
      {{"--headless", "--range", "everything"}, false},
      {{"--headless", "--frobnicate"}, false},
      {{"-platform", "offscreen"}, true},
  };
  for (const auto& row : rows) {
    auto cl = CommandLine::parse(row.args);
    EXPECT_EQ(cl.error.empty(), row.ok) << (row.args.empty() ? "" : row.args.back()) << ": " << cl.error;
  }
  auto cl = CommandLine::parse({"--headless", "--pages", "1,3"});
  EXPECT_EQ(cl.ranges, std::vector<std::string>{"CheckBox5"});
  EXPECT_EQ(*CommandLine::parse({"--headless", "--service", "Delphion"}).service, Service::Delphion);
}

TEST_F(HeadlessTest, threeUnfoundNumbersPrintThreeFailedLinesAndExitOne) {
  std::istringstream in("ep1033882a1\r\nus5007025\r\nWO0050842");
  std::ostringstream out, err;
  int status = RunHeadless(CommandLine::parse({"--headless"}), in, out, err);
  EXPECT_EQ(status, 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("1. EP1033882A1  FAILED !\n"), std::string::npos) << text;
  EXPECT_NE(text.find("3. WO0050842  FAILED !\n"), std::string::npos);
  EXPECT_EQ(countOf(text, "  FAILED !"), 3);
  EXPECT_NE(text.find("[status] EP1033882A1  준비중입니다."), std::string::npos);
  EXPECT_NE(text.find("[message: Orvane] 모든 작업이 끝났습니다. 원문은 "), std::string::npos);
}

TEST_F(HeadlessTest, serviceOptionIsForThisRunOnly) {
  std::istringstream in("US5007025\n");
  std::ostringstream out, err;
  RunHeadless(CommandLine::parse({"--headless", "--service", "uspto", "--range", "claims"}), in, out, err);
  EXPECT_NE(out.str().find("1. 5007025  FAILED !"), std::string::npos) << out.str();
  EXPECT_EQ(readFile("DBoption.txt"), "1\n");
}

TEST_F(HeadlessTest, foundAndCompleteNumbersExitZero) {
  std::istringstream in("EP1\nEP2\n");
  std::ostringstream out, err;
  RecordingService found;
  found.found = [](const std::string&) { return true; };
  int status = RunHeadless(CommandLine::parse({"--headless"}), in, out, err,
                           [&](RetrievalForm& f) { f.registerService(Service::Espacenet, &found); });
  EXPECT_EQ(status, 0) << out.str();
  EXPECT_EQ(found.calls.size(), 4u);
}

TEST_F(HeadlessTest, badUsageAndRefusedStartsHaveTheirStatus) {
  std::ostringstream out, err;
  std::istringstream empty("");
  EXPECT_EQ(RunHeadless(CommandLine::parse({"--headless"}), empty, out, err), 1);
  EXPECT_NE(out.str().find("[message: Orvane] 특허번호를 입력하십시오."), std::string::npos);
  std::istringstream in("US1\n");
  EXPECT_EQ(RunHeadless(CommandLine::parse({"--headless", "--service", "uspto", "--range", "description"}), in, out,
                        err),
            2);
  EXPECT_NE(err.str().find("Description"), std::string::npos);
  EXPECT_EQ(RunHeadless(CommandLine::parse({"--headless", "--numbers", (m_root / "missing.txt").string()}), in,
                        out, err),
            2);
}

}  // namespace
}  // namespace orvane::testing
