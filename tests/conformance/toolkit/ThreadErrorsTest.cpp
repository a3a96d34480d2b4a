// An error raised by a thread's termination handler, on every backend's real loop: it reaches
// the application's exception handling on the GUI thread, and the program goes on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/Thread.h"
#include "toolkit/Timer.h"

namespace {

class QuickThread : public tk::Thread {
 public:
  explicit QuickThread(std::atomic<bool>* destroyed) : tk::Thread(true), destroyed_(destroyed) {}
  ~QuickThread() override { *destroyed_ = true; }

 protected:
  void Execute() override {}

 private:
  std::atomic<bool>* destroyed_;
};

TEST(ThreadErrors, AnErrorInOnTerminateIsHandledOnTheGuiThreadAndTheLoopGoesOn) {
  auto app = std::make_unique<tk::Application>();
  app->Initialize();
  app->SetTitle("Tavelin conformance");
  const auto gui = std::this_thread::get_id();
  std::vector<std::string> errors;
  bool errorOnGui = false;
  // The loop must still be turning after the handler failed: three ticks, then the end. (Without
  // the error the run never ends, and the suite's time limit fails it.)
  tk::Timer later(app.get());
  int ticks = 0;
  later.SetEnabled(false);
  later.SetInterval(30);
  later.SetOnTimer([&](tk::Component*) {
    if (++ticks == 3) app->Terminate();
  });
  app->OnException = [&](tk::Component*, const std::exception& e) {
    errors.push_back(e.what());
    errorOnGui = std::this_thread::get_id() == gui;
    later.SetEnabled(true);
  };

  // The thread frees itself after its handler, as a playback worker does.
  std::atomic<bool> destroyed{false};
  auto* worker = new QuickThread(&destroyed);
  worker->SetFreeOnTerminate(true);
  worker->OnTerminate = [](tk::Thread*) { throw std::runtime_error("Not enough timers available"); };
  worker->Start();
  app->Run();

  EXPECT_EQ(errors, std::vector<std::string>{"Not enough timers available"});
  EXPECT_TRUE(errorOnGui);
  EXPECT_EQ(ticks, 3);
  // The worker ends on its own; nothing of it may reach the next test.
  for (int i = 0; i < 2000 && !destroyed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(destroyed);
}

}  // namespace
