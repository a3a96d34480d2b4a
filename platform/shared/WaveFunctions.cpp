// The wave calls of linux and sim: handles are the keys of their backend's devices, and each
// call goes to the device hook of BackendHooks.h that does its work.
#include <cstdint>

#include "platform/shared/BackendHooks.h"
#include "platform/wave.h"

namespace plat {
namespace {

template <typename H>
std::uintptr_t Key(H handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

template <typename H>
MMRESULT Open(H* handle, bool input, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback, DWORD flags) {
  std::uintptr_t key = 0;
  const MMRESULT r = shared::OpenWaveDevice(handle ? &key : nullptr, input, deviceId, format, callback, flags);
  if (handle) *handle = r == MMSYSERR_NOERROR ? reinterpret_cast<H>(key) : nullptr;
  return r;
}

}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback, DWORD_PTR,
                     DWORD flags) {
  return Open(handle, false, deviceId, format, callback, flags);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return shared::PrepareWaveHeader(Key(handle), false, header, size, true);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return shared::PrepareWaveHeader(Key(handle), false, header, size, false);
}

MMRESULT waveOutWrite(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return shared::QueueWaveHeader(Key(handle), false, header, size);
}

MMRESULT waveOutReset(HWAVEOUT handle) { return shared::ResetWaveDevice(Key(handle), false); }
MMRESULT waveOutClose(HWAVEOUT handle) { return shared::CloseWaveDevice(Key(handle), false); }

MMRESULT waveInOpen(HWAVEIN* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback, DWORD_PTR,
                    DWORD flags) {
  return Open(handle, true, deviceId, format, callback, flags);
}

MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return shared::PrepareWaveHeader(Key(handle), true, header, size, true);
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return shared::PrepareWaveHeader(Key(handle), true, header, size, false);
}

MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return shared::QueueWaveHeader(Key(handle), true, header, size);
}

MMRESULT waveInStart(HWAVEIN handle) { return shared::SetWaveCapture(Key(handle), true); }
MMRESULT waveInStop(HWAVEIN handle) { return shared::SetWaveCapture(Key(handle), false); }
MMRESULT waveInReset(HWAVEIN handle) { return shared::ResetWaveDevice(Key(handle), true); }
MMRESULT waveInClose(HWAVEIN handle) { return shared::CloseWaveDevice(Key(handle), true); }

}  // namespace plat
