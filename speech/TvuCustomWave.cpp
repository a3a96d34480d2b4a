#include "speech/vuwavebase.h"

#include "platform/messages.h"

using namespace plat;

TvuCustomWave::TvuCustomWave(tk::Component* owner) : TvuCustomTAPIProcessor(owner) {}

TvuCustomWave::~TvuCustomWave() {
  // Stopping raises no event any more: the owner may be half gone.
  AfterPlay = nullptr;
  AfterRecord = nullptr;
  StopPlay();
  StopRecord();
}

void TvuCustomWave::MediumClosed() {
  WriteLog(1, "Medium CLOSED!!!");
  StopPlay();
  StopRecord();
}

void TvuCustomWave::MediumOpened() { WriteLog(1, "Medium OPENED!!!"); }

UINT TvuCustomWave::OutputDeviceID() const {
  if (Medium() && Medium()->WaveOutDeviceID() != 0) return Medium()->WaveOutDeviceID();
  return 0;
}

UINT TvuCustomWave::InputDeviceID() const {
  if (Medium() && Medium()->WaveInDeviceID() != 0) return Medium()->WaveInDeviceID();
  return 0;
}

bool TvuCustomWave::Awaited(const tk::Thread* worker) const {
  return std::find(awaited_.begin(), awaited_.end(), worker) != awaited_.end();
}

void TvuCustomWave::FinishWorker(TWavThread* worker) {
  awaited_.push_back(worker);
  try {
    worker->WaitFor();
  } catch (...) {
    std::erase(awaited_, worker);
    throw;
  }
  std::erase(awaited_, worker);
  delete worker;
}
