// Windowed controls on Windows: common controls (version 6 through the manifest) as children of
// the form's window, at form coordinates.
#include "platform/controls.h"
#include "platform/surface.h"
#include "platform/win32/ControlPeers.h"
#include "platform/win32/GdiSurface.h"

#include <windows.h>
#include <commctrl.h>

namespace plat {
namespace {

class Win32ControlPeer;

// Group boxes draw only their frame and caption: what the form paints beneath (labels, the
// background picture) is copied in first.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_ERASEBKGND) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND parent = GetParent(hwnd);
    ::POINT origin{0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    ::POINT old;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    SendMessageA(parent, WM_PRINTCLIENT, wParam, PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    return 1;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

Win32ControlPeer* PeerOf(HWND control);
void TabPressed(HWND control, bool backward);

// Every control: Tab moves the focus in the toolkit's order (the loop runs no dialog manager).
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_GETDLGCODE && lParam) {
    auto* m = reinterpret_cast<const MSG*>(lParam);
    if (m->message == WM_KEYDOWN && m->wParam == VK_TAB) return DLGC_WANTTAB;
  }
  if (msg == WM_KEYDOWN && wParam == VK_TAB) {
    TabPressed(hwnd, GetKeyState(VK_SHIFT) < 0);
    return 0;
  }
  if (msg == WM_CHAR && wParam == '\t') return 0;
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

Win32ControlPeer* PeerOf(HWND control) {
  return reinterpret_cast<Win32ControlPeer*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&icc) != 0;
  }();
  (void)done;
}

class Win32ControlPeer final : public ControlPeer {
 public:
  Win32ControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form) : kind_(kind), events_(events) {
    EnsureCommonControls();
    const char* cls = "BUTTON";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (kind) {
      case ControlKind::Button: style |= BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP; break;
      case ControlKind::CheckBox: style |= BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP; break;
      case ControlKind::RadioButton: style |= BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP; break;
      case ControlKind::GroupBox: style |= BS_GROUPBOX; break;
      case ControlKind::TrackBar:
        cls = TRACKBAR_CLASSA;
        style |= TBS_HORZ | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP;
        break;
      case ControlKind::ListBox:
        cls = "LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    }
    hwnd_ = CreateWindowExA(exStyle, cls, "", style, 0, 0, 0, 0, form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd_) {
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      // Windows puts a new child below its siblings; ours go above those made before them (a
      // group box's children above the group box).
      SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (kind == ControlKind::GroupBox) SetWindowSubclass(hwnd_, &GroupBoxProc, 1, 0);
      SetWindowSubclass(hwnd_, &ControlProc, 2, 0);
    }
  }

  ~Win32ControlPeer() override {
    if (hwnd_) {
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      if (kind_ == ControlKind::GroupBox) RemoveWindowSubclass(hwnd_, &GroupBoxProc, 1);
      RemoveWindowSubclass(hwnd_, &ControlProc, 2);
      DestroyWindow(hwnd_);
    }
  }

  void SetBounds(int left, int top, int width, int height) override {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetVisible(bool visible) override { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
  void SetEnabled(bool enabled) override { EnableWindow(hwnd_, enabled); }
  void SetText(const std::string& text) override { SetWindowTextA(hwnd_, text.c_str()); }
  void SetFont(const FontSpec& font) override {
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(win32::CachedFont({font.face, font.pixelHeight, font.bold, 0})), TRUE);
  }
  void SetChecked(bool checked) override { SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
  void SetRange(int min, int max) override {
    SendMessageA(hwnd_, TBM_SETRANGEMIN, FALSE, min);
    SendMessageA(hwnd_, TBM_SETRANGEMAX, TRUE, max);
  }
  void SetPosition(int position) override { SendMessageA(hwnd_, TBM_SETPOS, TRUE, position); }
  void SetThumbLength(int pixels) override { SendMessageA(hwnd_, TBM_SETTHUMBLENGTH, pixels, 0); }
  void SetItems(const std::vector<std::string>& items) override {
    SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
    for (const auto& item : items) SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  void SetItemHeight(int pixels) override { SendMessageA(hwnd_, LB_SETITEMHEIGHT, 0, pixels); }
  void SetItemIndex(int index) override { SendMessageA(hwnd_, LB_SETCURSEL, index, 0); }
  void SetFocus() override { ::SetFocus(hwnd_); }
  bool Focused() const override { return GetFocus() == hwnd_; }

  void Command(unsigned code) {
    switch (kind_) {
      case ControlKind::Button:
        if (code == BN_CLICKED) events_.PeerClicked();
        if (code == BN_SETFOCUS) events_.PeerFocusChanged(true);
        break;
      case ControlKind::CheckBox:
        if (code == BN_CLICKED) events_.PeerValueChanged(SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        if (code == BN_SETFOCUS) events_.PeerFocusChanged(true);
        break;
      case ControlKind::RadioButton:
        // Not an automatic radio button: the toolkit checks it and clears its group.
        if (code == BN_CLICKED) events_.PeerValueChanged(1);
        if (code == BN_SETFOCUS) events_.PeerFocusChanged(true);
        break;
      case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) events_.PeerValueChanged(static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0)));
        if (code == LBN_SETFOCUS) events_.PeerFocusChanged(true);
        break;
      default:
        break;
    }
  }
  void Tab(bool backward) { events_.PeerTabPressed(backward); }
  void Scrolled() {
    if (kind_ == ControlKind::TrackBar) events_.PeerValueChanged(static_cast<int>(SendMessageA(hwnd_, TBM_GETPOS, 0, 0)));
  }

 private:
  ControlKind kind_;
  ControlPeerEvents& events_;
  HWND hwnd_ = nullptr;
};

void TabPressed(HWND control, bool backward) {
  if (auto* peer = PeerOf(control)) peer->Tab(backward);
}

}  // namespace

std::unique_ptr<ControlPeer> CreateControlPeer(ControlKind kind, ControlPeerEvents& events, FormPeer& form,
                                               const std::string&, ControlPeer*) {
  return std::make_unique<Win32ControlPeer>(kind, events, form);
}

namespace win32 {

void ControlCommand(HWND control, unsigned code) {
  if (auto* peer = PeerOf(control)) peer->Command(code);
}

void ControlScrolled(HWND control) {
  if (auto* peer = PeerOf(control)) peer->Scrolled();
}

}  // namespace win32
}  // namespace plat
