#pragma once
// Turns the synthesiser's mono 16-bit samples into the channels, rate and bits a stream asks for.
#include <cstdint>
#include <vector>

namespace plat::audio {

// `channels` 1 or 2, `bits` 8 or 16; the result is interleaved little-endian PCM.
std::vector<std::uint8_t> ConvertPcm(const std::vector<std::int16_t>& mono, int inRate, int outRate, int channels,
                                     int bits);

}  // namespace plat::audio
