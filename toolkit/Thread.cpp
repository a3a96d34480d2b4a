#include "toolkit/Thread.h"

#include <stdexcept>

#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Synchronizer.h"

namespace tk {

Thread::Thread(bool createSuspended) {
  // The thread waits for Start, so a derived class is fully built before Execute runs.
  thread_ = std::thread([this] { Run(); });
  {
    std::unique_lock held(startLock_);
    startSignal_.wait(held, [this] { return idKnown_; });
  }
  if (!createSuspended) Start();
}

Thread::~Thread() {
  if (thread_.joinable()) {
    if (!started_) Start();  // let a never-started thread run out
    Terminate();
    if (thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      WaitFor();
  }
}

void Thread::Start() {
  std::lock_guard g(startLock_);
  started_ = true;
  startSignal_.notify_all();
}

void Thread::Run() {
  {
    std::unique_lock held(startLock_);
    threadId_ = plat::GetCurrentThreadId();
    idKnown_ = true;
    startSignal_.notify_all();
    startSignal_.wait(held, [this] { return started_; });
  }
  try {
    Execute();
  } catch (...) {
    fatalException_ = std::current_exception();
  }
  if (OnTerminate) {
    try {
      Synchronizer::Call([this] { OnTerminate(this); });
    } catch (...) {
      ReportTerminateError(std::current_exception());
    }
  }
  const bool freeSelf = freeOnTerminate_;
  finished_ = true;
  Synchronizer::NotifyStateChanged();
  if (freeSelf) {
    thread_.detach();
    delete this;
  }
}

void Thread::ReportTerminateError(std::exception_ptr error) {
  // A handler's error is the GUI thread's to show, like any event handler's; it must not escape
  // this thread (that ends the process), and this thread must not wait while the box is open.
  Synchronizer::Queue([error] {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      if (App()) App()->HandleException(e);
    } catch (...) {
      if (App()) App()->HandleException(std::runtime_error("Unknown exception"));
    }
  });
}

int Thread::WaitFor() {
  if (Synchronizer::OnGuiThread())
    Synchronizer::WaitOnGuiThread([this] { return finished_.load(); });
  if (thread_.joinable()) thread_.join();
  return returnValue_;
}

void Thread::Synchronize(const std::function<void()>& call) { Synchronizer::Call(call); }

}  // namespace tk
