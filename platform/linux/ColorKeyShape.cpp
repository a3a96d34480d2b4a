#include "platform/linux/ColorKeyShape.h"

#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

#include <cstdint>
#include <vector>

namespace plat::gtk {

cairo_region_t* RegionNotOfColor(cairo_surface_t* image, COLORREF key) {
  cairo_surface_flush(image);
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const bool hasAlpha = cairo_image_surface_get_format(image) == CAIRO_FORMAT_ARGB32;
  const unsigned char* data = cairo_image_surface_get_data(image);
  // Cairo keeps pixels as native-endian 0xAARRGGBB words.
  const std::uint32_t keyRgb = (std::uint32_t{GetRValue(key)} << 16) | (std::uint32_t{GetGValue(key)} << 8) | GetBValue(key);
  const std::uint32_t keyPixel = hasAlpha ? 0xFF000000u | keyRgb : keyRgb;
  const std::uint32_t mask = hasAlpha ? 0xFFFFFFFFu : 0x00FFFFFFu;

  // One rectangle per run of non-key pixels in a row.
  std::vector<cairo_rectangle_int_t> runs;
  for (int y = 0; data && y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    int x = 0;
    while (x < width) {
      while (x < width && (row[x] & mask) == keyPixel) ++x;
      const int start = x;
      while (x < width && (row[x] & mask) != keyPixel) ++x;
      if (x > start) runs.push_back({start, y, x - start, 1});
    }
  }
  return cairo_region_create_rectangles(runs.data(), static_cast<int>(runs.size()));
}

void ApplyShape(GtkWidget* window, const cairo_region_t* visible) {
  // Set on the server directly: GDK clips a window's own drawing to a shape it knows of, and
  // pixels left undrawn outside the shape would show stale once it grows.
  if (!visible && !gtk_widget_get_realized(window)) return;
  gtk_widget_realize(window);
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow)) return;
  Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
  const Window xid = GDK_WINDOW_XID(gdkWindow);
  for (int kind : {ShapeBounding, ShapeInput}) {
    if (!visible) {
      XShapeCombineMask(display, xid, kind, 0, 0, None, ShapeSet);
      continue;
    }
    std::vector<XRectangle> rects(static_cast<std::size_t>(cairo_region_num_rectangles(visible)));
    for (std::size_t i = 0; i < rects.size(); ++i) {
      cairo_rectangle_int_t r;
      cairo_region_get_rectangle(visible, static_cast<int>(i), &r);
      rects[i] = {static_cast<short>(r.x), static_cast<short>(r.y), static_cast<unsigned short>(r.width),
                  static_cast<unsigned short>(r.height)};
    }
    XShapeCombineRectangles(display, xid, kind, 0, 0, rects.data(), static_cast<int>(rects.size()), ShapeSet, Unsorted);
  }
}

}  // namespace plat::gtk
