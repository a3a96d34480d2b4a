#pragma once
// Reading the picture files the program carries: Windows bitmaps (24 and 32 bits per pixel,
// uncompressed) and icons (images of 32 bits with alpha, or 24 bits with a mask). Malformed data
// raises std::runtime_error with a message that says what is wrong.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/surface.h"

namespace tk {

struct DecodedBitmap {
  plat::Pixels pixels;
  bool hasAlpha = false;
};

DecodedBitmap DecodeBmp(std::span<const std::uint8_t> file);
std::vector<plat::Pixels> DecodeIco(std::span<const std::uint8_t> file);

// The compact form the program carries its opaque pictures in (app/artwork/generate.py writes
// it): "TRLE", width and height (16 bits each, little-endian), then codes for the pixels row by
// row from the top, each pixel as blue, green, red. A code byte 00nnnnnn is followed by n + 1
// pixels; 01nnnnnn repeats the previous pixel n + 1 times; 1nnnnnnn copies n + 1 pixels from
// the row above.
inline constexpr std::uint8_t kRunCodedMagic[4] = {'T', 'R', 'L', 'E'};
bool IsRunCoded(std::span<const std::uint8_t> file);
plat::Pixels DecodeRunCoded(std::span<const std::uint8_t> file);

// Writers of the same formats (24-bit bitmaps; icons of 32-bit images), for rendered output.
std::vector<std::uint8_t> EncodeBmp24(const plat::Pixels& pixels);

}  // namespace tk
