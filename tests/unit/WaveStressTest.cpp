// Many playbacks cut short at random moments, among them the very moment a playback ends on its
// own: AfterPlay comes exactly once for every playback that is not destroyed first, never after
// destruction, and every worker goes away. Run under ThreadSanitizer and AddressSanitizer too.
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "platform/sim_wave.h"
#include "tests/support/ToneWave.h"
#include "tests/unit/SimApp.h"

namespace {

constexpr int kCycles = 10000;

using WaveStress = SimAppTest;

TEST_F(WaveStress, AfterPlayComesOncePerPlaybackWhateverStopsIt) {
  std::mt19937 random(20261208);
  int raisedAfterDestruction = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    auto wave = std::make_unique<ToneWave>(nullptr);
    // Up to 1.25 seconds: zero, one or two buffers, so the ends fall on buffer boundaries too.
    wave->data.assign(std::uniform_int_distribution<std::size_t>(0, 20000)(random), 0x11);
    const std::uint64_t naturalEnd = sim::Now() + (wave->data.size() * 1000 + 15999) / 16000;
    int plays = 0;
    int afterPlays = 0;
    bool destroyed = false;
    wave->AfterPlay = [&](tk::Component*) {
      if (destroyed) ++raisedAfterDestruction;
      ++afterPlays;
    };
    wave->Play();
    ++plays;

    // Something happens before, at or after the natural end.
    const int what = std::uniform_int_distribution<int>(0, 3)(random);
    const std::uint64_t span = naturalEnd - sim::Now();
    std::uint64_t delay = std::uniform_int_distribution<std::uint64_t>(0, span + 2)(random);
    if (std::uniform_int_distribution<int>(0, 3)(random) == 0) delay = span;  // the same moment
    bool done = false;
    sim::At(delay, [&] {
      switch (what) {
        case 0:
          wave->StopPlay();
          break;
        case 1:
          wave.reset();
          destroyed = true;
          break;
        case 2:
          wave->Play();  // stops the one that plays (or is just ending) first
          ++plays;
          break;
        default:
          break;
      }
      done = true;
    });
    const std::uint64_t limit = sim::Now() + 10000;
    sim::At(10001, [] {});
    while (!(done && (destroyed ? true : afterPlays == plays)) && sim::Now() <= limit) {
      app->ProcessMessages();
      if (done && (destroyed || afterPlays == plays)) break;
      plat::WaitMessage();
    }
    ASSERT_TRUE(done) << "cycle " << cycle;
    if (destroyed) {
      ASSERT_LE(afterPlays, 1) << "cycle " << cycle;
    } else {
      ASSERT_EQ(afterPlays, plays) << "cycle " << cycle;
      app->ProcessMessages();
      ASSERT_EQ(afterPlays, plays) << "cycle " << cycle;
      wave.reset();
    }
    ASSERT_EQ(sim::OpenWaveDevices(), 0) << "cycle " << cycle;
  }
  EXPECT_EQ(raisedAfterDestruction, 0);
  // Every worker destroys itself or is destroyed; the last ones may still be on their way out.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (TWavThread::Alive() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(TWavThread::Alive(), 0);
}

}  // namespace
