// The sixth service in the window model: its button and option value, the
// sections it offers, the key pair in the settings window, and the run
// driver's calls.
#include <sys/stat.h>

#include "WindowFixture.h"

namespace orvane::testing {
namespace {

using OpsWindowTest = WindowTest;

TEST_F(OpsWindowTest, buttonOSelectsOpsWithClaimsDescriptionAndDrawings) {
  load();
  form().click("btnK");  // KIPRIS disables the three sections
  form().click("btnO");
  EXPECT_EQ(readFile("DBoption.txt"), "6\n");
  EXPECT_EQ(form().selectedService(), Service::Ops);
  EXPECT_EQ(c("lblDB").caption(), "EPO OPS");
  EXPECT_EQ(c("btnO").backColor(), kOrangeColor);
  EXPECT_EQ(c("btnK").backColor(), kButtonFaceColor);
  EXPECT_TRUE(c("frOPS").visible());
  EXPECT_FALSE(c("frKIPRIS").visible());
  for (const char* box : {"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "mnuBad"})
    EXPECT_TRUE(c(box).enabled()) << box;

  // Stored as 6, the window starts on it.
  writeOption("DBoption.txt", "6\n");
  load();
  EXPECT_EQ(form().selectedService(), Service::Ops);
  EXPECT_TRUE(c("frOPS").visible());
  EXPECT_FALSE(c("frESPACE").visible());
}

TEST_F(OpsWindowTest, runCallsTheLookupAndSectionProceduresWithTheNumberAsTyped) {
  writeOption("DBoption.txt", "6\n");
  load();
  service.found = [](const std::string&) { return true; };
  c("TextBox1").setText("EP1033882A1");
  form().click("CommandButton1");
  ASSERT_GE(service.calls.size(), 2u);
  EXPECT_EQ(service.calls[0], "IDkey_ext:EP1033882A1");
  EXPECT_EQ(service.calls[1].rfind("TotPrt_TotFile:EP1033882A1", 0), 0u) << service.calls[1];
}

TEST_F(OpsWindowTest, settingsWindowKeepsTheKeyPairInAPrivateFile) {
  load();
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.ui().opsKey.setText("my-key");
  s.ui().opsSecret.setText("my-secret");
  s.OKButton_Click();
  EXPECT_EQ(readFile("ops_credentials.txt"), "key=my-key\nsecret=my-secret\n");
  struct stat st {};
  ASSERT_EQ(::stat((m_root / "ops_credentials.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // Shown again when the window opens; Cancel keeps the stored pair.
  s.ensureLoaded();
  EXPECT_EQ(s.ui().opsKey.text(), "my-key");
  EXPECT_EQ(s.ui().opsSecret.text(), "my-secret");
  s.ui().opsSecret.setText("changed");
  s.CancelButton_Click();
  EXPECT_EQ(readFile("ops_credentials.txt"), "key=my-key\nsecret=my-secret\n");

  // Clearing both fields removes the file.
  s.ensureLoaded();
  s.ui().opsKey.setText("");
  s.ui().opsSecret.setText("");
  s.OKButton_Click();
  EXPECT_FALSE(std::filesystem::exists(m_root / "ops_credentials.txt"));
}

TEST_F(OpsWindowTest, keyPairThatCannotBeStoredIsReported) {
  load();
  std::vector<std::string> failed;
  form().setting().setWriteFailure([&](const std::string& path) { failed.push_back(path); });
  SettingForm& s = form().setting();
  s.ensureLoaded();
  s.ui().opsKey.setText("k\nsecret=injected");
  s.ui().opsSecret.setText("s");
  s.OKButton_Click();
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_NE(failed[0].find("ops_credentials.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(m_root / "ops_credentials.txt"));
}

}  // namespace
}  // namespace orvane::testing
