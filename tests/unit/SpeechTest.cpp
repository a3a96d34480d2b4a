// The speech component on the simulated speech engine and sound device: what is spoken, what the
// device plays, and how a missing or failing engine is reported.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim_speech.h"
#include "platform/sim_wave.h"
#include "speech/vuspeech.h"
#include "tests/unit/SimApp.h"

namespace {

const std::string kInitFailed = "vuSpeech Error: Microsoft Speech API 5.1 initialization is failed.";

class Speech : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    speech = std::make_unique<TvuSpeech>(nullptr);
    speech->AfterPlay = [this](tk::Component* sender) {
      EXPECT_EQ(sender, speech.get());
      afterPlayAt.push_back(sim::Now());
    };
  }
  void TearDown() override {
    speech.reset();
    EXPECT_EQ(sim::LiveSpeechObjects(), 0);  // the voice and the stream go with the component
    SimAppTest::TearDown();
  }

  bool PumpUntil(const std::function<bool()>& done, std::uint64_t limitMs = 60000) {
    const std::uint64_t deadline = sim::Now() + limitMs;
    sim::At(limitMs + 1, [] {});
    for (;;) {
      app->ProcessMessages();
      if (done()) return true;
      if (sim::Now() > deadline) return false;
      plat::WaitMessage();
    }
  }
  bool PumpUntilAfterPlay(std::size_t count = 1) {
    return PumpUntil([&] { return afterPlayAt.size() >= count; });
  }

  std::unique_ptr<TvuSpeech> speech;
  std::vector<std::uint64_t> afterPlayAt;
};

TEST_F(Speech, TheLinesAreSpokenAsOneTextAndItsRenderingReachesTheDeviceWhole) {
  EXPECT_EQ(speech->Channels(), 1);
  EXPECT_EQ(speech->Hz(), 8000);
  EXPECT_EQ(speech->Bits(), 16);
  speech->Text() = {"User resolution", "applied."};
  speech->Speak();
  const std::u16string spoken = u"User resolution\r\napplied.\r\n";
  EXPECT_EQ(sim::SpokenTexts(), std::vector<std::u16string>{spoken});
  // The engine renders in the component's format, the one the device then plays.
  EXPECT_EQ(sim::RenderedFormats(), (std::vector<sim::RenderedFormat>{{8000, 1, 16}}));

  // 1 channel, 8000 Hz, 16 bits: block align 2, 16000 bytes a second, buffers of 16000 bytes.
  ASSERT_EQ(sim::WaveOpens().size(), 1u);
  const auto format = sim::WaveOpens()[0].format;
  EXPECT_EQ(format.wFormatTag, 1);
  EXPECT_EQ(format.nChannels, 1);
  EXPECT_EQ(format.nSamplesPerSec, 8000u);
  EXPECT_EQ(format.nBlockAlign, 2);
  EXPECT_EQ(format.nAvgBytesPerSec, 16000u);
  EXPECT_EQ(format.wBitsPerSample, 16);
  EXPECT_EQ(speech->OutputBufferSize(), 16000);

  ASSERT_TRUE(PumpUntilAfterPlay());
  const auto expected = sim::SimRendering(spoken, 1, 16);
  EXPECT_EQ(sim::WaveBytesPlayed(), expected);
  // 27 units of 0.1 s each.
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{2700}));
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
}

TEST_F(Speech, OtherFormatsAreRenderedAndPlayedAsAsked) {
  speech->SetChannels(2);
  speech->SetHz(11025);
  speech->SetBits(8);
  speech->Text() = {"Hi"};
  speech->Speak();
  const auto format = sim::WaveOpens().at(0).format;
  EXPECT_EQ(format.nBlockAlign, 2);
  EXPECT_EQ(format.nAvgBytesPerSec, 22050u);
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(sim::WaveBytesPlayed(), sim::SimRendering(u"Hi\r\n", 2, 8));
}

TEST_F(Speech, AnEmptyTextDoesNothingAndALineWithNothingOnItIsStillSpoken) {
  speech->Speak();
  EXPECT_EQ(sim::LiveSpeechObjects(), 0);
  EXPECT_TRUE(sim::WaveOpens().empty());
  PumpUntil([] { return false; }, 2000);
  EXPECT_TRUE(afterPlayAt.empty());

  speech->Text() = {""};
  speech->Speak();
  EXPECT_EQ(sim::LiveSpeechObjects(), 2);
  EXPECT_EQ(sim::SpokenTexts(), std::vector<std::u16string>{u"\r\n"});
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(sim::WaveBytesPlayed().size(), 2u * sim::kSamplesPerUnit * 2);
  EXPECT_EQ(afterPlayAt.size(), 1u);

  // Assigning a list copies it; null clears.
  std::vector<std::string> lines{"one", "two"};
  speech->SetText(&lines);
  lines.clear();
  EXPECT_EQ(speech->Text().size(), 2u);
  speech->SetText(nullptr);
  EXPECT_TRUE(speech->Text().empty());
}

TEST_F(Speech, AMissingEngineIsReportedOpensNoDeviceAndIsTriedAgainNextTime) {
  speech->Text() = {"Hello"};
  sim::FailSpeechObjects(true, true);
  try {
    speech->Speak();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), kInitFailed);
  }
  EXPECT_TRUE(sim::WaveOpens().empty());

  // Only the stream missing: the voice is let go as well. A handler may silence the report.
  sim::FailSpeechObjects(false, true);
  std::vector<std::string> reports;
  speech->OnFatalError = [&](tk::Component* sender, std::uint32_t code, std::uint32_t detail, const std::string& msg,
                             bool& raise) {
    EXPECT_EQ(sender, speech.get());
    reports.push_back(std::to_string(code) + "/" + std::to_string(detail) + " " + msg);
    raise = false;
  };
  speech->Speak();
  EXPECT_EQ(reports, (std::vector<std::string>{"8/1 " + kInitFailed}));
  EXPECT_EQ(sim::LiveSpeechObjects(), 0);
  EXPECT_TRUE(sim::WaveOpens().empty());
  PumpUntil([] { return false; }, 2000);
  EXPECT_TRUE(afterPlayAt.empty());

  // The engine is back: the next Speak creates the objects and speaks.
  sim::FailSpeechObjects(false, false);
  speech->Speak();
  EXPECT_EQ(sim::LiveSpeechObjects(), 2);
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(sim::WaveBytesPlayed(), sim::SimRendering(u"Hello\r\n", 1, 16));
}

TEST_F(Speech, AFailingEngineCallLeavesSpeakWithItsCodeAndDescription) {
  speech->Text() = {"Hello"};
  sim::FailSpeak(plat::E_OUTOFMEMORY, "");
  try {
    speech->Speak();
    FAIL() << "no error";
  } catch (const plat::EOleException& e) {
    EXPECT_EQ(e.ErrorCode(), plat::E_OUTOFMEMORY);
    EXPECT_EQ(std::string(e.what()), plat::SystemErrorText(plat::E_OUTOFMEMORY));
    EXPECT_FALSE(std::string(e.what()).empty());
  }
  sim::FailSpeak(plat::E_FAIL, "The voice is busy.");
  EXPECT_THROW(
      {
        try {
          speech->Speak();
        } catch (const plat::EOleException& e) {
          EXPECT_EQ(std::string(e.what()), "The voice is busy.");
          throw;
        }
      },
      plat::EOleException);
  EXPECT_TRUE(sim::WaveOpens().empty());
  PumpUntil([] { return false; }, 2000);
  EXPECT_TRUE(afterPlayAt.empty());
}

TEST_F(Speech, ASecondSpeakStopsTheFirstAndPlaysOnlyItsOwnRendering) {
  speech->Text() = {"A long first sentence"};
  speech->Speak();
  sim::At(500, [&] {
    speech->Text() = {"Hi"};
    speech->Speak();
    EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{500}));
  });
  ASSERT_TRUE(PumpUntilAfterPlay(2));
  // The new rendering is shorter than the old one, which still lies in the stream beyond it.
  const auto played = sim::WaveBytesPlayed();
  const auto second = sim::SimRendering(u"Hi\r\n", 1, 16);
  ASSERT_EQ(played.size(), 8000u + second.size());
  EXPECT_TRUE(std::equal(second.begin(), second.end(), played.end() - second.size()));
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{500, 900}));
}

TEST_F(Speech, DestroyingTheComponentWhilePlayingStopsTheSoundWithoutAfterPlay) {
  speech->Text() = {"User resolution applied."};
  speech->Speak();
  bool destroyed = false;
  sim::At(1200, [&] {
    speech.reset();
    destroyed = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_EQ(sim::WaveBytesPlayed().size(), 19200u);
  EXPECT_EQ(sim::LiveSpeechObjects(), 0);
  PumpUntil([] { return false; }, 5000);
  EXPECT_TRUE(afterPlayAt.empty());
}

TEST_F(Speech, AFailedDeviceStillEndsWithAfterPlayOnce) {
  speech->Text() = {"Hello"};
  sim::RefuseWaveOpen(plat::MMSYSERR_NODRIVER);
  EXPECT_THROW(speech->Speak(), std::runtime_error);
  ASSERT_TRUE(PumpUntilAfterPlay());
  PumpUntil([] { return false; }, 2000);
  EXPECT_EQ(afterPlayAt.size(), 1u);
}

TEST_F(Speech, AnErrorInAfterPlayIsShownInTheErrorBoxAndTheProgramGoesOn) {
  speech->AfterPlay = [this](tk::Component*) {
    afterPlayAt.push_back(sim::Now());
    if (afterPlayAt.size() == 1) throw std::runtime_error("Not enough timers available");
  };
  app->OnModalBegin = [](tk::Component*) { sim::At(10, [] { sim::PressOk(); }); };
  speech->Text() = {"Hello"};
  speech->Speak();
  // The box comes once the handler is over, and the user presses OK.
  ASSERT_TRUE(PumpUntil([] { return !sim::MessageBoxes().empty() && !sim::MessageBoxes()[0].open; }));
  EXPECT_EQ(afterPlayAt.size(), 1u);
  auto boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Not enough timers available.");
  EXPECT_TRUE(boxes[0].error);
  EXPECT_FALSE(boxes[0].open);

  // The component still speaks, and its next ending arrives as usual.
  speech->Speak();
  ASSERT_TRUE(PumpUntilAfterPlay(2));
  PumpUntil([] { return false; }, 2000);  // the worker is gone before the next test
  EXPECT_EQ(sim::MessageBoxes().size(), 1u);
}

}  // namespace
