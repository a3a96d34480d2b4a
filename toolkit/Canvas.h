#pragma once
// A drawing surface over a platform device: pen, brush and font, shapes, text and pictures.
// Coordinates are the device's, moved by Translate; Save and Restore bracket changes of the
// translation, the clip and the drawing tools (CanvasState does both for a scope).
#include <memory>
#include <string>
#include <vector>

#include "platform/paint.h"
#include "platform/peers.h"
#include "platform/surface.h"
#include "toolkit/Colors.h"

namespace tk {

class Graphic;

struct Pen {
  Color color = clBlack;
  plat::PenStyle style = plat::PenStyle::Solid;
};

struct Brush {
  Color color = clWhite;
  // A clear brush fills nothing and text is drawn without background.
  bool clear = false;
};

// The font of a canvas: the toolkit's font plus the baseline's angle.
struct CanvasFont {
  plat::FontSpec style;
  int angle = 0;  // whole degrees counter-clockwise
};

class Canvas {
 public:
  // A canvas over a window's paint device (the icon of a minimised application).
  explicit Canvas(plat::HDC dc) : dc_(dc) {}
  // A canvas over a drawing device that outlives it.
  explicit Canvas(plat::Surface& surface) : surface_(&surface) {}
  // A canvas owning an off-screen bitmap.
  explicit Canvas(std::unique_ptr<plat::Surface> owned);

  plat::HDC Handle() const { return dc_; }
  plat::Surface* Device() const { return surface_; }

  Pen& GetPen() { return state_.pen; }
  Brush& GetBrush() { return state_.brush; }
  CanvasFont& GetFont() { return state_.font; }
  void SetFont(const plat::FontSpec& font) { state_.font.style = font; }
  // Text with smoothed edges (the default) or crisp ones.
  void SetAntialiasText(bool on) { antialias_ = on; }

  void Save();
  void Restore();
  void Translate(int dx, int dy);
  void ClipRect(const plat::RECT& rect);

  // Fills with the brush (nothing with a clear brush).
  void FillRect(const plat::RECT& rect);
  // Outlines with the pen, inside the rectangle.
  void FrameRect(const plat::RECT& rect);

  plat::SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // One line at (x, y) in the font's colour, turned by the font's angle.
  void TextOut(int x, int y, const std::string& text);
  // Formatted text (plat::DT_* bits) in the font's colour; DT_CALCRECT measures into `rect`.
  int DrawText(const std::string& text, plat::RECT& rect, plat::UINT format);

  // A graphic unscaled at (x, y), or scaled into `rect`.
  void Draw(int x, int y, const Graphic& graphic);
  void StretchDraw(const plat::RECT& rect, const Graphic& graphic);
  // Pixels scaled into `rect`; with `keyed`, pixels of `key` are left out.
  void DrawPixels(const plat::Pixels& pixels, const plat::RECT& rect, bool keyed, Color key);

  // An off-screen bitmap like this canvas's device (initially white), and copying one here.
  std::unique_ptr<Canvas> CreateOffscreen(int width, int height);
  void CopyFrom(Canvas& offscreen, int x, int y);

 private:
  struct State {
    Pen pen;
    Brush brush;
    CanvasFont font;
  };
  plat::Surface& Surface();
  void SelectFont();

  plat::HDC dc_ = nullptr;
  plat::Surface* surface_ = nullptr;
  std::unique_ptr<plat::Surface> owned_;
  State state_;
  std::vector<State> saved_;
  plat::LogicalFont selected_;
  bool fontSelected_ = false;
  bool antialias_ = true;
};

// Saves a canvas's state for a scope and restores it when the scope ends, also when a paint
// throws: the canvas's stack stays balanced and a control cannot spoil its siblings' drawing.
class CanvasState {
 public:
  explicit CanvasState(Canvas& canvas) : canvas_(canvas) { canvas_.Save(); }
  ~CanvasState() { canvas_.Restore(); }
  CanvasState(const CanvasState&) = delete;
  CanvasState& operator=(const CanvasState&) = delete;

 private:
  Canvas& canvas_;
};

}  // namespace tk
