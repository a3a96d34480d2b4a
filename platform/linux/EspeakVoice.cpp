// The voice on Linux: espeak-ng renders in memory at its own rate (it needs no sound card), and
// the result is converted to the stream's format.
#include <espeak-ng/speak_lib.h>

#include <mutex>
#include <string>

#include "platform/linux/PcmConverter.h"
#include "platform/shared/SpeechObjects.h"
#include "platform/shared/Utf16Text.h"

namespace plat {
namespace {

// espeak-ng keeps one global state: every use goes through this lock.
std::mutex& EngineLock() {
  static std::mutex lock;
  return lock;
}

int engineRate = 0;  // 0 until initialised; under EngineLock

int Collect(short* samples, int count, espeak_EVENT* events) {
  auto* sink = static_cast<std::vector<std::int16_t>*>(events ? events->user_data : nullptr);
  if (sink && samples && count > 0) sink->insert(sink->end(), samples, samples + count);
  return 0;
}

// Starts the engine once; its sample rate, or 0 when espeak-ng or its data are missing.
int EngineRate() {
  if (engineRate == 0) {
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return 0;
    espeak_SetSynthCallback(Collect);
    engineRate = rate;
  }
  return engineRate;
}

class EspeakVoice final : public shared::RenderingVoice {
 protected:
  std::vector<BYTE> Render(const std::u16string& text, const shared::PcmFormat& f) override {
    std::string utf16(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      utf16[2 * i] = static_cast<char>(text[i] & 0xFF);
      utf16[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    const std::string utf8 = shared::Utf16LeToUtf8(utf16).value_or(std::string());
    std::vector<std::int16_t> samples;
    int rate;
    {
      std::lock_guard g(EngineLock());
      rate = EngineRate();
      if (rate == 0) OleCheck(E_FAIL, "espeak-ng is not available.");
      const espeak_ERROR result = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                               espeakCHARS_UTF8, nullptr, &samples);
      if (result != EE_OK) OleCheck(E_FAIL, "espeak-ng could not render the text.");
      espeak_Synchronize();
    }
    try {
      return audio::ConvertPcm(samples, rate, f.samplesPerSec, f.channels, f.bitsPerSample);
    } catch (const std::exception& e) {
      OleCheck(E_FAIL, std::string("The audio could not be converted: ") + e.what());
      return {};
    }
  }
};

}  // namespace

namespace shared {

HRESULT CreateVoice(ISpeechVoice** voice) {
  {
    std::lock_guard g(EngineLock());
    if (EngineRate() == 0) return REGDB_E_CLASSNOTREG;
  }
  *voice = new EspeakVoice;
  return S_OK;
}

HRESULT CanCreateStream() { return S_OK; }

}  // namespace shared
}  // namespace plat
