#pragma once
// The drawing device of the win32 backend: GDI on a window's or a memory device context.
#include "platform/surface.h"

#include <windows.h>

#include <vector>

namespace plat::win32 {

// The font for `font`, made once and kept for the program's life.
HFONT CachedFont(const LogicalFont& font);

class GdiSurface : public ImageSurface {
 public:
  // Draws on `dc`, which the caller keeps; `width` x `height` device pixels.
  GdiSurface(HDC dc, int width, int height);
  // A 32-bit image of its own, initially white.
  GdiSurface(int width, int height);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

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

  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  int width_;
  int height_;
  bool ownsDc_ = false;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  void* bits_ = nullptr;
  std::vector<LogicalFont> savedFonts_;
  LogicalFont font_;
};

}  // namespace plat::win32
