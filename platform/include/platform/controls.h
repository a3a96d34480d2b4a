#pragma once
// Native windowed controls placed on a form: win32 common controls (version 6), GTK 3 widgets in
// the form's GtkFixed, sim records that tests read and poke. Every control sits directly on its
// form's client area at form coordinates, whatever toolkit container holds it, so a group box's
// children are drawn above it and its frame is transparent to what the form paints beneath.
#include <memory>
#include <string>
#include <vector>

#include "platform/peers.h"

namespace plat {

enum class ControlKind { Button, CheckBox, RadioButton, GroupBox, TrackBar, ListBox };

// What a control reports to its toolkit object; only the user's own actions are reported.
class ControlPeerEvents {
 public:
  virtual ~ControlPeerEvents() = default;
  // A button was pressed; a check box or radio button was clicked (its new state is reported
  // first through PeerValueChanged).
  virtual void PeerClicked() {}
  // The user changed the value: checked (0/1), the track bar's position, the selected item.
  virtual void PeerValueChanged(int value) {}
  virtual void PeerFocusChanged(bool focused) {}
  // Tab (or Shift+Tab) was pressed in the control: the toolkit moves the focus in its own order.
  virtual void PeerTabPressed(bool backward) {}
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  // In the form's client coordinates.
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  // Check boxes and radio buttons.
  virtual void SetChecked(bool checked) = 0;
  // Track bars.
  virtual void SetRange(int min, int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetThumbLength(int pixels) = 0;
  // List boxes.
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  virtual void SetItemHeight(int pixels) = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
};

// A control on `form`'s client area, above those made before it. `name` is the toolkit
// object's name (sim tests find controls by it). A radio button joins the group of `groupWith`
// (another radio button of the same container) when given: one of a group is checked at most.
std::unique_ptr<ControlPeer> CreateControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form,
                                               const std::string& name, ControlPeer* groupWith = nullptr);

}  // namespace plat
