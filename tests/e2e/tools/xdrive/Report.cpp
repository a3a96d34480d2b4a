#include "Report.h"

#include <X11/Xutil.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "Windows.h"

namespace xdrive {

std::string ArtifactsDir() {
  if (const char* dir = std::getenv("TAVELIN_E2E_ARTIFACTS"); dir && *dir) {
    mkdir(dir, 0755);
    return dir;
  }
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

bool SaveScreenshot(Connection& c, const std::string& path) {
  Display* dpy = c.Dpy();
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, c.Root(), &a)) return false;
  XImage* image = XGetImage(dpy, c.Root(), 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!image) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = f ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr) : nullptr;
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, a.width, a.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The channel masks say where red, green and blue are in a pixel, whatever the depth.
    auto channel = [](unsigned long pixel, unsigned long mask) {
      if (!mask) return 0;
      int shift = 0;
      while (!(mask & 1)) mask >>= 1, ++shift;
      return static_cast<int>(((pixel >> shift) & mask) * 255 / mask);
    };
    std::vector<png_byte> row(a.width * 3);
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        unsigned long p = XGetPixel(image, x, y);
        row[x * 3] = channel(p, image->red_mask);
        row[x * 3 + 1] = channel(p, image->green_mask);
        row[x * 3 + 2] = channel(p, image->blue_mask);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  if (f) std::fclose(f);
  XDestroyImage(image);
  return ok;
}

void PrintWindows(Connection& c, FILE* out, bool top_level_only) {
  for (const WindowInfo& w : ScanWindows(c)) {
    if (!w.viewable || (top_level_only && w.top != w.id)) continue;
    std::fprintf(out, "  0x%lx %dx%d+%d+%d%s%s%s \"%s\"\n", w.id, w.width, w.height, w.x, w.y,
                 w.override_redirect ? " override-redirect" : "", w.instance.empty() ? "" : " class ",
                 w.instance.empty() ? "" : (w.instance + "/" + w.cls).c_str(), w.title.c_str());
  }
}

void ReportFailure(Connection& c, const std::string& what) {
  Display* dpy = c.Dpy();
  std::fprintf(stderr, "xdrive: %s\n", what.c_str());
  if (!dpy) return;
  const auto& lines = c.Log().Lines();
  size_t first = lines.size() > 60 ? lines.size() - 60 : 0;
  std::fprintf(stderr, "xdrive: events seen while waiting (%zu, the last %zu shown):\n", lines.size(), lines.size() - first);
  for (size_t i = first; i < lines.size(); ++i) std::fprintf(stderr, "  %s\n", lines[i].c_str());
  XWindowAttributes root;
  XGetWindowAttributes(dpy, c.Root(), &root);
  std::fprintf(stderr, "xdrive: viewable top-level windows on the %dx%d screen, bottom to top:\n", root.width, root.height);
  PrintWindows(c, stderr, true);
  Window focus, pointer_root, child;
  int revert, px, py, wx, wy;
  unsigned mask;
  XGetInputFocus(dpy, &focus, &revert);
  XQueryPointer(dpy, c.Root(), &pointer_root, &child, &px, &py, &wx, &wy, &mask);
  std::fprintf(stderr, "xdrive: pointer at %d,%d over 0x%lx; focus %s\n", px, py, child,
               focus == PointerRoot ? "follows the pointer" : c.Describe(focus).c_str());
  time_t now = time(nullptr);
  tm t;
  localtime_r(&now, &t);
  char name[64];
  std::snprintf(name, sizeof name, "/xdrive-%02d%02d%02d-%d.png", t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(getpid()));
  std::string path = ArtifactsDir() + name;
  if (SaveScreenshot(c, path))
    std::fprintf(stderr, "xdrive: screenshot: %s\n", path.c_str());
  else
    std::fprintf(stderr, "xdrive: no screenshot could be saved to %s\n", path.c_str());
  if (!c.Log().File().empty()) std::fprintf(stderr, "xdrive: the whole event log: %s\n", c.Log().File().c_str());
}

}  // namespace xdrive
