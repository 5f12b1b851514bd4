// The run driver: start checks, the per-number loop and its end, the calls
// into the service procedures, Skip and stop all.
#include "WindowFixture.h"

namespace orvane::testing {
namespace {

using RunDriverTest = WindowTest;

const char* kEndMessagePrefix = "모든 작업이 끝났습니다. 원문은 ";

int endMessages(const RecordingHost& host) {
  int n = 0;
  for (const auto& m : host.messages) n += m.text.rfind(kEndMessagePrefix, 0) == 0 && m.title == "Orvane";
  return n;
}

TEST_F(RunDriverTest, startChecksStopWithTheirMessage) {
  struct Row {
    const char* numbers;
    std::vector<const char*> boxes;
    const char* pages;
    const char* message;
  };
  const std::vector<Row> rows = {
      {"", {"CheckBox4"}, "", "특허번호를 입력하십시오."},
      {"EP1033882A1", {}, "", "저장범위를 체크하십시오."},
      {"EP1033882A1", {"CheckBox5"}, "", "페이지번호를 입력하십시오."},
  };
  for (const auto& row : rows) {
    load();
    host.messages.clear();
    c("CheckBox4").setChecked(false);
    for (const char* box : row.boxes) c(box).setChecked(true);
    c("TextBox3").setText(row.pages);
    c("TextBox1").setText(row.numbers);
    form().CommandButton1_Click();
    ASSERT_EQ(host.messages.size(), 1u) << row.message;
    EXPECT_EQ(host.messages[0].text, row.message);
    EXPECT_EQ(host.messages[0].title, "Orvane");
    EXPECT_TRUE(service.calls.empty());
    EXPECT_TRUE(c("CommandButton1").visible());
    EXPECT_FALSE(form().lastRun().started);
  }
}

TEST_F(RunDriverTest, notFoundNumberGivesExactlyTwoLines) {
  load();
  c("TextBox1").setText("EP1033882A1\nWO0050842");
  form().CommandButton1_Click();
  EXPECT_EQ(listLines(), (std::vector<std::string>{"1. EP1033882A1  FAILED !", "", "2. WO0050842  FAILED !", ""}));
  EXPECT_FALSE(c("ListBox1").anySelected());
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1033882A1", "IDkey_ext:WO0050842"}));
  EXPECT_EQ(endMessages(host), 1);
  EXPECT_EQ(form().lastRun().notFound, 2);
}

TEST_F(RunDriverTest, foundNumberHandsTheLocatingResultsToTheSectionDriver) {
  load();
  service.found = [](const std::string&) { return true; };
  c("TextBox1").setText("EP1033882A1");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1033882A1", "TotPrt_TotFile:EP1033882A1:12:1"}));
  EXPECT_TRUE(listLines().empty());
  EXPECT_TRUE(form().lastRun().allComplete());
}

TEST_F(RunDriverTest, emptyFirstLineEndsTheRunAtOnce) {
  load();
  c("TextBox1").setText("\nEP1033882A1");
  form().CommandButton1_Click();
  EXPECT_TRUE(service.calls.empty());
  EXPECT_TRUE(listLines().empty());
  EXPECT_EQ(endMessages(host), 1);
  EXPECT_TRUE(c("CommandButton1").visible());
}

TEST_F(RunDriverTest, emptyLineInTheMiddleEndsTheRunThere) {
  load();
  c("TextBox1").setText("EP1\nEP2\n\nEP3\n");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1", "IDkey_ext:EP2"}));
  EXPECT_EQ(endMessages(host), 1);
}

TEST_F(RunDriverTest, lastNumberWithoutLineBreakIsProcessed) {
  load();
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1", "IDkey_ext:EP2"}));
  EXPECT_EQ(readFile("patnum_int.txt"), "EP1\nEP2\n");
}

TEST_F(RunDriverTest, usptoNumberLosesItsCountryCode) {
  load();
  form().click("btnU");
  c("TextBox1").setText("US5007025\nUS20010000044");
  service.found = [](const std::string& n) { return n == "20010000044"; };
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_extUSPTO:5007025", "IDkey_extUSPTO:20010000044",
                                                     "Page_extUSPTO:20010000044:url-of-20010000044",
                                                     "TotPrt_TotFileUSPTO:20010000044:12:"}));
  EXPECT_EQ(listLines()[0], "1. 5007025  FAILED !");
  EXPECT_EQ(form().run().TotPages, 12);
}

TEST_F(RunDriverTest, usptoClaimsUseTheClaimPageLookup) {
  load();
  form().click("btnU");
  form().click("CheckBox6");
  service.found = [](const std::string&) { return true; };
  c("TextBox1").setText("US5007025");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_extUSPTO:5007025", "ClaimPage_extUSPTO:5007025",
                                                     "TotPrt_TotFileUSPTO:5007025:12:3"}));
}

TEST_F(RunDriverTest, pageCountThatIsNotANumberGivesZeroPages) {
  load();
  form().click("btnI");
  service.found = [](const std::string&) { return true; };
  service.pageCountText = "x";
  c("TextBox1").setText("H11-331656");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls.back(), "TotPrt_TotFileIPDL_DELPHION:H11-331656:0");
}

TEST_F(RunDriverTest, eachServiceCallsItsOwnLocatingProcedure) {
  struct Row {
    const char* button;
    const char* kind;
    const char* call;
  };
  const std::vector<Row> rows = {{"btnE", nullptr, "IDkey_ext:N1"},
                                 {"btnI", "특허공개", "IDkey_extIPDL:N1"},
                                 {"btnI", "PAJ", "IDkey_extPAJ:N1"},
                                 {"btnD", nullptr, "IDkey_extDELPHION:N1"}};
  for (const auto& row : rows) {
    load();
    service.calls.clear();
    form().click(row.button);
    if (row.kind) {
      c("cboIPDL").setText(row.kind);
      form().cboIPDL_Click();
    }
    c("TextBox1").setText("N1");
    form().CommandButton1_Click();
    EXPECT_EQ(service.calls, std::vector<std::string>{row.call}) << row.button;
  }
}

TEST_F(RunDriverTest, noServiceSelectedCallsNoServiceForAnyNumber) {
  writeOption("DBoption.txt", "7\n");
  load();
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_TRUE(service.calls.empty());
  EXPECT_EQ(listLines(), (std::vector<std::string>{"1. EP1  FAILED !", "", "2. EP2  FAILED !", ""}));
  EXPECT_EQ(endMessages(host), 1);
}

TEST_F(RunDriverTest, delphionWithNoBoxCheckedStartsWithFullPages) {
  load();
  form().click("btnD");
  c("CheckBox4").setChecked(false);
  c("TextBox1").setText("JP11331656");
  form().CommandButton1_Click();
  EXPECT_TRUE(c("CheckBox4").checked());
  EXPECT_EQ(service.calls, std::vector<std::string>{"IDkey_extDELPHION:JP11331656"});
  EXPECT_EQ(endMessages(host), 1);
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(RunDriverTest, kiprisLoginRefusedStopsSilently) {
  load();
  form().click("btnK");
  c("TextBox1").setText("101995028508");
  form().CommandButton1_Click();
  EXPECT_EQ(host.modals, std::vector<ModalWindow>{ModalWindow::KiprisLogin});
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(service.calls.empty());

  host.onModal = [this](ModalWindow) { form().run().KiprisLoggedIn = true; };
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, std::vector<std::string>{"IDkey_extKIPRIS:101995028508"});
  form().CommandButton1_Click();
  EXPECT_EQ(host.modals.size(), 2u);  // logged in once per program run
}

TEST_F(RunDriverTest, windowIsLockedDuringTheRunAndUnlockedAfter) {
  load();
  std::vector<std::pair<std::string, bool>> during;
  service.during = [&](const std::string&) {
    for (const char* name : {"CheckBox4", "CheckBox9", "TextBox1", "TextBox3", "mnuSet", "clearBtn", "mnuBad",
                             "cboIPDL", "frDB", "tempStopBtn", "allStopBtn"})
      during.emplace_back(name, c(name).enabled());
    during.emplace_back("CommandButton1 visible", c("CommandButton1").visible());
    during.emplace_back("Combo1 visible", c("Combo1").visible());
  };
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  std::vector<std::pair<std::string, bool>> expected = {
      {"CheckBox4", false}, {"CheckBox9", false}, {"TextBox1", false}, {"TextBox3", false},
      {"mnuSet", false},    {"clearBtn", false},  {"mnuBad", false},   {"cboIPDL", false},
      {"frDB", false},      {"tempStopBtn", true}, {"allStopBtn", true}, {"CommandButton1 visible", false},
      {"Combo1 visible", false}};
  EXPECT_EQ(during, expected);
  for (const char* name : {"CheckBox4", "CheckBox9", "TextBox1", "mnuSet", "clearBtn", "mnuBad", "frDB"})
    EXPECT_TRUE(c(name).enabled()) << name;
  EXPECT_TRUE(c("CommandButton1").visible());
  EXPECT_TRUE(c("Combo1").visible());
  EXPECT_EQ(c("Combo1").text(), "특허번호 선택");
  EXPECT_FALSE(c("ccrpProgressBar1").visible());
  EXPECT_EQ(c("Label6").text(), "");
}

TEST_F(RunDriverTest, statusTextNamesTheNumberAndTheEndNamesTheSaveFolder) {
  writeOption("folder_path.txt", "/patents\n");
  load();
  std::vector<std::string> texts;
  form().addListener([&](const ControlChange& change) {
    if (change.control->name() == "Label6" && change.what == ControlProperty::Text)
      texts.push_back(change.control->text());
  });
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_EQ(texts, (std::vector<std::string>{"EP1  준비중입니다.", "모든 작업이 끝났습니다. 파일은 /patents 폴더에 저장됩니다.", ""}));
  EXPECT_EQ(host.messages.back().text, "모든 작업이 끝났습니다. 원문은 /patents 폴더에 저장됩니다.");
}

TEST_F(RunDriverTest, skipAbandonsOnlyTheCurrentNumber) {
  load();
  int cancels = 0;
  form().addCancelHandler([&] { ++cancels; });
  std::vector<std::string> seen;
  service.during = [&](const std::string& n) {
    seen.push_back(n + (form().run().TempStop ? " stop" : " go") + (c("tempStopBtn").enabled() ? " on" : " off"));
    if (n == "EP2") {
      form().click("tempStopBtn");
      EXPECT_TRUE(form().run().TempStop);
      EXPECT_FALSE(c("tempStopBtn").enabled());
      EXPECT_EQ(c("Label6").text(), "실행이 중단되었습니다. 잠시만 기다려 주십시오.");
    }
  };
  c("TextBox1").setText("EP1\nEP2\nEP3");
  form().CommandButton1_Click();
  EXPECT_EQ(seen, (std::vector<std::string>{"EP1 go on", "EP2 go on", "EP3 go on"}));
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(host.messages[0].text, "진행중인 특허번호를 Skip 하시겠습니까?");
  EXPECT_EQ(host.messages[0].title, "Skip");
  EXPECT_EQ(host.messages[0].buttons, MessageButtons::OkCancel);
}

TEST_F(RunDriverTest, skipCancelledChangesNothing) {
  load();
  host.answer = MessageAnswer::Cancel;
  service.during = [&](const std::string&) { form().click("tempStopBtn"); };
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_FALSE(form().run().TempStop);
  EXPECT_TRUE(c("tempStopBtn").enabled());
}

TEST_F(RunDriverTest, stopAllDuringTheThirdOfFiveNumbersEndsTheRun) {
  load();
  int cancels = 0;
  form().addCancelHandler([&] { ++cancels; });
  service.during = [&](const std::string& n) {
    if (n == "EP3") form().click("allStopBtn");
  };
  c("TextBox1").setText("EP1\nEP2\nEP3\nEP4\nEP5");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1", "IDkey_ext:EP2", "IDkey_ext:EP3"}));
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(host.messages[0].text, "모든작업을 중지하시겠습니까?");
  EXPECT_EQ(host.messages[0].title, "중 지");
  EXPECT_EQ(endMessages(host), 1);
  EXPECT_TRUE(c("allStopBtn").enabled());
  EXPECT_TRUE(c("CommandButton1").visible());
  EXPECT_TRUE(form().lastRun().stoppedAll);

  // The next run starts with the flags cleared.
  service.during = nullptr;
  service.calls.clear();
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls.size(), 5u);
}

TEST_F(RunDriverTest, stopButtonPressedWhileIdleDoesNotDisableTheNextRun) {
  load();
  form().click("allStopBtn");
  EXPECT_FALSE(c("allStopBtn").enabled());
  service.during = [&](const std::string&) { EXPECT_TRUE(c("allStopBtn").enabled()); };
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls.size(), 2u);
}

TEST_F(RunDriverTest, failingServiceProcedureEndsOnlyThatNumber) {
  load();
  service.during = [](const std::string& n) {
    if (n == "EP1") throw std::runtime_error("network gone");
  };
  service.found = [](const std::string&) { return true; };
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP1", "IDkey_ext:EP2", "TotPrt_TotFile:EP2:12:2"}));
  EXPECT_EQ(listLines(), (std::vector<std::string>{"1. EP1  FAILED !", ""}));
}

TEST_F(RunDriverTest, abortedDocumentCountsAsIncomplete) {
  load();
  service.found = [](const std::string&) { return true; };
  service.during = [&](const std::string& n) {
    EXPECT_FALSE(form().run().Aborted) << n;  // each number starts complete
    if (n == "EP1") form().run().Aborted = true;
  };
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(form().lastRun().incomplete, 1);
  EXPECT_FALSE(form().lastRun().allComplete());
}

TEST_F(RunDriverTest, selectionsOfTheFinishedNumberAreCleared) {
  load();
  service.found = [](const std::string&) { return true; };
  // An earlier BAD line outside the finished range, three page lines still
  // selected, then the section's closing line and an empty line.
  service.during = [&](const std::string&) {
    Control& list = c("ListBox1");
    auto add = [&](const std::string& text, bool selected) {
      list.addLine(text);
      list.setSelected(list.listCount() - 1, selected);
    };
    add("0. EP0 :  9 Page   BAD ! ->", true);
    add("other", false);
    for (int p = 1; p <= 3; ++p) add("1. EP1 :  " + std::to_string(p) + " Page   BAD ! ->", true);
    add("++++ Full Pages  Finished ++++", false);
    add("", false);
    form().run().PageCount = 3;
  };
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  Control& list = c("ListBox1");
  EXPECT_TRUE(list.selected(0));
  for (int i = 2; i <= 4; ++i) EXPECT_FALSE(list.selected(i)) << i;
}

TEST_F(RunDriverTest, unwritableNumberListStillRunsTheNumbers) {
  load();
  std::filesystem::create_directory(m_root / "patnum_int.txt");
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(service.calls.size(), 2u);
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST_F(RunDriverTest, serviceWaitEndsWhenSkipIsPressedDuringIt) {
  load();
  int turns = 0;
  // A poller standing in for the transfers: on its fifth turn the user
  // presses Skip, which the waiting procedure must notice.
  form().pump().addPoller([&](int) {
    if (++turns == 5) form().click("tempStopBtn");
  });
  EventPump::WaitResult result{};
  service.during = [&](const std::string&) {
    result = form().waitFor([] { return false; }, std::chrono::seconds(10));
  };
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_EQ(result, EventPump::WaitResult::Stopped);
  EXPECT_GE(turns, 5);
  EXPECT_FALSE(form().run().TempStop);  // cleared after the number
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

TEST_F(RunDriverTest, saveFolderIsReReadAtRunStartAndNeverEmpty) {
  load();
  writeOption("folder_path.txt", "/first\n");
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_EQ(form().run().SaveFolder, "/first");
  writeOption("folder_path.txt", "\n");
  form().CommandButton1_Click();
  EXPECT_EQ(form().run().SaveFolder, (m_root / "patent_file").string());
}

}  // namespace
}  // namespace orvane::testing

namespace orvane::testing {
namespace {

// A second window on the same settings root while a run is going: refused
// with the Korean message, nothing of it runs; once the first run has
// ended the root is free again.
TEST_F(RunDriverTest, secondRunOnTheSameSettingsRootIsRefusedWhileTheFirstRuns) {
  load();
  RecordingHost otherHost;
  RecordingService otherService;
  RetrievalForm other(OptionFiles::fromEnvironment(), &otherHost);
  for (int s = 1; s <= 5; ++s) other.registerService(static_cast<Service>(s), &otherService);
  other.Form_Load();
  other.ui().TextBox1.setText("EP2");
  service.during = [&](const std::string&) { other.CommandButton1_Click(); };
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();

  EXPECT_TRUE(other.lastRun().lockRefused);
  EXPECT_FALSE(other.lastRun().started);
  EXPECT_TRUE(otherService.calls.empty());
  ASSERT_EQ(otherHost.messages.size(), 1u);
  EXPECT_EQ(otherHost.messages[0].text, "다른 Orvane 작업이 같은 설정 폴더(" + m_root.string() +
                                            ")를 사용하고 있습니다. 그 작업이 끝난 뒤에 다시 실행하십시오.");
  EXPECT_EQ(otherHost.messages[0].title, "Orvane");
  EXPECT_TRUE(other.ui().CommandButton1.visible());
  EXPECT_TRUE(form().lastRun().started);

  service.during = nullptr;
  other.CommandButton1_Click();
  EXPECT_TRUE(other.lastRun().started);
  EXPECT_EQ(otherService.calls, std::vector<std::string>{"IDkey_ext:EP2"});
}

// Flags of one number never decide how the next one is joined or counted.
TEST_F(RunDriverTest, perNumberFlagsStartClearForEveryNumber) {
  load();
  service.found = [](const std::string&) { return true; };
  std::vector<std::string> seen;
  service.during = [&](const std::string& n) {
    RunState& run = form().run();
    seen.push_back(n + (run.LastBadPage ? " last" : "") + (run.Failed ? " failed" : ""));
    run.LastBadPage = true;
    if (n == "EP1") run.Failed = true;
  };
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(seen, (std::vector<std::string>{"EP1", "EP2"}));
  EXPECT_EQ(form().lastRun().failed, 1);
  EXPECT_FALSE(form().lastRun().allComplete());
}

// Numbers name folders and files; one that is a path is refused before any
// service sees it, and the run goes on.
TEST_F(RunDriverTest, pathLikeNumbersAreRefusedWithAStatusLine) {
  load();
  service.found = [](const std::string&) { return true; };
  c("TextBox1").setText("GB/../../X\nEP..1\nDE\\X\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(listLines(), (std::vector<std::string>{"1. GB/../../X  잘못된 특허번호입니다 !", "",
                                                   "2. EP..1  잘못된 특허번호입니다 !", "",
                                                   "3. DE\\X  잘못된 특허번호입니다 !", ""}));
  EXPECT_EQ(service.calls, (std::vector<std::string>{"IDkey_ext:EP2", "TotPrt_TotFile:EP2:12:4"}));
  EXPECT_EQ(form().lastRun().failed, 3);
}

// A lookup cut short by Skip proves nothing about the number: the line says
// it was stopped, not that it was not found.
TEST_F(RunDriverTest, lookupStoppedBySkipSaysStoppedNotFailed) {
  load();
  service.during = [&](const std::string& n) {
    if (n == "EP1") form().tempStopBtn_Click();
  };
  c("TextBox1").setText("EP1\nEP2");
  form().CommandButton1_Click();
  EXPECT_EQ(listLines(), (std::vector<std::string>{"1. EP1  중단되었습니다 !", "", "2. EP2  FAILED !", ""}));
  EXPECT_EQ(form().lastRun().notFound, 1);
  EXPECT_EQ(form().lastRun().incomplete, 1);
}

}  // namespace
}  // namespace orvane::testing
