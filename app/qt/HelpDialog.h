#pragma once
// A small modal help window shown from a model form (number formats, About,
// page-list format): its labels from top to bottom, the number-format table
// when the form is TypeNo, and its button, which closes it.

#include <QDialog>

namespace orvane {

class Form;

class HelpDialog : public QDialog {
  Q_OBJECT
 public:
  HelpDialog(Form& form, QWidget* parent = nullptr);
};

}  // namespace orvane
