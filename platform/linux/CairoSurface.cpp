#include "platform/linux/CairoSurface.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <tuple>

#include "platform/shared/AccelText.h"

namespace plat::gtk {
namespace {

// Font descriptions are made once per font and kept: repainting creates no fonts.
const PangoFontDescription* Describe(const LogicalFont& font) {
  struct Key {
    std::string face;
    int height;
    bool bold;
    bool operator<(const Key& o) const { return std::tie(face, height, bold) < std::tie(o.face, o.height, o.bold); }
  };
  static std::map<Key, PangoFontDescription*> cache;
  const Key key{font.face, font.pixelHeight, font.bold};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, font.face.c_str());
  // A character height in pixels, as Windows fonts are asked for by their (negative) height.
  pango_font_description_set_absolute_size(d, std::max(font.pixelHeight, 1) * PANGO_SCALE);
  pango_font_description_set_weight(d, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  cache.emplace(key, d);
  return d;
}

// Converted pictures are kept with the picture's pixels, so a repaint converts nothing.
using PixelsImage = std::shared_ptr<cairo_surface_t>;

cairo_surface_t* ImageOf(const Pixels& image, bool keyed, COLORREF key) {
  struct Cache {
    PixelsImage plain, keyedImage;
    COLORREF key = 0;
  };
  if (!image.nativeCache) image.nativeCache = std::make_shared<Cache>();
  auto& cache = *std::static_pointer_cast<Cache>(image.nativeCache);
  auto& slot = keyed ? cache.keyedImage : cache.plain;
  if (slot && (!keyed || cache.key == key)) return slot.get();
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
  const int stride = cairo_image_surface_get_stride(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const std::uint32_t keyRgb = (std::uint32_t{GetRValue(key)} << 16) | (std::uint32_t{GetGValue(key)} << 8) | GetBValue(key);
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t p = image.At(x, y);
      if (keyed && (p & 0xFFFFFF) == keyRgb) p = 0;
      const std::uint32_t a = p >> 24;
      auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      row[x] = (a << 24) | (pre((p >> 16) & 0xFF) << 16) | (pre((p >> 8) & 0xFF) << 8) | pre(p & 0xFF);
    }
  }
  cairo_surface_mark_dirty(s);
  slot = PixelsImage(s, &cairo_surface_destroy);
  if (keyed) cache.key = key;
  return s;
}

}  // namespace

CairoSurface::CairoSurface(cairo_t* cr, int width, int height)
    : cr_(cairo_reference(cr)), ownsContext_(true), width_(width), height_(height) {}

CairoSurface::CairoSurface(int width, int height) : ownsContext_(true), width_(std::max(width, 1)), height_(std::max(height, 1)) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  cr_ = cairo_create(image);
  cairo_surface_destroy(image);
  cairo_set_source_rgb(cr_, 1, 1, 1);
  cairo_paint(cr_);
}

CairoSurface::~CairoSurface() {
  if (layout_) g_object_unref(layout_);
  cairo_destroy(cr_);
}

void CairoSurface::Save() {
  cairo_save(cr_);
  savedFonts_.push_back(font_);
}

void CairoSurface::Restore() {
  if (savedFonts_.empty()) return;
  cairo_restore(cr_);
  font_ = savedFonts_.back();
  savedFonts_.pop_back();
}

void CairoSurface::Translate(int dx, int dy) { cairo_translate(cr_, dx, dy); }

void CairoSurface::ClipRect(const RECT& r) {
  cairo_rectangle(cr_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_clip(cr_);
}

void CairoSurface::SetColor(COLORREF c) {
  cairo_set_source_rgb(cr_, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void CairoSurface::FillRect(const RECT& r, COLORREF color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  SetColor(color);
  cairo_rectangle(cr_, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_fill(cr_);
}

void CairoSurface::FrameRect(const RECT& r, COLORREF color, PenStyle style) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  cairo_save(cr_);
  SetColor(color);
  cairo_set_line_width(cr_, 1);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  if (style == PenStyle::Dash) {
    const double dashes[] = {4, 2};
    cairo_set_dash(cr_, dashes, 2, 0);
  }
  // Through the pixel centres, so the line covers whole pixels just inside the rectangle.
  cairo_rectangle(cr_, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void CairoSurface::SelectFont(const LogicalFont& font) { font_ = font; }

PangoLayout* CairoSurface::Layout(const std::string& text) {
  if (!layout_) layout_ = pango_cairo_create_layout(cr_);
  pango_cairo_update_layout(cr_, layout_);
  pango_layout_set_font_description(layout_, Describe(font_));
  pango_layout_set_attributes(layout_, nullptr);
  pango_layout_set_width(layout_, -1);
  pango_layout_set_alignment(layout_, PANGO_ALIGN_LEFT);
  pango_layout_set_single_paragraph_mode(layout_, FALSE);
  pango_layout_set_text(layout_, text.c_str(), static_cast<int>(text.size()));
  return layout_;
}

SIZE CairoSurface::TextExtent(const std::string& text) {
  int w = 0, h = 0;
  pango_layout_get_pixel_size(Layout(text), &w, &h);
  return {w, h};
}

void CairoSurface::TextLine(int x, int y, const std::string& text, COLORREF color) {
  PangoLayout* layout = Layout(text);
  cairo_save(cr_);
  SetColor(color);
  cairo_translate(cr_, x, y);
  // Counter-clockwise on the screen, whose y axis points down.
  if (font_.angle != 0) cairo_rotate(cr_, -font_.angle * std::numbers::pi / 180.0);
  pango_cairo_update_layout(cr_, layout);
  pango_cairo_show_layout(cr_, layout);
  cairo_restore(cr_);
}

int CairoSurface::FormattedText(const std::string& text, RECT& rect, UINT format, COLORREF color) {
  text::AccelText shown{text, -1};
  if (!(format & DT_NOPREFIX)) shown = text::StripAccelerators(text);
  std::string body = shown.text;
  if (format & DT_SINGLELINE) std::replace(body.begin(), body.end(), '\n', ' ');
  if (!(format & DT_EXPANDTABS)) std::replace(body.begin(), body.end(), '\t', ' ');
  PangoLayout* layout = Layout(body);
  const int width = rect.right - rect.left;
  const bool wrap = (format & DT_WORDBREAK) && width > 0;
  if (wrap) {
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
  }
  if (shown.underline >= 0) {
    PangoAttrList* attrs = pango_attr_list_new();
    PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    u->start_index = static_cast<guint>(shown.underline);
    u->end_index = static_cast<guint>(g_utf8_next_char(body.c_str() + shown.underline) - body.c_str());
    pango_attr_list_insert(attrs, u);
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  const int textW = logical.width, textH = logical.height;
  if (format & DT_CALCRECT) {
    rect.right = rect.left + textW;
    rect.bottom = rect.top + textH;
    return textH;
  }
  cairo_save(cr_);
  if (!(format & DT_NOCLIP)) ClipRect(rect);
  SetColor(color);
  int x = rect.left;
  if (wrap) {
    pango_layout_set_alignment(layout, (format & DT_CENTER)  ? PANGO_ALIGN_CENTER
                                       : (format & DT_RIGHT) ? PANGO_ALIGN_RIGHT
                                                             : PANGO_ALIGN_LEFT);
  } else if (format & DT_CENTER) {
    x = rect.left + (width - textW) / 2;
  } else if (format & DT_RIGHT) {
    x = rect.right - textW;
  }
  cairo_move_to(cr_, x, rect.top);
  pango_cairo_update_layout(cr_, layout);
  pango_cairo_show_layout(cr_, layout);
  cairo_restore(cr_);
  return textH;
}

void CairoSurface::DrawPixels(const Pixels& image, const RECT& dest, bool keyed, COLORREF key) {
  const int w = dest.right - dest.left, h = dest.bottom - dest.top;
  if (image.Empty() || w <= 0 || h <= 0) return;
  cairo_surface_t* source = ImageOf(image, keyed, key);
  cairo_save(cr_);
  cairo_rectangle(cr_, dest.left, dest.top, w, h);
  cairo_clip(cr_);
  cairo_translate(cr_, dest.left, dest.top);
  cairo_scale(cr_, static_cast<double>(w) / image.width, static_cast<double>(h) / image.height);
  cairo_set_source_surface(cr_, source, 0, 0);
  // Whole source pixels at the edges: a stretched picture fills its rectangle exactly. Scaled
  // pixels keep their exact colours (as GDI's stretching does), so a colour key still matches.
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

std::unique_ptr<Surface> CairoSurface::CreateCompatible(int width, int height) {
  auto surface = std::make_unique<CairoSurface>(width, height);
  surface->font_ = font_;
  return surface;
}

void CairoSurface::CopyFrom(Surface& source, int x, int y) {
  auto& from = dynamic_cast<CairoSurface&>(source);
  cairo_surface_flush(from.Target());
  cairo_save(cr_);
  cairo_set_source_surface(cr_, from.Target(), x, y);
  cairo_rectangle(cr_, x, y, from.width_, from.height_);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

Pixels CairoSurface::ReadPixels() {
  cairo_surface_t* target = Target();
  cairo_surface_flush(target);
  Pixels out;
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return out;
  out.width = cairo_image_surface_get_width(target);
  out.height = cairo_image_surface_get_height(target);
  const int stride = cairo_image_surface_get_stride(target);
  const unsigned char* data = cairo_image_surface_get_data(target);
  out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < out.width; ++x) out.argb[static_cast<std::size_t>(y) * out.width + x] = row[x] | 0xFF000000u;
  }
  return out;
}

}  // namespace plat::gtk

namespace plat {

std::unique_ptr<ImageSurface> CreateImageSurface(int width, int height) {
  return std::make_unique<gtk::CairoSurface>(width, height);
}

// GTK draws its widgets in the theme's style at all times.
bool VisualStylesActive() { return true; }

}  // namespace plat
