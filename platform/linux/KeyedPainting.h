#pragma once
// The painting of a colour-keyed window, kept as an image: the screen shows exactly the pixels
// the shape was worked out from, so no pixel of the key colour ever shows, whatever painted it
// (a stretched picture, text) and however the screen's drawing would have rounded it.
#include <gtk/gtk.h>

#include <functional>

#include "platform/wintypes.h"

namespace plat::gtk {

class KeyedPainting {
 public:
  using Painter = std::function<void(cairo_t*)>;

  // `window` is the top-level whose shape follows the painting; `paint` paints the client area.
  KeyedPainting(GtkWidget* window, Painter paint);
  ~KeyedPainting();
  KeyedPainting(const KeyedPainting&) = delete;
  KeyedPainting& operator=(const KeyedPainting&) = delete;

  // What is painted changed, or the size did. A window on the screen takes its new shape when it
  // is next drawn, one that is not when the loop is next idle or when it is shown.
  void Changed(COLORREF key, int width, int height);
  // The window is about to be shown: its shape must be the one of its current painting.
  void BeforeShow();
  // Draws the client area on `cr`. When the painting changed, the pixels that turn into the key
  // leave the shape before the new pixels are drawn, and new visible pixels join it only after.
  void Draw(cairo_t* cr);

 private:
  void Repaint();
  void Apply(cairo_region_t* region);
  void ApplyWhole();
  static gboolean ApplyPending(gpointer data);
  static gboolean ShapeHidden(gpointer data);

  GtkWidget* window_;
  Painter paint_;
  cairo_surface_t* image_ = nullptr;
  bool stale_ = true;
  COLORREF key_ = 0;
  int width_ = 0;
  int height_ = 0;
  cairo_region_t* shown_ = nullptr;    // the shape the window has
  cairo_region_t* pending_ = nullptr;  // the shape it takes once the new pixels are drawn
  guint pendingSource_ = 0;
  guint hiddenSource_ = 0;
};

}  // namespace plat::gtk
