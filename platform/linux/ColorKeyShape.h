#pragma once
// Colour-key transparency for GTK windows: the pixels of a window's image that are not the key
// colour become its shape, for drawing and for input alike.
#include <gtk/gtk.h>

#include "platform/wintypes.h"

namespace plat::gtk {

// The region of `image` (an RGB24 or ARGB32 image surface) whose pixels differ from `key`; an
// ARGB32 pixel that is not fully opaque never matches. The caller destroys the region.
cairo_region_t* RegionNotOfColor(cairo_surface_t* image, COLORREF key);

// Makes only `visible` show and take clicks on the top-level `window` (realized first); null
// removes the shape.
void ApplyShape(GtkWidget* window, const cairo_region_t* visible);

}  // namespace plat::gtk
