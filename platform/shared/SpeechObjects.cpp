#include "platform/shared/SpeechObjects.h"

#include <algorithm>
#include <cstring>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/Utf16Text.h"

namespace plat {
namespace shared {
namespace {

class WaveFormatObject final : public Counted<ISpeechWaveFormatEx> {
 public:
  explicit WaveFormatObject(const PcmFormat& f) : f_(f) {}
  void SetFormatTag(short v) override { f_.formatTag = v; }
  void SetChannels(short v) override { f_.channels = v; }
  void SetSamplesPerSec(LONG v) override { f_.samplesPerSec = v; }
  void SetBitsPerSample(short v) override { f_.bitsPerSample = v; }
  void SetBlockAlign(short v) override { f_.blockAlign = v; }
  void SetAvgBytesPerSec(LONG v) override { f_.avgBytesPerSec = v; }
  short Channels() override { return f_.channels; }
  short BitsPerSample() override { return f_.bitsPerSample; }
  short BlockAlign() override { return f_.blockAlign; }
  LONG SamplesPerSec() override { return f_.samplesPerSec; }
  const PcmFormat& Fields() const { return f_; }

 private:
  PcmFormat f_;
};

class AudioFormatObject final : public Counted<ISpeechAudioFormat> {
 public:
  explicit AudioFormatObject(MemoryStream* stream) : stream_(stream) { stream->AddRef(); }
  SpeechRef<ISpeechWaveFormatEx> GetWaveFormatEx() override {
    return SpeechRef<ISpeechWaveFormatEx>(new WaveFormatObject(stream_->CurrentFormat()));
  }
  void SetWaveFormatEx(ISpeechWaveFormatEx* format) override {
    auto* ours = dynamic_cast<WaveFormatObject*>(format);
    if (!ours) OleCheck(E_INVALIDARG);
    const PcmFormat& f = ours->Fields();
    // What the converter can produce: PCM, one or two channels, 8 or 16 bits.
    const bool usable = f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
                        (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= 1000 &&
                        f.samplesPerSec <= 192000 && f.blockAlign == f.channels * (f.bitsPerSample / 8) &&
                        f.avgBytesPerSec == f.blockAlign * f.samplesPerSec;
    if (!usable) OleCheck(SPERR_UNSUPPORTED_FORMAT);
    stream_->SetCurrentFormat(f);
  }

 private:
  SpeechRef<MemoryStream> stream_;
};

std::atomic<int> liveStreams{0};

}  // namespace

MemoryStream::MemoryStream() { ++liveStreams; }
MemoryStream::~MemoryStream() { --liveStreams; }
int LiveMemoryStreams() { return liveStreams.load(); }

SpeechRef<ISpeechAudioFormat> MemoryStream::Format() {
  return SpeechRef<ISpeechAudioFormat>(new AudioFormatObject(this));
}

LONG MemoryStream::Read(std::vector<BYTE>& buffer, LONG count) {
  std::lock_guard g(lock_);
  if (count < 0) OleCheck(E_INVALIDARG);
  const std::size_t available = position_ < data_.size() ? data_.size() - position_ : 0;
  const std::size_t n = std::min<std::size_t>(available, static_cast<std::size_t>(count));
  buffer.assign(data_.begin() + position_, data_.begin() + position_ + n);
  position_ += n;
  return static_cast<LONG>(n);
}

std::int64_t MemoryStream::Seek(std::int64_t position, int origin) {
  std::lock_guard g(lock_);
  std::int64_t base = 0;
  if (origin == 1)
    base = static_cast<std::int64_t>(position_);
  else if (origin == 2)
    base = static_cast<std::int64_t>(data_.size());
  else if (origin != 0)
    OleCheck(E_INVALIDARG);
  const std::int64_t target = base + position;
  if (target < 0) OleCheck(E_INVALIDARG);
  position_ = static_cast<std::size_t>(target);
  return target;
}

PcmFormat MemoryStream::CurrentFormat() {
  std::lock_guard g(lock_);
  return format_;
}

void MemoryStream::SetCurrentFormat(const PcmFormat& format) {
  std::lock_guard g(lock_);
  format_ = format;
}

void MemoryStream::Write(const std::vector<BYTE>& bytes) {
  std::lock_guard g(lock_);
  if (data_.size() < position_ + bytes.size()) data_.resize(position_ + bytes.size());
  std::copy(bytes.begin(), bytes.end(), data_.begin() + position_);
  position_ += bytes.size();
}

void RenderingVoice::SetAudioOutputStream(ISpeechBaseStream* stream) {
  auto* ours = dynamic_cast<MemoryStream*>(stream);
  if (stream && !ours) OleCheck(E_INVALIDARG);
  if (ours) ours->AddRef();
  output_ = SpeechRef<MemoryStream>(ours);
}

LONG RenderingVoice::Speak(const std::u16string& text, LONG flags) {
  if (!output_) OleCheck(E_POINTER);
  output_->Write(Render(text, output_->CurrentFormat()));
  return ++streamNumber_;
}

std::string SystemErrorTextOf(HRESULT code) {
  switch (static_cast<std::uint32_t>(code)) {
    case 0x80004001: return "Not implemented";
    case 0x80004002: return "No such interface supported";
    case 0x80004003: return "Invalid pointer";
    case 0x80004005: return "Unspecified error";
    case 0x800401F0: return "CoInitialize has not been called.";
    case 0x80040154: return "Class not registered";
    case 0x8007000E: return "Not enough memory resources are available to complete this operation.";
    case 0x80070057: return "The parameter is incorrect.";
    default: return "";
  }
}

}  // namespace shared

std::string SystemErrorText(HRESULT code) { return shared::SystemErrorTextOf(code); }

void OleCheck(HRESULT code, const std::string& description) {
  if (!FAILED(code)) return;
  throw EOleException(code, description.empty() ? SystemErrorText(code) : description);
}

namespace {
thread_local int objectModelUsers = 0;
}  // namespace

HRESULT CoInitialize(void*) { return objectModelUsers++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (objectModelUsers > 0) --objectModelUsers;
}

HRESULT CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (objectModelUsers == 0) return CO_E_NOTINITIALIZED;
  if (outer || !(context & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER))) return REGDB_E_CLASSNOTREG;
  if (clsid == CLSID_SpVoice) {
    if (!(iid == IID_ISpeechVoice)) return E_NOINTERFACE;
    ISpeechVoice* voice = nullptr;
    const HRESULT hr = shared::CreateVoice(&voice);
    if (FAILED(hr)) return hr;
    *object = voice;
    return S_OK;
  }
  if (clsid == CLSID_SpMemoryStream) {
    if (!(iid == IID_ISpeechMemoryStream)) return E_NOINTERFACE;
    const HRESULT hr = shared::CanCreateStream();
    if (FAILED(hr)) return hr;
    *object = static_cast<ISpeechMemoryStream*>(new shared::MemoryStream);
    return S_OK;
  }
  return REGDB_E_CLASSNOTREG;
}

std::u16string AnsiToWide(const std::string& text) { return shared::Utf8ToUtf16(text); }

}  // namespace plat
