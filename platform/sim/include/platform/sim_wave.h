#pragma once
// The simulated sound device, as tests script and inspect it. It plays each buffer in the time
// its format says, on the virtual clock, one buffer after another.
#include <cstdint>
#include <vector>

#include "platform/wave.h"

namespace sim {

struct WaveOpenRecord {
  plat::UINT deviceId = 0;
  plat::WAVEFORMATEX format{};
  plat::DWORD flags = 0;
  plat::DWORD threadId = 0;
  bool input = false;
};

// A stretch of sound the device played: `bytes` from `startMs` to `endMs`. A buffer cut short
// by a reset has played only what came before the reset.
struct WavePlayed {
  std::uint64_t startMs = 0;
  std::uint64_t endMs = 0;
  std::uint32_t bytes = 0;
};

// Every open since sim::Reset, successful or not.
std::vector<WaveOpenRecord> WaveOpens();
// Devices open now.
int OpenWaveDevices();
// Every byte the output devices played since sim::Reset, in order.
std::vector<std::uint8_t> WaveBytesPlayed();
std::vector<WavePlayed> WavePlayLog();
// Buffers written since sim::Reset (successful writes only).
int WaveWrites();

// The next opens fail with `code` (MMSYSERR_NOERROR: they succeed again).
void RefuseWaveOpen(plat::MMRESULT code);
// The `nth` write from now on (1 = the next one) fails with `code`.
void FailWaveWrite(int nth, plat::MMRESULT code);

}  // namespace sim
