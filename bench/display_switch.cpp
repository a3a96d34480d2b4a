// Time per resolution switch: our in-process ChangeDisplaySettingsA against a whole process of
// the desktop's own command-line client doing the same switch (`xrandr --output <output> --mode
// WxH` on X, `wlr-randr` alike on a wlroots compositor, `kscreen-doctor output.<output>.mode.WxH@R`
// on KWin). Run on a private X server or compositor (scripts/bench-display.sh); prints medians in
// milliseconds and their ratio. The two modes switched between default to 800x600 and 1024x768;
// a desktop whose output offers one mode switches it to that mode again.
//   display_switch <output> [switches] [xrandr|wlr-randr|kscreen-doctor [WxH[@R],WxH[@R]]]
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display.h"

extern char** environ;

namespace {

struct Mode {
  plat::DWORD width;
  plat::DWORD height;
  plat::DWORD refreshHz = 0;  // 0: the mode's own
};

Mode kModes[2] = {{800, 600}, {1024, 768}};

// "WxH" or "WxH@R".
bool ParseMode(const char* text, Mode& mode) {
  unsigned w = 0, h = 0, r = 0;
  const int n = std::sscanf(text, "%ux%u@%u", &w, &h, &r);
  if (n < 2 || w == 0 || h == 0) return false;
  mode = {w, h, n == 3 ? r : 0};
  return true;
}

std::string ModeText(const Mode& mode) {
  std::string text = std::to_string(mode.width) + "x" + std::to_string(mode.height);
  return mode.refreshHz ? text + "@" + std::to_string(mode.refreshHz) : text;
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool SwitchInProcess(const Mode& mode) {
  plat::DEVMODEA request{};
  request.dmSize = sizeof request;
  request.dmFields = plat::DM_PELSWIDTH | plat::DM_PELSHEIGHT | plat::DM_BITSPERPEL;
  request.dmPelsWidth = mode.width;
  request.dmPelsHeight = mode.height;
  request.dmBitsPerPel = 32;
  if (mode.refreshHz) {
    request.dmFields |= plat::DM_DISPLAYFREQUENCY;
    request.dmDisplayFrequency = mode.refreshHz;
  }
  return plat::ChangeDisplaySettingsA(&request, 0) == plat::DISP_CHANGE_SUCCESSFUL;
}

// The desktop's own command-line client: xrandr and wlr-randr take --output NAME --mode WxH,
// kscreen-doctor output.NAME.mode.WxH@R.
std::string client = "xrandr";

bool SwitchWithClient(const std::string& output, const Mode& mode) {
  std::vector<std::string> args{client, "--output", output, "--mode", ModeText(mode)};
  if (client == "kscreen-doctor") args = {client, "output." + output + ".mode." + ModeText(mode)};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ScreenIs(const Mode& mode) {
  return plat::GetSystemMetrics(plat::SM_CXSCREEN) == static_cast<int>(mode.width) &&
         plat::GetSystemMetrics(plat::SM_CYSCREEN) == static_cast<int>(mode.height);
}

// Times `switches` alternating switches; each must succeed and leave the screen at the new size.
template <typename Switch>
bool Measure(int switches, Switch doSwitch, std::vector<double>& times) {
  for (int i = 0; i < switches; ++i) {
    const Mode& mode = kModes[(i + 1) % 2];
    const auto begin = Clock::now();
    const bool ok = doSwitch(mode);
    times.push_back(Ms(Clock::now() - begin));
    if (!ok || !ScreenIs(mode)) {
      std::fprintf(stderr, "switch %d to %ux%u failed\n", i, mode.width, mode.height);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output> [switches] [client [WxH[@R],WxH[@R]]]\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  const int switches = argc > 2 ? std::atoi(argv[2]) : 200;
  if (argc > 3) client = argv[3];
  if (argc > 4) {
    const std::string modes = argv[4];
    const auto comma = modes.find(',');
    if (comma == std::string::npos || !ParseMode(modes.substr(0, comma).c_str(), kModes[0]) ||
        !ParseMode(modes.c_str() + comma + 1, kModes[1])) {
      std::fprintf(stderr, "modes: WxH[@R],WxH[@R]\n");
      return 2;
    }
  }
  const int startWidth = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int startHeight = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  if (!SwitchInProcess(kModes[0])) {
    std::fprintf(stderr, "cannot switch to %ux%u\n", kModes[0].width, kModes[0].height);
    return 1;
  }

  std::vector<double> ours;
  std::vector<double> theirs;
  if (!Measure(switches, SwitchInProcess, ours)) return 1;
  if (!Measure(switches, [&](const Mode& m) { return SwitchWithClient(output, m); }, theirs)) return 1;
  SwitchInProcess({static_cast<plat::DWORD>(startWidth), static_cast<plat::DWORD>(startHeight)});

  const double oursMs = Median(ours);
  const double theirsMs = Median(theirs);
  std::printf("%d switches per method, %s <-> %s, output %s\n", switches, ModeText(kModes[0]).c_str(),
              ModeText(kModes[1]).c_str(), output.c_str());
  std::printf("median ms per switch, ChangeDisplaySettingsA in process: %.3f\n", oursMs);
  std::printf("median ms per switch, a %s process for output %s: %.3f\n", client.c_str(), output.c_str(), theirsMs);
  std::printf("ratio %s / in process: %.1f\n", client.c_str(), theirsMs / oursMs);
  return 0;
}
