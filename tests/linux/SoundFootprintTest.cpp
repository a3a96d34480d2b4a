// What a resident program keeps of sound and speech on linux: ALSA is loaded only while a wave
// device is open, the speech engine and the resampler only while a voice exists, and the engine
// never brings PulseAudio's client (which could not be unloaded again). No display needed.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/speech.h"
#include "platform/wave.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

bool Loaded(const char* soname) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_NOLOAD);
  if (library) dlclose(library);
  return library != nullptr;
}

class SoundFootprint : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tavelin-footprint-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "null.conf") << "pcm.!default { type null }\n";
    setenv("ALSA_CONFIG_PATH", (folder_ / "null.conf").c_str(), 1);
    CoInitialize(nullptr);
    // The backend prepares the engine (and what its playback needs) at start; the first voice
    // takes it over, and the last one lets all of it go.
    SpeechRef<ISpeechVoice> voice;
    ASSERT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpeechVoice, voice.Out()), S_OK);
  }
  void TearDown() override {
    CoUninitialize();
    unsetenv("ALSA_CONFIG_PATH");
    fs::remove_all(folder_);
  }

  fs::path folder_;
};

TEST_F(SoundFootprint, AlsaIsLoadedOnlyWhileADeviceIsOpen) {
  ASSERT_FALSE(Loaded("libasound.so.2")) << "the program links ALSA";
  const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  HWAVEOUT first = nullptr, second = nullptr;
  ASSERT_EQ(waveOutOpen(&first, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutOpen(&second, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_TRUE(Loaded("libasound.so.2"));
  EXPECT_EQ(waveOutClose(first), MMSYSERR_NOERROR);
  EXPECT_TRUE(Loaded("libasound.so.2")) << "unloaded under a device still open";
  EXPECT_EQ(waveOutClose(second), MMSYSERR_NOERROR);
  EXPECT_FALSE(Loaded("libasound.so.2"));

  // Loaded again for the next device, with its configuration read afresh.
  EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  EXPECT_FALSE(Loaded("libasound.so.2"));
}

TEST_F(SoundFootprint, SpeakingLeavesNothingLoadedOnceTheVoicesAreGone) {
  SpeechRef<ISpeechVoice> voice;
  SpeechRef<ISpeechMemoryStream> stream;
  ASSERT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpeechVoice, voice.Out()), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_SpMemoryStream, nullptr, CLSCTX_INPROC_SERVER, IID_ISpeechMemoryStream,
                             stream.Out()),
            S_OK);
  voice->SetAudioOutputStream(stream.get());
  voice->Speak(u"User resolution applied.\r\n", 0);
  voice->WaitUntilDone(-1);
  stream->Seek(0, 0);
  std::vector<BYTE> bytes;
  EXPECT_GT(stream->Read(bytes, 1 << 20), 0) << "nothing was rendered";
  EXPECT_TRUE(Loaded("libespeak-ng.so.1"));
  EXPECT_FALSE(Loaded("libpulse.so.0")) << "the engine brought PulseAudio's client along";

  voice.Reset();
  EXPECT_FALSE(Loaded("libespeak-ng.so.1"));
  EXPECT_FALSE(Loaded("libsoxr.so.0"));
  EXPECT_FALSE(Loaded("libgomp.so.1"));
}

}  // namespace
