#include "app/window/Control.h"

#include <algorithm>
#include <utility>

namespace orvane {

Control::Control(std::string name, ControlKind kind, std::string caption, Notify notify)
    : m_name(std::move(name)), m_kind(kind), m_caption(std::move(caption)), m_notify(std::move(notify)) {}

void Control::notify(ControlProperty what, int index) const {
  if (m_notify) m_notify(ControlChange{this, what, index});
}

void Control::setCaption(const std::string& caption) {
  if (caption == m_caption) return;
  m_caption = caption;
  notify(ControlProperty::Caption);
}

void Control::setText(const std::string& text) {
  if (text == m_text) return;
  m_text = text;
  notify(ControlProperty::Text);
}

void Control::setEnabled(bool enabled) {
  if (enabled == m_enabled) return;
  m_enabled = enabled;
  notify(ControlProperty::Enabled);
}

void Control::setVisible(bool visible) {
  if (visible == m_visible) return;
  m_visible = visible;
  notify(ControlProperty::Visible);
}

void Control::setChecked(bool checked) {
  if (checked == m_checked) return;
  m_checked = checked;
  notify(ControlProperty::Checked);
}

void Control::setBackColor(std::int64_t color) {
  if (color == m_backColor) return;
  m_backColor = color;
  notify(ControlProperty::BackColor);
}

void Control::setValue(int value) {
  if (value == m_value) return;
  m_value = value;
  notify(ControlProperty::Value);
}

void Control::setMax(int max) {
  if (max == m_max) return;
  m_max = max;
  notify(ControlProperty::Max);
}

const std::string& Control::line(int index) const {
  static const std::string empty;
  return validLine(index) ? m_lines[static_cast<size_t>(index)] : empty;
}

void Control::addLine(const std::string& text) {
  m_lines.push_back(text);
  m_selected.push_back(false);
  notify(ControlProperty::LineAdded, listCount() - 1);
}

// A stale index (a line that was cleared away meanwhile) is ignored rather
// than trusted: list indices come from handlers that run nested in waits.
void Control::setLine(int index, const std::string& text) {
  if (!validLine(index)) return;
  m_lines[static_cast<size_t>(index)] = text;
  notify(ControlProperty::LineChanged, index);
}

void Control::clearLines() {
  m_lines.clear();
  m_selected.clear();
  notify(ControlProperty::LinesCleared);
}

bool Control::selected(int index) const {
  return validLine(index) && m_selected[static_cast<size_t>(index)];
}

void Control::setSelected(int index, bool selected) {
  if (!validLine(index) || m_selected[static_cast<size_t>(index)] == selected) return;
  m_selected[static_cast<size_t>(index)] = selected;
  notify(ControlProperty::Selection, index);
}

bool Control::anySelected() const {
  return std::find(m_selected.begin(), m_selected.end(), true) != m_selected.end();
}

}  // namespace orvane
