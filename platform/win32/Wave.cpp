// Wave audio on Windows: winmm itself. Our records have the system's layout, so headers and
// formats pass through unchanged.
#include "platform/wave.h"

#include <cstddef>

#include <windows.h>
#include <mmsystem.h>

namespace plat {

static_assert(sizeof(plat::WAVEFORMATEX) == sizeof(::WAVEFORMATEX));
static_assert(sizeof(plat::WAVEHDR) == sizeof(::WAVEHDR));
static_assert(offsetof(plat::WAVEHDR, dwBufferLength) == offsetof(::WAVEHDR, dwBufferLength));
static_assert(offsetof(plat::WAVEHDR, dwFlags) == offsetof(::WAVEHDR, dwFlags));
static_assert(offsetof(plat::WAVEHDR, lpNext) == offsetof(::WAVEHDR, lpNext));
static_assert(offsetof(plat::WAVEFORMATEX, nAvgBytesPerSec) == offsetof(::WAVEFORMATEX, nAvgBytesPerSec));

namespace {
::WAVEHDR* Native(plat::WAVEHDR* h) { return reinterpret_cast<::WAVEHDR*>(h); }
const ::WAVEFORMATEX* Native(const plat::WAVEFORMATEX* f) { return reinterpret_cast<const ::WAVEFORMATEX*>(f); }
}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
  return ::waveOutOpen(handle, deviceId, Native(format), callback, instance, flags);
}
MMRESULT waveOutPrepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return ::waveOutPrepareHeader(handle, Native(header), size);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return ::waveOutUnprepareHeader(handle, Native(header), size);
}
MMRESULT waveOutWrite(HWAVEOUT handle, WAVEHDR* header, UINT size) {
  return ::waveOutWrite(handle, Native(header), size);
}
MMRESULT waveOutReset(HWAVEOUT handle) { return ::waveOutReset(handle); }
MMRESULT waveOutClose(HWAVEOUT handle) { return ::waveOutClose(handle); }
MMRESULT waveOutGetErrorTextA(MMRESULT code, char* text, UINT size) { return ::waveOutGetErrorTextA(code, text, size); }

MMRESULT waveInOpen(HWAVEIN* handle, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags) {
  return ::waveInOpen(handle, deviceId, Native(format), callback, instance, flags);
}
MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return ::waveInPrepareHeader(handle, Native(header), size);
}
MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return ::waveInUnprepareHeader(handle, Native(header), size);
}
MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, UINT size) {
  return ::waveInAddBuffer(handle, Native(header), size);
}
MMRESULT waveInStart(HWAVEIN handle) { return ::waveInStart(handle); }
MMRESULT waveInStop(HWAVEIN handle) { return ::waveInStop(handle); }
MMRESULT waveInReset(HWAVEIN handle) { return ::waveInReset(handle); }
MMRESULT waveInClose(HWAVEIN handle) { return ::waveInClose(handle); }
MMRESULT waveInGetErrorTextA(MMRESULT code, char* text, UINT size) { return ::waveInGetErrorTextA(code, text, size); }

}  // namespace plat
