// The voice on Linux: espeak-ng renders in memory at its own rate (it needs no sound card), and
// the result is converted to the stream's format. The engine, with the sound and codec libraries
// it pulls in, and its voice data are loaded when a voice is created and let go with the last
// voice: a program that speaks once does not carry them for the rest of its life.
#include <dlfcn.h>
#include <unistd.h>
#include <espeak-ng/speak_lib.h>

#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/PcmConverter.h"
#include "platform/linux/SoundLibraries.h"
#include "platform/linux/SpeechEngine.h"
#include "platform/shared/BackendHooks.h"
#include "platform/shared/SpeechObjects.h"
#include "platform/shared/Utf16Text.h"

namespace plat {
namespace {

// espeak-ng keeps one global state: every use goes through this lock.
std::mutex& EngineLock() {
  static std::mutex lock;
  return lock;
}

// The engine's entry points, while it is loaded; all under EngineLock.
struct Engine {
  void* silentOutput = nullptr;  // libpcaudio.so.0 that plays nothing, loaded first
  void* library = nullptr;
  decltype(&espeak_Initialize) Initialize = nullptr;
  decltype(&espeak_SetSynthCallback) SetSynthCallback = nullptr;
  decltype(&espeak_Synth) Synth = nullptr;
  decltype(&espeak_Synchronize) Synchronize = nullptr;
  decltype(&espeak_Terminate) Terminate = nullptr;
  int rate = 0;    // 0 until initialised
  int voices = 0;  // voices alive
  bool resampler = false;  // the resampler held for the renderings while the engine runs
  bool sound = false;      // ALSA held for the voices' playback, when prepared ahead
};
Engine engine;
bool voiceMade = false;  // under EngineLock

// The libpcaudio.so.0 that plays nothing (SilentPcaudio.c): the engine takes it when it is
// already loaded, and never loads PulseAudio's client.
std::string SilentOutputPath() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  std::string path(self, static_cast<std::size_t>(n));
  path.erase(path.find_last_of('/') + 1);
  return path + "../lib/tavelin/libpcaudio.so.0";
}

template <typename F>
bool Resolve(F& entry, const char* name) {
  entry = reinterpret_cast<F>(dlsym(engine.library, name));
  return entry != nullptr;
}

void Unload() {
  if (engine.rate != 0) engine.Terminate();
  if (engine.resampler) sound::ReleaseSoxr();
  if (engine.sound) sound::ReleaseAlsa();
  if (engine.library) dlclose(engine.library);
  if (engine.silentOutput) dlclose(engine.silentOutput);
  const int voices = engine.voices;
  engine = Engine{};
  engine.voices = voices;
}

int Collect(short* samples, int count, espeak_EVENT* events) {
  auto* sink = static_cast<std::vector<std::int16_t>*>(events ? events->user_data : nullptr);
  if (sink && samples && count > 0) sink->insert(sink->end(), samples, samples + count);
  return 0;
}

// Loads and starts the engine unless it runs; its sample rate, or 0 when espeak-ng or its data
// are missing.
int EngineRate() {
  if (engine.rate != 0) return engine.rate;
  if (!engine.library) {
    // Without the silent output beside the program, the engine gets the system's own.
    engine.silentOutput = dlopen(SilentOutputPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    engine.library = dlopen("libespeak-ng.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!engine.library) return 0;
    if (!(Resolve(engine.Initialize, "espeak_Initialize") && Resolve(engine.SetSynthCallback, "espeak_SetSynthCallback") &&
          Resolve(engine.Synth, "espeak_Synth") && Resolve(engine.Synchronize, "espeak_Synchronize") &&
          Resolve(engine.Terminate, "espeak_Terminate"))) {
      Unload();
      return 0;
    }
  }
  const int rate = engine.Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) {
    Unload();
    return 0;
  }
  engine.SetSynthCallback(Collect);
  engine.rate = rate;
  // Loaded with the engine (on the preparing thread, when there is one); a rendering without it
  // still loads it for itself.
  engine.resampler = sound::AcquireSoxr() != nullptr;
  return rate;
}

class EspeakVoice final : public shared::RenderingVoice {
 public:
  // Created under EngineLock with the engine running.
  EspeakVoice() { ++engine.voices; }
  ~EspeakVoice() override {
    std::lock_guard g(EngineLock());
    if (--engine.voices == 0) Unload();
  }

 protected:
  std::vector<BYTE> Render(const std::u16string& text, const shared::PcmFormat& f) override {
    const std::string utf8 = shared::Utf16ToUtf8(text);
    std::vector<std::int16_t> samples;
    int rate;
    {
      std::lock_guard g(EngineLock());
      rate = EngineRate();
      if (rate == 0) OleCheck(E_FAIL, "espeak-ng is not available.");
      const espeak_ERROR result = engine.Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
                                               espeakCHARS_UTF8, nullptr, &samples);
      if (result != EE_OK) OleCheck(E_FAIL, "espeak-ng could not render the text.");
      engine.Synchronize();
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
  std::lock_guard g(EngineLock());
  voiceMade = true;
  if (EngineRate() == 0) return REGDB_E_CLASSNOTREG;
  *voice = new EspeakVoice;
  return S_OK;
}

HRESULT CanCreateStream() { return S_OK; }

}  // namespace shared

namespace speech {

void PrepareEngineInBackground() {
  // Detached: a program that ends at once must not wait for it; everything it touches lives
  // until the process ends.
  std::thread([] {
    std::lock_guard g(EngineLock());
    // A failure is not kept: the first voice tries again and reports it.
    if (voiceMade || EngineRate() == 0) return;
    // The first rendering loads the voice and its dictionary; nothing of this one is kept.
    engine.Synth("", 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    engine.Synchronize();
    // What the voices' first playback needs: ALSA with its configuration read.
    if (const sound::Alsa* alsa = sound::AcquireAlsa()) {
      engine.sound = true;
      alsa->config_update();
    }
  }).detach();
}

}  // namespace speech
}  // namespace plat
