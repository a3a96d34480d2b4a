#include "platform/linux/KeyedPainting.h"

#include <utility>

#include "platform/linux/ColorKeyShape.h"

namespace plat::gtk {

KeyedPainting::KeyedPainting(GtkWidget* window, Painter paint) : window_(window), paint_(std::move(paint)) {}

KeyedPainting::~KeyedPainting() {
  if (pendingSource_) g_source_remove(pendingSource_);
  if (hiddenSource_) g_source_remove(hiddenSource_);
  if (pending_) cairo_region_destroy(pending_);
  if (shown_) cairo_region_destroy(shown_);
  if (image_) cairo_surface_destroy(image_);
}

void KeyedPainting::Changed(COLORREF key, int width, int height) {
  stale_ = true;
  key_ = key;
  width_ = width;
  height_ = height;
  if (gtk_widget_get_mapped(window_))
    gtk_widget_queue_draw(gtk_bin_get_child(GTK_BIN(window_)));
  else if (!hiddenSource_)
    hiddenSource_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, &KeyedPainting::ShapeHidden, this, nullptr);
}

void KeyedPainting::BeforeShow() {
  if (stale_) ApplyWhole();
}

void KeyedPainting::Draw(cairo_t* cr) {
  if (stale_) {
    Repaint();
    if (shown_) {
      cairo_region_t* both = cairo_region_copy(shown_);
      cairo_region_intersect(both, pending_);
      Apply(both);
    }
    // Once this paint has gone to the server: an idle source runs after the frame is done.
    if (!pendingSource_)
      pendingSource_ = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &KeyedPainting::ApplyPending, this, nullptr);
  }
  if (!image_) return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image_, 0, 0);
  // Pixel for pixel: no filter may blend a key pixel with its neighbours.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

void KeyedPainting::Repaint() {
  stale_ = false;
  if (!image_ || cairo_image_surface_get_width(image_) != width_ || cairo_image_surface_get_height(image_) != height_) {
    if (image_) cairo_surface_destroy(image_);
    image_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  }
  cairo_t* cr = cairo_create(image_);
  paint_(cr);
  cairo_destroy(cr);
  if (pending_) cairo_region_destroy(pending_);
  pending_ = RegionNotOfColor(image_, key_);
}

void KeyedPainting::Apply(cairo_region_t* region) {
  if (!region) return;
  ApplyShape(window_, region);
  if (shown_) cairo_region_destroy(shown_);
  shown_ = region;
}

// Nothing of the window is on the screen: the whole new shape at once.
void KeyedPainting::ApplyWhole() {
  Repaint();
  if (pendingSource_) g_source_remove(pendingSource_);
  pendingSource_ = 0;
  Apply(std::exchange(pending_, nullptr));
}

gboolean KeyedPainting::ApplyPending(gpointer data) {
  auto* self = static_cast<KeyedPainting*>(data);
  self->pendingSource_ = 0;
  self->Apply(std::exchange(self->pending_, nullptr));
  return G_SOURCE_REMOVE;
}

gboolean KeyedPainting::ShapeHidden(gpointer data) {
  auto* self = static_cast<KeyedPainting*>(data);
  self->hiddenSource_ = 0;
  // A window shown meanwhile takes its shape as it is drawn.
  if (self->stale_ && !gtk_widget_get_mapped(self->window_)) self->ApplyWhole();
  return G_SOURCE_REMOVE;
}

}  // namespace plat::gtk
