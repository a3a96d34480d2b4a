// Speech output figures on Linux: rendering and converting the notification's text, the time
// from Speak to the first buffer with the device, and the CPU the playback's threads use per
// second of sound. Run by scripts/bench-speech.sh on a private display and sound server.
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/speech.h"
#include "speech/vuspeech.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

using Clock = std::chrono::steady_clock;
const char* kText = "User resolution applied.";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Renders the text at 8000 Hz, mono, 16 bits, as the speech component asks for it.
double RenderOnce() {
  using namespace plat;
  SpeechRef<ISpeechVoice> voice;
  SpeechRef<ISpeechMemoryStream> stream;
  CoCreateInstance(CLSID_SpVoice, nullptr, 5, IID_ISpeechVoice, voice.Out());
  CoCreateInstance(CLSID_SpMemoryStream, nullptr, 5, IID_ISpeechMemoryStream, stream.Out());
  if (!voice || !stream) throw std::runtime_error("no speech engine");
  const auto start = Clock::now();
  auto format = stream->Format()->GetWaveFormatEx();
  format->SetFormatTag(1);
  format->SetChannels(1);
  format->SetSamplesPerSec(8000);
  format->SetBitsPerSample(16);
  format->SetBlockAlign(2);
  format->SetAvgBytesPerSec(16000);
  stream->Format()->SetWaveFormatEx(format.get());
  voice->SetAudioOutputStream(stream.get());
  voice->Speak(AnsiToWide(std::string(kText) + "\r\n"), 0);
  voice->WaitUntilDone(-1);
  return Ms(Clock::now() - start);
}

// A speech component that notes when its first buffer goes to the device and how much CPU its
// worker has used.
class TimedSpeech : public TvuSpeech {
 public:
  using TvuSpeech::TvuSpeech;
  Clock::time_point firstWrite{};
  Clock::time_point rendered{};
  std::atomic<long long> workerCpuNs{0};
  std::atomic<pid_t> workerTid{0};
  std::atomic<long long> bytesRead{0};

 protected:
  bool OpenSource() override {
    const bool result = TvuSpeech::OpenSource();
    rendered = Clock::now();
    return result;
  }
  plat::MMRESULT WriteOutput(plat::WAVEHDR* header) override {
    if (firstWrite == Clock::time_point{}) firstWrite = Clock::now();
    return TvuSpeech::WriteOutput(header);
  }
  std::int32_t ReadSource(char* buffer, std::int32_t size) override {
    const std::int32_t n = TvuSpeech::ReadSource(buffer, size);
    bytesRead += n;
    if (gettid() != getpid()) {
      timespec t{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
      workerCpuNs = static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
      workerTid = gettid();
    }
    return n;
  }
};

// CPU time so far of every thread of this process but the main one, by thread name.
std::map<pid_t, std::pair<std::string, long long>> ThreadCpu() {
  std::map<pid_t, std::pair<std::string, long long>> out;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    const pid_t tid = std::stoi(entry.path().filename());
    if (tid == getpid()) continue;
    std::string name;
    long long ns = 0;
    std::ifstream(entry.path() / "comm") >> name;
    std::ifstream(entry.path() / "schedstat") >> ns;
    out[tid] = {name, ns};
  }
  return out;
}

}  // namespace

int main() {
  tk::Application app;
  app.Initialize();

  // 1. Rendering and conversion.
  const double cold = RenderOnce();
  std::vector<double> renders;
  for (int i = 0; i < 30; ++i) renders.push_back(RenderOnce());
  const double render = Median(renders);
  std::printf("render+convert \"%s\" (espeak-ng + libsoxr, 8000 Hz mono 16-bit): first %.2f ms, median %.2f ms\n",
              kText, cold, render);

  // What opening the device costs by itself (the sound server's connection, on a desktop).
  std::vector<double> opens;
  for (int i = 0; i < 10; ++i) {
    plat::WAVEFORMATEX f{1, 1, 8000, 16000, 2, 16, 0};
    plat::HWAVEOUT h = nullptr;
    const auto start = Clock::now();
    if (plat::waveOutOpen(&h, 0, &f, 0, 0, plat::WAVE_MAPPED) != plat::MMSYSERR_NOERROR) break;
    opens.push_back(Ms(Clock::now() - start));
    plat::waveOutClose(h);
  }
  if (!opens.empty()) std::printf("wave device open: median %.2f ms\n", Median(opens));

  // 2. Speak to the first buffer with the device, and 3. CPU per second of sound.
  std::vector<double> firstBuffers, renderParts;
  double workerCpu = 0, alsaCpu = 0, otherCpu = 0, soundSeconds = 0;
  for (int run = 0; run < 5; ++run) {
    TimedSpeech speech(nullptr);
    int afterPlays = 0;
    speech.AfterPlay = [&](tk::Component*) { ++afterPlays; };
    speech.Text() = {kText};
    std::map<pid_t, std::pair<std::string, long long>> seen;
    tk::Timer sample(&app);
    sample.SetInterval(20);
    sample.SetOnTimer([&](tk::Component*) {
      for (const auto& [tid, v] : ThreadCpu()) seen[tid] = v;
    });
    const auto start = Clock::now();
    speech.Speak();
    firstBuffers.push_back(Ms(speech.firstWrite - start));
    renderParts.push_back(Ms(speech.rendered - start));
    while (afterPlays == 0) {
      app.ProcessMessages();
      if (afterPlays) break;
      plat::WaitMessage();
    }
    for (const auto& [tid, v] : seen) {
      if (tid == speech.workerTid) continue;
      (v.first == "tavelin-alsa" ? alsaCpu : otherCpu) += v.second / 1e6;
    }
    workerCpu += speech.workerCpuNs / 1e6;
    soundSeconds += speech.bytesRead / 16000.0;
  }
  const double firstBuffer = Median(firstBuffers);
  std::printf("Speak to first buffer with the device: median %.2f ms (rendering within it %.2f ms); "
              "ratio to render+convert %.2f (goal <= 1.2)\n",
              firstBuffer, Median(renderParts), firstBuffer / render);
  std::printf("%.2f s of sound played in %d runs\n", soundSeconds, 5);
  std::printf("CPU per second of sound: worker %.3f ms, ALSA writer %.3f ms, sound-server client threads %.3f ms\n",
              workerCpu / soundSeconds, alsaCpu / soundSeconds, otherCpu / soundSeconds);
  return 0;
}
