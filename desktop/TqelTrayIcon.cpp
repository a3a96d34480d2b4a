#include "desktop/qelComponents.h"

#include <algorithm>
#include <cstring>

#include "desktop/AppProcSlots.h"
#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace {

void CopyCut(char* field, std::size_t fieldSize, const std::string& text, std::size_t limit) {
  std::memset(field, 0, fieldSize);
  std::memcpy(field, text.data(), std::min({text.size(), limit, fieldSize - 1}));
}

plat::UINT TaskbarCreatedMessage() {
  static const plat::UINT message = plat::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

TShiftState KeyboardShift() {
  TShiftState shift = 0;
  if (plat::GetKeyState(plat::VK_SHIFT) < 0) shift |= ssShift;
  if (plat::GetKeyState(plat::VK_MENU) < 0) shift |= ssAlt;
  if (plat::GetKeyState(plat::VK_CONTROL) < 0) shift |= ssCtrl;
  return shift;
}

}  // namespace

void TqelTrayIcon::HookApplication() {
  tk::Application* app = tk::App();
  if (!app || !app->Handle()) return;
  auto& slots = AppProcSlots::slots;
  auto free = std::find_if(slots.begin(), slots.end(), [](const auto& s) { return !s.used; });
  if (free == slots.end()) throw EqelTrayIcon(Name() + ": too many tray icons");
  appProcSlot_ = static_cast<int>(free - slots.begin());
  appWindow_ = app->Handle();
  *free = {true, this, appWindow_, nullptr};
  prevAppProc_ = reinterpret_cast<plat::WNDPROC>(plat::SetWindowLongPtrA(
      appWindow_, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(AppProcSlots::procs[appProcSlot_])));
  free->previous = prevAppProc_;
}

void TqelTrayIcon::UnhookApplication() {
  if (appProcSlot_ < 0) return;
  auto& slot = AppProcSlots::slots[appProcSlot_];
  const auto ours = reinterpret_cast<plat::LONG_PTR>(AppProcSlots::procs[appProcSlot_]);
  if (!plat::IsWindow(appWindow_)) {
    slot = {};
  } else if (plat::GetWindowLongPtrA(appWindow_, plat::GWLP_WNDPROC) == ours) {
    plat::SetWindowLongPtrA(appWindow_, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(prevAppProc_));
    slot = {};
  } else {
    slot.icon = nullptr;  // another procedure was put over ours: stay in the chain, passing through
  }
  appProcSlot_ = -1;
  appWindow_ = nullptr;
}

TqelTrayIcon::TqelTrayIcon(tk::Component* owner) : TqelCustomTimer(owner) {
  changeLink_.OnChange = [this] { LoadIconFromList(); };
  SetOnTimer([](tk::Component*) {});
  SetCycleIcons(false);
  SetCycleInterval(200);
  HookApplication();
}

TqelTrayIcon::~TqelTrayIcon() {
  try {
    SetVisible(false);
  } catch (const std::exception&) {
    // The icon goes with the program in any case; a destructor cannot report it.
  }
  UnhookApplication();
  if (imageList_) imageList_->UnRegisterChanges(&changeLink_);
}

void TqelTrayIcon::Loaded() {
  TqelCustomTimer::Loaded();
  if (minimizeOnStart_) {
    if (tk::App()) tk::App()->SetShowMainForm(false);
    Minimize();
  }
  if (visible_) AddIcon();
}

void TqelTrayIcon::Notification(tk::Component* component, tk::Operation operation) {
  TqelCustomTimer::Notification(component, operation);
  if (operation != tk::Operation::Remove) return;
  // The component is half gone: forget it without calling it.
  if (component == popupMenu_) popupMenu_ = nullptr;
  if (component == imageList_) imageList_ = nullptr;
}

void TqelTrayIcon::SetCycleIcons(bool cycle) { TqelCustomTimer::SetEnabled(cycle); }
void TqelTrayIcon::SetCycleInterval(plat::DWORD ms) { TqelCustomTimer::SetInterval(ms); }

void TqelTrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible)
    AddIcon();
  else
    RemoveIcon();
}

void TqelTrayIcon::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint.size() >= 64 ? hint.substr(0, 63) : hint;
  UpdateIcon();
}

void TqelTrayIcon::SetIcon(const plat::IconImage& icon) {
  icon_.Assign(icon);
  UpdateIcon();
}

void TqelTrayIcon::SetShowHint(bool show) {
  if (show == showHint_) return;
  showHint_ = show;
  UpdateIcon();
}

void TqelTrayIcon::SetIconID(int id) {
  if (id == iconId_) return;
  const bool wasVisible = visible_;
  SetVisible(false);
  iconId_ = id;
  SetVisible(wasVisible);
}

void TqelTrayIcon::SetImageList(tk::ImageList* list) {
  if (list == imageList_) return;
  if (imageList_) imageList_->UnRegisterChanges(&changeLink_);
  imageList_ = list;
  if (list) {
    list->FreeNotification(this);
    list->RegisterChanges(&changeLink_);
  }
  LoadIconFromList();
}

void TqelTrayIcon::SetImageIndex(int index) {
  imageIndex_ = index;
  LoadIconFromList();
}

void TqelTrayIcon::SetPopupMenu(tk::PopupMenu* menu) {
  if (menu == popupMenu_) return;
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TqelTrayIcon::LoadIconFromList() {
  if (!imageList_) return;
  icon_.Clear();
  icon_.Assign(imageList_->GetIcon(imageIndex_));
  UpdateIcon();
}

void TqelTrayIcon::FillIconData() {
  const bool extended = IsExtendedShell();
  const std::size_t tipLimit = extended ? 127 : 63;
  data_.cbSize = extended ? plat::NOTIFYICONDATAA_V2_SIZE : plat::NOTIFYICONDATAA_V1_SIZE;
  data_.hWnd = WindowHandle();
  data_.uID = static_cast<plat::UINT>(iconId_);
  data_.uFlags = iconFlags_;
  data_.uCallbackMessage = WM_TRAYICON;
  data_.hIcon = icon_.Handle();
  CopyCut(data_.szTip, sizeof data_.szTip, showHint_ ? hint_ : std::string(), tipLimit);
}

void TqelTrayIcon::UpdateIcon() {
  FillIconData();
  plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data_);
}

void TqelTrayIcon::AddIcon() {
  iconFlags_ |= plat::NIF_ICON;
  try {
    FillIconData();
    plat::Shell_NotifyIconA(plat::NIM_ADD, &data_);
  } catch (const std::exception&) {
    throw EqelTrayIcon(Name() + ".InsertToTray failed");
  }
  visible_ = true;
  tk::Fire(OnShow, this);
}

void TqelTrayIcon::RemoveIcon() {
  iconFlags_ &= ~plat::NIF_ICON;
  try {
    FillIconData();
    plat::Shell_NotifyIconA(plat::NIM_DELETE, &data_);
  } catch (const std::exception&) {
    throw EqelTrayIcon(Name() + ".DeleteFromTray failed");
  }
  visible_ = false;
  tk::Fire(OnHide, this);
  // While the program ends, the windows are going: none of them is to show up again.
  const bool ending = !tk::App() || tk::App()->ShuttingDown();
  if (minimizeToTray_ && !ending) ShowApplication();
  if (tk::Form* owner = OwnerForm(); owner && !ending && !owner->Visible()) owner->Show();
}

void TqelTrayIcon::ShowInfo() {
  if (!IsExtendedShell()) return;
  FillIconData();
  data_.uFlags = plat::NIF_INFO;
  data_.dwInfoFlags = static_cast<plat::DWORD>(infoType_);
  data_.uTimeout = static_cast<plat::UINT>(infoTimeout_);
  CopyCut(data_.szInfo, sizeof data_.szInfo, infoText_, 255);
  CopyCut(data_.szInfoTitle, sizeof data_.szInfoTitle, infoTitle_, 63);
  plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data_);
}

void TqelTrayIcon::ShowBalloon() { ShowInfo(); }

tk::Form* TqelTrayIcon::OwnerForm() const {
  tk::Component* owner = Owner();
  if (!owner || owner->Destroying()) return nullptr;
  return dynamic_cast<tk::Form*>(owner);
}

void TqelTrayIcon::ForegroundOwner() {
  if (tk::Form* owner = OwnerForm()) plat::SetForegroundWindow(owner->Handle());
}

plat::LRESULT TqelTrayIcon::WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == WM_TRAYICON) {
    if (!iconEnabled_) return 0;
    return TrayNotification(wParam, lParam);
  }
  if (msg == plat::WM_QUERYENDSESSION) return 1;
  if (msg == TaskbarCreatedMessage()) {
    // The new notification area has none of the old one's icons.
    if (visible_) {
      RemoveIcon();
      AddIcon();
    }
  }
  return TqelCustomTimer::WndProc(msg, wParam, lParam);
}

plat::LRESULT TqelTrayIcon::TrayNotification(plat::WPARAM wParam, plat::LPARAM code) {
  plat::POINT pt{0, 0};
  plat::GetCursorPos(&pt);
  const TShiftState shift = KeyboardShift();
  switch (static_cast<plat::UINT>(code)) {
    case plat::WM_MOUSEMOVE:
      MouseMove(shift, pt.x, pt.y);
      break;
    case plat::WM_LBUTTONDOWN:
      MouseDown(mbLeft, shift | ssLeft, pt.x, pt.y);
      clickPending_ = true;
      break;
    case plat::WM_LBUTTONUP:
      MouseUp(mbLeft, shift | ssLeft, pt.x, pt.y);
      if (clickPending_) Click();
      if (popupByLeft_) PopupAtCursor();
      clickPending_ = false;
      break;
    case plat::WM_LBUTTONDBLCLK:
      DblClick();
      break;
    case plat::WM_RBUTTONDOWN:
      MouseDown(mbRight, shift | ssRight, pt.x, pt.y);
      break;
    case plat::WM_RBUTTONUP:
      MouseUp(mbRight, shift | ssRight, pt.x, pt.y);
      PopupAtCursor();
      break;
    case plat::WM_MBUTTONDOWN:
      MouseDown(mbMiddle, shift | ssMiddle, pt.x, pt.y);
      break;
    case plat::WM_MBUTTONUP:
      MouseUp(mbMiddle, shift | ssMiddle, pt.x, pt.y);
      break;
    case plat::NIN_BALLOONSHOW:
      tk::Fire(OnBalloonShow, this);
      break;
    case plat::NIN_BALLOONTIMEOUT:
      tk::Fire(OnBalloonTimeout, this);
      break;
    case plat::NIN_BALLOONUSERCLICK:
      tk::Fire(OnBalloonClick, this);
      break;
    default:
      return TqelCustomTimer::WndProc(WM_TRAYICON, wParam, code);
  }
  return 0;
}

void TqelTrayIcon::MouseMove(TShiftState shift, int x, int y) { tk::Fire(OnMouseMove, this, shift, x, y); }

void TqelTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  tk::Fire(OnMouseDown, this, button, shift, x, y);
}

void TqelTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  ForegroundOwner();
  tk::Fire(OnMouseUp, this, button, shift, x, y);
}

void TqelTrayIcon::Click() { tk::Fire(OnClick, this); }

void TqelTrayIcon::DblClick() {
  if (popupMenu_ && popupMenu_->AutoPopup() && !popupByLeft_) {
    const auto& items = popupMenu_->Items();
    auto item = std::find_if(items.begin(), items.end(), [](tk::MenuItem* i) { return i->Default(); });
    if (item != items.end()) {
      (*item)->Click();
      tk::Fire(OnDblClick, this);
      ForegroundOwner();
      return;
    }
  }
  if (tk::Form* owner = OwnerForm()) {
    if (minimizeToTray_ && owner->Visible())
      HideApplication();
    else
      ShowApplication();
  }
  tk::Fire(OnDblClick, this);
}

void TqelTrayIcon::PopupAtCursor() {
  if (!popupMenu_ || !popupMenu_->AutoPopup()) return;
  plat::POINT pt{0, 0};
  plat::GetCursorPos(&pt);
  if (tk::App()) tk::App()->ProcessMessages();
  if (!popupMenu_) return;  // destroyed by one of those messages
  ForegroundOwner();
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(pt.x, pt.y);
  // The menu gets its next message at once, so it really closes (a known need of tray menus).
  if (tk::Form* owner = OwnerForm()) plat::PostMessageA(owner->Handle(), plat::WM_NULL, 0, 0);
  tk::Fire(OnPopupMenu, this);
}

plat::LRESULT TqelTrayIcon::AppWndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == plat::WM_SIZE && wParam == plat::SIZE_MINIMIZED && minimizeToTray_) Minimize();
  return plat::CallWindowProcA(prevAppProc_, appWindow_, msg, wParam, lParam);
}

void TqelTrayIcon::Minimize() {
  HideApplication();
  SetVisible(true);
  tk::Fire(OnMinimize, this);
}

void TqelTrayIcon::ShowApplication() {
  tk::Application* app = tk::App();
  if (!app) return;
  if (app->Handle() && plat::IsWindow(app->Handle())) plat::ShowWindow(app->Handle(), plat::SW_SHOWNORMAL);
  if (tk::Form* main = app->MainForm()) main->Show();
}

void TqelTrayIcon::HideApplication() {
  tk::Application* app = tk::App();
  if (!app) return;
  if (app->Handle() && plat::IsWindowVisible(app->Handle())) plat::ShowWindow(app->Handle(), plat::SW_HIDE);
  if (tk::Form* main = app->MainForm()) main->Hide();
}

void TqelTrayIcon::Timer() {
  if (imageList_) SetImageIndex(imageIndex_ + 1 < imageList_->Count() ? imageIndex_ + 1 : 0);
  tk::Fire(OnCycleIcons, this);
}
