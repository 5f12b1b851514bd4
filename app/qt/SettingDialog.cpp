#include "app/qt/SettingDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <functional>

#include "app/qt/FormBinding.h"
#include "app/window/SettingForm.h"

namespace orvane {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

SettingDialog::SettingDialog(SettingForm& form, QWidget* parent)
    : QDialog(parent), m_form(form), m_binding(new FormBinding(form, this)) {
  setWindowTitle(q(form.caption()));
  setObjectName("Setting");
  form.ensureLoaded();
  auto* layout = new QVBoxLayout(this);

  auto* folderBox = new QGroupBox(q(form.ui().frFolder.caption()));
  auto* folderLayout = new QVBoxLayout(folderBox);
  auto* folderRow = new QHBoxLayout;
  auto* folder = new QLineEdit;
  folder->setObjectName("Text1");
  folder->setMinimumWidth(320);
  connect(folder, &QLineEdit::textEdited, this,
          [this](const QString& text) { m_form.ui().Text1.setText(text.toStdString()); });
  m_binding->bind("Text1", folder);
  folderRow->addWidget(folder, 1);
  auto* browse = new QPushButton(q(form.ui().Command1.caption()));
  browse->setObjectName("Command1");
  browse->setFixedWidth(40);
  connect(browse, &QPushButton::clicked, this, [this] { m_form.Command1_Click(); });
  m_binding->bind("Command1", browse);
  folderRow->addWidget(browse);
  folderLayout->addLayout(folderRow);
  auto* perNumber = new QCheckBox(q(form.ui().Check1.caption()));
  perNumber->setObjectName("Check1");
  connect(perNumber, &QCheckBox::clicked, this, [this](bool checked) {
    m_form.ui().Check1.setChecked(checked);
    m_form.Check1_Click();
  });
  m_binding->bind("Check1", perNumber);
  folderLayout->addWidget(perNumber);
  layout->addWidget(folderBox);

  auto* keepBox = new QGroupBox(q(form.ui().frKeep.caption()));
  auto* keepLayout = new QVBoxLayout(keepBox);
  keepLayout->addWidget(radio("Option1", [this] { m_form.selectKeep(1); }));
  keepLayout->addWidget(radio("Option2", [this] { m_form.selectKeep(2); }));
  layout->addWidget(keepBox);

  auto* sourceBox = new QGroupBox(q(form.ui().frSource.caption()));
  auto* sourceLayout = new QHBoxLayout(sourceBox);
  const char* options[6] = {"dbESPACE", "dbUSPTO", "dbIPDL", "dbDELPHION", "dbKIPRIS", "dbOPS"};
  for (int i = 0; i < 6; ++i) {
    const auto service = static_cast<Service>(i + 1);
    sourceLayout->addWidget(radio(options[i], [this, service] { m_form.selectService(service); }));
  }
  layout->addWidget(sourceBox);

  // The EPO OPS key pair; the secret is never shown as typed.
  auto* opsBox = new QGroupBox(q(form.ui().frOPSKey.caption()));
  auto* opsLayout = new QFormLayout(opsBox);
  auto keyField = [this](const char* name, bool secret) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    if (secret) edit->setEchoMode(QLineEdit::Password);
    connect(edit, &QLineEdit::textEdited, this,
            [this, name](const QString& text) { m_form.control(name).setText(text.toStdString()); });
    m_binding->bind(name, edit);
    return edit;
  };
  opsLayout->addRow(QStringLiteral("Consumer Key"), keyField("opsKey", false));
  opsLayout->addRow(QStringLiteral("Consumer Secret"), keyField("opsSecret", true));
  layout->addWidget(opsBox);

  auto* buttons = new QDialogButtonBox;
  auto* ok = buttons->addButton(q(form.ui().OKButton.caption()), QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKButton");
  auto* cancel = buttons->addButton(q(form.ui().CancelButton.caption()), QDialogButtonBox::RejectRole);
  cancel->setObjectName("CancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &SettingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SettingDialog::reject);
  layout->addWidget(buttons);
  m_binding->syncAll();
}

// Exclusive choice is the model's business: it can also show no choice at all
// (an unknown service code), which an exclusive button group cannot.
QWidget* SettingDialog::radio(const std::string& name, std::function<void()> select) {
  auto* button = new QRadioButton(q(m_form.control(name).caption()));
  button->setObjectName(q(name));
  button->setAutoExclusive(false);
  // A click on the chosen button unchecks it in Qt; syncing puts the
  // model's choice back.
  connect(button, &QRadioButton::clicked, this, [this, select = std::move(select)] {
    select();
    m_binding->syncAll();
  });
  m_binding->bind(name, button);
  return button;
}

void SettingDialog::accept() {
  m_form.OKButton_Click();
  QDialog::accept();
}

void SettingDialog::reject() {
  m_form.CancelButton_Click();
  QDialog::reject();
}

}  // namespace orvane
