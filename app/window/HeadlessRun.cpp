#include "app/window/HeadlessRun.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/window/HeadlessHost.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TerminalPassword.h"

namespace orvane {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl-C asks for stop-all, as the stop button would; a second one
// ends the program the usual way.
extern "C" void onInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

// The number box upper-cases what is typed into it; numbers from a file get
// the same treatment. Line ends become the box's single line breaks.
std::string numberBoxText(const std::string& raw) {
  std::string text;
  text.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\r') {
      text += '\n';
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
      continue;
    }
    text += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return text;
}

bool applyRanges(RetrievalForm& form, const CommandLine& cl, std::ostream& err) {
  if (cl.ranges.empty()) return true;
  for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"})
    form.control(box).setChecked(false);
  for (const auto& box : cl.ranges) {
    Control& c = form.control(box);
    if (!c.enabled() || !form.ui().frSave.visible()) {
      err << "orvane: the save range '" << c.caption() << "' is not offered for this service\n";
      return false;
    }
    c.setChecked(true);
  }
  if (cl.pages) form.ui().TextBox3.setText(*cl.pages);
  return true;
}

// The password of a headless KIPRIS login: from ORVANE_KIPRIS_PASSWORD
// (removed from the environment at once, so no program started later
// inherits it) or typed at the terminal without echo; nullopt when neither.
std::optional<std::string> kiprisPassword(const std::string& user) {
  if (const char* env = std::getenv("ORVANE_KIPRIS_PASSWORD")) {
    std::string password = env;
    ::unsetenv("ORVANE_KIPRIS_PASSWORD");
    return password;
  }
  return ReadPasswordFromTerminal("KIPRIS 비밀번호 (" + user + "): ");
}

}  // namespace

int RunHeadless(const CommandLine& cl, std::istream& in, std::ostream& out, std::ostream& err,
                const std::function<void(RetrievalForm&)>& setup) {
  std::string raw;
  if (cl.numbersFile) {
    std::ifstream file(*cl.numbersFile, std::ios::binary);
    if (!file) {
      err << "orvane: cannot read the numbers file " << *cl.numbersFile << "\n";
      return 2;
    }
    raw.assign(std::istreambuf_iterator<char>(file), {});
  } else {
    raw.assign(std::istreambuf_iterator<char>(in), {});
  }

  HeadlessHost host(out);
  RetrievalForm form(OptionFiles::fromEnvironment(), &host);
  host.follow(form);
  form.Form_Load();
  if (setup) setup(form);

  if (cl.ipdlKind) {
    form.ui().cboIPDL.setText(*cl.ipdlKind);
    form.cboIPDL_Click();
  }
  if (cl.service) form.useServiceForSession(*cl.service);
  if (cl.badPages && !form.click("mnuBad")) {
    err << "orvane: bad-page mode is not offered for this service\n";
    return 2;
  }
  if (!applyRanges(form, cl, err)) return 2;
  if (cl.print) {
    if (!form.ui().CheckBox9.enabled()) {
      err << "orvane: printing is not offered for this service\n";
      return 2;
    }
    form.ui().CheckBox9.setChecked(true);
  }
  form.ui().TextBox1.setText(numberBoxText(raw));

  // The run driver asks for the KIPRIS login at the start of a run; the
  // identifier and password given here answer it as the login window would.
  std::string password;
  if (cl.kiprisUser && form.selectedService() == Service::Kipris) {
    auto given = kiprisPassword(*cl.kiprisUser);
    if (!given) {
      err << "orvane: --kipris-user needs the password in ORVANE_KIPRIS_PASSWORD or a terminal to type it\n";
      return 2;
    }
    password = std::move(*given);
    host.setKiprisLogin([&form, &cl, &password] {
      KiprisLoginForm& login = form.kiprisLogin();
      login.KiprisID().setText(*cl.kiprisUser);
      login.KiprisPW().setText(password);
      if (!login.KiprisOK_Click()) login.KiprisCancel_Click();
    });
  }

  g_interrupted = 0;
  auto previous = std::signal(SIGINT, onInterrupt);
  int poller = form.pump().addPoller([&form](int) {
    if (g_interrupted && !form.run().AllStop) form.allStopBtn_Click();
  });
  form.CommandButton1_Click();
  form.pump().removePoller(poller);
  host.setKiprisLogin({});
  std::fill(password.begin(), password.end(), '\0');
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);

  if (form.lastRun().lockRefused) return kExitSettingsInUse;
  return form.lastRun().allComplete() ? 0 : 1;
}

}  // namespace orvane
