#include "tests/linux/XClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace xtest {

struct XClient::Connection {
  ::Display* display = XOpenDisplay(nullptr);
  ~Connection() {
    if (display) XCloseDisplay(display);
  }
};

XClient::XClient() : connection_(std::make_unique<Connection>()) {}
XClient::~XClient() = default;

bool XClient::Connected() const { return connection_->display != nullptr; }

int XClient::ScreenWidth() const {
  auto* d = connection_->display;
  return DisplayWidth(d, DefaultScreen(d));
}

int XClient::ScreenHeight() const {
  auto* d = connection_->display;
  return DisplayHeight(d, DefaultScreen(d));
}

XWindow XClient::Find(const std::string& name) const {
  auto* d = connection_->display;
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  XWindow found = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* title = nullptr;
    if (XFetchName(d, children[i], &title) && title) {
      if (name == title) found = children[i];
      XFree(title);
    }
  }
  if (children) XFree(children);
  return found;
}

Geometry XClient::GeometryOf(XWindow w) const {
  auto* d = connection_->display;
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, w, &a)) return {};
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
  return {x, y, a.width, a.height, a.map_state == IsViewable};
}

Geometry XClient::FrameOf(XWindow w) const {
  auto* d = connection_->display;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  while (XQueryTree(d, w, &root, &parent, &children, &count)) {
    if (children) XFree(children);
    if (parent == root || parent == 0) break;
    w = parent;
  }
  return GeometryOf(w);
}

bool XClient::WindowManagerRuns() const {
  auto* d = connection_->display;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), 0,
                                        1, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                     data && count == 1;
  if (data) XFree(data);
  return found;
}

std::vector<Rect> XClient::Shape(XWindow w, ShapeKind kind) const {
  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(connection_->display, w, kind == ShapeKind::Drawing ? ShapeBounding : ShapeInput,
                                          &count, &ordering);
  std::vector<Rect> out;
  for (int i = 0; i < count; ++i) out.push_back({rects[i].x, rects[i].y, rects[i].width, rects[i].height});
  if (rects) XFree(rects);
  return out;
}

XWindow XClient::TopLevelAt(int x, int y) const {
  auto* d = connection_->display;
  Window root = DefaultRootWindow(d);
  XWarpPointer(d, None, root, 0, 0, 0, 0, x, y);
  Window r, child;
  int rx, ry, wx, wy;
  unsigned mask;
  XQueryPointer(d, root, &r, &child, &rx, &ry, &wx, &wy, &mask);
  return child;
}

std::string XClient::WindowType(XWindow w) const {
  auto* d = connection_->display;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), 0, 1, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success &&
      data && count == 1) {
    char* atomName = XGetAtomName(d, *reinterpret_cast<Atom*>(data));
    name = atomName;
    XFree(atomName);
  }
  if (data) XFree(data);
  return name;
}

std::vector<unsigned long> XClient::Icon(XWindow w) const {
  auto* d = connection_->display;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<unsigned long> out;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_ICON", False), 0, 1 << 20, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    // Xlib hands 32-bit items over as (sign-extended) longs.
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long i = 0; i < count; ++i) out.push_back(items[i] & 0xFFFFFFFFul);
  }
  if (data) XFree(data);
  return out;
}

void XClient::RequestClose(XWindow w) const {
  auto* d = connection_->display;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XFlush(d);
}

void XClient::Focus(XWindow w) const {
  XSetInputFocus(connection_->display, w, RevertToPointerRoot, CurrentTime);
  XFlush(connection_->display);
}

void XClient::PaintRoot(unsigned long rgb) const {
  auto* d = connection_->display;
  XSetWindowBackground(d, DefaultRootWindow(d), rgb);
  XClearWindow(d, DefaultRootWindow(d));
  XSync(d, False);
}

std::vector<unsigned long> XClient::ScreenPixels(const Rect& area) const {
  auto* d = connection_->display;
  std::vector<unsigned long> out;
  XImage* image = XGetImage(d, DefaultRootWindow(d), area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (!image) return out;
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x) out.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
  XDestroyImage(image);
  return out;
}

}  // namespace xtest
