#include "app/qt/HelpDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/window/HelpForms.h"

namespace orvane {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QWidget* numberFormatTable() {
  const auto& rows = TypeNoForm::rows();
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 3);
  table->setObjectName("formats");
  table->setHorizontalHeaderLabels({QStringLiteral("DB"), QStringLiteral("원문 표기"), QStringLiteral("입력 형식")});
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    table->setItem(r, 0, new QTableWidgetItem(q(rows[r].service)));
    table->setItem(r, 1, new QTableWidgetItem(q(rows[r].printed)));
    auto* typed = new QTableWidgetItem(q(rows[r].typed));
    QFont bold = typed->font();
    bold.setBold(true);
    typed->setFont(bold);
    table->setItem(r, 2, typed);
  }
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  table->setMinimumSize(860, 360);
  return table;
}

}  // namespace

HelpDialog::HelpDialog(Form& form, QWidget* parent) : QDialog(parent) {
  setWindowTitle(q(form.caption()));
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (Control* control : form.controls()) {
    if (control->kind() == ControlKind::Label) {
      auto* label = new QLabel(q(control->caption()));
      label->setObjectName(q(control->name()));
      layout->addWidget(label);
    } else if (control->kind() == ControlKind::Button) {
      auto* button = new QPushButton(q(control->caption()));
      button->setObjectName(q(control->name()));
      button->setDefault(true);
      connect(button, &QPushButton::clicked, this, &QDialog::accept);
      buttons->addWidget(button);
    }
  }
  if (dynamic_cast<TypeNoForm*>(&form)) layout->addWidget(numberFormatTable(), 1);
  buttons->addStretch(1);
  layout->addLayout(buttons);
}

}  // namespace orvane
