// The sim display: a screen whose size tests set, and a mode service that records every request
// and answers what the test scripted, at once or after a scripted delay on the virtual clock. A
// success resizes the screen, as a real switch would.
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/shared/DisplayAnswerWait.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim_display.h"

using sim::detail::TheDesktop;

namespace plat {

namespace {

// Waits as a desktop that answers asynchronously makes the program wait; false when the answer
// did not come by the deadline.
bool AwaitSimAnswer(std::optional<DWORD> delayMs) {
  if (delayMs == DWORD{0}) return true;
  const desk::AnswerDeadline deadline;
  const DWORD asked = GetTickCount();
  const auto answered = [&] { return delayMs && GetTickCount() - asked >= *delayMs; };
  UINT_PTR answerTimer = delayMs ? SetTimer(nullptr, 0, *delayMs, nullptr) : 0;
  const bool ok = desk::AwaitAnswer(answered, deadline, [](DWORD) { WaitMessage(); });
  if (answerTimer) KillTimer(nullptr, answerTimer);
  return ok;
}

}  // namespace

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  std::optional<DWORD> delay;
  {
    auto& d = TheDesktop();
    std::lock_guard g(d.lock);
    d.displayChanges.push_back({mode ? std::optional(*mode) : std::nullopt, flags});
    delay = d.displayAnswerDelayMs;
  }
  const bool answered = AwaitSimAnswer(delay);
  auto& d = TheDesktop();
  std::lock_guard g(d.lock);
  LONG result = DISP_CHANGE_SUCCESSFUL;
  if (!d.displayResults.empty()) {
    result = d.displayResults.front();
    d.displayResults.pop_front();
  }
  if (!answered) return DISP_CHANGE_FAILED;
  constexpr DWORD size = DM_PELSWIDTH | DM_PELSHEIGHT;
  if (result == DISP_CHANGE_SUCCESSFUL && mode && (mode->dmFields & size) == size) {
    d.screenWidth = static_cast<int>(mode->dmPelsWidth);
    d.screenHeight = static_cast<int>(mode->dmPelsHeight);
  }
  return result;
}

int GetSystemMetrics(int index) {
  std::lock_guard g(TheDesktop().lock);
  switch (index) {
    case SM_CXSCREEN: return TheDesktop().screenWidth;
    case SM_CYSCREEN: return TheDesktop().screenHeight;
    default: return 0;
  }
}

}  // namespace plat

namespace sim {

void SetDisplayChangeResults(std::vector<plat::LONG> results) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().displayResults.assign(results.begin(), results.end());
}

void SetDisplayAnswerDelay(std::optional<plat::DWORD> delayMs) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().displayAnswerDelayMs = delayMs;
}

std::vector<DisplayChangeRecord> DisplayChanges() {
  std::lock_guard g(TheDesktop().lock);
  return TheDesktop().displayChanges;
}

}  // namespace sim
