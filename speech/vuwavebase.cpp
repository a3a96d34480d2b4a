#include "speech/vuwavebase.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "platform/messages.h"

using namespace plat;

namespace {

// Notifications the worker's queue is made for before the device can post any.
constexpr UINT kQueueProbe = 1024;
constexpr std::uint64_t kMaxBufferBytes = 64u << 20;

std::string DeviceErrorMessage(const char* what, MMRESULT code, bool input) {
  char text[128] = {};
  if (input)
    waveInGetErrorTextA(code, text, sizeof text);
  else
    waveOutGetErrorTextA(code, text, sizeof text);
  text[127] = '\0';
  return std::string("vuWave Error: ") + what + '\r' + std::to_string(code) + '\r' + text;
}

std::string OutputError(MMRESULT code) { return DeviceErrorMessage("Wav output device not opened", code, false); }
std::string InputError(MMRESULT code) { return DeviceErrorMessage("Wav input device not opened", code, true); }

// Zero-filled buffer of `bytes`, or null when there is no memory for it.
std::unique_ptr<char[]> ZeroedBuffer(std::uint64_t bytes) {
  if (bytes > kMaxBufferBytes) return nullptr;
  return std::unique_ptr<char[]>(new (std::nothrow) char[bytes ? bytes : 1]());
}

}  // namespace

// ---- TWavThread --------------------------------------------------------------------------------

static std::atomic<int> aliveWorkers{0};

TWavThread::TWavThread() : tk::Thread(true) { ++aliveWorkers; }

TWavThread::~TWavThread() { --aliveWorkers; }

int TWavThread::Alive() { return aliveWorkers.load(); }

void TWavThread::SetOnWaveMessage(WaveMessageEvent handler) {
  std::lock_guard g(lock_);
  onWaveMessage_ = std::move(handler);
}

void TWavThread::Stop() {
  Terminate();
  PostThreadMessageA(ThreadID(), MM_WOM_CLOSE, 0, 0);
}

void TWavThread::WaitUntilListening() {
  std::unique_lock held(lock_);
  listeningChanged_.wait(held, [this] { return listening_; });
}

void TWavThread::Execute() {
  MSG msg;
  PeekMessageA(&msg, nullptr, kQueueProbe, kQueueProbe, PM_NOREMOVE);
  {
    std::lock_guard g(lock_);
    listening_ = true;
  }
  listeningChanged_.notify_all();
  while (!Terminated()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) continue;  // a quit message is not ours to obey
    switch (msg.message) {
      case MM_WOM_CLOSE:
      case MM_WIM_CLOSE:
        return;
      case MM_WOM_DONE:
      case MM_WIM_OPEN:
      case MM_WIM_DATA: {
        WaveMessageEvent handler;
        {
          std::lock_guard g(lock_);
          handler = onWaveMessage_;
        }
        if (handler) handler(reinterpret_cast<WAVEHDR*>(msg.lParam));
        break;
      }
      default:
        break;
    }
  }
}

// ---- TvuCustomWave: life and the line ------------------------------------------------------------

TvuCustomWave::TvuCustomWave(tk::Component* owner) : TvuCustomTAPIProcessor(owner) {}

TvuCustomWave::~TvuCustomWave() {
  // Stopping raises no event any more: the owner may be half gone.
  AfterPlay = nullptr;
  AfterRecord = nullptr;
  StopPlay();
  StopRecord();
}

void TvuCustomWave::MediumClosed() {
  WriteLog(1, "Medium CLOSED!!!");
  StopPlay();
  StopRecord();
}

void TvuCustomWave::MediumOpened() { WriteLog(1, "Medium OPENED!!!"); }

UINT TvuCustomWave::OutputDeviceID() const {
  if (Medium() && Medium()->WaveOutDeviceID() != 0) return Medium()->WaveOutDeviceID();
  return 0;
}

UINT TvuCustomWave::InputDeviceID() const {
  if (Medium() && Medium()->WaveInDeviceID() != 0) return Medium()->WaveInDeviceID();
  return 0;
}

bool TvuCustomWave::Awaited(const tk::Thread* worker) const {
  return std::find(awaited_.begin(), awaited_.end(), worker) != awaited_.end();
}

void TvuCustomWave::FinishWorker(TWavThread* worker) {
  awaited_.push_back(worker);
  try {
    worker->WaitFor();
  } catch (...) {
    std::erase(awaited_, worker);
    throw;
  }
  std::erase(awaited_, worker);
  delete worker;
}

// ---- Playback ----------------------------------------------------------------------------------

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

// ---- Capture -----------------------------------------------------------------------------------

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
