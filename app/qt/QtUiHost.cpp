#include "app/qt/QtUiHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "app/qt/HelpDialog.h"
#include "app/qt/KiprisLoginDialog.h"
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
      if (m_kiprisLogin) {
        m_kiprisLogin(m_parent);
      } else {
        KiprisLoginDialog dialog(m_form.kiprisLogin(), m_parent);
        dialog.exec();
      }
      return;
  }
}

std::optional<std::string> QtUiHost::chooseFolder(const std::string& startFolder) {
  const QString folder =
      QFileDialog::getExistingDirectory(m_parent, QString(), QString::fromStdString(startFolder));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

// "ALL files (*.*)|*.*" becomes the Qt filter "ALL files (*.*)".
std::optional<std::string> QtUiHost::chooseFile(const std::string& startFolder, const std::string& filter) {
  if (m_quitting) return std::nullopt;
  const QString qtFilter = QString::fromStdString(filter.substr(0, filter.find('|')));
  const QString file =
      QFileDialog::getOpenFileName(m_parent, QString(), QString::fromStdString(startFolder), qtFilter);
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

void QtUiHost::showSplash(const std::string& text) {
  if (m_quitting) return;
  if (!m_splash) {
    auto* splash = new QWidget(m_parent, Qt::Tool | Qt::WindowStaysOnTopHint);
    splash->setObjectName("frmSplash");
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setWindowTitle(QString::fromUtf8(kProgramName));
    auto* label = new QLabel(splash);
    label->setObjectName("Label1");
    label->setMinimumWidth(280);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(splash);
    layout->addWidget(label);
    m_splash = splash;
  }
  if (auto* label = m_splash->findChild<QLabel*>("Label1")) label->setText(QString::fromStdString(text));
  m_splash->show();
  m_splash->raise();
}

void QtUiHost::closeSplash() {
  if (m_splash) m_splash->close();
}

void QtUiHost::quit() {
  m_quitting = true;
  QApplication::quit();
}

void InstallQtEventHook(RetrievalForm& form) {
  form.pump().setUiHook([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

}  // namespace orvane
