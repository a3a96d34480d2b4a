#pragma once
// The wave playback engine: a descendant supplies PCM data (OpenSource, ReadSource), the engine
// plays it on the wave output device with two buffers in flight, refilled on a worker thread of
// its own as the device hands them back, and raises AfterPlay on the GUI thread at the end.
// The capture direction mirrors it on the wave input device. The code: TWavThread.cpp (the
// worker), TvuCustomWave.cpp (life and the line), WavePlayback.cpp, WaveCapture.cpp.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/wave.h"
#include "speech/vuclasses.h"
#include "toolkit/Events.h"
#include "toolkit/Thread.h"

using TvuWaveOptions = unsigned;
constexpr TvuWaveOptions wvoSynchronous = 1;  // the start operation returns when the worker has ended
constexpr TvuWaveOptions wvoMapped = 2;       // open through the wave mapper, which may convert

// The worker of one playback (or capture): receives the device's notifications in its message
// queue and hands buffer notifications to OnWaveMessage.
class TWavThread : public tk::Thread {
 public:
  using WaveMessageEvent = std::function<void(plat::WAVEHDR* header)>;

  TWavThread();
  ~TWavThread() override;
  // Workers that exist now, in the whole program.
  static int Alive();
  // Null: nothing more is delivered (a notification being delivered right now still finishes).
  void SetOnWaveMessage(WaveMessageEvent handler);
  // Sets the terminate flag and wakes the loop with an output-closed notification.
  void Stop();
  // Returns once the thread has its message queue; notifications posted before would be lost.
  void WaitUntilListening();

 protected:
  void Execute() override;

 private:
  std::mutex lock_;
  std::condition_variable listeningChanged_;
  bool listening_ = false;
  WaveMessageEvent onWaveMessage_;
};

// A descendant whose source the worker reads stops the playback in its own destructor (clear
// AfterPlay, then StopPlay): by the time this class's destructor runs, the source is gone.
class TvuCustomWave : public TvuCustomTAPIProcessor {
 public:
  explicit TvuCustomWave(tk::Component* owner);
  ~TvuCustomWave() override;

  void MediumClosed() override;
  void MediumOpened() override;

  virtual void Play();
  virtual void StopPlay();
  virtual void Record();
  virtual void StopRecord();

  tk::NotifyEvent AfterPlay;
  tk::NotifyEvent AfterRecord;

  TvuWaveOptions PlayOptions = wvoMapped;
  TvuWaveOptions RecordOptions = wvoMapped;
  std::int32_t MaxRecordSeconds = 20;
  std::int32_t InputBufferTenths = 1;
  std::int32_t OutputBufferSeconds = 1;

  bool Playing() const { return Playing_; }
  bool Recording() const { return Recording_; }
  const plat::WAVEFORMATEX& OutputFormat() const { return OutputFormat_; }
  std::int32_t OutputBufferSize() const { return OutputBufferSize_; }
  std::uint32_t BytesRecorded() const { return BytesRecorded_; }

 protected:
  // The descendant prepares its data, sets the output format and says whether there is
  // anything to play.
  virtual bool OpenSource() = 0;
  virtual void CloseSource() {}
  virtual void OutputDone(plat::WAVEHDR* Header);
  // Copies up to Size bytes of the source into Buffer; returns how many, 0 at the end.
  virtual std::int32_t ReadSource(char* Buffer, std::int32_t Size) { return 0; }
  virtual plat::MMRESULT WriteOutput(plat::WAVEHDR* Header);
  virtual void DoAfterPlay();
  virtual void CloseOutput();
  virtual void AllocOutputBuffers();
  virtual void FreeOutputBuffers();

  virtual bool OpenSink() { return false; }
  virtual void CloseSink() {}
  virtual void InputDone(plat::WAVEHDR* Header);
  virtual void WriteSink(const char* Buffer, std::int32_t Size) {}
  virtual void DoAfterRecord();
  virtual void CloseInput();
  virtual void AllocInputBuffers();
  virtual void FreeInputBuffers();

  plat::UINT OutputDeviceID() const;
  plat::UINT InputDeviceID() const;
  void SetOutputFormat(const plat::WAVEFORMATEX& format) { OutputFormat_ = format; }
  void SetInputFormat(const plat::WAVEFORMATEX& format) { InputFormat_ = format; }

 private:
  // Both run on the GUI thread while the worker waits for them.
  void PlayWorkerEnded(tk::Thread* worker);
  void RecordWorkerEnded(tk::Thread* worker);
  // Waits for a worker that this engine still holds and destroys it.
  void FinishWorker(TWavThread* worker);
  bool Awaited(const tk::Thread* worker) const;

  plat::WAVEHDR InputHeader_{};
  std::atomic<TWavThread*> RecordThread_{nullptr};
  std::int32_t OutputBufferSize_ = 0;
  std::int32_t InputBufferSize_ = 0;
  std::uint32_t RecordLimit_ = 0;
  std::unique_ptr<char[]> InputSpare_;
  std::int32_t InputSpareBytes_ = 0;
  std::atomic<TWavThread*> PlayThread_{nullptr};
  std::recursive_mutex OutputLock_;
  std::recursive_mutex InputLock_;
  plat::HWAVEIN InputHandle_ = nullptr;
  plat::HWAVEOUT OutputHandle_ = nullptr;
  std::atomic<bool> Playing_{false};
  std::atomic<bool> Recording_{false};
  plat::WAVEFORMATEX OutputFormat_{};
  plat::WAVEFORMATEX InputFormat_{};
  std::uint32_t BytesRecorded_ = 0;
  std::array<plat::WAVEHDR, 2> OutputHeaders_{};
  std::array<std::unique_ptr<char[]>, 2> OutputBuffers_;
  std::unique_ptr<char[]> InputBuffer_;
  // Workers the GUI thread is waiting for right now (StopPlay, synchronous Play): those it
  // destroys itself; every other worker destroys itself.
  std::vector<const tk::Thread*> awaited_;
};
