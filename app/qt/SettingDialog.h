#pragma once
// The settings window on screen, bound to the model's SettingForm: save
// folder with its chooser, folder per number, what to keep and the service.
// OK runs the model's OK action; Cancel, Escape and the close box run its
// Cancel. The model form must outlive the dialog.

#include <QDialog>
#include <functional>
#include <string>

namespace orvane {

class FormBinding;
class SettingForm;

class SettingDialog : public QDialog {
  Q_OBJECT
 public:
  SettingDialog(SettingForm& form, QWidget* parent = nullptr);

  void accept() override;
  void reject() override;

 private:
  QWidget* radio(const std::string& name, std::function<void()> select);

  SettingForm& m_form;
  FormBinding* m_binding;
};

}  // namespace orvane
