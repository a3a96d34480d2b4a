// Speech on Windows: the Speech API 5.1 automation objects through COM. Each of our objects holds
// one interface of the real one; a failing call raises the automation error with the object's
// own description when it gives one.
#include "platform/speech.h"

#include <windows.h>
#include <ole2.h>
#include <sapi.h>

#include <atomic>
#include <cstring>
#include <string>

namespace plat {
namespace {

std::string Narrow(const wchar_t* text) {
  if (!text) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

// The description an automation object left for its last failure, if any.
std::string Description() {
  IErrorInfo* info = nullptr;
  std::string text;
  if (::GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr;
    if (SUCCEEDED(info->GetDescription(&description)) && description) {
      text = Narrow(description);
      SysFreeString(description);
    }
    info->Release();
  }
  return text;
}

void Check(::HRESULT hr) {
  if (FAILED(hr)) OleCheck(hr, Description());
}

// Holds one reference to a real interface.
template <typename Ours, typename Theirs>
class Wrapper : public Ours {
 public:
  explicit Wrapper(Theirs* real) : real_(real) {}
  plat::ULONG AddRef() override { return ++refs_; }
  plat::ULONG Release() override {
    const plat::ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  Theirs* Real() const { return real_; }

 protected:
  ~Wrapper() override { real_->Release(); }
  Theirs* real_;

 private:
  std::atomic<plat::ULONG> refs_{1};
};

class WaveFormat final : public Wrapper<plat::ISpeechWaveFormatEx, ::ISpeechWaveFormatEx> {
 public:
  using Wrapper::Wrapper;
  void SetFormatTag(short v) override { Check(real_->put_FormatTag(v)); }
  void SetChannels(short v) override { Check(real_->put_Channels(v)); }
  void SetSamplesPerSec(plat::LONG v) override { Check(real_->put_SamplesPerSec(v)); }
  void SetBitsPerSample(short v) override { Check(real_->put_BitsPerSample(v)); }
  void SetBlockAlign(short v) override { Check(real_->put_BlockAlign(v)); }
  void SetAvgBytesPerSec(plat::LONG v) override { Check(real_->put_AvgBytesPerSec(v)); }
  short Channels() override {
    short v = 0;
    Check(real_->get_Channels(&v));
    return v;
  }
  short BitsPerSample() override {
    short v = 0;
    Check(real_->get_BitsPerSample(&v));
    return v;
  }
  short BlockAlign() override {
    short v = 0;
    Check(real_->get_BlockAlign(&v));
    return v;
  }
  plat::LONG SamplesPerSec() override {
    ::LONG v = 0;
    Check(real_->get_SamplesPerSec(&v));
    return v;
  }
};

class AudioFormat final : public Wrapper<plat::ISpeechAudioFormat, ::ISpeechAudioFormat> {
 public:
  using Wrapper::Wrapper;
  SpeechRef<plat::ISpeechWaveFormatEx> GetWaveFormatEx() override {
    ::ISpeechWaveFormatEx* format = nullptr;
    Check(real_->GetWaveFormatEx(&format));
    return SpeechRef<plat::ISpeechWaveFormatEx>(new WaveFormat(format));
  }
  void SetWaveFormatEx(plat::ISpeechWaveFormatEx* format) override {
    auto* ours = dynamic_cast<WaveFormat*>(format);
    if (!ours) OleCheck(E_INVALIDARG);
    Check(real_->SetWaveFormatEx(ours->Real()));
  }
};

class MemoryStream final : public Wrapper<plat::ISpeechMemoryStream, ::ISpeechMemoryStream> {
 public:
  using Wrapper::Wrapper;
  SpeechRef<plat::ISpeechAudioFormat> Format() override {
    ::ISpeechAudioFormat* format = nullptr;
    Check(real_->get_Format(&format));
    return SpeechRef<plat::ISpeechAudioFormat>(new AudioFormat(format));
  }
  plat::LONG Read(std::vector<BYTE>& buffer, plat::LONG count) override {
    VARIANT data;
    VariantInit(&data);
    ::LONG read = 0;
    const ::HRESULT hr = real_->Read(&data, count, &read);
    if (SUCCEEDED(hr)) {
      buffer.clear();
      if ((data.vt & VT_ARRAY) && data.parray && read > 0) {
        void* bytes = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(data.parray, &bytes))) {
          buffer.assign(static_cast<BYTE*>(bytes), static_cast<BYTE*>(bytes) + read);
          SafeArrayUnaccessData(data.parray);
        }
      }
    }
    VariantClear(&data);
    Check(hr);
    return read;
  }
  std::int64_t Seek(std::int64_t position, int origin) override {
    VARIANT where;
    VariantInit(&where);
    where.vt = VT_I8;
    where.llVal = position;
    VARIANT now;
    VariantInit(&now);
    Check(real_->Seek(where, static_cast<SpeechStreamSeekPositionType>(origin), &now));
    VARIANT asNumber;
    VariantInit(&asNumber);
    std::int64_t result = 0;
    if (SUCCEEDED(VariantChangeType(&asNumber, &now, 0, VT_I8))) result = asNumber.llVal;
    VariantClear(&asNumber);
    VariantClear(&now);
    return result;
  }
};

class Voice final : public Wrapper<plat::ISpeechVoice, ::ISpeechVoice> {
 public:
  using Wrapper::Wrapper;
  void SetAudioOutputStream(plat::ISpeechBaseStream* stream) override {
    auto* ours = dynamic_cast<MemoryStream*>(stream);
    if (stream && !ours) OleCheck(E_INVALIDARG);
    Check(real_->putref_AudioOutputStream(ours ? reinterpret_cast<::ISpeechBaseStream*>(ours->Real()) : nullptr));
  }
  plat::LONG Speak(const std::u16string& text, plat::LONG flags) override {
    BSTR wide = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    ::LONG number = 0;
    const ::HRESULT hr = real_->Speak(wide, static_cast<SpeechVoiceSpeakFlags>(flags), &number);
    SysFreeString(wide);
    Check(hr);
    return number;
  }
  bool WaitUntilDone(plat::LONG msTimeout) override {
    VARIANT_BOOL done = VARIANT_FALSE;
    Check(real_->WaitUntilDone(msTimeout, &done));
    return done != VARIANT_FALSE;
  }
};

::GUID Native(const plat::GUID& g) {
  ::GUID n;
  static_assert(sizeof n == sizeof g);
  std::memcpy(&n, &g, sizeof n);
  return n;
}

}  // namespace

std::string SystemErrorText(HRESULT code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  return out;
}

void OleCheck(HRESULT code, const std::string& description) {
  if (!FAILED(code)) return;
  throw EOleException(code, description.empty() ? SystemErrorText(code) : description);
}

HRESULT CoInitialize(void* reserved) { return ::CoInitialize(reserved); }
void CoUninitialize() { ::CoUninitialize(); }

HRESULT CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const ::GUID nativeClass = Native(clsid);
  const ::GUID nativeInterface = Native(iid);
  void* real = nullptr;
  const ::HRESULT hr =
      ::CoCreateInstance(nativeClass, static_cast<IUnknown*>(outer), context, nativeInterface, &real);
  if (FAILED(hr)) return hr;
  if (iid == IID_ISpeechVoice) {
    *object = static_cast<plat::ISpeechVoice*>(new Voice(static_cast<::ISpeechVoice*>(real)));
  } else if (iid == IID_ISpeechMemoryStream) {
    *object = static_cast<plat::ISpeechMemoryStream*>(new MemoryStream(static_cast<::ISpeechMemoryStream*>(real)));
  } else {
    static_cast<IUnknown*>(real)->Release();
    return E_NOINTERFACE;
  }
  return S_OK;
}

std::u16string AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

}  // namespace plat
