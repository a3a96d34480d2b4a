#pragma once
// The windowing toolkit's backend: one peer per native window. win32 peers are native windows,
// linux peers GTK 3 windows with a GtkFixed, sim peers plain records that tests read and poke.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

class Surface;

// Prepares the backend (the message core's host, the GUI library); called once on the thread
// that will run the message loop, before any other platform call.
void InitializeBackend();

// Whoever started the program asked for it to start minimised (a shortcut's "Run: Minimized").
bool StartedMinimized();

enum class BorderStyle { None, Single, ToolWindow };

// The pointer's shapes over a window's client area, the platform's standard ones.
enum class CursorShape { Arrow, HandPoint, IBeam, Wait };

struct BorderIcons {
  bool systemMenu = true;
  bool minimize = true;
  bool maximize = true;
};

struct FontSpec {
  std::string face = "Verdana";
  int pixelHeight = 11;
  COLORREF color = 0;
  bool bold = false;
  bool operator==(const FontSpec&) const = default;
};

// 32-bit ARGB pixels, row by row.
struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  bool Empty() const { return width == 0 || height == 0; }
};

// What a form peer reports to its form.
class FormPeerEvents {
 public:
  virtual ~FormPeerEvents() = default;
  // The user asked to close the window (title bar button, Alt+F4).
  virtual void PeerCloseRequested() = 0;
  virtual void PeerActivated() = 0;
  // The area `dirty` of the client area is to be drawn on `surface` (client coordinates), the
  // background included. What lies outside `dirty` the surface shows already.
  virtual void PeerPaint(Surface& surface, const RECT& dirty) {}
  // A mouse message of the client area (WM_MOUSEMOVE, WM_LBUTTONDOWN... , WM_MOUSELEAVE), at
  // client coordinates, with the MK_* keys and buttons held.
  virtual void PeerMouse(UINT msg, int x, int y, WPARAM keys) {}
  // The window manager reported other FrameExtents (it framed the window).
  virtual void PeerFrameChanged() {}
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  // The window as a message target (its window procedure belongs to the backend).
  virtual HWND Handle() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetBorder(BorderStyle style, BorderIcons icons) = 0;
  // Position of the window's outer top-left corner and its client size, in screen pixels.
  virtual void SetBounds(int left, int top, int clientWidth, int clientHeight) = 0;
  // How far the frame (border and caption) reaches beyond the client area on each side, as far as
  // it is known: a window manager may tell it only once it has framed the window.
  virtual RECT FrameExtents() const = 0;
  // Pixels of this colour are see-through and let clicks pass; nullopt turns it off.
  virtual void SetTransparentColor(std::optional<COLORREF> key) = 0;
  virtual void SetFont(const FontSpec& font) = 0;
  virtual void SetIcon(const IconImage& icon) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // `area` of the client area joins the window's pending region, which is painted (one PeerPaint
  // for all of it) when the loop is next idle; never paints.
  virtual void Invalidate(const RECT& area) = 0;
  // Paints the pending region now, in one PeerPaint; nothing when none is pending.
  virtual void Update() = 0;
  // The pointer's shape while it is over the client area.
  virtual void SetCursor(CursorShape shape) = 0;
};

// `owner` is the application window; `name` the form's component name (sim tests find by it).
std::unique_ptr<FormPeer> CreateFormPeer(FormPeerEvents& events, HWND owner, const std::string& name);

// The toolkit's nested loop as the message box drives it.
class ModalPump {
 public:
  virtual ~ModalPump() = default;
  // Handles one message, or performs one idle moment and sleeps when there is none. Returns
  // false once the application is terminating: the box then closes.
  virtual bool HandleOneMessage() = 0;
};

// A modal box with one OK button and no icon, centred on the screen. Returns when dismissed.
// `error` adds the error icon (the application's standard exception box).
void RunMessageBox(HWND owner, const std::string& text, const std::string& caption, bool error, ModalPump& pump);

// The application window: hidden, owner of the task-bar button.
HWND CreateApplicationWindow(const std::string& title, WNDPROC proc);

}  // namespace plat
