#pragma once
// The drawing device of the linux backend: cairo for shapes and pictures, Pango for text.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <vector>

#include "platform/surface.h"

namespace plat::gtk {

class CairoSurface : public ImageSurface {
 public:
  // Draws on `cr` (a window's or an image's context), `width` x `height` device pixels.
  CairoSurface(cairo_t* cr, int width, int height);
  // An image of its own, initially white.
  CairoSurface(int width, int height);
  ~CairoSurface() override;
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;

  void Save() override;
  void Restore() override;
  void Translate(int dx, int dy) override;
  void ClipRect(const RECT& rect) override;
  void FillRect(const RECT& rect, COLORREF color) override;
  void FrameRect(const RECT& rect, COLORREF color, PenStyle style) override;
  void SelectFont(const LogicalFont& font) override;
  SIZE TextExtent(const std::string& text) override;
  void TextLine(int x, int y, const std::string& text, COLORREF color) override;
  int FormattedText(const std::string& text, RECT& rect, UINT format, COLORREF color) override;
  void DrawPixels(const Pixels& image, const RECT& dest, bool keyed, COLORREF key) override;
  std::unique_ptr<Surface> CreateCompatible(int width, int height) override;
  void CopyFrom(Surface& source, int x, int y) override;
  Pixels ReadPixels() override;

  cairo_surface_t* Target() const { return cairo_get_target(cr_); }

 private:
  // The layout of one paragraph of text in the selected font (reused between calls).
  PangoLayout* Layout(const std::string& text);
  void SetColor(COLORREF color);

  cairo_t* cr_;
  bool ownsContext_;
  int width_;
  int height_;
  PangoLayout* layout_ = nullptr;
  std::vector<LogicalFont> savedFonts_;
  LogicalFont font_;
};

}  // namespace plat::gtk
