#pragma once
// Desktop components: a component with a hidden message window and one window timer, the tray
// icon built on it, and the run-at-log-on entry; each class in a file of its name
// (TqelCustomTimer.cpp, TqelTrayIcon.cpp with AppProcSlots.h, TqelAutoRun.cpp).
#include <stdexcept>
#include <string>

#include "desktop/qelSysUtils.h"
#include "platform/shell.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"
#include "toolkit/NativeIcon.h"
#include "toolkit/ImageList.h"
#include "toolkit/PopupMenu.h"

namespace tk {
class Form;
}

class TqelComponent : public tk::Component {
 public:
  explicit TqelComponent(tk::Component* owner) : tk::Component(owner) {}
};

class TqelCustomTimer : public TqelComponent {
 public:
  explicit TqelCustomTimer(tk::Component* owner);
  ~TqelCustomTimer() override;

  plat::DWORD Interval() const { return interval_; }
  void SetInterval(plat::DWORD ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const tk::NotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(tk::NotifyEvent handler);

  plat::HWND WindowHandle() const { return window_; }

 protected:
  // The hidden window's messages; the base runs Timer on WM_TIMER and hands the rest to the
  // default procedure.
  virtual plat::LRESULT WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  virtual void Timer();
  void UpdateTimer();

 private:
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

  plat::HWND window_ = nullptr;
  plat::DWORD interval_ = 1000;
  bool enabled_ = true;
  tk::NotifyEvent onTimer_;
};

class EqelTrayIcon : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TqelTrayIconInfoType { tiiNone, tiiInfo, tiiWarning, tiiError };

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;

using TMouseEvent = std::function<void(tk::Component* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(tk::Component* sender, TShiftState shift, int x, int y)>;

// The tray callback message.
constexpr plat::UINT WM_TRAYICON = 1235;

class TqelTrayIcon : public TqelCustomTimer {
 public:
  explicit TqelTrayIcon(tk::Component* owner);
  ~TqelTrayIcon() override;

  bool CycleIcons() const { return TqelCustomTimer::Enabled(); }
  void SetCycleIcons(bool cycle);
  plat::DWORD CycleInterval() const { return TqelCustomTimer::Interval(); }
  void SetCycleInterval(plat::DWORD ms);
  // Hides the timer's Enabled, which CycleIcons is: false ignores the icon's notifications.
  bool Enabled() const { return iconEnabled_; }
  void SetEnabled(bool enabled) { iconEnabled_ = enabled; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  const plat::IconImage& Icon() const { return icon_.Image(); }
  void SetIcon(const plat::IconImage& icon);
  tk::ImageList* ImageList() const { return imageList_; }
  void SetImageList(tk::ImageList* list);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  int IconID() const { return iconId_; }
  void SetIconID(int id);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool on) { minimizeToTray_ = on; }
  bool MinimizeOnStart() const { return minimizeOnStart_; }
  void SetMinimizeOnStart(bool on) { minimizeOnStart_ = on; }
  tk::PopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(tk::PopupMenu* menu);
  bool PopupByLeft() const { return popupByLeft_; }
  void SetPopupByLeft(bool on) { popupByLeft_ = on; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool VisibleOnDesigning() const { return visibleOnDesigning_; }
  void SetVisibleOnDesigning(bool visible) { visibleOnDesigning_ = visible; }
  const std::string& InfoText() const { return infoText_; }
  void SetInfoText(const std::string& text) { infoText_ = text; }
  const std::string& InfoTitle() const { return infoTitle_; }
  void SetInfoTitle(const std::string& title) { infoTitle_ = title; }
  int InfoTimeout() const { return infoTimeout_; }
  void SetInfoTimeout(int ms) { infoTimeout_ = ms; }
  TqelTrayIconInfoType InfoType() const { return infoType_; }
  void SetInfoType(TqelTrayIconInfoType type) { infoType_ = type; }

  // The record of the last request, as the shell was given it.
  const plat::NOTIFYICONDATAA& IconData() const { return data_; }

  virtual void FillIconData();
  virtual plat::LRESULT AppWndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  virtual void UpdateIcon();
  virtual void AddIcon();
  virtual void RemoveIcon();
  virtual void PopupAtCursor();
  virtual void ShowApplication();
  virtual void HideApplication();
  virtual void ShowInfo();
  virtual void ShowBalloon();

  tk::NotifyEvent OnMinimize;
  tk::NotifyEvent OnClick;
  tk::NotifyEvent OnDblClick;
  tk::NotifyEvent OnPopupMenu;
  tk::NotifyEvent OnShow;
  tk::NotifyEvent OnHide;
  tk::NotifyEvent OnCycleIcons;
  tk::NotifyEvent OnBalloonShow;
  tk::NotifyEvent OnBalloonTimeout;
  tk::NotifyEvent OnBalloonClick;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

 protected:
  plat::LRESULT WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void Loaded() override;
  void Notification(tk::Component* component, tk::Operation operation) override;
  void Timer() override;  // CycleIcon

  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  virtual void Minimize();

 private:
  friend struct AppProcSlots;
  void LoadIconFromList();
  void HookApplication();
  void UnhookApplication();
  // The owner when it is a form that is alive (not being destroyed), else null.
  tk::Form* OwnerForm() const;
  void ForegroundOwner();
  plat::LRESULT TrayNotification(plat::WPARAM wParam, plat::LPARAM code);

  bool iconEnabled_ = true;
  std::string hint_;
  tk::NativeIcon icon_;
  tk::ImageList* imageList_ = nullptr;
  tk::ChangeLink changeLink_;
  int imageIndex_ = 0;
  int iconId_ = 0;
  bool minimizeToTray_ = false;
  bool minimizeOnStart_ = false;
  tk::PopupMenu* popupMenu_ = nullptr;
  bool popupByLeft_ = false;
  bool showHint_ = true;
  bool visible_ = false;
  bool visibleOnDesigning_ = false;
  std::string infoText_;
  std::string infoTitle_;
  int infoTimeout_ = 10000;
  TqelTrayIconInfoType infoType_ = tiiNone;

  plat::UINT iconFlags_ = plat::NIF_MESSAGE | plat::NIF_TIP;
  bool clickPending_ = false;
  plat::NOTIFYICONDATAA data_{};
  plat::HWND appWindow_ = nullptr;
  plat::WNDPROC prevAppProc_ = nullptr;
  int appProcSlot_ = -1;
};

class TqelAutoRun : public TqelComponent {
 public:
  explicit TqelAutoRun(tk::Component* owner);

  bool AutoRun() const { return autoRun_; }
  void SetAutoRun(bool autoRun);
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName);
  TqelAutoExecKind Kind() const { return kind_; }
  void SetKind(TqelAutoExecKind kind);

  virtual void WriteEntry();
  virtual void DeleteEntry();

 protected:
  void Loaded() override;

 private:
  template <typename T>
  void Change(T& field, const T& value);

  bool autoRun_ = false;
  std::string fileName_;
  TqelAutoExecKind kind_ = aekMachineRun;
};
