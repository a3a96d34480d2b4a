#pragma once
// A worker thread with a terminate flag. OnTerminate runs on the GUI thread after Execute ends,
// and an error it raises goes to the application's error box; with FreeOnTerminate the object
// then deletes itself. The thread reads FreeOnTerminate once, after OnTerminate has run: the GUI
// thread may change it up to and inside OnTerminate, and whoever holds the object then knows for
// sure who deletes it.
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/wintypes.h"
#include "toolkit/Events.h"

namespace tk {

class Thread {
 public:
  explicit Thread(bool createSuspended);
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  void Start();
  // Asks Execute to stop; Execute polls Terminated.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const { return finished_; }
  // Waits until Execute has ended and OnTerminate has run; returns ReturnValue.
  int WaitFor();
  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool free) { freeOnTerminate_ = free; }
  // The platform's identifier of the thread (a target for PostThreadMessage), known from
  // construction on, also while suspended.
  plat::DWORD ThreadID() const { return threadId_; }
  int ReturnValue() const { return returnValue_; }
  // What Execute raised, if anything.
  std::exception_ptr FatalException() const { return fatalException_; }

  // Runs `call` on the GUI thread and waits for it.
  static void Synchronize(const std::function<void()>& call);

  std::function<void(Thread* sender)> OnTerminate;

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) { returnValue_ = value; }

 private:
  void Run();
  static void ReportTerminateError(std::exception_ptr error);

  std::thread thread_;
  std::mutex startLock_;
  std::condition_variable startSignal_;
  bool started_ = false;
  bool idKnown_ = false;
  plat::DWORD threadId_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> freeOnTerminate_{false};
  int returnValue_ = 0;
  std::exception_ptr fatalException_;
};

}  // namespace tk
