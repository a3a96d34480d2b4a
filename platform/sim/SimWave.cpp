// The simulated sound device: buffers play back to back on the virtual clock; each one comes back
// with its notification when its time is up. Input devices fill their buffers with silence at the
// same pace.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/messages.h"
#include "platform/shared/BackendHooks.h"
#include "platform/shared/WaveRules.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim_wave.h"

namespace sim::detail {
namespace {

using namespace plat;

struct Queued {
  WAVEHDR* header;
  std::uint64_t serial;
  std::uint64_t start;
  std::uint64_t end;
};

struct Device {
  bool input = false;
  WAVEFORMATEX format{};
  DWORD flags = 0;
  DWORD thread = 0;
  std::deque<Queued> queue;
  std::uint64_t busyUntil = 0;
  bool started = false;  // input: capturing
};

struct WaveState {
  std::mutex lock;
  std::map<std::uintptr_t, std::unique_ptr<Device>> devices;
  std::uintptr_t nextHandle = 0x7A00;
  std::uint64_t nextSerial = 1;
  std::vector<WaveOpenRecord> opens;
  std::vector<std::uint8_t> played;
  std::vector<WavePlayed> log;
  int writes = 0;
  MMRESULT refuse = MMSYSERR_NOERROR;
  int failCountdown = 0;
  MMRESULT failCode = MMSYSERR_NOERROR;
};

WaveState& W() {
  static WaveState* state = new WaveState;  // device events may come during static destruction
  return *state;
}

Device* Find(std::uintptr_t handle, bool input) {
  auto it = W().devices.find(handle);
  return it == W().devices.end() || it->second->input != input ? nullptr : it->second.get();
}

void Notify(const Device& d, UINT msg, std::uintptr_t handle, WAVEHDR* header) {
  if ((d.flags & CALLBACK_TYPEMASK) == CALLBACK_THREAD)
    PostThreadMessageA(d.thread, msg, handle, reinterpret_cast<LPARAM>(header));
}

std::uint64_t DurationMs(const Device& d, DWORD bytes) {
  const DWORD rate = d.format.nAvgBytesPerSec;
  return rate ? (static_cast<std::uint64_t>(bytes) * 1000 + rate - 1) / rate : 0;
}

// Records what an output buffer played up to `until`; the whole buffer when its time is up.
void RecordPlayed(const Device& d, const Queued& q, std::uint64_t until) {
  DWORD bytes = q.header->dwBufferLength;
  if (until < q.end) {
    const std::uint64_t elapsed = until > q.start ? until - q.start : 0;
    bytes = static_cast<DWORD>(std::min<std::uint64_t>(bytes, elapsed * d.format.nAvgBytesPerSec / 1000));
    if (d.format.nBlockAlign) bytes -= bytes % d.format.nBlockAlign;
  }
  auto& w = W();
  w.played.insert(w.played.end(), q.header->lpData, q.header->lpData + bytes);
  w.log.push_back({q.start, std::min(until, q.end), bytes});
}

void Complete(std::uintptr_t handle, std::uint64_t serial);

// Puts a buffer in line behind the others and books the moment it comes back.
void Enqueue(std::uintptr_t handle, Device& d, WAVEHDR* header, DWORD bytes) {
  const std::uint64_t start = std::max(Now(), d.busyUntil);
  const std::uint64_t end = start + DurationMs(d, bytes);
  d.busyUntil = end;
  const std::uint64_t serial = W().nextSerial++;
  d.queue.push_back({header, serial, start, end});
  ScheduleDeviceEvent(end, [handle, serial] { Complete(handle, serial); });
}

void Complete(std::uintptr_t handle, std::uint64_t serial) {
  std::lock_guard g(W().lock);
  auto it = W().devices.find(handle);
  if (it == W().devices.end()) return;
  Device& d = *it->second;
  if (d.queue.empty() || d.queue.front().serial != serial) return;  // reset in the meantime
  Queued q = d.queue.front();
  d.queue.pop_front();
  if (d.input) {
    if (q.header->lpData)
      std::memset(q.header->lpData, d.format.wBitsPerSample == 8 ? 0x80 : 0, q.header->dwBufferLength);
    q.header->dwBytesRecorded = q.header->dwBufferLength;
  } else {
    RecordPlayed(d, q, q.end);
  }
  shared::MarkDone(q.header);
  Notify(d, d.input ? MM_WIM_DATA : MM_WOM_DONE, handle, q.header);
}

// Hands every queued buffer back (output: having played what its time allowed).
void ReturnAll(std::uintptr_t handle, Device& d) {
  const std::uint64_t now = Now();
  for (auto& q : d.queue) {
    if (!d.input) RecordPlayed(d, q, now);
    shared::MarkDone(q.header);
    Notify(d, d.input ? MM_WIM_DATA : MM_WOM_DONE, handle, q.header);
  }
  d.queue.clear();
  d.busyUntil = now;
}

}  // namespace

void ResetWave() {
  std::lock_guard g(W().lock);
  auto& w = W();
  w.devices.clear();
  w.opens.clear();
  w.played.clear();
  w.log.clear();
  w.writes = 0;
  w.refuse = plat::MMSYSERR_NOERROR;
  w.failCountdown = 0;
  w.failCode = plat::MMSYSERR_NOERROR;
}

}  // namespace sim::detail

namespace plat::shared {
namespace {

using namespace sim::detail;

MMRESULT Write(std::uintptr_t handle, WAVEHDR* header, UINT size) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, false);
  if (!d) return MMSYSERR_INVALHANDLE;
  if (W().failCountdown > 0 && --W().failCountdown == 0) return W().failCode;
  if (const MMRESULT r = shared::QueueHeader(header, size)) return r;
  ++W().writes;
  Enqueue(handle, *d, header, header->dwBufferLength);
  return MMSYSERR_NOERROR;
}

MMRESULT AddInputBuffer(std::uintptr_t handle, WAVEHDR* header, UINT size) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, true);
  if (!d) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT r = shared::QueueHeader(header, size)) return r;
  header->dwBytesRecorded = 0;
  if (d->started) Enqueue(handle, *d, header, header->dwBufferLength);
  else d->queue.push_back({header, 0, 0, 0});
  return MMSYSERR_NOERROR;
}

MMRESULT StartCapture(std::uintptr_t handle) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, true);
  if (!d) return MMSYSERR_INVALHANDLE;
  if (d->started) return MMSYSERR_NOERROR;
  d->started = true;
  auto waiting = std::move(d->queue);
  d->queue.clear();
  d->busyUntil = sim::Now();
  for (auto& q : waiting) Enqueue(handle, *d, q.header, q.header->dwBufferLength);
  return MMSYSERR_NOERROR;
}

MMRESULT StopCapture(std::uintptr_t handle) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, true);
  if (!d) return MMSYSERR_INVALHANDLE;
  d->started = false;
  return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT OpenWaveDevice(std::uintptr_t* out, bool input, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                        DWORD flags) {
  std::lock_guard g(W().lock);
  sim::WaveOpenRecord record{deviceId, format ? *format : WAVEFORMATEX{}, flags, static_cast<DWORD>(callback), input};
  W().opens.push_back(record);
  if (!out && !(flags & WAVE_FORMAT_QUERY)) return MMSYSERR_INVALPARAM;
  if (deviceId != 0 && deviceId != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
  if (W().refuse != MMSYSERR_NOERROR) return W().refuse;
  if (!shared::SupportedCallback(flags)) return MMSYSERR_INVALFLAG;
  if (!shared::PlayableFormat(format)) return WAVERR_BADFORMAT;
  if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
  auto d = std::make_unique<Device>();
  d->input = input;
  d->format = *format;
  d->flags = flags;
  d->thread = static_cast<DWORD>(callback);
  d->busyUntil = sim::Now();
  const std::uintptr_t handle = W().nextHandle;
  W().nextHandle += 4;
  Notify(*d, input ? MM_WIM_OPEN : MM_WOM_OPEN, handle, nullptr);
  W().devices.emplace(handle, std::move(d));
  *out = handle;
  return MMSYSERR_NOERROR;
}

MMRESULT CloseWaveDevice(std::uintptr_t handle, bool input) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, input);
  if (!d) return MMSYSERR_INVALHANDLE;
  if (!d->queue.empty()) return WAVERR_STILLPLAYING;
  Notify(*d, input ? MM_WIM_CLOSE : MM_WOM_CLOSE, handle, nullptr);
  W().devices.erase(handle);
  return MMSYSERR_NOERROR;
}

MMRESULT PrepareWaveHeader(std::uintptr_t handle, bool input, WAVEHDR* h, UINT size, bool prepare) {
  std::lock_guard g(W().lock);
  if (!Find(handle, input)) return MMSYSERR_INVALHANDLE;
  return prepare ? shared::PrepareHeader(h, size) : shared::UnprepareHeader(h, size);
}

MMRESULT ResetWaveDevice(std::uintptr_t handle, bool input) {
  std::lock_guard g(W().lock);
  Device* d = Find(handle, input);
  if (!d) return MMSYSERR_INVALHANDLE;
  ReturnAll(handle, *d);
  d->started = false;
  return MMSYSERR_NOERROR;
}

MMRESULT QueueWaveHeader(std::uintptr_t handle, bool input, WAVEHDR* header, UINT size) {
  return input ? AddInputBuffer(handle, header, size) : Write(handle, header, size);
}

MMRESULT SetWaveCapture(std::uintptr_t handle, bool on) {
  return on ? StartCapture(handle) : StopCapture(handle);
}

}  // namespace plat::shared

namespace sim {

using detail::W;

std::vector<WaveOpenRecord> WaveOpens() {
  std::lock_guard g(W().lock);
  return W().opens;
}

int OpenWaveDevices() {
  std::lock_guard g(W().lock);
  return static_cast<int>(W().devices.size());
}

std::vector<std::uint8_t> WaveBytesPlayed() {
  std::lock_guard g(W().lock);
  return W().played;
}

std::vector<WavePlayed> WavePlayLog() {
  std::lock_guard g(W().lock);
  return W().log;
}

int WaveWrites() {
  std::lock_guard g(W().lock);
  return W().writes;
}

void RefuseWaveOpen(plat::MMRESULT code) {
  std::lock_guard g(W().lock);
  W().refuse = code;
}

void FailWaveWrite(int nth, plat::MMRESULT code) {
  std::lock_guard g(W().lock);
  W().failCountdown = nth;
  W().failCode = code;
}

}  // namespace sim
