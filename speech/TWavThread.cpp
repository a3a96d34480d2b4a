#include "speech/vuwavebase.h"

#include <atomic>

#include "platform/messages.h"

using namespace plat;

namespace {

// Notifications the worker's queue is made for before the device can post any.
constexpr UINT kQueueProbe = 1024;

}  // namespace

static std::atomic<int> aliveWorkers{0};

TWavThread::TWavThread() : tk::Thread(true) { ++aliveWorkers; }

TWavThread::~TWavThread() { --aliveWorkers; }

int TWavThread::Alive() { return aliveWorkers.load(); }

void TWavThread::SetOnWaveMessage(WaveMessageEvent handler) {
  std::lock_guard g(lock_);
  onWaveMessage_ = std::move(handler);
}

void TWavThread::Stop() {
  Terminate();
  PostThreadMessageA(ThreadID(), MM_WOM_CLOSE, 0, 0);
}

void TWavThread::WaitUntilListening() {
  std::unique_lock held(lock_);
  listeningChanged_.wait(held, [this] { return listening_; });
}

void TWavThread::Execute() {
  MSG msg;
  PeekMessageA(&msg, nullptr, kQueueProbe, kQueueProbe, PM_NOREMOVE);
  {
    std::lock_guard g(lock_);
    listening_ = true;
  }
  listeningChanged_.notify_all();
  while (!Terminated()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) continue;  // a quit message is not ours to obey
    switch (msg.message) {
      case MM_WOM_CLOSE:
      case MM_WIM_CLOSE:
        return;
      case MM_WOM_DONE:
      case MM_WIM_OPEN:
      case MM_WIM_DATA: {
        WaveMessageEvent handler;
        {
          std::lock_guard g(lock_);
          handler = onWaveMessage_;
        }
        if (handler) handler(reinterpret_cast<WAVEHDR*>(msg.lParam));
        break;
      }
      default:
        break;
    }
  }
}
