#pragma once
// Speech synthesis in the shape of the Speech API 5.1 automation objects: a voice that speaks
// into an in-memory stream of PCM in a format set on the stream. Objects are created by class
// identifier and counted by reference; a failing call raises EOleException, as an automation
// call does. win32 forwards to SAPI through COM; linux renders with espeak-ng and converts the
// audio to the stream's format; sim synthesises a fixed pattern and can be told to fail.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

using HRESULT = LONG;
using ULONG = std::uint32_t;

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

constexpr GUID CLSID_SpVoice{0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr GUID IID_ISpeechVoice{0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr GUID CLSID_SpMemoryStream{0x5FB7EF7D, 0xDFF4, 0x468A, {0xB6, 0xB7, 0x2F, 0xCB, 0xD1, 0x88, 0xF9, 0x94}};
constexpr GUID IID_ISpeechMemoryStream{0xEEB14B68, 0x808B, 0x4ABE, {0xA5, 0xEA, 0xB5, 0x1D, 0xA7, 0x58, 0x80, 0x08}};

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT SPERR_UNSUPPORTED_FORMAT = static_cast<HRESULT>(0x80045003);

constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// The automation error of a failed call: its result code, with the description the object gave
// or, without one, the system's text for the code.
class EOleException : public std::runtime_error {
 public:
  EOleException(HRESULT code, const std::string& message) : std::runtime_error(message), code_(code) {}
  HRESULT ErrorCode() const { return code_; }

 private:
  HRESULT code_;
};

// The system's text for a result code ("" when it has none).
std::string SystemErrorText(HRESULT code);
// Raises EOleException for a failing code, with `description` or the system's text.
void OleCheck(HRESULT code, const std::string& description = {});

class ISpeechObject {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~ISpeechObject() = default;
};

// Holds one reference.
template <typename T>
class SpeechRef {
 public:
  SpeechRef() = default;
  // Takes over a reference the caller holds.
  explicit SpeechRef(T* owned) : p_(owned) {}
  SpeechRef(const SpeechRef& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  SpeechRef(SpeechRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  SpeechRef& operator=(SpeechRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~SpeechRef() { Reset(); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For creation calls that hand out a new reference.
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

class ISpeechWaveFormatEx : public ISpeechObject {
 public:
  virtual void SetFormatTag(short value) = 0;
  virtual void SetChannels(short value) = 0;
  virtual void SetSamplesPerSec(LONG value) = 0;
  virtual void SetBitsPerSample(short value) = 0;
  virtual void SetBlockAlign(short value) = 0;
  virtual void SetAvgBytesPerSec(LONG value) = 0;
  virtual short Channels() = 0;
  virtual short BitsPerSample() = 0;
  virtual short BlockAlign() = 0;
  virtual LONG SamplesPerSec() = 0;
};

class ISpeechAudioFormat : public ISpeechObject {
 public:
  virtual SpeechRef<ISpeechWaveFormatEx> GetWaveFormatEx() = 0;
  virtual void SetWaveFormatEx(ISpeechWaveFormatEx* format) = 0;
};

class ISpeechBaseStream : public ISpeechObject {
 public:
  virtual SpeechRef<ISpeechAudioFormat> Format() = 0;
  // Fills `buffer` with up to `count` bytes (a byte array of the bytes read); returns how many.
  virtual LONG Read(std::vector<BYTE>& buffer, LONG count) = 0;
  // origin 0: from the start, 1: from the current position, 2: from the end.
  virtual std::int64_t Seek(std::int64_t position, int origin) = 0;
};

class ISpeechMemoryStream : public ISpeechBaseStream {};

class ISpeechVoice : public ISpeechObject {
 public:
  virtual void SetAudioOutputStream(ISpeechBaseStream* stream) = 0;
  // Returns the stream number.
  virtual LONG Speak(const std::u16string& text, LONG flags) = 0;
  virtual bool WaitUntilDone(LONG msTimeout) = 0;
};

// The object model of the calling thread (single-threaded); undone by CoUninitialize.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
// `clsid` is CLSID_SpVoice or CLSID_SpMemoryStream, `iid` the matching interface; `*object`
// receives a new reference.
HRESULT CoCreateInstance(const GUID& clsid, void* outer, DWORD context, const GUID& iid, void** object);

// Text of the program (the ANSI code page; UTF-8 outside Windows) as UTF-16.
std::u16string AnsiToWide(const std::string& text);

}  // namespace plat
