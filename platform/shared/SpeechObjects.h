#pragma once
// The speech objects of linux and sim: an in-memory PCM stream with its format objects, and a
// voice that renders text into the stream's format through its backend's synthesiser.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/speech.h"

namespace plat::shared {

template <typename Interface>
class Counted : public Interface {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// What a format object holds: the fields of a WAVEFORMATEX.
struct PcmFormat {
  short formatTag = 1;
  short channels = 1;
  LONG samplesPerSec = 22050;
  short bitsPerSample = 16;
  short blockAlign = 2;
  LONG avgBytesPerSec = 44100;
};

class MemoryStream final : public Counted<ISpeechMemoryStream> {
 public:
  MemoryStream();
  ~MemoryStream() override;
  SpeechRef<ISpeechAudioFormat> Format() override;
  LONG Read(std::vector<BYTE>& buffer, LONG count) override;
  std::int64_t Seek(std::int64_t position, int origin) override;

  PcmFormat CurrentFormat();
  void SetCurrentFormat(const PcmFormat& format);
  // Writes at the current position, as a stream write does.
  void Write(const std::vector<BYTE>& bytes);

 private:
  std::mutex lock_;
  std::vector<BYTE> data_;
  std::size_t position_ = 0;
  PcmFormat format_;
};

// A voice whose backend turns text into PCM of a given format.
class RenderingVoice : public Counted<ISpeechVoice> {
 public:
  void SetAudioOutputStream(ISpeechBaseStream* stream) override;
  LONG Speak(const std::u16string& text, LONG flags) override;
  bool WaitUntilDone(LONG msTimeout) override { return true; }  // Speak renders before it returns

 protected:
  // The rendering of `text` in `format` (channels, rate and bits as the format says).
  virtual std::vector<BYTE> Render(const std::u16string& text, const PcmFormat& format) = 0;

 private:
  SpeechRef<MemoryStream> output_;
  LONG streamNumber_ = 0;
};

// Memory streams that exist now (for the sim's accounting).
int LiveMemoryStreams();

}  // namespace plat::shared
