#include "Windows.h"

#include <X11/Xutil.h>

#include <cstdio>

namespace xdrive {
namespace {

void ScanBelow(Connection& c, Window parent, Window top, int origin_x, int origin_y, bool parent_viewable,
               std::vector<WindowInfo>& out) {
  Display* dpy = c.Dpy();
  c.Watch(parent);  // before asking for the children, so that none comes unseen
  Window root_return, parent_return, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, parent, &root_return, &parent_return, &children, &count)) return;
  std::vector<Window> list(children, children + count);
  if (children) XFree(children);
  for (Window w : list) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a)) continue;  // gone meanwhile
    WindowInfo info;
    info.id = w;
    info.top = top ? top : w;
    info.viewable = parent_viewable && a.map_state == IsViewable;
    info.override_redirect = a.override_redirect;
    info.x = origin_x + a.x + a.border_width;
    info.y = origin_y + a.y + a.border_width;
    info.width = a.width;
    info.height = a.height;
    if (info.viewable) {
      info.title = TitleOf(dpy, w);
      XClassHint hint{};
      if (XGetClassHint(dpy, w, &hint)) {
        if (hint.res_name) info.instance = hint.res_name, XFree(hint.res_name);
        if (hint.res_class) info.cls = hint.res_class, XFree(hint.res_class);
      }
    }
    out.push_back(info);
    ScanBelow(c, w, info.top, info.x, info.y, info.viewable, out);
  }
}

bool SameSize(const Size& s, const WindowInfo& w) { return s.width == w.width && s.height == w.height; }

}  // namespace

std::vector<WindowInfo> ScanWindows(Connection& c) {
  std::vector<WindowInfo> out;
  ScanBelow(c, c.Root(), 0, 0, 0, true, out);
  return out;
}

std::optional<WindowInfo> Describe(Connection& c, Window w) {
  Display* dpy = c.Dpy();
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a)) return std::nullopt;
  WindowInfo info;
  info.id = w;
  info.viewable = a.map_state == IsViewable;
  info.override_redirect = a.override_redirect;
  info.width = a.width;
  info.height = a.height;
  Window child;
  if (!XTranslateCoordinates(dpy, w, c.Root(), 0, 0, &info.x, &info.y, &child)) return std::nullopt;
  // The top-level window it belongs to.
  Window at = w, root_return, parent, *children = nullptr;
  unsigned count;
  for (;;) {
    if (!XQueryTree(dpy, at, &root_return, &parent, &children, &count)) return std::nullopt;
    if (children) XFree(children);
    if (parent == c.Root() || parent == 0) break;
    at = parent;
  }
  info.top = at;
  info.title = TitleOf(dpy, w);
  return info;
}

bool ParseSize(const std::string& text, Size& size) {
  char tail;
  return std::sscanf(text.c_str(), "%dx%d%c", &size.width, &size.height, &tail) == 2;
}

Selector::~Selector() {
  if (title_) regfree(&*title_);
  if (class_) regfree(&*class_);
}

bool Selector::Take(const std::vector<std::string>& args, size_t& i, std::string& error) {
  const std::string& option = args[i];
  bool is_regex = option == "--title" || option == "--class";
  bool is_size = option == "--size" || option == "--min-size" || option == "--max-size" || option == "--not-size";
  bool is_rect = option == "--inside";
  if (!is_regex && !is_size && !is_rect) return false;
  if (i + 1 >= args.size()) {
    error = option + " needs a value";
    return true;
  }
  const std::string& value = args[++i];
  text_ += (text_.empty() ? "" : " ") + option + " " + value;
  if (is_regex) {
    std::optional<regex_t>& slot = option == "--title" ? title_ : class_;
    if (slot) regfree(&*slot);
    slot.emplace();
    if (regcomp(&*slot, value.c_str(), REG_EXTENDED | REG_NOSUB) != 0) {
      slot.reset();
      error = "not a regular expression: " + value;
    }
    return true;
  }
  if (is_rect) {
    std::array<int, 4> r;
    char tail;
    if (std::sscanf(value.c_str(), "%d,%d,%dx%d%c", &r[0], &r[1], &r[2], &r[3], &tail) != 4)
      error = option + " wants X,Y,WxH, not " + value;
    inside_ = r;
    return true;
  }
  Size size;
  if (!ParseSize(value, size)) {
    error = option + " wants WxH, not " + value;
    return true;
  }
  if (option == "--size") size_ = size;
  if (option == "--min-size") min_ = size;
  if (option == "--max-size") max_ = size;
  if (option == "--not-size") not_sizes_.push_back(size);
  return true;
}

bool Selector::Matches(const WindowInfo& w) const {
  if (!w.viewable) return false;
  if (title_ && regexec(&*title_, w.title.c_str(), 0, nullptr, 0) != 0) return false;
  if (class_ && regexec(&*class_, w.instance.c_str(), 0, nullptr, 0) != 0 &&
      regexec(&*class_, w.cls.c_str(), 0, nullptr, 0) != 0)
    return false;
  if (size_ && !SameSize(*size_, w)) return false;
  if (min_ && (w.width < min_->width || w.height < min_->height)) return false;
  if (max_ && (w.width > max_->width || w.height > max_->height)) return false;
  for (const Size& s : not_sizes_)
    if (SameSize(s, w)) return false;
  if (inside_) {
    auto [x, y, width, height] = *inside_;
    if (w.x < x || w.y < y || w.x + w.width > x + width || w.y + w.height > y + height) return false;
  }
  return true;
}

std::optional<WindowInfo> Selector::Topmost(const std::vector<WindowInfo>& windows) const {
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (Matches(*it)) return *it;
  return std::nullopt;
}

}  // namespace xdrive
