#include "app/window/Form.h"

#include <stdexcept>
#include <utility>

namespace orvane {

Form::Form(std::string caption) : m_caption(std::move(caption)) {}

Control& Form::add(const std::string& name, ControlKind kind, const std::string& caption) {
  auto control = std::make_unique<Control>(name, kind, caption,
                                           [this](const ControlChange& change) { broadcast(change); });
  Control& ref = *control;
  m_controls[name] = std::move(control);
  m_order.push_back(&ref);
  return ref;
}

Control& Form::control(const std::string& name) {
  auto it = m_controls.find(name);
  if (it == m_controls.end()) throw std::out_of_range("no control named " + name);
  return *it->second;
}

const Control& Form::control(const std::string& name) const {
  auto it = m_controls.find(name);
  if (it == m_controls.end()) throw std::out_of_range("no control named " + name);
  return *it->second;
}

bool Form::hasControl(const std::string& name) const { return m_controls.count(name) != 0; }

int Form::addListener(Listener listener) {
  int id = m_nextListener++;
  m_listeners.emplace_back(id, std::move(listener));
  return id;
}

void Form::removeListener(int id) {
  for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it) {
    if (it->first == id) {
      m_listeners.erase(it);
      return;
    }
  }
}

// Listeners are copied first: one of them may add or remove listeners while
// it handles the change.
void Form::broadcast(const ControlChange& change) {
  auto listeners = m_listeners;
  for (auto& [id, listener] : listeners) listener(change);
}

}  // namespace orvane
