#include "toolkit/PopupMenu.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "platform/menu.h"
#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Guarded.h"

namespace tk {
namespace {

// Menu commands are unique in the program, so a command posted for a menu that was since
// rebuilt can never run another item.
std::atomic<plat::UINT> nextCommand{0};

}  // namespace

// Native menus carry 16-bit commands.
MenuItem::MenuItem(Component* owner) : Component(owner), command_(nextCommand++ % 0xFFFF + 1) {}

MenuItem::~MenuItem() {
  if (menu_) menu_->Remove(this);
}

void MenuItem::Click() { Fire(OnClick, this); }

PopupMenu::PopupMenu(Component* owner) : Component(owner) {
  window_ = plat::CreateHiddenWindow("TPopupList", "", &PopupMenu::WindowProc);
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
}

PopupMenu::~PopupMenu() {
  for (MenuItem* item : items_) item->menu_ = nullptr;
  items_.clear();
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(window_);
}

void PopupMenu::Add(MenuItem* item) {
  if (!item || item->menu_ == this) return;
  if (item->menu_) item->menu_->Remove(item);
  item->menu_ = this;
  items_.push_back(item);
}

void PopupMenu::Remove(MenuItem* item) {
  if (!item || item->menu_ != this) return;
  item->menu_ = nullptr;
  std::erase(items_, item);
}

void PopupMenu::SetPopupComponent(Component* component) {
  if (popupComponent_ == component) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = component;
  if (component) component->FreeNotification(this);
}

void PopupMenu::Notification(Component* component, Operation operation) {
  Component::Notification(component, operation);
  if (operation == Operation::Remove && component == popupComponent_) popupComponent_ = nullptr;
}

void PopupMenu::Popup(int x, int y) {
  Fire(OnPopup, this);
  std::vector<plat::MenuItemSpec> specs;
  for (MenuItem* item : items_)
    if (item->Visible())
      specs.push_back({item->Caption(), item->Command(), item->Default(), item->Enabled(), item->Checked()});
  if (specs.empty()) return;
  Application* app = App();
  if (!app) throw std::logic_error("popup menus need the application");
  const plat::UINT chosen = plat::TrackMenu(app->Handle(), specs, x, y, app->ModalLoop());
  if (chosen) plat::PostMessageA(window_, plat::WM_COMMAND, chosen, 0);
}

void PopupMenu::CommandChosen(plat::UINT command) {
  auto it = std::find_if(items_.begin(), items_.end(), [&](MenuItem* i) { return i->Command() == command; });
  if (it != items_.end() && (*it)->Enabled()) (*it)->Click();
}

plat::LRESULT PopupMenu::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<PopupMenu*>(plat::GetWindowLongPtrA(hwnd, plat::GWLP_USERDATA));
  if (msg != plat::WM_COMMAND || !self) return plat::DefWindowProcA(hwnd, msg, wParam, lParam);
  Guarded([&] { self->CommandChosen(static_cast<plat::UINT>(wParam)); });
  return 0;
}

}  // namespace tk
