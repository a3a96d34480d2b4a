#include "platform/shared/DisplayAnswerWait.h"

#include "platform/display_wait.h"
#include "platform/messages.h"
#include "platform/peers.h"

namespace plat {
namespace {
ModalPump* waitPump = nullptr;  // GUI thread only
}  // namespace

void SetDisplayWaitPump(ModalPump* pump) { waitPump = pump; }

namespace desk {

AnswerDeadline::AnswerDeadline(DWORD timeoutMs) : start_(GetTickCount()), timeout_(timeoutMs) {}

DWORD AnswerDeadline::RemainingMs() const {
  const DWORD spent = GetTickCount() - start_;
  return spent >= timeout_ ? 0 : timeout_ - spent;
}

bool AwaitAnswer(const std::function<bool()>& answered, const AnswerDeadline& deadline,
                 const std::function<void(DWORD)>& block) {
  if (answered()) return true;
  if (!waitPump) {
    while (!answered() && !deadline.Passed()) block(deadline.RemainingMs());
    return answered();
  }
  // The loop would otherwise sleep past the deadline when nothing else happens.
  const UINT_PTR timer = SetTimer(nullptr, 0, deadline.RemainingMs(), nullptr);
  ModalPump* pump = waitPump;
  while (!answered() && !deadline.Passed() && pump->HandleOneMessage()) {
  }
  if (timer) KillTimer(nullptr, timer);
  return answered();
}

void WakeAnswerWait() { PostMessageA(nullptr, WM_NULL, 0, 0); }

}  // namespace desk
}  // namespace plat
