#pragma once
// A window of the model: a caption and its controls, looked up by name, and
// the listeners that follow every control change (the Qt binding, the headless
// printer, tests). The form owns its controls; references handed out stay
// valid for the form's lifetime. Looking up a name the form does not have is a
// programming error and throws std::out_of_range.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/window/Control.h"

namespace orvane {

class Form {
 public:
  using Listener = std::function<void(const ControlChange&)>;

  explicit Form(std::string caption);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& caption() const { return m_caption; }

  Control& control(const std::string& name);
  const Control& control(const std::string& name) const;
  bool hasControl(const std::string& name) const;
  // Controls in the order they were created.
  const std::vector<Control*>& controls() const { return m_order; }

  // Returns an id for removeListener.
  int addListener(Listener listener);
  void removeListener(int id);

 protected:
  Control& add(const std::string& name, ControlKind kind, const std::string& caption = {});

 private:
  void broadcast(const ControlChange& change);

  std::string m_caption;
  std::map<std::string, std::unique_ptr<Control>> m_controls;
  std::vector<Control*> m_order;
  std::vector<std::pair<int, Listener>> m_listeners;
  int m_nextListener = 1;
};

}  // namespace orvane
