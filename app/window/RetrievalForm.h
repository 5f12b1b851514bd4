#pragma once
// The main window model ("Orvane"): every control of the window with its
// state, the event handlers (control + "_" + event), the service selection and
// save-range rules, and the run driver that walks the number list and calls
// the registered service procedures. Toolkit-free: a front end (Qt or
// headless) shows the controls, calls the handlers, and provides message
// boxes and modal windows through UiHost. Owns the run state, the event pump,
// the settings window and the help windows; does not own the UiHost or the
// registered services, which must outlive it.

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/window/EventPump.h"
#include "app/window/Form.h"
#include "app/window/HelpForms.h"
#include "app/window/KiprisLoginForm.h"
#include "app/window/MainControls.h"
#include "app/window/OptionFiles.h"
#include "app/window/RetrievalService.h"
#include "app/window/RunState.h"
#include "app/window/SettingForm.h"
#include "app/window/SettingsLock.h"

namespace orvane {

class UiHost;

// What the last run did; the headless mode turns it into its exit status.
struct RunSummary {
  bool started = false;      // the start checks passed and the run began
  bool lockRefused = false;  // another run holds the settings root
  int numbers = 0;           // numbers taken from the list
  int notFound = 0;          // numbers the service did not find
  int failed = 0;            // numbers refused or not fetched at all (bad number, unwritable folder)
  int incomplete = 0;        // found, but stopped, short or with BAD pages
  bool stoppedAll = false;
  bool allComplete() const {
    return started && notFound == 0 && failed == 0 && incomplete == 0 && !stoppedAll;
  }
};

// A part that a later layer attaches to the main window (the transfers and
// the service procedures, the assembly). The window owns its parts and
// destroys them, newest first, before anything of its own, so a part may use
// the window until the end of its destructor.
class FormPart {
 public:
  virtual ~FormPart() = default;
};

class RetrievalForm : public Form {
 public:
  static constexpr const char* kIpdlKinds[5] = {"특허공개", "실용공개", "특허공보", "실용등록", "PAJ"};
  // The message of a run refused because another run holds the settings root.
  static std::string LockRefusedText(const std::string& root);
  // Status-list words of a number the driver does not hand to the service,
  // and of a number whose lookup a stop cut short.
  static constexpr const char* kRefusedNumber = "  잘못된 특허번호입니다 !";
  static constexpr const char* kStoppedNumber = "  중단되었습니다 !";

  RetrievalForm(OptionFiles files, UiHost* host);
  ~RetrievalForm() override;

  // The host may also be set after construction, for a host that needs the form.
  void setHost(UiHost* host) {
    m_host = host;
    m_setting.setHost(host);
  }

  UiHost* host() const { return m_host; }
  // The window's controls, one typed member each.
  MainControls& ui() { return *m_ui; }
  const MainControls& ui() const { return *m_ui; }
  RunState& run() { return m_run; }
  const RunState& run() const { return m_run; }
  EventPump& pump() { return m_pump; }
  SettingForm& setting() { return m_setting; }
  TypeNoForm& typeNo() { return m_typeNo; }
  AboutForm& about() { return m_about; }
  EachPageForm& eachPage() { return m_eachPage; }
  KiprisLoginForm& kiprisLogin() { return m_kiprisLogin; }
  const OptionFiles& files() const { return m_files; }
  const RunSummary& lastRun() const { return m_lastRun; }

  // Hands a part to the window, which keeps it for its own lifetime.
  FormPart& attach(std::unique_ptr<FormPart> part);

  // Service procedures; a service without one reports every number not found.
  void registerService(Service service, RetrievalService* implementation);
  // Cancels every transfer (Skip, stop all); the transfer layer registers here.
  int addCancelHandler(std::function<void()> handler);
  void removeCancelHandler(int id);
  // Handlers that later layers provide for the window (View_Click, mnuOpen_Click).
  void setExternalHandler(const std::string& event, std::function<void()> handler);

  // The service chosen in the settings window (first selected option counts).
  Service selectedService() { return m_setting.selectedService(); }
  bool badPageMode() const { return ui().mnuBad.checked(); }
  // Uses the service for this program run only: the option files stay as
  // they are (the headless --service option).
  void useServiceForSession(Service service);

  // Wait loops of the service procedures and transfer slots. Each turn lets
  // pending events run (transfers, stop buttons); the wait ends when `done`
  // holds, or as Stopped as soon as Skip or stop-all is set. A zero timeout
  // waits for as long as it takes.
  EventPump::WaitResult waitFor(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout = std::chrono::milliseconds::zero());
  // Lets pending events run once without waiting.
  void doEvents() { m_pump.pumpEvents(0); }
  // Lets events run for the given time; false when a stop was requested first.
  bool pauseFor(std::chrono::milliseconds duration);

  // Advances the page progress bar by one step.
  void progressBar();
  void cancelTransfers();

  // Window events.
  void Form_Load();
  void TextBox1_KeyPress(std::string& typed);
  void clearBtn_Click();
  void Command1_Click();
  void badCom_Click();
  void mnuAbout_Click();
  void mnuSet_Click();
  void mnuExit_Click();
  void mnuBad_Click();
  void mnuOpen_Click();
  void View_Click();
  void btnE_Click() { serviceButton(Service::Espacenet); }
  void btnU_Click() { serviceButton(Service::Uspto); }
  void btnI_Click() { serviceButton(Service::Ipdl); }
  void btnD_Click() { serviceButton(Service::Delphion); }
  void btnK_Click() { serviceButton(Service::Kipris); }
  void btnO_Click() { serviceButton(Service::Ops); }
  void cboIPDL_Click();
  // The box clicked keeps its new state; the unchecks made here do not run
  // the rules again.
  void CheckBox4_Click();
  void CheckBox5_Click();
  void CheckBox6_Click() { uncheck({&ui().CheckBox4, &ui().CheckBox5}); }
  void CheckBox7_Click() { uncheck({&ui().CheckBox4, &ui().CheckBox5}); }
  void CheckBox8_Click() { uncheck({&ui().CheckBox4, &ui().CheckBox5}); }
  void CommandButton1_Click();  // the run driver
  void tempStopBtn_Click();     // Skip
  void allStopBtn_Click();      // stop all

  // Runs the click handler of the named control ("btnU"), as a user's click
  // would, toggling a check box first; false for an unknown or disabled control.
  bool click(const std::string& control);
  // Runs the click handler only: a front end whose widget has already set the
  // box's new state uses this.
  bool handleClick(const std::string& control);

  // Configurations for a service: at start-up, and the fuller one applied by
  // the settings window's OK and the service buttons.
  void applyStartupConfiguration(Service service);
  void applyServiceConfiguration(Service service);

 private:
  struct Locals;  // the driver's per-number texts and flags

  void createControls();
  void createMenus();
  void serviceButton(Service service);
  void colourServiceButtons(Service service);
  void showServiceFrame(Service service);
  void uncheck(std::initializer_list<Control*> controls);
  void setEnabled(std::initializer_list<Control*> controls, bool enabled);
  void setChecked(std::initializer_list<Control*> controls, bool checked);
  std::string ipdlKind() const { return ui().cboIPDL.text(); }

  // Run driver steps.
  bool startChecks();
  void RunLock();
  void RunUnlock();
  void processNumber();
  void callService(Service service, Locals& locals);
  void clearFinishedSelections();
  void addNumberLine(const std::string& words);
  void showEndTexts();
  RetrievalService& service(Service service);

  OptionFiles m_files;
  UiHost* m_host;
  RunState m_run;
  EventPump m_pump;
  SettingForm m_setting;
  TypeNoForm m_typeNo;
  AboutForm m_about;
  EachPageForm m_eachPage;
  KiprisLoginForm m_kiprisLogin{m_run};
  RunSummary m_lastRun;
  std::unique_ptr<MainControls> m_ui;
  SettingsLock m_runLock;
  RetrievalService m_notImplemented;
  std::array<RetrievalService*, 7> m_services{};  // by Service value, None to Ops
  std::vector<std::pair<int, std::function<void()>>> m_cancelHandlers;
  std::map<std::string, std::function<void()>> m_external;
  int m_nextCancel = 1;
  std::vector<std::unique_ptr<FormPart>> m_parts;
};

}  // namespace orvane
