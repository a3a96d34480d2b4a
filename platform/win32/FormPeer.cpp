// Form peers: native top-level windows owned by the application window. The window procedure
// reports closing and activation to the form, paints the background colour and lends its font
// to child controls through WM_GETFONT.
#include "platform/messages.h"
#include "platform/peers.h"
#include "platform/rects.h"
#include "platform/surface.h"
#include "platform/win32/ArgbIcon.h"
#include "platform/win32/ControlPeers.h"
#include "platform/win32/GdiSurface.h"
#include "platform/win32/ProcWindow.h"

#include <windows.h>

#include <algorithm>

namespace plat {
namespace {

class Win32FormPeer final : public FormPeer {
 public:
  Win32FormPeer(FormPeerEvents& events, HWND owner, const std::string& name) : events_(events) {
    // Classes are named after the form ("Tmain"), as FindWindow-style lookups expect.
    const std::string className = "T" + (name.empty() ? std::string("Form") : name);
    const auto [style, exStyle] = Styles();
    hwnd_ = win32::CreateProcWindow({.className = className.c_str(),
                                     .style = style,
                                     .exStyle = exStyle,
                                     .owner = owner,
                                     .proc = &FormProc,
                                     .classStyle = CS_DBLCLKS});
    if (hwnd_) ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  ~Win32FormPeer() override {
    if (back_) DeleteObject(back_);
    if (backDc_) DeleteDC(backDc_);
    if (hwnd_) {
      ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      ::DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
    if (icon_) DestroyIcon(icon_);
  }

  HWND Handle() const override { return hwnd_; }

  void SetCaption(const std::string& caption) override { ::SetWindowTextA(hwnd_, caption.c_str()); }

  void SetBorder(BorderStyle style, BorderIcons icons) override {
    border_ = style;
    icons_ = icons;
    ApplyStyles();
  }

  void SetBounds(int left, int top, int clientWidth, int clientHeight) override {
    bounds_ = {left, top, clientWidth, clientHeight};
    boundsSet_ = true;
    Place();
  }

  // The frame the window's styles give it, known before it is shown.
  RECT FrameExtents() const override {
    const auto [style, exStyle] = Styles();
    ::RECT outer{0, 0, 0, 0};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return {-outer.left, -outer.top, outer.right, outer.bottom};
  }

  void SetTransparentColor(std::optional<COLORREF> key) override {
    transparentKey_ = key;
    ApplyStyles();
    if (key) {
      SetLayeredWindowAttributes(hwnd_, *key, 0, LWA_COLORKEY);
    } else {
      // Without WS_EX_LAYERED the window draws itself again: ask it to, frame included.
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }

  void SetFont(const FontSpec& font) override {
    HFONT old = font_;
    font_ = CreateFontA(-font.pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        font.face.c_str());
    if (old) DeleteObject(old);
  }

  void SetIcon(const IconImage& image) override {
    HICON old = icon_;
    icon_ = win32::CreateArgbIcon(image);
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    if (old) DestroyIcon(old);
  }

  void SetCursor(CursorShape shape) override {
    cursor_ = shape;
    ::POINT at;
    // Shown at once when the pointer is over the client area already.
    if (GetCursorPos(&at) && WindowFromPoint(at) == hwnd_) SetCursorNow();
  }

  void SetCursorNow() const {
    const char* id = IDC_ARROW;
    switch (cursor_) {
      case CursorShape::HandPoint: id = IDC_HAND; break;
      case CursorShape::IBeam: id = IDC_IBEAM; break;
      case CursorShape::Wait: id = IDC_WAIT; break;
      case CursorShape::Arrow: break;
    }
    ::SetCursor(LoadCursorA(nullptr, id));
  }

  // Controls lying on painted areas (group boxes over labels) are drawn again with the form.
  void Invalidate(const RECT& area) override {
    const ::RECT r{area.left, area.top, area.right, area.bottom};
    RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }

  void Update() override { UpdateWindow(hwnd_); }

  void Show() override { ::ShowWindow(hwnd_, SW_SHOW); }
  void Hide() override { ::ShowWindow(hwnd_, SW_HIDE); }
  bool Visible() const override { return ::IsWindowVisible(hwnd_) != 0; }

 private:
  struct Bounds {
    int left, top, clientWidth, clientHeight;
  };

  std::pair<DWORD, DWORD> Styles() const {
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = transparentKey_ ? WS_EX_LAYERED : 0;
    if (border_ == BorderStyle::None) return {style | WS_POPUP, exStyle};
    style |= WS_CAPTION;
    if (icons_.systemMenu) {
      style |= WS_SYSMENU;
      // Tool windows have no minimise or maximise buttons.
      if (border_ == BorderStyle::Single) {
        if (icons_.minimize) style |= WS_MINIMIZEBOX;
        if (icons_.maximize) style |= WS_MAXIMIZEBOX;
      }
    }
    if (border_ == BorderStyle::ToolWindow) exStyle |= WS_EX_TOOLWINDOW;
    return {style, exStyle};
  }

  void ApplyStyles() {
    const auto [style, exStyle] = Styles();
    const LONG_PTR kept = ::GetWindowLongPtrA(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
    ::SetWindowLongPtrA(hwnd_, GWL_STYLE, kept | style);
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, exStyle);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A new frame changes the outer size; the client size is what the form asked for.
    Place();
  }

  void Place() {
    if (!boundsSet_) return;
    const RECT frame = FrameExtents();
    SetWindowPos(hwnd_, nullptr, bounds_.left, bounds_.top, bounds_.clientWidth + frame.left + frame.right,
                 bounds_.clientHeight + frame.top + frame.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  RECT ClientArea() const {
    ::RECT client;
    GetClientRect(hwnd_, &client);
    return {0, 0, client.right, client.bottom};
  }

  // The update region's bounds are painted off screen and copied in one operation: no flicker.
  void Paint() {
    ::PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    PaintTo(dc, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
    EndPaint(hwnd_, &ps);
  }

  // The off-screen copy keeps the client area between paints; a new one (the first, or after a
  // change of size) is painted whole. Also for themed controls that draw their parent's
  // background beneath them (WM_PRINTCLIENT), with the whole client area.
  void PaintTo(HDC dc, RECT dirty) {
    const RECT client = ClientArea();
    const int w = std::max<int>(client.right, 1), h = std::max<int>(client.bottom, 1);
    if (!backDc_) backDc_ = CreateCompatibleDC(dc);
    if (!back_ || w != backW_ || h != backH_) {
      if (back_) DeleteObject(back_);
      back_ = CreateCompatibleBitmap(dc, w, h);
      backW_ = w;
      backH_ = h;
      dirty = {0, 0, w, h};
    }
    dirty = RectIntersection(dirty, {0, 0, w, h});
    if (RectEmpty(dirty)) return;
    HGDIOBJ old = SelectObject(backDc_, back_);
    {
      const int saved = SaveDC(backDc_);
      win32::GdiSurface surface(backDc_, w, h);
      events_.PeerPaint(surface, dirty);
      RestoreDC(backDc_, saved);
    }
    BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, backDc_, dirty.left, dirty.top,
           SRCCOPY);
    SelectObject(backDc_, old);
  }

  void Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEMOVE && !tracking_) {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
      tracking_ = TrackMouseEvent(&track) != 0;
    }
    if (msg == WM_MOUSELEAVE) tracking_ = false;
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) SetCapture(hwnd_);
    if ((msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) && GetCapture() == hwnd_) ReleaseCapture();
    events_.PeerMouse(msg, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), wParam);
  }

  static LRESULT FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* peer = reinterpret_cast<Win32FormPeer*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (peer) {
      switch (msg) {
        case WM_CLOSE:
          peer->events_.PeerCloseRequested();
          return 0;
        case WM_ACTIVATE:
          if (LOWORD(wParam) != WA_INACTIVE) peer->events_.PeerActivated();
          break;
        case WM_ERASEBKGND:
          return 1;  // WM_PAINT paints the background with everything else
        case WM_PAINT:
          peer->Paint();
          return 0;
        case WM_SETCURSOR:
          if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd) {
            peer->SetCursorNow();
            return TRUE;
          }
          break;
        case WM_PRINTCLIENT:
          peer->PaintTo(reinterpret_cast<HDC>(wParam), peer->ClientArea());
          return 0;
        case WM_COMMAND:
          if (lParam) win32::ControlCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
          return 0;
        case WM_HSCROLL:
          if (lParam) win32::ControlScrolled(reinterpret_cast<HWND>(lParam));
          return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MOUSELEAVE:
          peer->Mouse(msg, wParam, lParam);
          return 0;
        case WM_GETFONT:
          return reinterpret_cast<LRESULT>(peer->font_);
        case WM_NCDESTROY:
          // Destroying the owner destroys its forms' windows before their peers go.
          peer->hwnd_ = nullptr;
          break;
        default:
          break;
      }
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  FormPeerEvents& events_;
  HWND hwnd_ = nullptr;
  BorderStyle border_ = BorderStyle::Single;
  BorderIcons icons_;
  std::optional<COLORREF> transparentKey_;
  Bounds bounds_{};
  bool boundsSet_ = false;
  HFONT font_ = nullptr;
  HICON icon_ = nullptr;
  HDC backDc_ = nullptr;
  HBITMAP back_ = nullptr;
  int backW_ = 0;
  int backH_ = 0;
  bool tracking_ = false;
  CursorShape cursor_ = CursorShape::Arrow;
};

}  // namespace

std::unique_ptr<FormPeer> CreateFormPeer(FormPeerEvents& events, HWND owner, const std::string& name) {
  return std::make_unique<Win32FormPeer>(events, owner, name);
}

}  // namespace plat
