// The wave playback engine on the simulated sound device: what reaches the device and when,
// when AfterPlay comes, and how failures end a playback.
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/sim_wave.h"
#include "tests/support/ToneWave.h"
#include "tests/unit/SimApp.h"

namespace {

class WaveEngine : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    wave = std::make_unique<ToneWave>(nullptr);
    wave->AfterPlay = [this](tk::Component* sender) {
      EXPECT_EQ(sender, wave.get());
      EXPECT_TRUE(std::this_thread::get_id() == guiThread);
      afterPlayAt.push_back(sim::Now());
    };
  }
  void TearDown() override {
    wave.reset();
    SimAppTest::TearDown();
  }

  // Runs the loop until `done` holds; false when virtual `limitMs` passed first.
  bool PumpUntil(const std::function<bool()>& done, std::uint64_t limitMs = 60000) {
    const std::uint64_t deadline = sim::Now() + limitMs;
    sim::At(limitMs + 1, [] {});  // so that the clock can get there
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

  std::string DeviceError(plat::MMRESULT code) {
    char text[128];
    plat::waveOutGetErrorTextA(code, text, sizeof text);
    return "vuWave Error: Wav output device not opened\r" + std::to_string(code) + "\r" + text;
  }

  std::unique_ptr<ToneWave> wave;
  std::vector<std::uint64_t> afterPlayAt;
  std::thread::id guiThread = std::this_thread::get_id();
};

TEST_F(WaveEngine, BuffersOfOneSecondCarryTheSourceToTheDeviceInOrderAndAtItsPace) {
  // Two and a half buffers: 16000 + 16000 + 8000 bytes.
  wave->data = ToneWave::Pattern(40000, 3);
  wave->Play();
  // Play returns with both buffers with the device.
  EXPECT_EQ(sim::WaveWrites(), 2);
  EXPECT_TRUE(wave->Playing());
  EXPECT_EQ(wave->OutputBufferSize(), 16000);
  ASSERT_EQ(sim::WaveOpens().size(), 1u);
  const auto open = sim::WaveOpens()[0];
  EXPECT_EQ(open.deviceId, 0u);
  EXPECT_EQ(open.flags, plat::CALLBACK_THREAD | plat::WAVE_MAPPED);
  EXPECT_EQ(open.format.nBlockAlign, 2);
  EXPECT_EQ(open.format.nAvgBytesPerSec, 16000u);
  EXPECT_NE(open.threadId, plat::GetCurrentThreadId());

  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(sim::WaveBytesPlayed(), wave->data);
  const auto log = sim::WavePlayLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].startMs, 0u);
  EXPECT_EQ(log[1].startMs, 1000u);
  EXPECT_EQ(log[2].startMs, 2000u);
  EXPECT_EQ(log[2].endMs, 2500u);
  // AfterPlay once, after the last buffer, with the device closed; the source was read to its end.
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{2500}));
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_FALSE(wave->Playing());
  EXPECT_EQ(wave->reads, 5);  // the last two find the end, one per returning buffer
  PumpUntil([] { return false; }, 5000);
  EXPECT_EQ(afterPlayAt.size(), 1u);
}

TEST_F(WaveEngine, ShortExactAndEmptySourcesEachEndWithOneAfterPlay) {
  struct Case {
    std::size_t bytes;
    int writes;
    int reads;
    std::uint64_t endsAt;
  };
  // Less than a buffer; exactly two (one extra read finds the end); nothing at all (the first
  // priming read closes the device).
  for (const Case c : {Case{5000, 1, 3, 313}, Case{32000, 2, 4, 2000}, Case{0, 0, 1, 0}}) {
    SCOPED_TRACE(c.bytes);
    sim::Reset();
    afterPlayAt.clear();
    wave->reads = 0;
    wave->data = ToneWave::Pattern(c.bytes);
    wave->Play();
    ASSERT_TRUE(PumpUntilAfterPlay());
    EXPECT_EQ(sim::WaveWrites(), c.writes);
    EXPECT_EQ(wave->reads, c.reads);
    EXPECT_EQ(sim::WaveBytesPlayed(), wave->data);
    EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{c.endsAt}));
    EXPECT_EQ(sim::OpenWaveDevices(), 0);
    EXPECT_EQ(sim::WaveOpens().size(), 1u);
  }
}

TEST_F(WaveEngine, NothingToPlayOpensNothingAndRaisesNothing) {
  wave->haveSource = false;
  wave->Play();
  EXPECT_FALSE(wave->Playing());
  EXPECT_TRUE(sim::WaveOpens().empty());
  PumpUntil([] { return false; }, 3000);
  EXPECT_TRUE(afterPlayAt.empty());
}

TEST_F(WaveEngine, PlayDuringAPlaybackEndsTheFirstWithItsAfterPlayBeforeTheSecondStarts) {
  wave->data = ToneWave::Pattern(48000, 1);
  wave->Play();
  sim::At(1500, [&] {
    wave->data = ToneWave::Pattern(20000, 9);
    wave->Play();
    // The first playback's AfterPlay came during the stop, before the new one began.
    EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{1500}));
  });
  ASSERT_TRUE(PumpUntilAfterPlay(2));
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{1500, 2750}));
  // The first played 1.5 seconds (the rest of its second buffer was cut), then all of the second.
  auto played = sim::WaveBytesPlayed();
  ASSERT_EQ(played.size(), 24000u + 20000u);
  auto first = ToneWave::Pattern(48000, 1);
  EXPECT_TRUE(std::equal(played.begin(), played.begin() + 24000, first.begin()));
  EXPECT_TRUE(std::equal(played.begin() + 24000, played.end(), wave->data.begin()));
  EXPECT_EQ(sim::WaveOpens().size(), 2u);
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
}

TEST_F(WaveEngine, DestroyingTheEngineStopsTheSoundAtOnceWithoutAfterPlay) {
  wave->data = ToneWave::Pattern(80000);
  wave->Play();
  bool destroyed = false;
  sim::At(700, [&] {
    wave.reset();
    destroyed = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_EQ(sim::WaveBytesPlayed().size(), 11200u);  // 0.7 s
  PumpUntil([] { return false; }, 6000);
  EXPECT_TRUE(afterPlayAt.empty());
}

TEST_F(WaveEngine, AFailedOpenReportsOnTheCallerAndStillEndsWithOneAfterPlay) {
  wave->data = ToneWave::Pattern(1000);
  sim::RefuseWaveOpen(plat::MMSYSERR_BADDEVICEID);
  try {
    wave->Play();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), DeviceError(plat::MMSYSERR_BADDEVICEID));
    EXPECT_EQ(std::string(e.what()),
              "vuWave Error: Wav output device not opened\r2\r"
              "A device ID has been used that is out of range for your system.");
  }
  EXPECT_EQ(wave->reads, 0);
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{0}));
  EXPECT_FALSE(wave->Playing());

  // A later Play works as ever; so does the handler that silences the report.
  sim::RefuseWaveOpen(plat::MMSYSERR_NOERROR);
  wave->Play();
  ASSERT_TRUE(PumpUntilAfterPlay(2));
  EXPECT_EQ(sim::WaveBytesPlayed(), wave->data);

  std::vector<std::string> reports;
  wave->OnFatalError = [&](tk::Component* sender, std::uint32_t code, std::uint32_t detail, const std::string& msg,
                           bool& raise) {
    EXPECT_TRUE(raise);
    reports.push_back(std::to_string(code) + "/" + std::to_string(detail) + " " + msg);
    raise = false;
  };
  sim::RefuseWaveOpen(plat::WAVERR_BADFORMAT);
  wave->Play();
  EXPECT_EQ(reports, (std::vector<std::string>{"7/14 " + DeviceError(plat::WAVERR_BADFORMAT)}));
  // Destroyed straight after the failure: the worker goes once, with no AfterPlay.
  wave.reset();
  EXPECT_EQ(afterPlayAt.size(), 2u);
}

TEST_F(WaveEngine, AFailedWriteClosesTheDeviceOnTheWorkerAndAfterPlayFollows) {
  wave->data = ToneWave::Pattern(64000);
  std::vector<std::string> reports;
  std::thread::id reportedOn;
  wave->OnFatalError = [&](tk::Component*, std::uint32_t code, std::uint32_t detail, const std::string& msg, bool&) {
    reportedOn = std::this_thread::get_id();
    reports.push_back(std::to_string(code) + "/" + std::to_string(detail) + " " + msg);
  };
  sim::FailWaveWrite(3, plat::MMSYSERR_NOMEM);  // the first refill on the worker
  wave->Play();
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(reports, (std::vector<std::string>{"7/14 " + DeviceError(plat::MMSYSERR_NOMEM)}));
  EXPECT_NE(reportedOn, guiThread);
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{1000}));  // the second buffer was cut by the close
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_FALSE(wave->Playing());

  // A failure of a priming write leaves Play on the GUI thread, closed.
  sim::FailWaveWrite(2, plat::MMSYSERR_NOMEM);
  wave->OnFatalError = nullptr;
  EXPECT_THROW(wave->Play(), std::runtime_error);
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  ASSERT_TRUE(PumpUntilAfterPlay(2));
}

TEST_F(WaveEngine, ASourceThatFailsClosesTheDeviceAndTheEngineRecovers) {
  wave->data = ToneWave::Pattern(64000);
  wave->failOnRead = 3;  // on the worker
  wave->Play();
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_FALSE(wave->Playing());

  wave->reads = 0;
  wave->failOnRead = 2;  // while priming: the error leaves Play
  EXPECT_THROW(wave->Play(), std::runtime_error);
  EXPECT_EQ(sim::OpenWaveDevices(), 0);
  EXPECT_FALSE(wave->Playing());
  ASSERT_TRUE(PumpUntilAfterPlay(2));

  wave->failOnRead = 0;
  wave->data = ToneWave::Pattern(3000, 5);
  wave->Play();
  ASSERT_TRUE(PumpUntilAfterPlay(3));
  auto played = sim::WaveBytesPlayed();
  EXPECT_TRUE(std::equal(wave->data.begin(), wave->data.end(), played.end() - 3000));
}

TEST_F(WaveEngine, SynchronousPlayReturnsAfterTheWholeSoundAndItsAfterPlay) {
  wave->data = ToneWave::Pattern(36000);
  wave->PlayOptions = wvoSynchronous;  // and not mapped
  wave->Play();
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{2250}));
  EXPECT_EQ(sim::Now(), 2250u);
  EXPECT_EQ(sim::WaveBytesPlayed(), wave->data);
  EXPECT_EQ(sim::WaveOpens()[0].flags, plat::CALLBACK_THREAD);
  EXPECT_FALSE(wave->Playing());
}

class RecordingLog : public TvuCustomLogFile {
 public:
  using TvuCustomLogFile::TvuCustomLogFile;
  std::vector<std::string> lines;
  void WriteLine(int level, const std::string& text) override {
    lines.push_back(std::to_string(level) + " " + text);
  }
  void WriteFormat(int level, const std::string& format, const std::vector<TvuLogArg>& args) override {
    lines.push_back(std::to_string(level) + " " + Format(format, args));
  }
};

TEST_F(WaveEngine, TheLineStopsPlaybackWhenItClosesAndIsForgottenWhenItGoes) {
  RecordingLog log(nullptr);
  wave->SetLog(&log);
  wave->SetLogPrefix("[tone] ");
  auto* line = new TvuCommTAPI(nullptr);
  wave->SetMedium(line);
  wave->SetMedium(line);
  EXPECT_TRUE(line->HasMediumNotify(wave.get()));

  wave->data = ToneWave::Pattern(64000);
  wave->Play();
  sim::At(500, [&] {
    line->NotifyMedium(3);  // not a code the engine knows
    EXPECT_TRUE(wave->Playing());
    line->NotifyMedium(2);
    line->NotifyMedium(1);
    EXPECT_FALSE(wave->Playing());
  });
  ASSERT_TRUE(PumpUntilAfterPlay());
  EXPECT_EQ(afterPlayAt, (std::vector<std::uint64_t>{500}));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"1 [tone] Medium OPENED!!!", "1 [tone] Medium CLOSED!!!"}));

  // The line's own wave device is used when it names one.
  line->SetWaveDeviceIDs(3, 0);
  wave->OnFatalError = [](tk::Component*, std::uint32_t, std::uint32_t, const std::string&, bool& raise) {
    raise = false;
  };
  wave->Play();
  EXPECT_EQ(sim::WaveOpens().back().deviceId, 3u);
  EXPECT_EQ(log.lines.back(), "0 [tone] Fatal Error: 7, 14, " + DeviceError(plat::MMSYSERR_BADDEVICEID));
  ASSERT_TRUE(PumpUntilAfterPlay(2));

  delete line;
  EXPECT_EQ(wave->Medium(), nullptr);
  wave->SetLog(nullptr);
}

class CaptureWave : public TvuCustomWave {
 public:
  using TvuCustomWave::TvuCustomWave;
  ~CaptureWave() override {
    AfterRecord = nullptr;
    StopRecord();
  }
  std::vector<std::int32_t> chunks;

 protected:
  bool OpenSource() override { return false; }
  bool OpenSink() override {
    SetInputFormat({plat::WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0});
    return true;
  }
  void WriteSink(const char* buffer, std::int32_t size) override { chunks.push_back(size); }
};

TEST_F(WaveEngine, ACaptureFillsTenthsOfASecondUntilItsLimit) {
  CaptureWave capture(nullptr);
  capture.MaxRecordSeconds = 1;
  int ended = 0;
  capture.AfterRecord = [&](tk::Component*) { ++ended; };
  capture.Record();
  EXPECT_TRUE(capture.Recording());
  ASSERT_TRUE(PumpUntil([&] { return ended == 1; }));
  EXPECT_EQ(capture.chunks, std::vector<std::int32_t>(10, 800));
  EXPECT_EQ(capture.BytesRecorded(), 8000u);
  EXPECT_EQ(sim::Now(), 1000u);
  EXPECT_EQ(sim::OpenWaveDevices(), 0);

  // A refused input device: 7/18 with the input text.
  sim::RefuseWaveOpen(plat::MMSYSERR_ALLOCATED);
  try {
    capture.Record();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    char text[128];
    plat::waveInGetErrorTextA(plat::MMSYSERR_ALLOCATED, text, sizeof text);
    EXPECT_EQ(std::string(e.what()), std::string("vuWave Error: Wav input device not opened\r4\r") + text);
  }
  ASSERT_TRUE(PumpUntil([&] { return ended == 2; }));
  EXPECT_FALSE(capture.Recording());
}

TEST(WaveErrorText, TextsAreCutTo127CharactersAndUnknownCodesAreRefused) {
  char text[128];
  EXPECT_EQ(plat::waveOutGetErrorTextA(plat::MMSYSERR_NOMEM, text, sizeof text), plat::MMSYSERR_NOERROR);
  EXPECT_EQ(std::string(text).size(), 127u);  // the full text is longer
  char small[10];
  EXPECT_EQ(plat::waveOutGetErrorTextA(plat::MMSYSERR_BADDEVICEID, small, sizeof small), plat::MMSYSERR_NOERROR);
  EXPECT_EQ(std::string(small), "A device ");
  EXPECT_EQ(plat::waveOutGetErrorTextA(77, text, sizeof text), plat::MMSYSERR_BADERRNUM);
}

}  // namespace
