#include "platform/linux/IconPixbuf.h"

#include <stdexcept>

namespace plat::linux_icon {

GdkPixbuf* PixbufFromArgb(const IconImage& icon) {
  if (icon.argb.size() < static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height))
    throw std::invalid_argument("icon image has fewer pixels than its size says");
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, icon.width, icon.height);
  if (!pixbuf) throw std::runtime_error("cannot allocate the icon image");
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int y = 0; y < icon.height; ++y) {
    guchar* out = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < icon.width; ++x) {
      const std::uint32_t p = icon.argb[static_cast<std::size_t>(y) * icon.width + x];
      *out++ = static_cast<guchar>(p >> 16);
      *out++ = static_cast<guchar>(p >> 8);
      *out++ = static_cast<guchar>(p);
      *out++ = static_cast<guchar>(p >> 24);
    }
  }
  return pixbuf;
}

}  // namespace plat::linux_icon
