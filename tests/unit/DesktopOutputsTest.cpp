// A display-mode change on a desktop that configures its outputs itself (Wayland compositors):
// which session and interface are used, which output is primary, which mode is meant, and how
// the desktop's answers become results, including a desktop that never answers.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

#include "platform/shared/OutputModeChange.h"
#include "platform/sim_display.h"
#include "tests/unit/SimApp.h"

using namespace plat;
using namespace plat::desk;

namespace {

OutputHead Head(const char* name, int x, int y, std::vector<OutputMode> modes, std::size_t current) {
  OutputHead h;
  h.name = name;
  h.enabled = true;
  h.x = x;
  h.y = y;
  h.modes = std::move(modes);
  h.currentMode = current;
  return h;
}

const std::vector<OutputMode> kModes{{800, 600, 60000, true}, {1024, 768, 60000, false}, {1024, 768, 75000, false}};

TEST(DesktopOutputs, SessionAndInterfaceChoice) {
  EXPECT_EQ(ChooseDisplaySession(nullptr, nullptr), DisplaySession::X11);
  EXPECT_EQ(ChooseDisplaySession("", "x11"), DisplaySession::X11);
  EXPECT_EQ(ChooseDisplaySession("wayland-0", nullptr), DisplaySession::Wayland);
  EXPECT_EQ(ChooseDisplaySession(nullptr, "wayland"), DisplaySession::Wayland);
  EXPECT_EQ(ChooseOutputInterface({}), OutputInterface::Unavailable);
  EXPECT_EQ(ChooseOutputInterface({.mutterDisplayConfig = true}), OutputInterface::Mutter);
  EXPECT_EQ(ChooseOutputInterface({.kdeOutputManagement = true, .mutterDisplayConfig = true}), OutputInterface::Kde);
  // The compositor's own globals win over a bus name that any program may own.
  EXPECT_EQ(ChooseOutputInterface({.wlrootsOutputManager = true, .mutterDisplayConfig = true}),
            OutputInterface::Wlroots);
}

TEST(DesktopOutputs, PrimaryOutputRules) {
  std::vector<OutputHead> heads{Head("B", 800, 0, kModes, 0), Head("A", 0, 0, kModes, 0)};
  EXPECT_EQ(PrimaryHead(heads), 1u);  // no mark: the one at (0,0)
  heads[0].primary = true;
  EXPECT_EQ(PrimaryHead(heads), 0u);  // the desktop's mark wins
  heads[0].enabled = false;
  EXPECT_EQ(PrimaryHead(heads), 1u);  // unless it shows nothing
  heads[1].x = 10;
  heads[0].enabled = true;
  heads[0].primary = false;
  EXPECT_EQ(PrimaryHead(heads), 0u);  // nothing at (0,0): the first enabled
  heads[0].enabled = heads[1].enabled = false;
  EXPECT_FALSE(PrimaryHead(heads));
}

TEST(DesktopOutputs, ModesAndLogicalSize) {
  OutputHead h = Head("A", 0, 0, kModes, 0);
  EXPECT_EQ(FindOfferedMode(h, {1024, 768, 0}), 2u);  // any rate: the fastest
  EXPECT_EQ(FindOfferedMode(h, {1024, 768, 60}), 1u);
  EXPECT_FALSE(FindOfferedMode(h, {1280, 1024, 0}));
  EXPECT_FALSE(FindOfferedMode(h, {1024, 768, 85}));
  h.currentMode = 1;
  EXPECT_EQ(FindOfferedMode(h, {1024, 768, 0}), 1u);  // the current one already shows it
  EXPECT_TRUE(ShowsMode(h, {1024, 768, 0}));

  h.scale = 2;
  EXPECT_EQ(LogicalSizeOf(h)->width, 512);
  h.scale = 1;
  h.sideways = true;
  EXPECT_EQ(LogicalSizeOf(h)->width, 768);
  EXPECT_EQ(LogicalSizeOf(h)->height, 1024);
  EXPECT_TRUE(FindOfferedMode(h, {768, 1024, 0}));  // asked as the screen shows it
  h.enabled = false;
  EXPECT_FALSE(LogicalSizeOf(h));
}

// A desktop whose answers the test scripts; it records what it was asked.
class ScriptedDesktop final : public OutputConfigurator {
 public:
  std::vector<OutputHead> heads{Head("SIDE", 800, 0, kModes, 1), Head("MAIN", 0, 0, kModes, 0)};
  std::deque<std::optional<ApplyAnswer>> answers;  // nullopt: never answers
  bool changeOnApplied = true;
  std::vector<std::pair<std::string, std::size_t>> asked;

  std::optional<std::vector<OutputHead>> ReadOutputs(const AnswerDeadline&, bool) override { return heads; }
  ApplyAnswer ApplyMode(const std::vector<OutputHead>& seen, std::size_t head, std::size_t mode,
                        const AnswerDeadline& deadline) override {
    asked.emplace_back(seen[head].name, mode);
    auto answer = answers.empty() ? std::optional(ApplyAnswer::Applied) : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (!answer) {
      AwaitAnswer([] { return false; }, deadline, [](DWORD) { WaitMessage(); });
      return ApplyAnswer::NoAnswer;
    }
    if (*answer == ApplyAnswer::Applied && changeOnApplied) heads[head].currentMode = mode;
    return *answer;
  }
};

class OutputModeChangeTest : public SimAppTest {};

TEST_F(OutputModeChangeTest, ResultsFollowTheDesktopAndTheOutputsState) {
  ScriptedDesktop d;
  EXPECT_EQ(ChangeOutputMode(d, {1024, 768, 0}, 32), DISP_CHANGE_SUCCESSFUL);
  ASSERT_EQ(d.asked.size(), 1u);
  EXPECT_EQ(d.asked[0].first, "MAIN");  // the primary output, not the first listed
  EXPECT_EQ(d.heads[0].currentMode, 1u);

  EXPECT_EQ(ChangeOutputMode(d, {1280, 1024, 0}, 32), DISP_CHANGE_BADMODE);  // never asked
  EXPECT_EQ(ChangeOutputMode(d, {800, 600, 0}, 64), DISP_CHANGE_BADMODE);    // deeper than shown
  EXPECT_EQ(d.asked.size(), 1u);
  EXPECT_EQ(ChangeOutputMode(d, {800, 600, 0}, 16), DISP_CHANGE_SUCCESSFUL);  // 16 bits honoured

  d.answers = {ApplyAnswer::Refused};
  EXPECT_EQ(ChangeOutputMode(d, {1024, 768, 0}, 32), DISP_CHANGE_FAILED);
  // The desktop's word without the output showing the mode is no success.
  d.changeOnApplied = false;
  EXPECT_EQ(ChangeOutputMode(d, {1024, 768, 0}, 32), DISP_CHANGE_FAILED);
  d.changeOnApplied = true;

  // Cancelled once: asked again; cancelled twice: failed.
  d.asked.clear();
  d.answers = {ApplyAnswer::Cancelled};
  EXPECT_EQ(ChangeOutputMode(d, {1024, 768, 0}, 32), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(d.asked.size(), 2u);
  d.answers = {ApplyAnswer::Cancelled, ApplyAnswer::Cancelled};
  EXPECT_EQ(ChangeOutputMode(d, {800, 600, 0}, 32), DISP_CHANGE_FAILED);

  for (auto& h : d.heads) h.enabled = false;
  EXPECT_EQ(ChangeOutputMode(d, {800, 600, 0}, 32), DISP_CHANGE_FAILED);
}

TEST_F(OutputModeChangeTest, TheScreenIsThePrimaryOutputsAreaWhereverItStands) {
  ScriptedDesktop d;
  auto area = PrimaryLogicalArea(d, AnswerDeadline(500));
  ASSERT_TRUE(area);
  EXPECT_EQ(area->origin.x, 0);
  EXPECT_EQ(area->size.width, 800);

  d.heads[0].primary = true;  // the desktop marks the output on the right primary
  area = PrimaryLogicalArea(d, AnswerDeadline(500));
  ASSERT_TRUE(area);
  EXPECT_EQ(area->origin.x, 800);
  EXPECT_EQ(area->origin.y, 0);
  EXPECT_EQ(area->size.width, 1024);
  EXPECT_EQ(area->size.height, 768);

  for (auto& h : d.heads) h.enabled = false;
  EXPECT_FALSE(PrimaryLogicalArea(d, AnswerDeadline(500)));
}

TEST_F(OutputModeChangeTest, AStuckDesktopFailsAfterFiveSecondsWhileTimersGoOn) {
  ScriptedDesktop d;
  d.answers = {std::nullopt};
  std::vector<std::uint64_t> ticks;
  sim::At(1000, [&] { ticks.push_back(sim::Now()); });
  sim::At(3000, [&] { ticks.push_back(sim::Now()); });
  const std::uint64_t start = sim::Now();
  EXPECT_EQ(ChangeOutputMode(d, {1024, 768, 0}, 32), DISP_CHANGE_FAILED);
  EXPECT_EQ(sim::Now() - start, kAnswerTimeoutMs);
  EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(OutputModeChangeTest, TheProgramsRequestWaitsForALateAnswerAndGivesUpOnNone) {
  DEVMODEA request{};
  request.dmSize = sizeof request;
  request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  request.dmPelsWidth = 1024;
  request.dmPelsHeight = 768;
  sim::SetDisplayAnswerDelay(1200);
  std::uint64_t start = sim::Now();
  EXPECT_EQ(ChangeDisplaySettingsA(&request, 0), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(sim::Now() - start, 1200u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

  sim::SetDisplayAnswerDelay(std::nullopt);
  bool ran = false;
  sim::At(2500, [&] { ran = true; });
  request.dmPelsWidth = 640;
  request.dmPelsHeight = 480;
  start = sim::Now();
  EXPECT_EQ(ChangeDisplaySettingsA(&request, 0), DISP_CHANGE_FAILED);
  EXPECT_EQ(sim::Now() - start, kAnswerTimeoutMs);
  EXPECT_TRUE(ran);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);  // unchanged
}

}  // namespace
