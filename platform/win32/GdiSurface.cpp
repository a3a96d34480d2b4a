#include "platform/win32/GdiSurface.h"

#include <uxtheme.h>

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace plat::win32 {
namespace {

}  // namespace

// Fonts are made once per font and kept: repainting creates no fonts.
HFONT CachedFont(const LogicalFont& f) {
  static std::map<std::tuple<std::string, int, bool, int>, HFONT> cache;
  const auto key = std::make_tuple(f.face, f.pixelHeight, f.bold, f.angle);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  // Only outline (TrueType) fonts turn, so a turned font asks for one.
  HFONT font = CreateFontA(-std::max(f.pixelHeight, 1), 0, f.angle * 10, f.angle * 10, f.bold ? FW_BOLD : FW_NORMAL,
                           FALSE, FALSE, FALSE, DEFAULT_CHARSET, f.angle ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
  cache.emplace(key, font);
  return font;
}

namespace {

HBITMAP CreateDib(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// A picture converted for GDI once and kept with its pixels: a premultiplied 32-bit bitmap.
struct NativeImage {
  HBITMAP bitmap = nullptr;
  bool hasAlpha = false;
  ~NativeImage() {
    if (bitmap) DeleteObject(bitmap);
  }
};

NativeImage& NativeOf(const Pixels& image) {
  if (image.nativeCache) return *std::static_pointer_cast<NativeImage>(image.nativeCache);
  auto native = std::make_shared<NativeImage>();
  void* bits = nullptr;
  native->bitmap = CreateDib(image.width, image.height, &bits);
  if (bits) {
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.argb.size(); ++i) {
      const std::uint32_t p = image.argb[i], a = p >> 24;
      native->hasAlpha = native->hasAlpha || a != 255;
      auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      out[i] = (a << 24) | (pre((p >> 16) & 0xFF) << 16) | (pre((p >> 8) & 0xFF) << 8) | pre(p & 0xFF);
    }
  }
  image.nativeCache = native;
  return *native;
}

HDC ScratchDc() {
  static HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

}  // namespace

GdiSurface::GdiSurface(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {
  oldFont_ = GetCurrentObject(dc_, OBJ_FONT);
}

GdiSurface::GdiSurface(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  dc_ = CreateCompatibleDC(nullptr);
  ownsDc_ = true;
  bitmap_ = CreateDib(width_, height_, &bits_);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  oldFont_ = GetCurrentObject(dc_, OBJ_FONT);
  if (bits_) std::fill_n(static_cast<std::uint32_t*>(bits_), static_cast<std::size_t>(width_) * height_, 0xFFFFFFFFu);
}

GdiSurface::~GdiSurface() {
  SelectObject(dc_, oldFont_);
  if (ownsDc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
}

void GdiSurface::Save() {
  SaveDC(dc_);
  savedFonts_.push_back(font_);
}

void GdiSurface::Restore() {
  if (savedFonts_.empty()) return;
  RestoreDC(dc_, -1);
  font_ = savedFonts_.back();
  savedFonts_.pop_back();
}

void GdiSurface::Translate(int dx, int dy) { OffsetViewportOrgEx(dc_, dx, dy, nullptr); }

void GdiSurface::ClipRect(const RECT& r) { IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom); }

void GdiSurface::FillRect(const RECT& r, COLORREF color) {
  SetDCBrushColor(dc_, color);
  const ::RECT rect{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiSurface::FrameRect(const RECT& r, COLORREF color, PenStyle style) {
  HPEN dashed = style == PenStyle::Dash ? CreatePen(PS_DASH, 1, color) : nullptr;
  if (!dashed) SetDCPenColor(dc_, color);
  HGDIOBJ oldPen = SelectObject(dc_, dashed ? static_cast<HGDIOBJ>(dashed) : GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  const int oldMode = SetBkMode(dc_, TRANSPARENT);
  Rectangle(dc_, r.left, r.top, r.right, r.bottom);
  SetBkMode(dc_, oldMode);
  SelectObject(dc_, oldBrush);
  SelectObject(dc_, oldPen);
  if (dashed) DeleteObject(dashed);
}

void GdiSurface::SelectFont(const LogicalFont& font) {
  font_ = font;
  SelectObject(dc_, CachedFont(font));
}

SIZE GdiSurface::TextExtent(const std::string& text) {
  ::SIZE size{0, 0};
  GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

void GdiSurface::TextLine(int x, int y, const std::string& text, COLORREF color) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, color);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

int GdiSurface::FormattedText(const std::string& text, RECT& rect, UINT format, COLORREF color) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, color);
  ::RECT r{rect.left, rect.top, rect.right, rect.bottom};
  const int height = ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
  if (format & DT_CALCRECT) rect = {r.left, r.top, r.right, r.bottom};
  return height;
}

void GdiSurface::DrawPixels(const Pixels& image, const RECT& d, bool keyed, COLORREF key) {
  const int w = d.right - d.left, h = d.bottom - d.top;
  if (image.Empty() || w <= 0 || h <= 0) return;
  NativeImage& native = NativeOf(image);
  if (!native.bitmap) return;
  HDC source = ScratchDc();
  HGDIOBJ old = SelectObject(source, native.bitmap);
  if (keyed) {
    TransparentBlt(dc_, d.left, d.top, w, h, source, 0, 0, image.width, image.height, key);
  } else if (native.hasAlpha) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc_, d.left, d.top, w, h, source, 0, 0, image.width, image.height, blend);
  } else {
    // Whole source pixels, exact colours: a colour key still matches after stretching.
    const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, d.left, d.top, w, h, source, 0, 0, image.width, image.height, SRCCOPY);
    SetStretchBltMode(dc_, oldMode);
  }
  SelectObject(source, old);
}

std::unique_ptr<Surface> GdiSurface::CreateCompatible(int width, int height) {
  auto surface = std::make_unique<GdiSurface>(width, height);
  surface->SelectFont(font_);
  return surface;
}

void GdiSurface::CopyFrom(Surface& source, int x, int y) {
  auto& from = dynamic_cast<GdiSurface&>(source);
  BitBlt(dc_, x, y, from.width_, from.height_, from.dc_, 0, 0, SRCCOPY);
}

Pixels GdiSurface::ReadPixels() {
  Pixels out;
  if (!bits_) return out;
  GdiFlush();
  out.width = width_;
  out.height = height_;
  const auto* in = static_cast<const std::uint32_t*>(bits_);
  out.argb.assign(in, in + static_cast<std::size_t>(width_) * height_);
  for (auto& p : out.argb) p |= 0xFF000000u;
  return out;
}

}  // namespace plat::win32

namespace plat {

std::unique_ptr<ImageSurface> CreateImageSurface(int width, int height) {
  return std::make_unique<win32::GdiSurface>(width, height);
}

COLORREF GetSysColor(int index) { return ::GetSysColor(index); }

bool VisualStylesActive() { return IsAppThemed() && IsThemeActive(); }

}  // namespace plat
