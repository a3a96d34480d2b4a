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

// Writers of the same formats (24-bit bitmaps; icons of 32-bit images), for rendered output.
std::vector<std::uint8_t> EncodeBmp24(const plat::Pixels& pixels);

}  // namespace tk
