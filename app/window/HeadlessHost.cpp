#include "app/window/HeadlessHost.h"

#include "app/window/Form.h"

namespace orvane {

MessageAnswer HeadlessHost::messageBox(const std::string& text, const std::string& title, MessageButtons) {
  m_out << "[message: " << title << "] " << text << std::endl;
  return MessageAnswer::Ok;
}

void HeadlessHost::showModal(ModalWindow window) {
  if (window != ModalWindow::KiprisLogin) return;
  if (m_kiprisLogin)
    m_kiprisLogin();
  else
    m_out << "[KIPRIS] not logged in: give --kipris-user and the password in ORVANE_KIPRIS_PASSWORD"
             " (or type it at the prompt)" << std::endl;
}

void HeadlessHost::report(const std::string& text) { m_out << text << std::endl; }

void HeadlessHost::showSplash(const std::string& text) { m_out << "[print] " << text << std::endl; }

std::optional<std::string> HeadlessHost::chooseFolder(const std::string&) { return std::nullopt; }

void HeadlessHost::follow(Form& mainWindow) {
  mainWindow.addListener([this](const ControlChange& change) { printChange(change); });
}

void HeadlessHost::printChange(const ControlChange& change) {
  const Control& c = *change.control;
  if (c.name() == "ListBox1") {
    if (change.what == ControlProperty::LineAdded)
      m_out << c.line(change.index) << std::endl;
    else if (change.what == ControlProperty::LineChanged)
      m_out << "[line " << change.index + 1 << "] " << c.line(change.index) << std::endl;
  } else if (c.name() == "Label6" && change.what == ControlProperty::Text && !c.text().empty()) {
    m_out << "[status] " << c.text() << std::endl;
  }
}

}  // namespace orvane
