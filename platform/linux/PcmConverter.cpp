#include "platform/linux/PcmConverter.h"

#include "platform/linux/SoundLibraries.h"

#include <stdexcept>

namespace plat::audio {

std::vector<std::uint8_t> ConvertPcm(const std::vector<std::int16_t>& mono, int inRate, int outRate, int channels,
                                     int bits) {
  std::vector<std::int16_t> resampled;
  if (inRate == outRate || mono.empty()) {
    resampled = mono;
  } else {
    resampled.resize(static_cast<std::size_t>(static_cast<double>(mono.size()) * outRate / inRate) + 16);
    std::size_t produced = 0;
    const sound::Soxr* soxr = sound::AcquireSoxr();
    if (!soxr) throw std::runtime_error("libsoxr cannot be loaded");
    const soxr_io_spec_t io = soxr->io_spec(SOXR_INT16_I, SOXR_INT16_I);
    const soxr_quality_spec_t quality = soxr->quality_spec(SOXR_HQ, 0);
    const soxr_error_t error = soxr->oneshot(inRate, outRate, 1, mono.data(), mono.size(), nullptr, resampled.data(),
                                             resampled.size(), &produced, &io, &quality, nullptr);
    sound::ReleaseSoxr();
    if (error) throw std::runtime_error(error);
    resampled.resize(produced);
  }
  std::vector<std::uint8_t> out;
  out.reserve(resampled.size() * channels * (bits / 8));
  for (std::int16_t sample : resampled)
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        out.push_back(static_cast<std::uint8_t>((sample >> 8) + 128));
      } else {
        out.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        out.push_back(static_cast<std::uint8_t>((static_cast<std::uint16_t>(sample) >> 8) & 0xFF));
      }
    }
  return out;
}

}  // namespace plat::audio
