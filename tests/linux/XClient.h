#pragma once
// The test's own X connection, as another client (a window manager, a user) would have one.
// Xlib's macros (None, Bool, Status...) stay out of the tests: they collide with our names.
#include <memory>
#include <string>
#include <vector>

namespace xtest {

using XWindow = unsigned long;

struct Geometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool viewable = false;
};

struct Rect {
  int x, y, width, height;
};

enum class ShapeKind { Drawing, Input };

class XClient {
 public:
  XClient();
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  bool Connected() const;
  int ScreenWidth() const;
  int ScreenHeight() const;
  // The top-level window with this WM_NAME, or 0.
  XWindow Find(const std::string& name) const;
  Geometry GeometryOf(XWindow w) const;
  // The outermost window that holds `w`: the window manager's frame around it, or `w` itself.
  Geometry FrameOf(XWindow w) const;
  // Whether a window manager that follows the desktop conventions runs.
  bool WindowManagerRuns() const;
  std::vector<Rect> Shape(XWindow w, ShapeKind kind) const;
  // Moves the pointer there and returns the top-level window it finds.
  XWindow TopLevelAt(int x, int y) const;
  // The first atom of _NET_WM_WINDOW_TYPE, by name.
  std::string WindowType(XWindow w) const;
  // _NET_WM_ICON: width, height and ARGB pixels of each image.
  std::vector<unsigned long> Icon(XWindow w) const;
  // What a window manager sends when the user clicks the close button.
  void RequestClose(XWindow w) const;
  void Focus(XWindow w) const;
  // Fills the root window (the desktop behind every window) with 0xRRGGBB.
  void PaintRoot(unsigned long rgb) const;
  // What the screen shows in the rectangle, 0xRRGGBB row by row, as a screenshot would.
  std::vector<unsigned long> ScreenPixels(const Rect& area) const;

 private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
};

}  // namespace xtest
