#include "platform/shared/OutputModeChange.h"

namespace plat::desk {

namespace {

const OutputHead* Named(const std::vector<OutputHead>& heads, const std::string& name) {
  for (const OutputHead& h : heads)
    if (h.name == name) return &h;
  return nullptr;
}

}  // namespace

LONG ChangeOutputMode(OutputConfigurator& desktop, const ModeWanted& wanted, DWORD bitsPerPel) {
  // A depth at or below what the output shows is honoured, as on X: there is none to switch.
  if (bitsPerPel > kOutputBitsPerPixel) return DISP_CHANGE_BADMODE;
  const AnswerDeadline deadline;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto heads = desktop.ReadOutputs(deadline, true);
    if (!heads) return DISP_CHANGE_FAILED;
    const auto primary = PrimaryHead(*heads);
    if (!primary) return DISP_CHANGE_FAILED;
    const OutputHead& head = (*heads)[*primary];
    const auto mode = FindOfferedMode(head, wanted);
    if (!mode) return DISP_CHANGE_BADMODE;

    const ApplyAnswer answer = desktop.ApplyMode(*heads, *primary, *mode, deadline);
    if (answer == ApplyAnswer::Cancelled) continue;
    if (answer != ApplyAnswer::Applied) return DISP_CHANGE_FAILED;

    // The desktop's word alone is not enough: the output must now show the mode.
    const auto after = desktop.ReadOutputs(deadline, true);
    const OutputHead* now = after ? Named(*after, head.name) : nullptr;
    return now && ShowsMode(*now, wanted) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
  }
  return DISP_CHANGE_FAILED;
}

std::optional<LogicalArea> PrimaryLogicalArea(OutputConfigurator& desktop, const AnswerDeadline& deadline) {
  const auto heads = desktop.ReadOutputs(deadline, false);
  if (!heads) return std::nullopt;
  const auto primary = PrimaryHead(*heads);
  if (!primary) return std::nullopt;
  const OutputHead& head = (*heads)[*primary];
  const auto size = LogicalSizeOf(head);
  if (!size) return std::nullopt;
  return LogicalArea{{head.x, head.y}, *size};
}

}  // namespace plat::desk
