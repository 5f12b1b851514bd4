#pragma once
// The Qt face of the window model's UI host: message boxes, the modal
// settings and help windows, the folder and file choosers, the print splash
// and the end of the program.
// After quit() no further dialog is shown (a run unwinding after the window
// was closed takes the default answers silently). The form and the parent
// widget must outlive the host.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/window/UiHost.h"

namespace orvane {

class RetrievalForm;

class QtUiHost : public UiHost {
 public:
  explicit QtUiHost(RetrievalForm& form) : m_form(form) {}

  void setParentWindow(QWidget* parent) { m_parent = parent; }
  // The KIPRIS login window, provided by the layer that logs in.
  void setKiprisLogin(std::function<void(QWidget* parent)> show) { m_kiprisLogin = std::move(show); }

  MessageAnswer messageBox(const std::string& text, const std::string& title, MessageButtons buttons) override;
  void showModal(ModalWindow window) override;
  std::optional<std::string> chooseFolder(const std::string& startFolder) override;
  void quit() override;
  std::optional<std::string> chooseFile(const std::string& startFolder, const std::string& filter) override;
  // A small window beside the main window, shown without blocking it.
  void showSplash(const std::string& text) override;
  void closeSplash() override;

 private:
  RetrievalForm& m_form;
  QPointer<QWidget> m_parent;
  std::function<void(QWidget*)> m_kiprisLogin;
  QPointer<QWidget> m_splash;
  bool m_quitting = false;
};

// Makes every wait loop of the model process the Qt event queue.
void InstallQtEventHook(RetrievalForm& form);

}  // namespace orvane
