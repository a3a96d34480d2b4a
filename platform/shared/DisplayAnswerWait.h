#pragma once
// Waiting for a desktop's answer to a display-mode change, with a deadline, while the program's
// loop goes on.
#include <functional>

#include "platform/wintypes.h"

namespace plat::desk {

// A desktop that has not answered by then is stuck: the change has failed.
constexpr DWORD kAnswerTimeoutMs = 5000;

class AnswerDeadline {
 public:
  explicit AnswerDeadline(DWORD timeoutMs = kAnswerTimeoutMs);
  DWORD RemainingMs() const;
  bool Passed() const { return RemainingMs() == 0; }

 private:
  DWORD start_;
  DWORD timeout_;
};

// Runs the registered loop until `answered` holds or the deadline passes; without a loop,
// `block(ms)` waits up to ms for the desktop itself. An answer that arrives outside the message
// queue (a socket, a bus reply) must call WakeAnswerWait so the loop looks again. Returns
// answered().
bool AwaitAnswer(const std::function<bool()>& answered, const AnswerDeadline& deadline,
                 const std::function<void(DWORD)>& block);

void WakeAnswerWait();

}  // namespace plat::desk
