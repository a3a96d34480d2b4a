// Time per resolution switch: our in-process ChangeDisplaySettingsA against a whole
// `xrandr --output <output> --mode WxH` process doing the same switch. Run on a private X server
// (scripts/bench-display.sh); prints medians in milliseconds and their ratio.
//   display_switch <output> [switches]
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
};

constexpr Mode kModes[2] = {{800, 600}, {1024, 768}};

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
  return plat::ChangeDisplaySettingsA(&request, 0) == plat::DISP_CHANGE_SUCCESSFUL;
}

// The desktop's own command-line client: xrandr on X, wlr-randr on a wlroots compositor (both
// take --output NAME --mode WxH).
const char* CommandLineClient() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return wayland && *wayland ? "wlr-randr" : "xrandr";
}

bool SwitchWithXrandr(const std::string& output, const Mode& mode) {
  std::string size = std::to_string(mode.width) + "x" + std::to_string(mode.height);
  std::string args[] = {CommandLineClient(), "--output", output, "--mode", size};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return false;
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
    std::fprintf(stderr, "usage: %s <output> [switches]\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  const int switches = argc > 2 ? std::atoi(argv[2]) : 200;
  const int startWidth = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int startHeight = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  if (!SwitchInProcess(kModes[0])) {
    std::fprintf(stderr, "cannot switch to %ux%u\n", kModes[0].width, kModes[0].height);
    return 1;
  }

  std::vector<double> ours;
  std::vector<double> xrandr;
  if (!Measure(switches, SwitchInProcess, ours)) return 1;
  if (!Measure(switches, [&](const Mode& m) { return SwitchWithXrandr(output, m); }, xrandr)) return 1;
  SwitchInProcess({static_cast<plat::DWORD>(startWidth), static_cast<plat::DWORD>(startHeight)});

  const double oursMs = Median(ours);
  const double xrandrMs = Median(xrandr);
  std::printf("%d switches per method, %ux%u <-> %ux%u, output %s\n", switches, kModes[0].width, kModes[0].height,
              kModes[1].width, kModes[1].height, output.c_str());
  std::printf("median ms per switch, ChangeDisplaySettingsA in process: %.3f\n", oursMs);
  std::printf("median ms per switch, %s --output %s --mode WxH: %.3f\n", CommandLineClient(), output.c_str(),
              xrandrMs);
  std::printf("ratio %s / in process: %.1f\n", CommandLineClient(), xrandrMs / oursMs);
  return 0;
}
