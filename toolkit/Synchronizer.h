#pragma once
// Calls that other threads hand to the GUI thread, which runs them from its message loop.
#include <functional>

#include "platform/wintypes.h"

namespace tk::Synchronizer {

// Makes the calling thread the GUI thread; `wakeTarget` is posted to when a call waits.
void SetGuiThread(plat::HWND wakeTarget, plat::UINT wakeMessage);
bool OnGuiThread();
// Runs `call` on the GUI thread and returns when it has run; an exception it raises is raised
// again in the calling thread. On the GUI thread itself it runs at once.
void Call(const std::function<void()>& call);
// Runs `call` on the GUI thread at a coming turn of its loop; returns at once.
void Queue(std::function<void()> call);
// Runs the waiting calls on the GUI thread; true when there was at least one.
bool CheckSynchronize();
// Blocks the GUI thread until `finished` is true, running waiting calls meanwhile (so a thread
// that synchronizes while the GUI thread waits for it cannot deadlock).
void WaitOnGuiThread(const std::function<bool()>& finished);
// Wakes WaitOnGuiThread to look at its condition again.
void NotifyStateChanged();

}  // namespace tk::Synchronizer
