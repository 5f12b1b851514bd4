#include "app/qt/QtUiHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/qt/HelpDialog.h"
#include "app/qt/SettingDialog.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

MessageAnswer QtUiHost::messageBox(const std::string& text, const std::string& title, MessageButtons buttons) {
  if (m_quitting) return MessageAnswer::Ok;
  QMessageBox box(m_parent);
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(text));
  if (buttons == MessageButtons::OkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setIcon(QMessageBox::Question);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::Information);
  }
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void QtUiHost::showModal(ModalWindow window) {
  if (m_quitting) return;
  switch (window) {
    case ModalWindow::Setting: {
      SettingDialog dialog(m_form.setting(), m_parent);
      dialog.exec();
      return;
    }
    case ModalWindow::TypeNo: {
      HelpDialog dialog(m_form.typeNo(), m_parent);
      dialog.exec();
      return;
    }
    case ModalWindow::About: {
      HelpDialog dialog(m_form.about(), m_parent);
      dialog.exec();
      return;
    }
    case ModalWindow::EachPage: {
      HelpDialog dialog(m_form.eachPage(), m_parent);
      dialog.exec();
      return;
    }
    case ModalWindow::KiprisLogin:
      if (m_kiprisLogin) m_kiprisLogin(m_parent);
      return;
  }
}

std::optional<std::string> QtUiHost::chooseFolder(const std::string& startFolder) {
  const QString folder =
      QFileDialog::getExistingDirectory(m_parent, QString(), QString::fromStdString(startFolder));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

void QtUiHost::quit() {
  m_quitting = true;
  QApplication::quit();
}

void InstallQtEventHook(RetrievalForm& form) {
  form.pump().setUiHook([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

}  // namespace orvane
