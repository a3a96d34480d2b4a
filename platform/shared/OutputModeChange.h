#pragma once
// A display-mode change on a desktop that configures its outputs itself: read the outputs, pick
// the primary one and the offered mode, ask, wait for the answer, and check that the output shows
// the mode. Success only when the desktop confirmed it and the output reports the new mode.
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/display.h"
#include "platform/shared/DesktopOutputs.h"
#include "platform/shared/DisplayAnswerWait.h"

namespace plat::desk {

enum class ApplyAnswer {
  Applied,
  Refused,    // the desktop failed or rejected the configuration
  Cancelled,  // the outputs changed underneath: ask again with what they are now
  NoAnswer,   // the deadline passed or the desktop went away
};

// One desktop's own output configuration interface.
class OutputConfigurator {
 public:
  virtual ~OutputConfigurator() = default;
  // The outputs as the desktop reports them now; nullopt when it did not say by the deadline.
  // `runLoop`: the program's loop goes on meanwhile (a mode change), or not (a size asked in the
  // middle of other work, which must not see messages handled under it).
  virtual std::optional<std::vector<OutputHead>> ReadOutputs(const AnswerDeadline& deadline, bool runLoop) = 0;
  // Asks for `heads[head]` to show its `mode`, every other output and property as it is, and
  // waits for the answer.
  virtual ApplyAnswer ApplyMode(const std::vector<OutputHead>& heads, std::size_t head, std::size_t mode,
                                const AnswerDeadline& deadline) = 0;
};

// The request's result as DISP_CHANGE_*. `bitsPerPel` 0: no depth asked.
LONG ChangeOutputMode(OutputConfigurator& desktop, const ModeWanted& wanted, DWORD bitsPerPel);

// Where the primary output stands on the desktop (XWayland's screen coordinates are the desktop's)
// and the size it covers there.
struct LogicalArea {
  POINT origin{};
  LogicalSize size;
};

// The primary output's logical area, or nullopt when the desktop did not say. The loop does not
// run meanwhile.
std::optional<LogicalArea> PrimaryLogicalArea(OutputConfigurator& desktop, const AnswerDeadline& deadline);

}  // namespace plat::desk
