#pragma once
// The settings window ("설정"): save folder, what to keep, folder per number
// and the document service, shown over the four option files. It is loaded
// from the files on first use and unloaded by OK or Cancel, so the files, not
// the window, hold the lasting state and a Cancel discards the edits. OK
// writes the four files and hands the chosen service to the main window
// through the apply callback. Owned by RetrievalForm.

#include <functional>
#include <string>

#include <memory>

#include "app/window/Form.h"
#include "app/window/MainControls.h"
#include "app/window/OptionFiles.h"
#include "app/window/RetrievalService.h"

namespace orvane {

class UiHost;

class SettingForm : public Form {
 public:
  // Called by OK with the service chosen (None when no service option is
  // selected) and the save folder written.
  using ApplyCallback = std::function<void(Service service, const std::string& saveFolder)>;
  // Called when an option file could not be written (its path).
  using WriteFailure = std::function<void(const std::string& path)>;

  SettingForm(OptionFiles files, UiHost* host);

  void setHost(UiHost* host) { m_host = host; }
  void setApplyCallback(ApplyCallback callback) { m_apply = std::move(callback); }
  void setWriteFailure(WriteFailure callback) { m_writeFailure = std::move(callback); }

  // The window's controls, one typed member each.
  SettingControls& ui() { return *m_ui; }

  bool loaded() const { return m_loaded; }
  // Loads the window from the option files unless it is loaded already.
  void ensureLoaded();
  void Form_Load();

  // The selected service option, loading the window first when needed.
  Service selectedService();
  // Selects one service option (None clears them all), as a click would.
  void selectService(Service service);
  void selectKeep(int option);  // 1: Option1, 2: Option2
  bool folderPerNumber();       // Check1, loading the window first when needed
  bool keepOnlyJoined();        // Option1, loading the window first when needed

  void Check1_Click();
  void Command1_Click();
  void OKButton_Click();
  void CancelButton_Click();

 private:
  static constexpr int kServiceOptions = 6;
  Control* serviceOption(int index);  // dbESPACE .. dbOPS for 0..5
  void writeOpsCredentials();

  void writeOption(OptionFile which, const std::string& line, bool empty = false);

  OptionFiles m_files;
  UiHost* m_host;
  ApplyCallback m_apply;
  WriteFailure m_writeFailure;
  bool m_loaded = false;
  std::unique_ptr<SettingControls> m_ui;
};

}  // namespace orvane
