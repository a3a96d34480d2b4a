// A 32-bit top-down DIB section holds the pixels as they are (ARGB words are BGRA bytes in
// memory); with an alpha channel present Windows ignores the AND mask, but it must exist.
#include "platform/win32/ArgbIcon.h"

#include <algorithm>
#include <vector>

namespace plat::win32 {

HICON CreateArgbIcon(const IconImage& image) {
  const auto pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (image.Empty() || image.width < 0 || image.height < 0 || image.argb.size() < pixels) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!color) return nullptr;
  std::copy_n(image.argb.begin(), pixels, static_cast<std::uint32_t*>(bits));
  // An all-clear mask: rows of whole 16-bit words.
  const std::vector<BYTE> clear(static_cast<std::size_t>((image.width + 15) / 16 * 2) * image.height, 0);
  HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, clear.data());

  ICONINFO iconInfo{};
  iconInfo.fIcon = TRUE;
  iconInfo.hbmColor = color;
  iconInfo.hbmMask = mask;
  HICON icon = mask ? CreateIconIndirect(&iconInfo) : nullptr;
  // The icon keeps copies of both bitmaps.
  DeleteObject(color);
  if (mask) DeleteObject(mask);
  return icon;
}

}  // namespace plat::win32
