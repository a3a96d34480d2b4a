// Sound and speech on the real backend: the engine's buffers reach the sound device, speech is
// rendered and played whole, and a missing device or speech engine is reported as the program
// reports it. Run through with-alsa-file.sh ($TAVELIN_AUDIO_MODE "file": $TAVELIN_AUDIO_CAPTURE
// names the WAV file that ALSA's "default" device writes; "none": there is no device) or
// with-pulse-null.sh ("paced": a sound server plays in real time).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "speech/vuspeech.h"
#include "tests/support/ToneWave.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

std::string CapturePath() {
  const char* path = std::getenv("TAVELIN_AUDIO_CAPTURE");
  return path ? path : "";
}

std::string Mode() {
  const char* mode = std::getenv("TAVELIN_AUDIO_MODE");
  return mode ? mode : "";
}

bool UnderWine() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

struct Wav {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<std::uint8_t> data;
};

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
  return v;
}

// The format and the samples of a RIFF WAV file (the data chunk runs to the end when ALSA left
// its size open).
Wav ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav wav;
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) return wav;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + at, b.begin() + at + 4);
    const std::uint32_t size = Le(b, at + 4, 4);
    if (id == "fmt ") {
      wav.channels = static_cast<int>(Le(b, at + 10, 2));
      wav.rate = static_cast<int>(Le(b, at + 12, 4));
      wav.bits = static_cast<int>(Le(b, at + 22, 2));
    } else if (id == "data") {
      const std::size_t end = std::min<std::size_t>(b.size(), at + 8 + static_cast<std::size_t>(size));
      wav.data.assign(b.begin() + at + 8, b.begin() + end);
      break;
    }
    at += 8 + size + (size & 1);
  }
  return wav;
}

// A speech component that keeps a copy of every byte its stream gave the engine.
class TappedSpeech : public TvuSpeech {
 public:
  using TvuSpeech::TvuSpeech;
  std::vector<std::uint8_t> Produced() {
    std::lock_guard g(lock_);
    return produced_;
  }

 protected:
  std::int32_t ReadSource(char* buffer, std::int32_t size) override {
    const std::int32_t n = TvuSpeech::ReadSource(buffer, size);
    std::lock_guard g(lock_);
    produced_.insert(produced_.end(), buffer, buffer + std::max(n, 0));
    return n;
  }

 private:
  std::mutex lock_;
  std::vector<std::uint8_t> produced_;
};

class AudioOutput : public testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<tk::Application>();
    app->Initialize();
  }
  void TearDown() override { app.reset(); }

  // Runs the loop until `*afterPlays` reaches `count` or `limitMs` passed.
  void RunUntil(const int* afterPlays, int count, unsigned limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    tk::Timer tick(app.get());  // so that the wait below ends in time
    tick.SetInterval(10);
    tick.SetOnTimer([](tk::Component*) {});
    while (*afterPlays < count && std::chrono::steady_clock::now() < deadline) {
      app->ProcessMessages();
      if (*afterPlays >= count) break;
      plat::WaitMessage();
    }
  }

  std::unique_ptr<tk::Application> app;
};

TEST_F(AudioOutput, ATonePlaysThroughTheDeviceWithOneAfterPlay) {
  if (Mode() != "file") GTEST_SKIP() << "no captured sound device in this run";
  ToneWave tone(nullptr);
  // Two and a half seconds of a 500 Hz square wave at 8000 Hz, 16 bits.
  tone.data.resize(40000);
  for (std::size_t i = 0; i < tone.data.size() / 2; ++i) {
    const std::int16_t s = (i / 8) % 2 ? 8000 : -8000;
    tone.data[2 * i] = static_cast<std::uint8_t>(s & 0xFF);
    tone.data[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xFF);
  }
  int afterPlays = 0;
  tone.AfterPlay = [&](tk::Component*) { ++afterPlays; };
  tone.Play();
  RunUntil(&afterPlays, 1, 20000);
  ASSERT_EQ(afterPlays, 1);
  EXPECT_FALSE(tone.Playing());
  RunUntil(&afterPlays, 2, 300);
  EXPECT_EQ(afterPlays, 1);
  if (UnderWine()) return;  // Wine's mixer converts what it plays: the bytes are not ours there
  const Wav wav = ReadWav(CapturePath());
  EXPECT_EQ(wav.rate, 8000);
  EXPECT_EQ(wav.data, tone.data);
}

TEST_F(AudioOutput, SpokenTextReachesTheDeviceWholeInTheRequestedFormat) {
  if (Mode() != "file") GTEST_SKIP() << "no captured sound device in this run";
  TappedSpeech speech(nullptr);
  int afterPlays = 0;
  std::string error;
  speech.AfterPlay = [&](tk::Component*) { ++afterPlays; };
  speech.Text() = {"User resolution applied."};
  try {
    speech.Speak();
  } catch (const std::exception& e) {
    error = e.what();
  }
  if (UnderWine()) {
    // Wine has no memory stream for its voice (and its Speak is a stub): the engine counts as
    // missing, nothing is opened, and the next Speak tries again.
    EXPECT_EQ(error, "vuSpeech Error: Microsoft Speech API 5.1 initialization is failed.");
    RunUntil(&afterPlays, 1, 300);
    EXPECT_EQ(afterPlays, 0);
    EXPECT_THROW(speech.Speak(), std::runtime_error);
    return;
  }
  ASSERT_EQ(error, "");
  RunUntil(&afterPlays, 1, 20000);
  ASSERT_EQ(afterPlays, 1);

  const Wav wav = ReadWav(CapturePath());
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.rate, 8000);
  EXPECT_EQ(wav.bits, 16);
  // Roughly one to three seconds of speech, and not silence.
  EXPECT_GT(wav.data.size(), 16000u);
  EXPECT_LT(wav.data.size(), 48000u);
  int peak = 0;
  for (std::size_t i = 0; i + 1 < wav.data.size(); i += 2)
    peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(wav.data[i] | (wav.data[i + 1] << 8)))));
  EXPECT_GT(peak, 2000);
  // The device got exactly what the stream produced, in order.
  EXPECT_EQ(wav.data, speech.Produced());
}

TEST_F(AudioOutput, WithoutADeviceTheOpenFailsAsOnWindowsAndAfterPlayStillComes) {
  if (Mode() != "none") GTEST_SKIP() << "this run has a sound device";
  ToneWave tone(nullptr);
  tone.data.assign(16000, 0);
  int afterPlays = 0;
  tone.AfterPlay = [&](tk::Component*) { ++afterPlays; };
  std::string error;
  try {
    tone.Play();
  } catch (const std::exception& e) {
    error = e.what();
  }
  EXPECT_EQ(error,
            "vuWave Error: Wav output device not opened\r2\r"
            "A device ID has been used that is out of range for your system.");
  RunUntil(&afterPlays, 1, 5000);
  EXPECT_EQ(afterPlays, 1);
}

TEST_F(AudioOutput, ADeviceThatPlaysInRealTimeTakesAsLongAsTheSound) {
  if (Mode() != "paced") GTEST_SKIP() << "no real-time sound device in this run";
  // The sound server adds a fixed delay of its own (about as much as it keeps buffered), so two
  // lengths are compared: 3 seconds more sound must take about 3 seconds longer.
  double took[2] = {0, 0};
  const std::size_t bytes[2] = {16000, 64000};
  for (int i = 0; i < 2; ++i) {
    ToneWave tone(nullptr);
    tone.data.assign(bytes[i], 0);
    int afterPlays = 0;
    tone.AfterPlay = [&](tk::Component*) { ++afterPlays; };
    const auto start = std::chrono::steady_clock::now();
    tone.Play();
    RunUntil(&afterPlays, 1, 20000);
    took[i] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(afterPlays, 1);
  }
  std::printf("1 s of sound played in %.2f s, 4 s in %.2f s\n", took[0], took[1]);
  EXPECT_GT(took[0], 1.0);
  EXPECT_NEAR(took[1] - took[0], 3.0, 0.5);
}

}  // namespace
