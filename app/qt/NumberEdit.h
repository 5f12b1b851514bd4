#pragma once
// The number box: a plain multi-line editor that upper-cases letters as they
// are typed or pasted, through the window model's key-press rule.

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace orvane {

class NumberEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  using Transform = std::function<void(std::string&)>;
  NumberEdit(Transform transform, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  QString transformed(const QString& text) const;
  Transform m_transform;
};

}  // namespace orvane
