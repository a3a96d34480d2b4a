#include "speech/vuspeech.h"

#include <algorithm>
#include <cstring>

using namespace plat;

namespace {
constexpr DWORD kServerContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
}  // namespace

TvuSpeech::TvuSpeech(tk::Component* owner) : TvuCustomWave(owner) {}

TvuSpeech::~TvuSpeech() {
  Text_.clear();
  // The worker reads Stream: it stops here, while Stream still exists, and raises nothing.
  AfterPlay = nullptr;
  AfterRecord = nullptr;
  StopPlay();
  StopRecord();
}

void TvuSpeech::SetText(const std::vector<std::string>* lines) {
  if (lines)
    Text_ = *lines;
  else
    Text_.clear();
}

bool TvuSpeech::InitSpeechAPI() {
  if (!Voice) {
    SpeechRef<ISpeechVoice> voice;
    if (!FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, kServerContext, IID_ISpeechVoice, voice.Out())) && voice)
      Voice = voice;
  }
  if (!Stream) {
    SpeechRef<ISpeechMemoryStream> stream;
    if (!FAILED(CoCreateInstance(CLSID_SpMemoryStream, nullptr, kServerContext, IID_ISpeechMemoryStream,
                                 stream.Out())) &&
        stream) {
      Stream = stream;
    } else {
      Voice.Reset();
      Stream.Reset();
    }
  }
  if (Voice && Stream) return true;
  FatalError(8, 1, "vuSpeech Error: Microsoft Speech API 5.1 initialization is failed.");
  return false;
}

bool TvuSpeech::OpenSource() {
  SpokenText.clear();
  for (const auto& line : Text_) SpokenText += line + "\r\n";
  if (SpokenText.empty()) return false;
  if (!InitSpeechAPI()) return false;

  SpeechRef<ISpeechWaveFormatEx> format = Stream->Format()->GetWaveFormatEx();
  format->SetFormatTag(WAVE_FORMAT_PCM);
  format->SetChannels(static_cast<short>(Channels_));
  format->SetSamplesPerSec(Hz_);
  format->SetBitsPerSample(static_cast<short>(Bits_));
  format->SetBlockAlign(static_cast<short>(format->Channels() * (format->BitsPerSample() / 8)));
  format->SetAvgBytesPerSec(format->BlockAlign() * format->SamplesPerSec());

  const WORD blockAlign = static_cast<WORD>((Bits_ / 8) * Channels_);
  SetOutputFormat(WAVEFORMATEX{WAVE_FORMAT_PCM, static_cast<WORD>(Channels_), static_cast<DWORD>(Hz_),
                               static_cast<DWORD>(blockAlign) * static_cast<DWORD>(Hz_), blockAlign,
                               static_cast<WORD>(Bits_), 0});

  Stream->Format()->SetWaveFormatEx(format.get());
  Stream->Seek(0, 0);
  Voice->SetAudioOutputStream(Stream.get());
  Voice->Speak(AnsiToWide(SpokenText), 0);
  Voice->WaitUntilDone(-1);
  // Where the rendering ends: reading stops there, whatever an earlier speak left beyond it.
  Unread_ = Stream->Seek(0, 1);
  Stream->Seek(0, 0);
  return true;
}

void TvuSpeech::CloseSource() { TvuCustomWave::CloseSource(); }

std::int32_t TvuSpeech::ReadSource(char* Buffer, std::int32_t Size) {
  ReadBuffer.clear();
  const auto wanted = static_cast<LONG>(std::min<std::int64_t>(std::max(Size, 0), Unread_));
  if (wanted <= 0 || !Stream) return 0;
  LONG got = Stream->Read(ReadBuffer, wanted);
  got = std::clamp<LONG>(got, 0, std::min<LONG>(wanted, static_cast<LONG>(ReadBuffer.size())));
  if (got > 0) std::memcpy(Buffer, ReadBuffer.data(), static_cast<std::size_t>(got));
  Unread_ -= got;
  return got;
}
