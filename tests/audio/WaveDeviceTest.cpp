// The wave output device's contract, as the engine relies on it, on the real device: one done
// notification per written buffer, in order, carrying its header; a reset that hands back every
// queued buffer; a closed notification after the close; Windows' answers to misuse.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/messages.h"
#include "platform/wave.h"

namespace {

using namespace plat;

std::string Mode() {
  const char* mode = std::getenv("TAVELIN_AUDIO_MODE");
  return mode ? mode : "";
}

// Wine 8 closes a device with buffers still queued and opens 12-bit PCM, where Windows refuses
// both; those two answers are checked on our own devices only.
#ifdef _WIN32
constexpr bool kWine = true;
#else
constexpr bool kWine = false;
#endif

const WAVEFORMATEX kFormat{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};

// The wave notifications that reach this thread's queue within `ms`, until `until` of them came.
std::vector<MSG> Notifications(std::size_t until, unsigned ms) {
  std::vector<MSG> got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (got.size() < until && std::chrono::steady_clock::now() < deadline) {
    MSG m;
    if (PeekMessageA(&m, nullptr, MM_WOM_OPEN, MM_WOM_DONE, PM_REMOVE))
      got.push_back(m);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return got;
}

class WaveDevice : public testing::Test {
 protected:
  void SetUp() override {
    if (Mode() != "file" && Mode() != "paced") GTEST_SKIP() << "no sound device in this run";
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // this thread's queue takes the notifications
    while (PeekMessageA(&m, nullptr, MM_WOM_OPEN, MM_WOM_DONE, PM_REMOVE)) {
    }
    ASSERT_EQ(waveOutOpen(&handle, 0, &kFormat, GetCurrentThreadId(), 0, CALLBACK_THREAD | WAVE_MAPPED),
              MMSYSERR_NOERROR);
    for (int i = 0; i < 3; ++i) {
      data[i].assign(1600 * (i + 1), static_cast<char>(i));
      headers[i] = WAVEHDR{data[i].data(), static_cast<DWORD>(data[i].size())};
    }
  }

  HWAVEOUT handle = nullptr;
  std::vector<char> data[3];
  WAVEHDR headers[3];
};

TEST_F(WaveDevice, EveryBufferComesBackOnceInOrderAndTheCloseIsAnnounced) {
  for (auto& h : headers) {
    ASSERT_EQ(waveOutPrepareHeader(handle, &h, sizeof h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(handle, &h, sizeof h), MMSYSERR_NOERROR);
  }
  const auto got = Notifications(4, 10000);
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0].message, MM_WOM_OPEN);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i + 1].message, MM_WOM_DONE);
    EXPECT_EQ(got[i + 1].lParam, reinterpret_cast<LPARAM>(&headers[i]));
    EXPECT_TRUE(headers[i].dwFlags & WHDR_DONE);
    EXPECT_FALSE(headers[i].dwFlags & WHDR_INQUEUE);
  }
  EXPECT_TRUE(Notifications(1, 300).empty());  // nothing more
  for (auto& h : headers) EXPECT_EQ(waveOutUnprepareHeader(handle, &h, sizeof h), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
  const auto closed = Notifications(1, 2000);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].message, MM_WOM_CLOSE);
}

TEST_F(WaveDevice, AResetHandsBackEveryQueuedBufferAtOnce) {
  std::vector<char> long1(16000 * 3), long2(16000 * 3);
  WAVEHDR a{long1.data(), static_cast<DWORD>(long1.size())}, b{long2.data(), static_cast<DWORD>(long2.size())};
  for (WAVEHDR* h : {&a, &b}) {
    ASSERT_EQ(waveOutPrepareHeader(handle, h, sizeof *h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(handle, h, sizeof *h), MMSYSERR_NOERROR);
  }
  // Still queued: neither unprepared nor closed.
  EXPECT_EQ(waveOutUnprepareHeader(handle, &b, sizeof b), WAVERR_STILLPLAYING);
  if (!kWine) EXPECT_EQ(waveOutClose(handle), WAVERR_STILLPLAYING);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(waveOutReset(handle), MMSYSERR_NOERROR);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(a.dwFlags & WHDR_DONE);
  EXPECT_TRUE(b.dwFlags & WHDR_DONE);
  auto got = Notifications(3, 2000);
  std::vector<LPARAM> done;
  for (const MSG& m : got)
    if (m.message == MM_WOM_DONE) done.push_back(m.lParam);
  EXPECT_EQ(done, (std::vector<LPARAM>{reinterpret_cast<LPARAM>(&a), reinterpret_cast<LPARAM>(&b)}));
  EXPECT_EQ(waveOutUnprepareHeader(handle, &a, sizeof a), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutUnprepareHeader(handle, &b, sizeof b), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
}

TEST_F(WaveDevice, MisuseGetsWindowsAnswers) {
  EXPECT_EQ(waveOutWrite(handle, &headers[0], sizeof headers[0]), WAVERR_UNPREPARED);
  WAVEFORMATEX odd = kFormat;
  odd.wBitsPerSample = 12;
  HWAVEOUT other = nullptr;
  if (!kWine) EXPECT_EQ(waveOutOpen(&other, 0, &odd, GetCurrentThreadId(), 0, CALLBACK_THREAD), WAVERR_BADFORMAT);
  EXPECT_EQ(waveOutOpen(&other, 99, &kFormat, GetCurrentThreadId(), 0, CALLBACK_THREAD), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutClose(handle), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(handle), MMSYSERR_INVALHANDLE);
}

}  // namespace
