#pragma once
// Keeps Qt widgets in step with the controls of a window model: every change
// of a bound control (caption, text, enabled, visible, check state, colour,
// progress, list lines and their selection) is copied to its widget or menu
// action as it happens. Widgets the binding updates have their signals
// blocked meanwhile, so only the user's own actions reach the model. Lives as
// long as the widgets it updates (make it their child); the model form must
// outlive it.

#include <QObject>
#include <QPointer>
#include <map>
#include <string>

#include "app/window/Form.h"

class QAction;
class QWidget;

namespace orvane {

class FormBinding : public QObject {
  Q_OBJECT
 public:
  FormBinding(Form& form, QObject* parent);
  ~FormBinding() override;

  void bind(const std::string& name, QWidget* widget);
  void bindAction(const std::string& name, QAction* action);
  // Copies the whole state of every bound control to its widget.
  void syncAll();

  QWidget* widget(const std::string& name) const;

 private:
  void apply(const Control& control, ControlProperty what, int index);
  void applyToWidget(const Control& control, QWidget* widget, ControlProperty what, int index);
  void applyToAction(const Control& control, QAction* action);

  Form& m_form;
  int m_listener = 0;
  std::map<std::string, QPointer<QWidget>> m_widgets;
  std::map<std::string, QPointer<QAction>> m_actions;
};

// Qt shows colours as RGB; the model keeps the system button face or a
// blue-green-red packed value.
QString ButtonStyle(std::int64_t color);

}  // namespace orvane
