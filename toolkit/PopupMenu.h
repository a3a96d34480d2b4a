#pragma once
// A popup menu and its items. The menu shows the platform's own menu at a screen point; the
// chosen item's click comes back through the message loop, as a native menu's command does.
#include <string>
#include <vector>

#include "platform/wintypes.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class PopupMenu;

class MenuItem : public Component {
 public:
  explicit MenuItem(Component* owner);
  ~MenuItem() override;

  // "-" makes the item a separator.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  bool IsSeparator() const { return caption_ == "-"; }
  // The default item is shown in bold; a double click on the tray icon runs it.
  bool Default() const { return default_; }
  void SetDefault(bool isDefault) { default_ = isDefault; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }

  PopupMenu* Menu() const { return menu_; }
  plat::UINT Command() const { return command_; }

  // Runs OnClick, as choosing the item does.
  virtual void Click();

  NotifyEvent OnClick;

 private:
  friend class PopupMenu;
  PopupMenu* menu_ = nullptr;
  plat::UINT command_;
  std::string caption_;
  bool default_ = false;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
};

class PopupMenu : public Component {
 public:
  explicit PopupMenu(Component* owner);
  ~PopupMenu() override;

  // The menu's top-level items, in order. An item belongs to one menu at a time.
  void Add(MenuItem* item);
  void Remove(MenuItem* item);
  const std::vector<MenuItem*>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }

  // Whether right clicks (and a tray icon) open the menu by themselves.
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }
  // The component that opened the menu last.
  Component* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(Component* component);

  // Opens the menu at the screen point and returns when it closes; the application's messages,
  // timers and idle moments go on meanwhile. A chosen item's click follows from the loop.
  virtual void Popup(int x, int y);

  NotifyEvent OnPopup;

 protected:
  void Notification(Component* component, Operation operation) override;

 private:
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void CommandChosen(plat::UINT command);

  plat::HWND window_ = nullptr;
  std::vector<MenuItem*> items_;
  bool autoPopup_ = true;
  Component* popupComponent_ = nullptr;
};

}  // namespace tk
