#pragma once
// The KIPRIS login window on screen, over the model's KiprisLoginForm:
// identifier and password (shown as dots) with "확인" and "취소". OK runs
// the model's login and closes the dialog only when it succeeded; Cancel,
// Escape and the close box run the model's Cancel. The password box is
// emptied when the dialog closes. The model form must outlive the dialog.
#include <QDialog>

class QLineEdit;

namespace orvane {

class KiprisLoginForm;

class KiprisLoginDialog : public QDialog {
  Q_OBJECT
 public:
  explicit KiprisLoginDialog(KiprisLoginForm& form, QWidget* parent = nullptr);
  ~KiprisLoginDialog() override;

  void accept() override;
  void reject() override;

 private:
  KiprisLoginForm& m_form;
  QLineEdit* m_id;
  QLineEdit* m_password;
};

}  // namespace orvane
