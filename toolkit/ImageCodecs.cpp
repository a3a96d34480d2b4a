#include "toolkit/ImageCodecs.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tk {
namespace {

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  std::uint32_t U32(std::size_t at) const { return U16(at) | (std::uint32_t{U16(at + 2)} << 16); }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::uint8_t U8(std::size_t at) const {
    Need(at, 1);
    return data_[at];
  }
  void Need(std::size_t at, std::size_t count) const {
    if (at > data_.size() || count > data_.size() - at) throw std::runtime_error("picture data is cut short");
  }
  std::size_t Size() const { return data_.size(); }
  std::span<const std::uint8_t> Sub(std::size_t at, std::size_t count) const {
    Need(at, count);
    return data_.subspan(at, count);
  }

 private:
  std::span<const std::uint8_t> data_;
};

constexpr int kMaxSide = 16384;

// A device-independent bitmap starting with its BITMAPINFOHEADER. `icon` halves the height
// (an icon's image is followed by its AND mask) and applies the mask.
DecodedBitmap DecodeDib(const Reader& r, std::size_t at, std::size_t pixelsAt, bool icon) {
  const std::uint32_t headerSize = r.U32(at);
  if (headerSize < 40) throw std::runtime_error("unsupported bitmap header");
  const std::int32_t width = r.I32(at + 4);
  std::int32_t height = r.I32(at + 8);
  const std::uint16_t bits = r.U16(at + 14);
  const std::uint32_t compression = r.U32(at + 16);
  const bool topDown = height < 0;
  if (height == std::numeric_limits<std::int32_t>::min()) throw std::runtime_error("bitmap size out of range");
  if (topDown) height = -height;
  if (icon) height /= 2;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    throw std::runtime_error("bitmap size out of range");
  // BI_RGB, or BI_BITFIELDS with the standard masks of a 32-bit image.
  if (!(compression == 0 || (compression == 3 && bits == 32)))
    throw std::runtime_error("compressed bitmaps are not supported");
  if (bits != 24 && bits != 32) throw std::runtime_error("only 24- and 32-bit bitmaps are supported");
  if (pixelsAt == 0) pixelsAt = at + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);

  const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3};
  const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  r.Need(pixelsAt, stride * height);

  DecodedBitmap out;
  out.pixels.width = width;
  out.pixels.height = height;
  out.pixels.argb.resize(static_cast<std::size_t>(width) * height);
  bool anyAlpha = false;
  for (int row = 0; row < height; ++row) {
    const int y = topDown ? row : height - 1 - row;
    const std::size_t line = pixelsAt + static_cast<std::size_t>(row) * stride;
    for (int x = 0; x < width; ++x) {
      const std::size_t p = line + static_cast<std::size_t>(x) * (bits / 8);
      std::uint32_t argb = (std::uint32_t{r.U8(p + 2)} << 16) | (std::uint32_t{r.U8(p + 1)} << 8) | r.U8(p);
      std::uint32_t alpha = bits == 32 ? r.U8(p + 3) : 255;
      anyAlpha = anyAlpha || (bits == 32 && alpha != 0);
      out.pixels.argb[static_cast<std::size_t>(y) * width + x] = (alpha << 24) | argb;
    }
  }
  out.hasAlpha = bits == 32 && anyAlpha;
  // A 32-bit image whose alpha is all zero is an old-style opaque one.
  if (bits == 32 && !anyAlpha)
    for (auto& p : out.pixels.argb) p |= 0xFF000000u;
  if (icon && !out.hasAlpha) {
    const std::size_t maskAt = pixelsAt + stride * height;
    if (r.Size() >= maskAt + maskStride * height) {
      for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
          const bool hidden = (r.U8(maskAt + row * maskStride + x / 8) >> (7 - x % 8)) & 1;
          if (hidden) out.pixels.argb[static_cast<std::size_t>(y) * width + x] = 0;
        }
      }
    }
    out.hasAlpha = true;
  }
  return out;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

DecodedBitmap DecodeBmp(std::span<const std::uint8_t> file) {
  Reader r(file);
  if (file.size() < 14 || file[0] != 'B' || file[1] != 'M') throw std::runtime_error("not a bitmap file");
  const std::uint32_t pixelsAt = r.U32(10);
  if (pixelsAt == 0) throw std::runtime_error("bitmap without pixel data");
  return DecodeDib(r, 14, pixelsAt, false);
}

std::vector<plat::Pixels> DecodeIco(std::span<const std::uint8_t> file) {
  Reader r(file);
  if (r.Size() < 6 || r.U16(0) != 0 || r.U16(2) != 1) throw std::runtime_error("not an icon file");
  const int count = r.U16(4);
  if (count == 0) throw std::runtime_error("icon file without images");
  std::vector<plat::Pixels> images;
  for (int i = 0; i < count; ++i) {
    const std::size_t entry = 6 + static_cast<std::size_t>(i) * 16;
    const std::uint32_t size = r.U32(entry + 8);
    const std::uint32_t offset = r.U32(entry + 12);
    Reader image(r.Sub(offset, size));
    if (size >= 8 && image.U32(0) == 0x474E5089u) continue;  // PNG-compressed (256-pixel) images: not ours
    images.push_back(DecodeDib(image, 0, 0, true).pixels);
  }
  if (images.empty()) throw std::runtime_error("icon file without usable images");
  return images;
}

bool IsRunCoded(std::span<const std::uint8_t> file) {
  return file.size() >= 4 && std::equal(file.begin(), file.begin() + 4, kRunCodedMagic);
}

plat::Pixels DecodeRunCoded(std::span<const std::uint8_t> file) {
  Reader r(file);
  if (!IsRunCoded(file)) throw std::runtime_error("not a run-coded picture");
  const int width = r.U16(4);
  const int height = r.U16(6);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    throw std::runtime_error("bitmap size out of range");
  plat::Pixels out;
  out.width = width;
  out.height = height;
  const std::size_t total = static_cast<std::size_t>(width) * height;
  out.argb.reserve(total);
  std::size_t at = 8;
  while (out.argb.size() < total) {
    const std::uint8_t code = r.U8(at++);
    const std::size_t done = out.argb.size();
    if (code & 0x80) {
      const std::size_t count = (code & 0x7F) + 1u;
      if (done < static_cast<std::size_t>(width) || count > total - done)
        throw std::runtime_error("run-coded picture copies what is not there");
      for (std::size_t i = 0; i < count; ++i) out.argb.push_back(out.argb[out.argb.size() - width]);
    } else if (code & 0x40) {
      const std::size_t count = (code & 0x3F) + 1u;
      if (done == 0 || count > total - done) throw std::runtime_error("run-coded picture repeats what is not there");
      const std::uint32_t previous = out.argb.back();
      out.argb.insert(out.argb.end(), count, previous);
    } else {
      const std::size_t count = code + 1u;
      if (count > total - done) throw std::runtime_error("run-coded picture runs past its size");
      r.Need(at, count * 3);
      for (std::size_t i = 0; i < count; ++i, at += 3)
        out.argb.push_back(0xFF000000u | (std::uint32_t{file[at + 2]} << 16) | (std::uint32_t{file[at + 1]} << 8) | file[at]);
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp24(const plat::Pixels& pixels) {
  const std::size_t stride = (static_cast<std::size_t>(pixels.width) * 3 + 3) & ~std::size_t{3};
  const std::size_t imageSize = stride * pixels.height;
  std::vector<std::uint8_t> out{'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(54 + imageSize));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(pixels.width));
  Put32(out, static_cast<std::uint32_t>(pixels.height));
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, i == 1 ? static_cast<std::uint32_t>(imageSize) : 0);
  for (int y = pixels.height - 1; y >= 0; --y) {
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t p = pixels.At(x, y);
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
    }
    for (std::size_t pad = static_cast<std::size_t>(pixels.width) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace tk
