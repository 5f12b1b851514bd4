#include "app/qt/NumberEdit.h"

#include <QKeyEvent>
#include <QMimeData>

namespace orvane {

NumberEdit::NumberEdit(Transform transform, QWidget* parent)
    : QPlainTextEdit(parent), m_transform(std::move(transform)) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

QString NumberEdit::transformed(const QString& text) const {
  std::string s = text.toStdString();
  if (m_transform) m_transform(s);
  return QString::fromStdString(s);
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const QString upper = transformed(text);
  if (text.isEmpty() || upper == text) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  QKeyEvent replaced(event->type(), event->key(), event->modifiers(), upper, event->isAutoRepeat(),
                     static_cast<ushort>(event->count()));
  QPlainTextEdit::keyPressEvent(&replaced);
}

void NumberEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasText()) {
    insertPlainText(transformed(source->text()));
    return;
  }
  QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace orvane
