// The KIPRIS login window of the model and the headless login options: OK
// and Cancel decide KiprisLoggedIn, the password does not outlive its use,
// and the password never comes from the command line.
#include "app/window/KiprisLoginForm.h"

#include <gtest/gtest.h>

#include "app/window/CommandLine.h"

namespace orvane {
namespace {

TEST(KiprisLoginForm, okAndCancelDecideTheLoginOfTheRun) {
  struct Case {
    const char* name;
    bool haveAction;
    bool accepts;
    bool loggedIn;     // after OK
    bool passwordKept; // still in the box after OK
  };
  const Case cases[] = {
      {"accepted", true, true, true, false},
      {"refused: stays open for another try", true, false, false, true},
      {"no service to log in with", false, false, false, true},
  };
  for (const Case& c : cases) {
    RunState run;
    run.KiprisLoggedIn = !c.loggedIn;
    KiprisLoginForm form(run);
    std::string gotId, gotPassword;
    if (c.haveAction) {
      form.setLoginAction([&](const std::string& id, const std::string& password) {
        gotId = id;
        gotPassword = password;
        return c.accepts;
      });
    }
    form.KiprisID().setText("kipris-demo");
    form.KiprisPW().setText("p&ss w=rd+\xED\x95\x9C");
    EXPECT_EQ(form.KiprisOK_Click(), c.loggedIn) << c.name;
    EXPECT_EQ(run.KiprisLoggedIn, c.loggedIn) << c.name;
    if (c.haveAction) {
      EXPECT_EQ(gotId, "kipris-demo") << c.name;
      EXPECT_EQ(gotPassword, "p&ss w=rd+\xED\x95\x9C") << c.name;
    }
    EXPECT_EQ(form.KiprisPW().text().empty(), !c.passwordKept) << c.name;
    form.KiprisCancel_Click();
    EXPECT_FALSE(run.KiprisLoggedIn) << c.name;
    EXPECT_TRUE(form.KiprisPW().text().empty()) << c.name;
  }
}

TEST(KiprisCommandLine, identifierFromTheOptionPasswordNeverFromTheCommandLine) {
  CommandLine ok = CommandLine::parse({"--headless", "--service", "kipris", "--kipris-user", "kipris-demo"});
  EXPECT_EQ(ok.error, "");
  EXPECT_EQ(ok.kiprisUser, "kipris-demo");
  for (auto args : std::vector<std::vector<std::string>>{
           {"--headless", "--kipris-user", "u", "--kipris-password", "secret"},
           {"--headless", "--kipris-password=secret"},
           {"--kipris-user", "u"},
           {"--headless", "--kipris-user"}}) {
    EXPECT_NE(CommandLine::parse(args).error, "") << args.back();
  }
}

}  // namespace
}  // namespace orvane
