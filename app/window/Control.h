#pragma once
// A control of a toolkit-free window: label, button, check box, option button,
// frame, text box, combo box, list box, progress bar, animation or menu item.
// Every control carries the same small set of properties (caption, text,
// enabled, visible, checked, colours, value and range, list lines with their
// selection); a control only uses the ones that make sense for its kind.
// Owned by its Form; every change is reported to the form's listeners, which is
// how the Qt widgets and the headless printer follow the model.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

enum class ControlKind {
  Label,
  Button,
  CheckBox,
  OptionButton,
  Frame,
  TextBox,
  MultiLineTextBox,
  ComboBox,
  ListBox,
  ProgressBar,
  Picture,
  Animation,
  Menu,
  MenuItem,
  Transfer,
};

// What changed on a control. For list changes `index` names the line.
enum class ControlProperty {
  Caption,
  Text,
  Enabled,
  Visible,
  Checked,
  BackColor,
  Value,
  Max,
  LineAdded,
  LineChanged,
  LinesCleared,
  Selection,
};

// Button colours as the window stores them: the system button face, or an RGB
// value packed as blue << 16 | green << 8 | red.
inline constexpr std::int64_t kButtonFaceColor = 0x8000000F;
inline constexpr std::int64_t kOrangeColor = 33023;  // red 255, green 128, blue 0

class Control;

struct ControlChange {
  const Control* control;
  ControlProperty what;
  int index = -1;
};

class Control {
 public:
  using Notify = std::function<void(const ControlChange&)>;

  Control(std::string name, ControlKind kind, std::string caption, Notify notify);

  const std::string& name() const { return m_name; }
  ControlKind kind() const { return m_kind; }

  const std::string& caption() const { return m_caption; }
  void setCaption(const std::string& caption);

  // Text of a text box or the edit text of a combo box.
  const std::string& text() const { return m_text; }
  void setText(const std::string& text);

  bool enabled() const { return m_enabled; }
  void setEnabled(bool enabled);

  bool visible() const { return m_visible; }
  void setVisible(bool visible);

  // Check box value, option button selection, menu item check mark.
  bool checked() const { return m_checked; }
  void setChecked(bool checked);

  std::int64_t backColor() const { return m_backColor; }
  void setBackColor(std::int64_t color);

  const std::string& toolTip() const { return m_toolTip; }
  void setToolTip(const std::string& tip) { m_toolTip = tip; }

  // Progress position and range; for an animation, 1 while it plays; for a
  // picture box, its border style.
  int value() const { return m_value; }
  void setValue(int value);
  int max() const { return m_max; }
  void setMax(int max);

  // Lines of a list box or the items of a combo box.
  int listCount() const { return static_cast<int>(m_lines.size()); }
  const std::string& line(int index) const;
  void addLine(const std::string& text);
  void setLine(int index, const std::string& text);
  void clearLines();
  bool selected(int index) const;
  void setSelected(int index, bool selected);
  bool anySelected() const;

 private:
  void notify(ControlProperty what, int index = -1) const;
  bool validLine(int index) const { return index >= 0 && index < listCount(); }

  std::string m_name;
  ControlKind m_kind;
  std::string m_caption;
  std::string m_text;
  std::string m_toolTip;
  bool m_enabled = true;
  bool m_visible = true;
  bool m_checked = false;
  std::int64_t m_backColor = kButtonFaceColor;
  int m_value = 0;
  int m_max = 100;
  std::vector<std::string> m_lines;
  std::vector<bool> m_selected;
  Notify m_notify;
};

}  // namespace orvane
