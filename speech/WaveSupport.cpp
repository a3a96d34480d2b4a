#include "speech/WaveSupport.h"

#include <new>

namespace wave_support {
namespace {

constexpr std::uint64_t kMaxBufferBytes = 64u << 20;

std::string DeviceErrorMessage(const char* what, plat::MMRESULT code, bool input) {
  char text[128] = {};
  if (input)
    plat::waveInGetErrorTextA(code, text, sizeof text);
  else
    plat::waveOutGetErrorTextA(code, text, sizeof text);
  text[127] = '\0';
  return std::string("vuWave Error: ") + what + '\r' + std::to_string(code) + '\r' + text;
}

}  // namespace

std::string OutputError(plat::MMRESULT code) { return DeviceErrorMessage("Wav output device not opened", code, false); }
std::string InputError(plat::MMRESULT code) { return DeviceErrorMessage("Wav input device not opened", code, true); }

std::unique_ptr<char[]> ZeroedBuffer(std::uint64_t bytes) {
  if (bytes > kMaxBufferBytes) return nullptr;
  return std::unique_ptr<char[]>(new (std::nothrow) char[bytes ? bytes : 1]());
}

}  // namespace wave_support
