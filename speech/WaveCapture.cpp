// TvuCustomWave's capture: the input device, its buffers and the worker that empties them.
#include "speech/vuwavebase.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "platform/messages.h"
#include "speech/WaveSupport.h"

using namespace plat;
using namespace wave_support;

void TvuCustomWave::Record() {
  if (RecordThread_.load()) StopRecord();
  Recording_ = false;
  const UINT device = InputDeviceID();
  if (!OpenSink()) return;
  try {
    AllocInputBuffers();
  } catch (const std::bad_alloc&) {
    CloseSink();
    FreeInputBuffers();
    FatalError(7, 18, InputError(MMSYSERR_NOMEM));
    return;
  }

  auto* worker = new TWavThread();
  RecordThread_ = worker;
  worker->SetOnWaveMessage([this](WAVEHDR* header) { InputDone(header); });
  worker->OnTerminate = [this](tk::Thread* sender) { RecordWorkerEnded(sender); };
  Recording_ = true;
  worker->Start();
  worker->WaitUntilListening();

  const DWORD flags = CALLBACK_THREAD | ((RecordOptions & wvoMapped) ? WAVE_MAPPED : 0);
  MMRESULT opened;
  {
    std::lock_guard g(InputLock_);
    opened = waveInOpen(&InputHandle_, device, &InputFormat_, worker->ThreadID(), 0, flags);
    if (opened == MMSYSERR_NOERROR) {
      waveInPrepareHeader(InputHandle_, &InputHeader_, sizeof(WAVEHDR));
      waveInAddBuffer(InputHandle_, &InputHeader_, sizeof(WAVEHDR));
      waveInStart(InputHandle_);
    } else {
      InputHandle_ = nullptr;
    }
  }
  if (opened != MMSYSERR_NOERROR) {
    worker->Stop();
    CloseSink();
    FreeInputBuffers();
    FatalError(7, 18, InputError(opened));
    return;
  }
  if (RecordOptions & wvoSynchronous)
    FinishWorker(worker);
  else
    worker->SetFreeOnTerminate(true);
}

void TvuCustomWave::StopRecord() {
  TWavThread* worker = RecordThread_.load();
  if (!worker) {
    Recording_ = false;
    return;
  }
  worker->SetOnWaveMessage(nullptr);
  worker->SetFreeOnTerminate(false);
  CloseInput();
  worker->Stop();
  FinishWorker(worker);
  if (RecordThread_.load() == worker) RecordThread_ = nullptr;
}

void TvuCustomWave::RecordWorkerEnded(tk::Thread* worker) {
  if (worker == RecordThread_.load()) {
    if (Recording_) CloseInput();
    RecordThread_ = nullptr;
  }
  worker->SetFreeOnTerminate(!Awaited(worker));
  DoAfterRecord();
}

void TvuCustomWave::DoAfterRecord() { tk::Fire(AfterRecord, this); }

void TvuCustomWave::InputDone(WAVEHDR* Header) {
  std::lock_guard g(InputLock_);
  if (!Header || !InputHandle_ || Header != &InputHeader_) return;
  // The filled buffer becomes the spare and the spare goes back to the device at once, so the
  // capture goes on while the sink takes the data.
  waveInUnprepareHeader(InputHandle_, Header, sizeof(WAVEHDR));
  const std::int32_t got = static_cast<std::int32_t>(std::min<DWORD>(Header->dwBytesRecorded, InputBufferSize_));
  std::swap(InputBuffer_, InputSpare_);
  Header->lpData = InputBuffer_.get();
  InputSpareBytes_ = got;
  Header->dwBytesRecorded = 0;
  Header->dwFlags = 0;
  BytesRecorded_ += static_cast<std::uint32_t>(got);
  const bool full = BytesRecorded_ >= RecordLimit_;
  if (!full) {
    waveInPrepareHeader(InputHandle_, Header, sizeof(WAVEHDR));
    waveInAddBuffer(InputHandle_, Header, sizeof(WAVEHDR));
  }
  if (got > 0) WriteSink(InputSpare_.get(), got);
  if (full) CloseInput();
}

void TvuCustomWave::CloseInput() {
  if (TWavThread* worker = RecordThread_.load()) worker->SetOnWaveMessage(nullptr);
  {
    std::lock_guard g(InputLock_);
    if (InputHandle_) {
      waveInStop(InputHandle_);
      waveInReset(InputHandle_);
      waveInUnprepareHeader(InputHandle_, &InputHeader_, sizeof(WAVEHDR));
      waveInClose(InputHandle_);
      InputHandle_ = nullptr;
    }
    Recording_ = false;
    CloseSink();
    FreeInputBuffers();
  }
}

void TvuCustomWave::AllocInputBuffers() {
  std::lock_guard g(InputLock_);
  BytesRecorded_ = 0;
  const std::uint64_t size = static_cast<std::uint64_t>(InputFormat_.nAvgBytesPerSec / 10) *
                             static_cast<std::uint64_t>(std::max<std::int32_t>(InputBufferTenths, 0));
  RecordLimit_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(InputFormat_.nAvgBytesPerSec) * std::max<std::int32_t>(MaxRecordSeconds, 0),
      std::numeric_limits<std::uint32_t>::max()));
  InputBuffer_ = ZeroedBuffer(size);
  InputSpare_ = ZeroedBuffer(size);
  if (!InputBuffer_ || !InputSpare_) throw std::bad_alloc();
  InputBufferSize_ = static_cast<std::int32_t>(size);
  InputSpareBytes_ = 0;
  InputHeader_ = WAVEHDR{};
  InputHeader_.lpData = InputBuffer_.get();
  InputHeader_.dwBufferLength = static_cast<DWORD>(size);
}

void TvuCustomWave::FreeInputBuffers() {
  std::lock_guard g(InputLock_);
  InputBuffer_.reset();
  InputSpare_.reset();
  InputHeader_.lpData = nullptr;
  InputBufferSize_ = 0;
  InputSpareBytes_ = 0;
}
