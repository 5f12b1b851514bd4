#include "app/qt/FormBinding.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace orvane {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A selected status line marks a page in flight or BAD; the list shows it
// with the highlight colours but the user cannot change it.
void showLineSelection(QListWidget* list, int index, bool selected) {
  QListWidgetItem* item = list->item(index);
  if (!item) return;
  const QPalette& palette = list->palette();
  item->setBackground(selected ? palette.highlight() : QBrush());
  item->setForeground(selected ? palette.highlightedText() : QBrush());
}

void syncList(const Control& control, QListWidget* list) {
  list->clear();
  for (int i = 0; i < control.listCount(); ++i) {
    list->addItem(q(control.line(i)));
    showLineSelection(list, i, control.selected(i));
  }
}

void syncCombo(const Control& control, QComboBox* combo) {
  combo->clear();
  for (int i = 0; i < control.listCount(); ++i) combo->addItem(q(control.line(i)));
  const int index = combo->findText(q(control.text()));
  if (index >= 0) {
    combo->setCurrentIndex(index);
  } else if (combo->isEditable()) {
    combo->setEditText(q(control.text()));
  } else {
    combo->setCurrentIndex(-1);
    combo->setPlaceholderText(q(control.text()));
  }
}

// A busy animation is only on screen while it plays.
bool shown(const Control& control) {
  return control.visible() && (control.kind() != ControlKind::Animation || control.value() != 0);
}

}  // namespace

QString ButtonStyle(std::int64_t color) {
  if (color == kButtonFaceColor || color < 0) return {};
  const int red = static_cast<int>(color & 0xFF), green = static_cast<int>((color >> 8) & 0xFF),
            blue = static_cast<int>((color >> 16) & 0xFF);
  return QStringLiteral("QPushButton { background-color: rgb(%1, %2, %3); font-weight: bold; }")
      .arg(red)
      .arg(green)
      .arg(blue);
}

FormBinding::FormBinding(Form& form, QObject* parent) : QObject(parent), m_form(form) {
  m_listener = m_form.addListener(
      [this](const ControlChange& change) { apply(*change.control, change.what, change.index); });
}

FormBinding::~FormBinding() { m_form.removeListener(m_listener); }

void FormBinding::bind(const std::string& name, QWidget* widget) {
  m_widgets[name] = widget;
  const Control& control = m_form.control(name);
  if (!control.toolTip().empty()) widget->setToolTip(q(control.toolTip()));
}

void FormBinding::bindAction(const std::string& name, QAction* action) { m_actions[name] = action; }

QWidget* FormBinding::widget(const std::string& name) const {
  auto it = m_widgets.find(name);
  return it == m_widgets.end() ? nullptr : it->second.data();
}

void FormBinding::syncAll() {
  for (auto& [name, widget] : m_widgets) {
    if (!widget) continue;
    const Control& control = m_form.control(name);
    for (ControlProperty what : {ControlProperty::Caption, ControlProperty::Text, ControlProperty::Checked,
                                 ControlProperty::BackColor, ControlProperty::Max, ControlProperty::Value,
                                 ControlProperty::LinesCleared, ControlProperty::Enabled})
      applyToWidget(control, widget, what, -1);
    widget->setVisible(shown(control));
  }
  for (auto& [name, action] : m_actions)
    if (action) applyToAction(m_form.control(name), action);
}

void FormBinding::apply(const Control& control, ControlProperty what, int index) {
  if (auto it = m_actions.find(control.name()); it != m_actions.end() && it->second) {
    applyToAction(control, it->second);
    return;
  }
  auto it = m_widgets.find(control.name());
  if (it == m_widgets.end() || !it->second) return;
  applyToWidget(control, it->second, what, index);
}

void FormBinding::applyToAction(const Control& control, QAction* action) {
  QSignalBlocker block(action);
  action->setText(q(control.caption()));
  action->setEnabled(control.enabled());
  action->setVisible(control.visible());
  if (action->isCheckable()) action->setChecked(control.checked());
}

void FormBinding::applyToWidget(const Control& control, QWidget* widget, ControlProperty what, int index) {
  QSignalBlocker block(widget);
  switch (what) {
    case ControlProperty::Enabled: widget->setEnabled(control.enabled()); return;
    case ControlProperty::Visible: widget->setVisible(shown(control)); return;
    default: break;
  }
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    if (what == ControlProperty::LineAdded) {
      list->addItem(q(control.line(index)));
      showLineSelection(list, index, control.selected(index));
      list->scrollToBottom();
    } else if (what == ControlProperty::LineChanged) {
      if (QListWidgetItem* item = list->item(index)) item->setText(q(control.line(index)));
    } else if (what == ControlProperty::Selection) {
      showLineSelection(list, index, control.selected(index));
      if (control.selected(index)) list->scrollToItem(list->item(index));
    } else if (what == ControlProperty::LinesCleared) {
      syncList(control, list);
    }
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    if (what == ControlProperty::Text || what == ControlProperty::LineAdded ||
        what == ControlProperty::LinesCleared || what == ControlProperty::LineChanged)
      syncCombo(control, combo);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    if (what == ControlProperty::Caption) box->setTitle(q(control.caption()));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    // Status labels are written through their text, fixed ones through
    // their caption; whichever is set is shown.
    if (what == ControlProperty::Caption || what == ControlProperty::Text)
      label->setText(q(control.text().empty() ? control.caption() : control.text()));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (what == ControlProperty::Caption) button->setText(q(control.caption()));
    if (what == ControlProperty::Checked && button->isCheckable()) button->setChecked(control.checked());
    if (what == ControlProperty::BackColor && qobject_cast<QPushButton*>(button))
      button->setStyleSheet(ButtonStyle(control.backColor()));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (what == ControlProperty::Text && edit->text() != q(control.text())) edit->setText(q(control.text()));
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
    if (what == ControlProperty::Text && text->toPlainText() != q(control.text()))
      text->setPlainText(q(control.text()));
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    if (control.kind() == ControlKind::Animation) {
      // The busy animation plays while a run is going.
      if (what == ControlProperty::Value) bar->setVisible(shown(control));
      return;
    }
    if (what == ControlProperty::Max) bar->setMaximum(control.max());
    if (what == ControlProperty::Value) bar->setValue(control.value());
    if (what == ControlProperty::Caption)
      bar->setFormat(control.caption().empty() ? QStringLiteral("%v / %m") : q(control.caption()));
  }
}

}  // namespace orvane
