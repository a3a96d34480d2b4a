#pragma once
// State of the simulated desktop shared by the sim backend's files.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/sim.h"
#include "platform/sim_display.h"
#include "platform/sim_surface.h"

namespace sim::detail {

struct ScriptedAction {
  std::uint64_t when;
  std::uint64_t order;
  std::function<void()> action;
  bool device = false;  // a sound device's event: also runs while the GUI thread is blocked
};

// A form peer as the display-list queries reach it.
class PaintableForm {
 public:
  virtual ~PaintableForm() = default;
  // Paints the form if it asked to be painted since its last paint.
  virtual void PaintIfNeeded() = 0;
  virtual std::vector<DrawOp> LastPaint() const = 0;
  // The area of the client area the last paint covered.
  virtual plat::RECT LastPaintArea() const = 0;
  virtual plat::Pixels LastPixels() const = 0;
  virtual int PaintCount() const = 0;
};

struct Desktop {
  std::mutex lock;
  std::condition_variable woken;
  bool wakePending = false;
  std::uint64_t now = 0;
  std::uint64_t nextOrder = 0;
  std::vector<ScriptedAction> script;
  plat::DWORD guiThread = 0;
  bool startedMinimized = false;
  int screenWidth = 1024;
  int screenHeight = 768;
  std::map<plat::BorderStyle, plat::RECT> frames;
  std::uint64_t topStacking = 0;
  std::map<plat::HWND, FormRecord*> forms;  // records owned by their peers
  std::map<plat::HWND, PaintableForm*> paintable;
  bool visualStyles = true;
  std::vector<MessageBoxRecord> boxes;
  plat::RECT paintRect{0, 0, 0, 0};
  bool eraseOnPaint = false;
  std::vector<Fill> fills;
  std::deque<plat::LONG> displayResults;
  std::vector<DisplayChangeRecord> displayChanges;
  std::optional<plat::DWORD> displayAnswerDelayMs = 0;  // nullopt: the desktop never answers
};

Desktop& TheDesktop();

// Runs `action` on the GUI thread when the clock reaches `whenMs` (SimHost.cpp).
void ScheduleDeviceEvent(std::uint64_t whenMs, std::function<void()> action);
// Forgets the sound devices of an earlier test (SimWave.cpp).
void ResetWave();
// Forgets the speech engine's script and record (SimSpeech.cpp).
void ResetSpeech();

}  // namespace sim::detail
