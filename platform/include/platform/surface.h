#pragma once
// The drawing device: what a form's client area, an off-screen bitmap or an image in memory
// offers to the toolkit's Canvas. win32 draws with GDI, linux with cairo and Pango, sim records
// a display list (platform/sim_surface.h).
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

struct SIZE {
  LONG cx;
  LONG cy;
};

// A font as the toolkit asks for it; the device resolves the face (a missing face is replaced
// by the closest one the system has).
struct LogicalFont {
  std::string face = "Verdana";
  int pixelHeight = 11;
  bool bold = false;
  // Baseline turned counter-clockwise, whole degrees 0..359.
  int angle = 0;
  // Smoothed edges; off for windows whose colour key would leave a fringe of blended pixels.
  bool antialias = true;
  bool operator==(const LogicalFont&) const = default;
};

// 32-bit ARGB pixels (alpha not premultiplied), row by row from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  static Pixels Of(int width, int height, std::vector<std::uint32_t> argb) {
    Pixels p;
    p.width = width;
    p.height = height;
    p.argb = std::move(argb);
    return p;
  }
  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
  // A device's own converted copy of the pixels, made on first use and kept with them (the
  // pixels never change once made).
  mutable std::shared_ptr<void> nativeCache;
};

// DrawText's format bits, with the Windows values (macros in <windows.h>: backend files include
// this header first).
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;

enum class PenStyle { Solid, Dash };

class Surface {
 public:
  virtual ~Surface() = default;

  // A stack of (translation, clip, font); Restore pops what the matching Save pushed.
  virtual void Save() = 0;
  virtual void Restore() = 0;
  virtual void Translate(int dx, int dy) = 0;
  // Narrows the clip to `rect` (in the current coordinates).
  virtual void ClipRect(const RECT& rect) = 0;

  virtual void FillRect(const RECT& rect, COLORREF color) = 0;
  // A one-pixel outline just inside `rect`.
  virtual void FrameRect(const RECT& rect, COLORREF color, PenStyle style) = 0;

  virtual void SelectFont(const LogicalFont& font) = 0;
  // Size of one unrotated line in the selected font.
  virtual SIZE TextExtent(const std::string& text) = 0;
  // One line without background; (x, y) is the top-left corner of the text, which turns about
  // it with the font's angle.
  virtual void TextLine(int x, int y, const std::string& text, COLORREF color) = 0;
  // Formatted text in `rect` (DT_* bits) without background. With DT_CALCRECT nothing is drawn
  // and `rect` is set to the text's extent (its width kept when wrapping). Returns the height.
  virtual int FormattedText(const std::string& text, RECT& rect, UINT format, COLORREF color) = 0;

  // The image scaled into `dest`, blended by its alpha. With `keyed`, pixels of `key` are left out.
  virtual void DrawPixels(const Pixels& image, const RECT& dest, bool keyed, COLORREF key) = 0;

  // An off-screen bitmap of the same kind, initially white, and copying one onto this device.
  virtual std::unique_ptr<Surface> CreateCompatible(int width, int height) = 0;
  virtual void CopyFrom(Surface& source, int x, int y) = 0;
};

// An image in memory with every drawing operation of a window; for rendering to files and for
// tests that compare pixels. Initially white.
class ImageSurface : public Surface {
 public:
  virtual Pixels ReadPixels() = 0;
};
std::unique_ptr<ImageSurface> CreateImageSurface(int width, int height);

// The system's colours (COLOR_* indices), as the desktop shows them now.
COLORREF GetSysColor(int index);
// Whether the desktop draws controls in its visual style (themes on).
bool VisualStylesActive();

}  // namespace plat
