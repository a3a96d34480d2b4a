#pragma once
// A wave engine that plays a block of bytes held in memory, with hooks to make its source fail,
// for the engine's tests.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

#include "speech/vuwavebase.h"

class ToneWave : public TvuCustomWave {
 public:
  using TvuCustomWave::TvuCustomWave;
  ~ToneWave() override {
    // The worker reads this object's data: it must stop before the data goes.
    AfterPlay = nullptr;
    StopPlay();
  }

  // `bytes` of a recognisable pattern (byte i is i * 7 + seed).
  static std::vector<std::uint8_t> Pattern(std::size_t bytes, std::uint8_t seed = 0) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return data;
  }

  // 1 channel, 8000 samples per second, 16 bits: 16000 bytes a second.
  std::vector<std::uint8_t> data;
  plat::WAVEFORMATEX format{plat::WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  bool haveSource = true;
  int failOnRead = 0;  // the nth read (1 = the first) raises
  std::atomic<int> reads{0};
  std::atomic<int> sourcesClosed{0};

 protected:
  bool OpenSource() override {
    if (!haveSource) return false;
    position_ = 0;
    SetOutputFormat(format);
    return true;
  }
  void CloseSource() override { ++sourcesClosed; }
  std::int32_t ReadSource(char* buffer, std::int32_t size) override {
    if (++reads == failOnRead) throw std::runtime_error("source failed");
    const std::size_t n = std::min<std::size_t>(size, data.size() - position_);
    if (n) std::memcpy(buffer, data.data() + position_, n);
    position_ += n;
    return static_cast<std::int32_t>(n);
  }

 private:
  std::size_t position_ = 0;
};
