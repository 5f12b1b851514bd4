#include "app/qt/KiprisLoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/KiprisLoginForm.h"

namespace orvane {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

KiprisLoginDialog::KiprisLoginDialog(KiprisLoginForm& form, QWidget* parent)
    : QDialog(parent), m_form(form), m_id(new QLineEdit), m_password(new QLineEdit) {
  setObjectName("KiprisLogin");
  setWindowTitle(q(form.caption()));
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  m_id->setObjectName("KiprisID");
  m_id->setText(q(form.KiprisID().text()));
  m_id->setMinimumWidth(220);
  m_password->setObjectName("KiprisPW");
  m_password->setEchoMode(QLineEdit::Password);
  fields->addRow(new QLabel(q(form.control("lblID").caption())), m_id);
  fields->addRow(new QLabel(q(form.control("lblPW").caption())), m_password);
  layout->addLayout(fields);

  auto* buttons = new QDialogButtonBox;
  auto* ok = buttons->addButton(q(form.control("KiprisOK").caption()), QDialogButtonBox::AcceptRole);
  ok->setObjectName("KiprisOK");
  ok->setDefault(true);
  auto* cancel = buttons->addButton(q(form.control("KiprisCancel").caption()), QDialogButtonBox::RejectRole);
  cancel->setObjectName("KiprisCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &KiprisLoginDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &KiprisLoginDialog::reject);
  layout->addWidget(buttons);
}

KiprisLoginDialog::~KiprisLoginDialog() { m_password->clear(); }

void KiprisLoginDialog::accept() {
  m_form.KiprisID().setText(m_id->text().toStdString());
  m_form.KiprisPW().setText(m_password->text().toStdString());
  if (!m_form.KiprisOK_Click()) {
    // Stays open for another try, with the password to correct.
    m_password->setFocus();
    m_password->selectAll();
    return;
  }
  m_password->clear();
  QDialog::accept();
}

void KiprisLoginDialog::reject() {
  m_form.KiprisCancel_Click();
  m_password->clear();
  QDialog::reject();
}

}  // namespace orvane
