#pragma once
// The sim drawing device: records a display list and keeps a pixel image of what it drew.
#include <vector>

#include "platform/sim_surface.h"

namespace sim::detail {

class SimSurface final : public plat::ImageSurface {
 public:
  SimSurface(int width, int height);
  // A new paint of `dirty`: the display list starts empty and the drawing is clipped to it; the
  // pixels keep what earlier paints drew.
  void BeginPaint(const plat::RECT& dirty);

  void Save() override;
  void Restore() override;
  void Translate(int dx, int dy) override;
  void ClipRect(const plat::RECT& rect) override;
  void FillRect(const plat::RECT& rect, plat::COLORREF color) override;
  void FrameRect(const plat::RECT& rect, plat::COLORREF color, plat::PenStyle style) override;
  void SelectFont(const plat::LogicalFont& font) override;
  plat::SIZE TextExtent(const std::string& text) override;
  void TextLine(int x, int y, const std::string& text, plat::COLORREF color) override;
  int FormattedText(const std::string& text, plat::RECT& rect, plat::UINT format, plat::COLORREF color) override;
  void DrawPixels(const plat::Pixels& image, const plat::RECT& dest, bool keyed, plat::COLORREF key) override;
  std::unique_ptr<plat::Surface> CreateCompatible(int width, int height) override;
  void CopyFrom(plat::Surface& source, int x, int y) override;
  plat::Pixels ReadPixels() override { return pixels_; }
  int Width() const { return pixels_.width; }
  int Height() const { return pixels_.height; }

  const std::vector<DrawOp>& Ops() const { return ops_; }

 private:
  struct State {
    int dx = 0;
    int dy = 0;
    plat::RECT clip;
    plat::LogicalFont font;
  };

  plat::RECT ToDevice(const plat::RECT& r) const;
  DrawOp Op(DrawKind kind, const plat::RECT& deviceRect) const;
  void Plot(int x, int y, std::uint32_t argb);
  void FillDevice(const plat::RECT& r, plat::COLORREF color);
  // One line's glyph boxes, unrotated, at device (x, y).
  void PaintLine(int x, int y, const std::string& line, plat::COLORREF color);

  plat::Pixels pixels_;
  State state_;
  std::vector<State> saved_;
  std::vector<DrawOp> ops_;
};

}  // namespace sim::detail
