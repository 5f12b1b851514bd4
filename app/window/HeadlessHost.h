#pragma once
// The user interface of `orvane --headless`: message boxes print their title
// and text and take their default answer (OK), modal windows cannot open, and
// the window changes a person would watch (status list lines, the status text
// of Label6) are printed as they happen, as are the command lines of the
// viewer and printer it does not start. Writes to the stream it is given,
// which must outlive it.

#include <functional>
#include <ostream>

#include "app/window/UiHost.h"

namespace orvane {

class Form;
struct ControlChange;

class HeadlessHost : public UiHost {
 public:
  explicit HeadlessHost(std::ostream& out) : m_out(out) {}

  MessageAnswer messageBox(const std::string& text, const std::string& title, MessageButtons buttons) override;
  void showModal(ModalWindow window) override;
  std::optional<std::string> chooseFolder(const std::string& startFolder) override;
  void quit() override { m_quit = true; }
  // Outside programs are never started without a display: their command
  // lines are printed instead.
  bool startsPrograms() const override { return false; }
  void report(const std::string& text) override;
  void showSplash(const std::string& text) override;
  bool quitRequested() const { return m_quit; }
  // Answers the KIPRIS login window (the headless run logs in with the
  // identifier and password it was given); without it the window is refused.
  void setKiprisLogin(std::function<void()> login) { m_kiprisLogin = std::move(login); }

  // Prints the status list and Label6 changes of the main window.
  void follow(Form& mainWindow);

 private:
  void printChange(const ControlChange& change);

  std::ostream& m_out;
  bool m_quit = false;
  std::function<void()> m_kiprisLogin;
};

}  // namespace orvane
