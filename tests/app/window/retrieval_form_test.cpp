// Main-window rules outside the run: save-range groups, bad-page mode, the
// number box, the help windows and the exit command.
#include "WindowFixture.h"

namespace orvane::testing {
namespace {

using RetrievalFormTest = WindowTest;

TEST_F(RetrievalFormTest, saveRangeBoxesFormThreeExclusiveGroups) {
  struct Row {
    std::vector<const char*> clicks;
    std::vector<const char*> checked;
  };
  const std::vector<Row> rows = {
      {{"CheckBox6", "CheckBox7", "CheckBox8"}, {"CheckBox6", "CheckBox7", "CheckBox8"}},
      {{"CheckBox6", "CheckBox7", "CheckBox4"}, {"CheckBox4"}},
      {{"CheckBox6", "CheckBox5"}, {"CheckBox5"}},
      {{"CheckBox5", "CheckBox8"}, {"CheckBox8"}},
      {{"CheckBox5", "CheckBox4"}, {"CheckBox4"}},
      {{"CheckBox4"}, {}},  // Full Pages starts checked; the click unchecks it
  };
  for (const auto& row : rows) {
    load();
    for (const char* box : row.clicks) form().click(box);
    std::vector<std::string> checked;
    for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"})
      if (c(box).checked()) checked.push_back(box);
    EXPECT_EQ(checked, std::vector<std::string>(row.checked.begin(), row.checked.end()));
  }
}

TEST_F(RetrievalFormTest, disabledControlCannotBeClicked) {
  load();
  form().click("btnU");
  EXPECT_FALSE(form().click("CheckBox7"));
  EXPECT_FALSE(c("CheckBox7").checked());
  EXPECT_FALSE(form().click("noSuchControl"));
}

TEST_F(RetrievalFormTest, typedLettersAreUpperCased) {
  load();
  std::string typed = "us5007025a";
  form().TextBox1_KeyPress(typed);
  EXPECT_EQ(typed, "US5007025A");
  std::string korean = "특허";
  form().TextBox1_KeyPress(korean);
  EXPECT_EQ(korean, "특허");
}

TEST_F(RetrievalFormTest, resetEmptiesTheNumberBox) {
  load();
  c("TextBox1").setText("EP1\nEP2");
  form().click("clearBtn");
  EXPECT_EQ(c("TextBox1").text(), "");
}

TEST_F(RetrievalFormTest, helpMenusAndSettingOpenTheirWindowsModally) {
  load();
  form().click("Command1");
  form().click("mnuAbout");
  form().click("badCom");
  form().setting().CancelButton_Click();
  form().click("mnuSet");
  EXPECT_EQ(host.modals, (std::vector<ModalWindow>{ModalWindow::TypeNo, ModalWindow::About, ModalWindow::EachPage,
                                                   ModalWindow::Setting}));
  EXPECT_TRUE(form().setting().loaded());
  EXPECT_NE(form().about().control("lblVersion").caption().find("2.47"), std::string::npos);
  EXPECT_EQ(form().eachPage().caption(), "페이지번호 입력형식");
  EXPECT_EQ(form().typeNo().caption(), "Patent No. 입력형식");
}

TEST_F(RetrievalFormTest, badPageModeTogglesTheSaveRange) {
  load();
  c("TextBox3").setText("2,5");
  form().click("mnuBad");
  EXPECT_TRUE(c("mnuBad").checked());
  EXPECT_EQ(c("CheckBox5").caption(), "BadPG");
  EXPECT_TRUE(c("CheckBox5").checked());
  for (const char* box : {"CheckBox4", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}) {
    EXPECT_FALSE(c(box).checked()) << box;
    EXPECT_FALSE(c(box).enabled()) << box;
  }
  form().click("mnuBad");
  EXPECT_FALSE(c("mnuBad").checked());
  EXPECT_EQ(c("CheckBox5").caption(), "Page");
  EXPECT_FALSE(c("CheckBox5").checked());
  EXPECT_TRUE(c("CheckBox4").checked());
  EXPECT_EQ(c("TextBox3").text(), "");
  for (const char* box : {"CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}) EXPECT_TRUE(c(box).enabled()) << box;
}

TEST_F(RetrievalFormTest, runInBadPageModeKeepsTheOtherBoxesDisabled) {
  load();
  form().click("mnuBad");
  c("TextBox3").setText("2");
  c("TextBox1").setText("EP1");
  form().CommandButton1_Click();
  EXPECT_FALSE(c("CheckBox4").enabled());
  EXPECT_TRUE(c("CheckBox5").enabled());
  EXPECT_TRUE(c("mnuBad").enabled());
}

TEST_F(RetrievalFormTest, exitStopsARunningRunAndEndsTheProgram) {
  load();
  int cancels = 0;
  form().addCancelHandler([&] { ++cancels; });
  form().click("mnuExit");
  EXPECT_TRUE(host.quitCalled);
  EXPECT_TRUE(form().run().AllStop);
  EXPECT_EQ(cancels, 1);
}

TEST_F(RetrievalFormTest, progressBarStepsOncePerPageAndStopsAtItsMaximum) {
  load();
  Control& bar = c("ccrpProgressBar1");
  bar.setMax(2);
  form().progressBar();
  form().progressBar();
  form().progressBar();
  EXPECT_EQ(bar.value(), 2);
}

TEST_F(RetrievalFormTest, viewAndOpenReachTheHandlersOfLaterLayers) {
  load();
  std::vector<std::string> calls;
  form().click("View");  // nothing registered: nothing happens
  form().setExternalHandler("View_Click", [&] { calls.push_back("view"); });
  form().setExternalHandler("mnuOpen_Click", [&] { calls.push_back("open"); });
  form().click("View");
  form().click("mnuOpen");
  EXPECT_EQ(calls, (std::vector<std::string>{"view", "open"}));
}

TEST(ListBoxTest, staleLineIndexIsIgnored) {
  Control list("ListBox1", ControlKind::ListBox, "", nullptr);
  list.addLine("a");
  list.setLine(5, "x");
  list.setSelected(-1, true);
  EXPECT_EQ(list.line(0), "a");
  EXPECT_EQ(list.line(5), "");
  EXPECT_FALSE(list.anySelected());
}

// Leaving bad-page mode gives back the section boxes the service offers.
TEST_F(RetrievalFormTest, leavingBadPageModeEnablesTheSectionsOfTheService) {
  struct Case {
    const char* code;
    bool claims, description, drawings;
  };
  const Case cases[] = {
      {"1", true, true, true}, {"2", true, false, false}, {"3", false, false, false}, {"5", false, false, false}};
  for (const Case& k : cases) {
    writeOption("DBoption.txt", std::string(k.code) + "\n");
    load();
    form().click("mnuBad");
    form().click("mnuBad");
    EXPECT_EQ(c("CheckBox6").enabled(), k.claims) << k.code;
    EXPECT_EQ(c("CheckBox7").enabled(), k.description) << k.code;
    EXPECT_EQ(c("CheckBox8").enabled(), k.drawings) << k.code;
    EXPECT_TRUE(c("CheckBox9").enabled()) << k.code;
    EXPECT_TRUE(c("CheckBox4").checked() && c("CheckBox4").enabled()) << k.code;
  }
}

}  // namespace
}  // namespace orvane::testing
