#pragma once
// The sim desktop's windowed controls: records of what each native control shows, and the
// user's actions on them. Actions report to the control's toolkit object at once (call them from
// the GUI thread, e.g. inside sim::At).
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace sim {

struct ControlRecord {
  plat::ControlKind kind = plat::ControlKind::Button;
  std::string name;
  plat::HWND form = nullptr;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool visible = false;
  bool enabled = true;
  std::string text;
  plat::FontSpec font;
  bool checked = false;
  int min = 0;
  int max = 0;
  int position = 0;
  int thumbLength = 0;
  std::vector<std::string> items;
  int itemHeight = 0;
  int itemIndex = -1;
  bool focused = false;
};

// The controls of a form (by name or caption), in creation order (bottom to top).
std::vector<ControlRecord> Controls(const std::string& form);
std::optional<ControlRecord> FindControl(const std::string& form, const std::string& name);

// The user's actions; false when there is no such control or it is hidden or disabled.
// A button is pressed, a check box toggled, a radio button checked (its group's others cleared).
bool ClickControl(const std::string& form, const std::string& name);
bool MoveTrackBar(const std::string& form, const std::string& name, int position);
bool SelectItem(const std::string& form, const std::string& name, int index);
// The control takes the keyboard focus as by a click.
bool FocusControl(const std::string& form, const std::string& name);
// Tab (Shift+Tab with `backward`) in the form's focused control; false when none has the focus.
bool PressTab(const std::string& form, bool backward = false);

}  // namespace sim
