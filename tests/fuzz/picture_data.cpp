// Bitmap and icon readers on arbitrary bytes: they either decode or throw std::runtime_error.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "toolkit/ImageCodecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  try {
    tk::DecodeBmp(bytes);
  } catch (const std::runtime_error&) {
  }
  try {
    tk::DecodeIco(bytes);
  } catch (const std::runtime_error&) {
  }
  return 0;
}
