#pragma once
// Our ARGB images as GDK pixbufs.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/peers.h"

namespace plat::linux_icon {

// A new pixbuf (the caller unrefs it); throws for an image with fewer pixels than its size.
GdkPixbuf* PixbufFromArgb(const IconImage& icon);

}  // namespace plat::linux_icon
