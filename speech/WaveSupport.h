#pragma once
// What playback and capture share: the text of a device that would not open, and sound buffers.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/wave.h"

namespace wave_support {

std::string OutputError(plat::MMRESULT code);
std::string InputError(plat::MMRESULT code);
// A zero-filled buffer of `bytes`, or null when there is no memory for it (or it is absurdly large).
std::unique_ptr<char[]> ZeroedBuffer(std::uint64_t bytes);

}  // namespace wave_support
