// Option files, the settings window and the service configuration it applies.
#include "WindowFixture.h"

namespace orvane::testing {
namespace {

using SettingsTest = WindowTest;

TEST_F(SettingsTest, freshStartWritesTheFourDefaultFiles) {
  load();
  EXPECT_EQ(readFile("folder_path.txt"), (m_root / "patent_file").string() + "\n");
  EXPECT_EQ(readFile("DBoption.txt"), "1\n");
  EXPECT_EQ(readFile("option.txt"), "1\n");
  EXPECT_EQ(readFile("check.txt"), "1\n");
  EXPECT_EQ(form().selectedService(), Service::Espacenet);
  EXPECT_TRUE(form().setting().control("Check1").checked());
  EXPECT_TRUE(form().setting().control("Option1").checked());
  // The folder file had to be created, so the save folder waits for the first run.
  EXPECT_EQ(form().run().SaveFolder, "");
  EXPECT_EQ(c("lblDB").caption(), "esp@cenet");
  EXPECT_EQ(c("btnE").backColor(), kOrangeColor);
  EXPECT_EQ(c("btnU").backColor(), kButtonFaceColor);
  EXPECT_TRUE(c("frESPACE").visible());
  EXPECT_FALSE(c("frUSPTO").visible());
  EXPECT_TRUE(c("CheckBox4").checked());
}

TEST_F(SettingsTest, existingFilesAreKeptAndTheSaveFolderIsReadAtStart) {
  writeOption("folder_path.txt", "/data/patents\r\nsecond line\r\n");
  writeOption("DBoption.txt", "2\n");
  writeOption("check.txt", "0\n");
  load();
  EXPECT_EQ(form().run().SaveFolder, "/data/patents");
  EXPECT_EQ(readFile("DBoption.txt"), "2\n");
  EXPECT_EQ(form().selectedService(), Service::Uspto);
  EXPECT_FALSE(form().setting().control("Option2").enabled());
  EXPECT_FALSE(c("CheckBox7").enabled());
  EXPECT_FALSE(c("CheckBox8").enabled());
  EXPECT_TRUE(c("frUSPTO").visible());
}

TEST_F(SettingsTest, unknownServiceCodeSelectsNoServiceAndKeepsTheLayout) {
  for (const char* content : {"7\n", ""}) {
    writeOption("DBoption.txt", content);
    load();
    EXPECT_EQ(form().selectedService(), Service::None) << content;
    EXPECT_EQ(c("lblDB").caption(), "");
    for (const char* button : {"btnE", "btnU", "btnI", "btnD", "btnK"})
      EXPECT_EQ(c(button).backColor(), kButtonFaceColor);
  }
}

TEST_F(SettingsTest, startupLayoutFollowsTheStoredService) {
  struct Row {
    const char* code;
    const char* frame;
    std::vector<const char*> disabled;
    bool saveShown;
  };
  const std::vector<Row> rows = {
      {"1", "frESPACE", {}, true},
      {"2", "frUSPTO", {"CheckBox7", "CheckBox8"}, true},
      {"3", "frIPDL", {"CheckBox6", "CheckBox7", "CheckBox8"}, true},
      {"4", "frDELPHION", {"CheckBox9"}, false},
      {"5", "frKIPRIS", {"CheckBox6", "CheckBox7", "CheckBox8"}, true},
  };
  for (const auto& row : rows) {
    writeOption("DBoption.txt", std::string(row.code) + "\n");
    load();
    for (const char* frame : {"frESPACE", "frUSPTO", "frIPDL", "frDELPHION", "frKIPRIS"})
      EXPECT_EQ(c(frame).visible(), std::string(frame) == row.frame) << row.code << " " << frame;
    for (const char* box : row.disabled) EXPECT_FALSE(c(box).enabled()) << row.code << " " << box;
    EXPECT_EQ(c("frSave").visible(), row.saveShown) << row.code;
    EXPECT_EQ(c("frPAJ").visible(), !row.saveShown) << row.code;
    EXPECT_TRUE(c("CheckBox4").checked());
  }
}

TEST_F(SettingsTest, uncheckingCheck1MovesKeepToOption1AndOkWritesIt) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.selectKeep(2);
  s.control("Check1").setChecked(false);
  s.Check1_Click();
  EXPECT_TRUE(s.control("Option1").checked());
  EXPECT_FALSE(s.control("Option2").checked());
  EXPECT_FALSE(s.control("Option2").enabled());
  s.OKButton_Click();
  EXPECT_EQ(readFile("option.txt"), "1\n");
  EXPECT_EQ(readFile("check.txt"), "0\n");
  s.control("Check1").setChecked(true);
  s.Check1_Click();
  EXPECT_TRUE(s.control("Option2").enabled());
}

TEST_F(SettingsTest, okWritesAllFourFilesAndSetsTheSaveFolder) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.control("Text1").setText("/srv/out");
  s.selectService(Service::Kipris);
  s.OKButton_Click();
  EXPECT_EQ(readFile("folder_path.txt"), "/srv/out\n");
  EXPECT_EQ(readFile("DBoption.txt"), "5\n");
  EXPECT_EQ(form().run().SaveFolder, "/srv/out");
  EXPECT_EQ(c("lblDB").caption(), "KIPRIS");
  EXPECT_FALSE(s.loaded());
}

TEST_F(SettingsTest, okWithNoServiceLeavesTheFileEmptyAndTheWindowAsItWas) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.selectService(Service::None);
  s.OKButton_Click();
  EXPECT_EQ(readFile("DBoption.txt"), "");
  EXPECT_EQ(c("lblDB").caption(), "esp@cenet");
  EXPECT_EQ(form().selectedService(), Service::None);
}

TEST_F(SettingsTest, cancelDiscardsTheEdits) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.control("Text1").setText("/elsewhere");
  s.selectService(Service::Delphion);
  s.CancelButton_Click();
  EXPECT_EQ(form().selectedService(), Service::Espacenet);
  EXPECT_EQ(s.control("Text1").text(), (m_root / "patent_file").string());
  EXPECT_EQ(readFile("DBoption.txt"), "1\n");
}

TEST_F(SettingsTest, folderChooserFillsText1AndCancelKeepsIt) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  host.folder = std::nullopt;
  s.Command1_Click();
  EXPECT_EQ(s.control("Text1").text(), (m_root / "patent_file").string());
  host.folder = std::string("/chosen/folder\0junk", 19);
  s.Command1_Click();
  EXPECT_EQ(s.control("Text1").text(), "/chosen/folder");
}

TEST_F(SettingsTest, optionFileDeletedWhileRunningFallsBackToItsDefault) {
  load();
  std::filesystem::remove(m_root / "DBoption.txt");
  std::filesystem::remove(m_root / "check.txt");
  form().setting().CancelButton_Click();
  EXPECT_EQ(form().selectedService(), Service::Espacenet);
  EXPECT_TRUE(form().setting().folderPerNumber());
}

TEST_F(SettingsTest, unwritableOptionFileIsReportedAndTheRestIsWritten) {
  load();
  std::filesystem::remove(m_root / "DBoption.txt");
  std::filesystem::create_directory(m_root / "DBoption.txt");  // cannot be opened for writing
  form().btnU_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("DBoption.txt"), std::string::npos);
  EXPECT_EQ(readFile("check.txt"), "1\n");
  EXPECT_EQ(c("lblDB").caption(), "USPTO");
}

TEST_F(SettingsTest, usptoButtonUnchecksAndDisablesDescription) {
  load();
  form().click("CheckBox7");
  ASSERT_TRUE(c("CheckBox7").checked());
  form().click("btnU");
  EXPECT_FALSE(c("CheckBox7").checked());
  EXPECT_FALSE(c("CheckBox7").enabled());
  EXPECT_FALSE(c("CheckBox8").enabled());
  EXPECT_TRUE(c("CheckBox6").enabled());
  EXPECT_EQ(readFile("DBoption.txt"), "2\n");
  EXPECT_EQ(c("btnU").backColor(), kOrangeColor);
  EXPECT_EQ(c("btnE").backColor(), kButtonFaceColor);
  EXPECT_EQ(c("CheckBox5").caption(), "Page");
}

TEST_F(SettingsTest, serviceButtonsApplyTheFullerConfiguration) {
  load();
  form().click("btnK");
  EXPECT_TRUE(c("CheckBox4").checked());
  EXPECT_FALSE(c("CheckBox6").enabled());
  EXPECT_TRUE(c("CheckBox9").enabled());
  EXPECT_TRUE(c("frKIPRIS").visible());
  form().click("btnD");
  EXPECT_FALSE(c("mnuBad").enabled());
  EXPECT_FALSE(c("frSave").visible());
  EXPECT_TRUE(c("frPAJ").visible());
  EXPECT_FALSE(c("CheckBox9").enabled());
  form().click("btnI");
  EXPECT_TRUE(c("frSave").visible());
  EXPECT_FALSE(c("frPAJ").visible());
  EXPECT_TRUE(c("mnuBad").enabled());
  form().click("btnE");
  for (const char* box : {"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"})
    EXPECT_TRUE(c(box).enabled()) << box;
  EXPECT_EQ(readFile("DBoption.txt"), "1\n");
}

TEST_F(SettingsTest, ipdlKindPajSwapsTheSaveRangeForTheContentFrame) {
  load();
  form().click("btnI");
  c("CheckBox9").setChecked(true);
  c("cboIPDL").setText("PAJ");
  form().cboIPDL_Click();
  EXPECT_FALSE(c("frSave").visible());
  EXPECT_TRUE(c("frPAJ").visible());
  EXPECT_FALSE(c("CheckBox9").checked());
  EXPECT_FALSE(c("CheckBox9").enabled());
  EXPECT_FALSE(c("mnuBad").enabled());
  c("cboIPDL").setText("특허공보");
  form().cboIPDL_Click();
  EXPECT_TRUE(c("frSave").visible());
  EXPECT_TRUE(c("CheckBox9").enabled());
  EXPECT_TRUE(c("mnuBad").enabled());
}

}  // namespace
}  // namespace orvane::testing
