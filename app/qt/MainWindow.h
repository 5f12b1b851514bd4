#pragma once
// The main window on screen: Qt widgets for every control and menu of the
// window model, laid out for daily use (number list on the left, service and
// save range on the right, the status list below). Widget signals call the
// model's event handlers; the FormBinding copies model changes back. Closing
// the window runs the model's exit command. The model must outlive it.

#include <QMainWindow>

namespace orvane {

class FormBinding;
class RetrievalForm;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(RetrievalForm& form, QWidget* parent = nullptr);

  FormBinding& binding() { return *m_binding; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* buildNumberPanel();
  QWidget* buildServicePanel();
  QWidget* buildStatusPanel();
  void buildMenus();
  QWidget* button(const std::string& name);
  QWidget* checkBox(const std::string& name);
  QWidget* label(const std::string& name);
  QWidget* frame(const std::string& name, QWidget* content);

  RetrievalForm& m_form;
  FormBinding* m_binding;
  bool m_closing = false;
};

}  // namespace orvane
