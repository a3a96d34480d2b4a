#pragma once
// The rules of the wave calls that do not depend on the device (linux and sim).
#include "platform/wave.h"

namespace plat::shared {

// PCM in 8 or 16 bits, one or two channels, with consistent block and byte rates.
inline bool PlayableFormat(const WAVEFORMATEX* f) {
  if (!f || f->wFormatTag != WAVE_FORMAT_PCM) return false;
  if (f->nChannels < 1 || f->nChannels > 2) return false;
  if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return false;
  if (f->nSamplesPerSec < 1000 || f->nSamplesPerSec > 192000) return false;
  if (f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8) return false;
  return f->nAvgBytesPerSec == f->nBlockAlign * f->nSamplesPerSec;
}

// Only the thread callback (and none) are offered.
inline bool SupportedCallback(DWORD flags) {
  const DWORD type = flags & CALLBACK_TYPEMASK;
  return type == CALLBACK_NULL || type == CALLBACK_THREAD;
}

inline MMRESULT PrepareHeader(WAVEHDR* h, UINT size) {
  if (!h || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (h->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  h->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

inline MMRESULT UnprepareHeader(WAVEHDR* h, UINT size) {
  if (!h || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (h->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  h->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

// Checks a header handed to write (or to add) and marks it queued.
inline MMRESULT QueueHeader(WAVEHDR* h, UINT size) {
  if (!h || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (!(h->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (h->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  h->dwFlags = (h->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  return MMSYSERR_NOERROR;
}

inline void MarkDone(WAVEHDR* h) { h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE; }

}  // namespace plat::shared
