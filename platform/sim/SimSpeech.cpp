// The simulated speech engine: a recognisable rendering of fixed length per character, and
// scripted failures.
#include <atomic>
#include <mutex>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/SpeechObjects.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim_speech.h"

namespace sim::detail {
namespace {

struct SpeechState {
  std::mutex lock;
  bool failVoice = false;
  bool failStream = false;
  plat::HRESULT speakFailure = plat::S_OK;
  std::string speakDescription;
  std::vector<std::u16string> spoken;
  std::vector<sim::RenderedFormat> formats;
  std::atomic<int> live{0};
};

SpeechState& S() {
  static SpeechState* state = new SpeechState;
  return *state;
}

class SimVoice final : public plat::shared::RenderingVoice {
 public:
  SimVoice() { ++S().live; }
  ~SimVoice() override { --S().live; }

 protected:
  std::vector<plat::BYTE> Render(const std::u16string& text, const plat::shared::PcmFormat& f) override {
    {
      std::lock_guard g(S().lock);
      if (plat::FAILED(S().speakFailure)) plat::OleCheck(S().speakFailure, S().speakDescription);
      S().spoken.push_back(text);
      S().formats.push_back({static_cast<int>(f.samplesPerSec), f.channels, f.bitsPerSample});
    }
    return SimRendering(text, f.channels, f.bitsPerSample);
  }
};

}  // namespace

void ResetSpeech() {
  std::lock_guard g(S().lock);
  S().failVoice = S().failStream = false;
  S().speakFailure = plat::S_OK;
  S().speakDescription.clear();
  S().spoken.clear();
  S().formats.clear();
}

}  // namespace sim::detail

namespace plat::shared {

HRESULT CreateVoice(ISpeechVoice** voice) {
  {
    std::lock_guard g(sim::detail::S().lock);
    if (sim::detail::S().failVoice) return REGDB_E_CLASSNOTREG;
  }
  *voice = new sim::detail::SimVoice;
  return S_OK;
}

HRESULT CanCreateStream() {
  std::lock_guard g(sim::detail::S().lock);
  return sim::detail::S().failStream ? REGDB_E_CLASSNOTREG : S_OK;
}

}  // namespace plat::shared

namespace sim {

using detail::S;

void FailSpeechObjects(bool voice, bool stream) {
  std::lock_guard g(S().lock);
  S().failVoice = voice;
  S().failStream = stream;
}

void FailSpeak(plat::HRESULT code, const std::string& description) {
  std::lock_guard g(S().lock);
  S().speakFailure = code;
  S().speakDescription = description;
}

std::vector<std::u16string> SpokenTexts() {
  std::lock_guard g(S().lock);
  return S().spoken;
}

std::vector<RenderedFormat> RenderedFormats() {
  std::lock_guard g(S().lock);
  return S().formats;
}

int LiveSpeechObjects() { return S().live.load() + plat::shared::LiveMemoryStreams(); }

std::vector<plat::BYTE> SimRendering(const std::u16string& text, int channels, int bitsPerSample) {
  std::vector<plat::BYTE> out;
  const int bytesPerSample = bitsPerSample / 8;
  out.reserve(text.size() * kSamplesPerUnit * channels * bytesPerSample);
  for (char16_t unit : text)
    for (int i = 0; i < kSamplesPerUnit * channels; ++i) {
      out.push_back(static_cast<plat::BYTE>(unit & 0xFF));
      if (bytesPerSample == 2) out.push_back(static_cast<plat::BYTE>(unit >> 8));
    }
  return out;
}

}  // namespace sim
