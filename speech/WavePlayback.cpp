// TvuCustomWave's playback: the output device, its buffers and the worker that refills them.
#include "speech/vuwavebase.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "platform/messages.h"
#include "speech/WaveSupport.h"

using namespace plat;
using namespace wave_support;

void TvuCustomWave::Play() {
  if (PlayThread_.load()) StopPlay();
  Playing_ = false;
  const UINT device = OutputDeviceID();
  if (!OpenSource()) return;
  try {
    AllocOutputBuffers();
  } catch (const std::bad_alloc&) {
    CloseSource();
    FreeOutputBuffers();
    FatalError(7, 14, OutputError(MMSYSERR_NOMEM));
    return;
  }

  auto* worker = new TWavThread();
  PlayThread_ = worker;
  worker->SetOnWaveMessage([this](WAVEHDR* header) { OutputDone(header); });
  worker->OnTerminate = [this](tk::Thread* sender) { PlayWorkerEnded(sender); };
  Playing_ = true;
  worker->Start();
  worker->WaitUntilListening();

  const DWORD flags = CALLBACK_THREAD | ((PlayOptions & wvoMapped) ? WAVE_MAPPED : 0);
  MMRESULT opened;
  {
    std::lock_guard g(OutputLock_);
    opened = waveOutOpen(&OutputHandle_, device, &OutputFormat_, worker->ThreadID(), 0, flags);
    if (opened != MMSYSERR_NOERROR) OutputHandle_ = nullptr;
  }
  if (opened != MMSYSERR_NOERROR) {
    // Playing stays set: the worker is ours until it has ended or the next StopPlay.
    worker->Stop();
    CloseSource();
    FreeOutputBuffers();
    FatalError(7, 14, OutputError(opened));
    return;
  }

  OutputDone(&OutputHeaders_[0]);
  OutputDone(&OutputHeaders_[1]);

  if (PlayOptions & wvoSynchronous)
    FinishWorker(worker);
  else
    worker->SetFreeOnTerminate(true);
}

void TvuCustomWave::StopPlay() {
  TWavThread* worker = PlayThread_.load();
  if (!worker) {
    Playing_ = false;
    return;
  }
  worker->SetOnWaveMessage(nullptr);
  worker->SetFreeOnTerminate(false);
  CloseOutput();
  worker->Stop();  // in case no close notification is on its way (the device never opened)
  FinishWorker(worker);
  if (PlayThread_.load() == worker) PlayThread_ = nullptr;
}

void TvuCustomWave::PlayWorkerEnded(tk::Thread* worker) {
  // The worker waits for this call; after it, the worker reads its free-on-terminate mark once.
  // Deciding here who destroys it is therefore final: the GUI thread when it is waiting for this
  // very worker, otherwise the worker itself, and the engine forgets it either way.
  if (worker == PlayThread_.load()) {
    if (Playing_) CloseOutput();  // the worker ended without closing (it raised): close now
    PlayThread_ = nullptr;
  }
  worker->SetFreeOnTerminate(!Awaited(worker));
  DoAfterPlay();
}

void TvuCustomWave::DoAfterPlay() { tk::Fire(AfterPlay, this); }

void TvuCustomWave::OutputDone(WAVEHDR* Header) {
  std::lock_guard g(OutputLock_);
  // A notification that was on its way when the device closed finds nothing to do.
  if (!Header || !OutputHandle_) return;
  WAVEHDR* other = Header->lpData == OutputHeaders_[0].lpData ? &OutputHeaders_[1] : &OutputHeaders_[0];
  if (Header->dwBufferLength != 0) waveOutUnprepareHeader(OutputHandle_, Header, sizeof(WAVEHDR));
  std::int32_t read;
  try {
    read = ReadSource(Header->lpData, OutputBufferSize_);
  } catch (...) {
    // A source that fails ends the playback as its end would: the device closes now, on this
    // thread, and the error goes on to the caller (Play) or ends the worker (AfterPlay follows).
    Header->dwBufferLength = 0;
    CloseOutput();
    throw;
  }
  read = std::clamp<std::int32_t>(read, 0, OutputBufferSize_);
  Header->dwBufferLength = static_cast<DWORD>(read);
  if (read == 0) {
    if (other->dwBufferLength == 0) CloseOutput();
    return;
  }
  const MMRESULT written = WriteOutput(Header);
  if (written != MMSYSERR_NOERROR) {
    CloseOutput();
    FatalError(7, 14, OutputError(written));
  }
}

MMRESULT TvuCustomWave::WriteOutput(WAVEHDR* Header) {
  Header->dwFlags = 0;
  Header->dwLoops = 0;
  waveOutPrepareHeader(OutputHandle_, Header, sizeof(WAVEHDR));
  return waveOutWrite(OutputHandle_, Header, sizeof(WAVEHDR));
}

void TvuCustomWave::CloseOutput() {
  if (TWavThread* worker = PlayThread_.load()) worker->SetOnWaveMessage(nullptr);
  {
    std::lock_guard g(OutputLock_);
    if (OutputHandle_) {
      waveOutReset(OutputHandle_);
      waveOutUnprepareHeader(OutputHandle_, &OutputHeaders_[0], sizeof(WAVEHDR));
      waveOutUnprepareHeader(OutputHandle_, &OutputHeaders_[1], sizeof(WAVEHDR));
      waveOutClose(OutputHandle_);
      OutputHandle_ = nullptr;
    }
    CloseSource();
    FreeOutputBuffers();
  }
  Playing_ = false;
}

void TvuCustomWave::AllocOutputBuffers() {
  const std::uint64_t size = static_cast<std::uint64_t>(OutputFormat_.nAvgBytesPerSec) *
                             static_cast<std::uint64_t>(std::max<std::int32_t>(OutputBufferSeconds, 0));
  std::lock_guard g(OutputLock_);
  for (int i = 0; i < 2; ++i) {
    OutputBuffers_[i] = ZeroedBuffer(size);
    if (!OutputBuffers_[i]) throw std::bad_alloc();
    OutputHeaders_[i] = WAVEHDR{};
    OutputHeaders_[i].lpData = OutputBuffers_[i].get();
    OutputHeaders_[i].dwBufferLength = 0;
  }
  OutputBufferSize_ = static_cast<std::int32_t>(size);
}

void TvuCustomWave::FreeOutputBuffers() {
  std::lock_guard g(OutputLock_);
  for (int i = 0; i < 2; ++i) {
    OutputBuffers_[i].reset();
    OutputHeaders_[i].lpData = nullptr;
  }
  OutputBufferSize_ = 0;
}
