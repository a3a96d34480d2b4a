// Wave devices on ALSA's "default" PCM (PipeWire and PulseAudio are reached through it on a
// desktop). Each open device has a thread of its own that does every ALSA call after the open:
// it plays (or fills) the queued buffers in order at the device's pace and posts the
// notifications. The calls of the program only queue work for it and wait where Windows waits.
#include <alsa/asoundlib.h>

#include <pthread.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/linux/SoundLibraries.h"
#include "platform/messages.h"
#include "platform/shared/BackendHooks.h"
#include "platform/shared/WaveRules.h"
#include "platform/wave.h"

namespace plat {
namespace {

constexpr unsigned kLatencyUs = 200000;  // how far ahead of the sound the device is fed
constexpr int kPollMs = 20;

class Device {
 public:
  // Takes over `pcm` and the use of ALSA that opened it.
  Device(const sound::Alsa& alsa, bool input, snd_pcm_t* pcm, const WAVEFORMATEX& format, DWORD flags, DWORD thread,
         std::uintptr_t handle)
      : alsa_(alsa), input_(input), pcm_(pcm), format_(format), flags_(flags), thread_(thread), handle_(handle) {
    worker_ = std::thread([this] {
      pthread_setname_np(pthread_self(), "tavelin-alsa");  // for benchmarks and debuggers
      Run();
    });
  }

  ~Device() {
    {
      std::lock_guard g(lock_);
      closing_ = true;
    }
    changed_.notify_all();
    worker_.join();
    alsa_.pcm_close(pcm_);
    sound::ReleaseAlsa();
  }

  std::mutex& Lock() { return lock_; }
  bool Busy() {
    std::lock_guard g(lock_);
    return !queue_.empty() || pendingDone_;
  }

  MMRESULT Queue(WAVEHDR* h, UINT size) {
    std::lock_guard g(lock_);
    if (const MMRESULT r = shared::QueueHeader(h, size)) return r;
    if (input_) h->dwBytesRecorded = 0;
    queue_.push_back(h);
    changed_.notify_all();
    return MMSYSERR_NOERROR;
  }

  // Hands every queued buffer back at once; returns when the device thread has done so.
  void Reset() {
    std::unique_lock held(lock_);
    const auto ticket = ++resetsAsked_;
    changed_.notify_all();
    changed_.wait(held, [&] { return resetsDone_ >= ticket; });
  }

  void SetCapturing(bool on) {
    std::lock_guard g(lock_);
    capturing_ = on;
    changed_.notify_all();
  }

  void Notify(UINT msg, WAVEHDR* header) const {
    if ((flags_ & CALLBACK_TYPEMASK) == CALLBACK_THREAD)
      PostThreadMessageA(thread_, msg, handle_, reinterpret_cast<LPARAM>(header));
  }

 private:
  std::size_t FrameBytes() const { return format_.nBlockAlign; }

  // Lock held. A reset asked for: drop what ALSA holds and give every buffer back.
  bool ServeReset(std::unique_lock<std::mutex>& held) {
    if (resetsDone_ == resetsAsked_) return false;
    alsa_.pcm_drop(pcm_);
    alsa_.pcm_prepare(pcm_);
    if (input_ && capturing_) alsa_.pcm_start(pcm_);
    if (pendingDone_) queue_.push_front(std::exchange(pendingDone_, nullptr));
    drained_ = true;
    for (WAVEHDR* h : queue_) {
      shared::MarkDone(h);
      Notify(input_ ? MM_WIM_DATA : MM_WOM_DONE, h);
    }
    queue_.clear();
    offset_ = 0;
    resetsDone_ = resetsAsked_;
    changed_.notify_all();
    return true;
  }

  void Run() {
    std::unique_lock held(lock_);
    while (!closing_) {
      if (ServeReset(held)) continue;
      if (queue_.empty() || (input_ && !capturing_)) {
        if (!input_ && !drained_) {
          // Nothing more to play: the last buffer still sounds until ALSA's queue is empty.
          held.unlock();
          const bool sounding = StillSounding();
          held.lock();
          if (sounding) {
            changed_.wait_for(held, std::chrono::milliseconds(kPollMs));
            continue;
          }
          drained_ = true;
          if (pendingDone_) {
            WAVEHDR* h = std::exchange(pendingDone_, nullptr);
            shared::MarkDone(h);
            Notify(MM_WOM_DONE, h);
          }
          continue;
        }
        changed_.wait(held);
        continue;
      }
      WAVEHDR* h = queue_.front();
      if (input_)
        Fill(held, h);
      else
        Play(held, h);
    }
  }

  // Whether written sound is still to be heard; a stream too short to have started is started.
  bool StillSounding() {
    snd_pcm_sframes_t delay = 0;
    if (alsa_.pcm_delay(pcm_, &delay) < 0 || delay <= 0) return false;
    switch (alsa_.pcm_state(pcm_)) {
      case SND_PCM_STATE_PREPARED:
        return alsa_.pcm_start(pcm_) == 0;
      case SND_PCM_STATE_RUNNING:
        return true;
      default:
        return false;
    }
  }

  // Lock held on entry and exit; released around every ALSA call that may wait.
  void Play(std::unique_lock<std::mutex>& held, WAVEHDR* h) {
    if (pendingDone_) {
      // The previous buffer is in ALSA's hands and the next one follows without a gap: it counts
      // as played now.
      WAVEHDR* done = std::exchange(pendingDone_, nullptr);
      shared::MarkDone(done);
      Notify(MM_WOM_DONE, done);
    }
    const std::size_t total = h->dwBufferLength - h->dwBufferLength % FrameBytes();
    if (offset_ < total) {
      const auto frames = static_cast<snd_pcm_uframes_t>((total - offset_) / FrameBytes());
      const char* data = h->lpData + offset_;
      held.unlock();
      snd_pcm_sframes_t n = alsa_.pcm_writei(pcm_, data, frames);
      if (n == -EAGAIN) {
        alsa_.pcm_wait(pcm_, kPollMs);
        n = 0;
      } else if (n < 0) {
        n = alsa_.pcm_recover(pcm_, static_cast<int>(n), 1) < 0 ? -1 : 0;
      }
      held.lock();
      if (resetsDone_ != resetsAsked_) return;  // the buffer went back meanwhile
      if (n > 0) offset_ += static_cast<std::size_t>(n) * FrameBytes();
      if (n >= 0 && offset_ < total) return;
    }
    // Written whole (or the device failed it): it comes back when the next one is under way or
    // ALSA has played it out.
    queue_.pop_front();
    offset_ = 0;
    pendingDone_ = h;
    drained_ = false;
  }

  void Fill(std::unique_lock<std::mutex>& held, WAVEHDR* h) {
    const std::size_t total = h->dwBufferLength - h->dwBufferLength % FrameBytes();
    if (offset_ < total) {
      const auto frames = static_cast<snd_pcm_uframes_t>((total - offset_) / FrameBytes());
      char* data = h->lpData + offset_;
      held.unlock();
      snd_pcm_sframes_t n = alsa_.pcm_readi(pcm_, data, frames);
      if (n == -EAGAIN) {
        alsa_.pcm_wait(pcm_, kPollMs);
        n = 0;
      } else if (n < 0) {
        n = alsa_.pcm_recover(pcm_, static_cast<int>(n), 1) < 0 ? -1 : 0;
      }
      held.lock();
      if (resetsDone_ != resetsAsked_) return;
      if (n > 0) offset_ += static_cast<std::size_t>(n) * FrameBytes();
      if (n >= 0 && offset_ < total) return;
    }
    queue_.pop_front();
    h->dwBytesRecorded = static_cast<DWORD>(offset_);
    offset_ = 0;
    shared::MarkDone(h);
    Notify(MM_WIM_DATA, h);
  }

  const sound::Alsa& alsa_;
  const bool input_;
  snd_pcm_t* const pcm_;
  const WAVEFORMATEX format_;
  const DWORD flags_;
  const DWORD thread_;
  const std::uintptr_t handle_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<WAVEHDR*> queue_;
  std::size_t offset_ = 0;  // bytes of the front buffer done
  WAVEHDR* pendingDone_ = nullptr;
  bool drained_ = true;
  bool closing_ = false;
  bool capturing_ = false;
  std::uint64_t resetsAsked_ = 0;
  std::uint64_t resetsDone_ = 0;
  std::thread worker_;
};

struct Devices {
  std::mutex lock;
  std::map<std::uintptr_t, std::shared_ptr<Device>> open;
  std::uintptr_t next = 0x5A00;
};

Devices& D() {
  static Devices* devices = new Devices;
  return *devices;
}

std::shared_ptr<Device> Find(std::uintptr_t handle) {
  std::lock_guard g(D().lock);
  auto it = D().open.find(handle);
  return it == D().open.end() ? nullptr : it->second;
}

}  // namespace

namespace shared {

MMRESULT OpenWaveDevice(std::uintptr_t* out, bool input, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                        DWORD flags) {
  if (!out && !(flags & WAVE_FORMAT_QUERY)) return MMSYSERR_INVALPARAM;
  if (deviceId != 0 && deviceId != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
  if (!shared::SupportedCallback(flags)) return MMSYSERR_INVALFLAG;
  if (!shared::PlayableFormat(format)) return WAVERR_BADFORMAT;
  // Without ALSA itself, or without a "default" device (no sound card, no sound server), there
  // is what Windows calls a bad device id.
  const sound::Alsa* alsa = sound::AcquireAlsa();
  if (!alsa) return MMSYSERR_BADDEVICEID;
  snd_pcm_t* pcm = nullptr;
  if (alsa->pcm_open(&pcm, "default", input ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    sound::ReleaseAlsa();
    return MMSYSERR_BADDEVICEID;
  }
  const snd_pcm_format_t sampleFormat = format->wBitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  // Without the mapper the device must take the rate as it is.
  const int resample = (flags & WAVE_MAPPED) || deviceId == WAVE_MAPPER ? 1 : 0;
  const bool playable = alsa->pcm_set_params(pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format->nChannels,
                                             format->nSamplesPerSec, resample, kLatencyUs) >= 0;
  if (!playable || (flags & WAVE_FORMAT_QUERY)) {
    alsa->pcm_close(pcm);
    sound::ReleaseAlsa();
    return playable ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
  }
  std::uintptr_t handle;
  {
    std::lock_guard g(D().lock);
    handle = D().next;
    D().next += 4;
    auto device = std::make_shared<Device>(*alsa, input, pcm, *format, flags, static_cast<DWORD>(callback), handle);
    device->Notify(input ? MM_WIM_OPEN : MM_WOM_OPEN, nullptr);
    D().open.emplace(handle, std::move(device));
  }
  *out = handle;
  return MMSYSERR_NOERROR;
}

MMRESULT CloseWaveDevice(std::uintptr_t handle, bool input) {
  std::shared_ptr<Device> device;
  {
    std::lock_guard g(D().lock);
    auto it = D().open.find(handle);
    if (it == D().open.end()) return MMSYSERR_INVALHANDLE;
    if (it->second->Busy()) return WAVERR_STILLPLAYING;
    device = std::move(it->second);
    D().open.erase(it);
  }
  device->Notify(input ? MM_WIM_CLOSE : MM_WOM_CLOSE, nullptr);
  device.reset();
  return MMSYSERR_NOERROR;
}

MMRESULT PrepareWaveHeader(std::uintptr_t handle, bool, WAVEHDR* h, UINT size, bool prepare) {
  auto device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  std::lock_guard g(device->Lock());
  return prepare ? shared::PrepareHeader(h, size) : shared::UnprepareHeader(h, size);
}

MMRESULT ResetWaveDevice(std::uintptr_t handle, bool) {
  auto device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  device->Reset();
  return MMSYSERR_NOERROR;
}

MMRESULT QueueWaveHeader(std::uintptr_t handle, bool, WAVEHDR* header, UINT size) {
  auto device = Find(handle);
  return device ? device->Queue(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT SetWaveCapture(std::uintptr_t handle, bool on) {
  auto device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  device->SetCapturing(on);
  return MMSYSERR_NOERROR;
}

}  // namespace shared
}  // namespace plat
