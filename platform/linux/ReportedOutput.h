#pragma once
// An output as a Wayland output-management protocol reports it, object by object (wlroots' heads
// and KDE's output devices alike): its events fill it in, and Describe gives the shape the mode
// change reads, each head and mode carrying this record as its handle.
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/shared/DesktopOutputs.h"

namespace plat::wl {

template <class HeadProxy, class ModeProxy, void (*DestroyHead)(HeadProxy*), void (*DestroyMode)(ModeProxy*)>
struct ReportedOutput {
  struct Mode {
    ReportedOutput* output = nullptr;
    ModeProxy* proxy = nullptr;
    int width = 0;
    int height = 0;
    int refresh = 0;  // mHz
    bool preferred = false;

    // The mode's own events.
    static void OnSize(void* m, ModeProxy*, int32_t w, int32_t h) {
      static_cast<Mode*>(m)->width = w;
      static_cast<Mode*>(m)->height = h;
    }
    static void OnRefresh(void* m, ModeProxy*, int32_t refresh) { static_cast<Mode*>(m)->refresh = refresh; }
    static void OnPreferred(void* m, ModeProxy*) { static_cast<Mode*>(m)->preferred = true; }
    // The compositor may give the mode's id to a new object at once: the proxy goes now.
    static void OnGone(void* m, ModeProxy*) {
      auto* mode = static_cast<Mode*>(m);
      ReportedOutput* o = mode->output;
      if (o->current == mode) o->current = nullptr;
      DestroyMode(mode->proxy);
      std::erase_if(o->modes, [&](const auto& each) { return each.get() == mode; });
    }
  };

  HeadProxy* proxy = nullptr;
  std::string name;
  bool enabled = false;
  int x = 0;
  int y = 0;
  int transform = WL_OUTPUT_TRANSFORM_NORMAL;
  wl_fixed_t scale = wl_fixed_from_int(1);
  std::vector<std::unique_ptr<Mode>> modes;
  Mode* current = nullptr;

  explicit ReportedOutput(HeadProxy* p) : proxy(p) {}
  ~ReportedOutput() {
    for (auto& m : modes) DestroyMode(m->proxy);
    DestroyHead(proxy);
  }
  ReportedOutput(const ReportedOutput&) = delete;
  ReportedOutput& operator=(const ReportedOutput&) = delete;

  // A mode the compositor announced: its size, rate and preference follow on the mode itself.
  Mode& AddMode(ModeProxy* p) {
    modes.push_back(std::make_unique<Mode>());
    modes.back()->output = this;
    modes.back()->proxy = p;
    return *modes.back();
  }
  void SetCurrent(ModeProxy* p) {
    current = nullptr;
    for (auto& m : modes)
      if (m->proxy == p) current = m.get();
  }
  bool Offers(const Mode* wanted) const {
    return std::any_of(modes.begin(), modes.end(), [&](const auto& m) { return m.get() == wanted; });
  }

  desk::OutputHead Describe() const {
    desk::OutputHead out;
    out.name = name;
    out.enabled = enabled;
    out.x = x;
    out.y = y;
    out.sideways = transform % 2 == 1;  // 90 and 270, flipped or not
    out.scale = wl_fixed_to_double(scale);
    out.handle = this;
    for (const auto& m : modes) {
      if (m.get() == current) out.currentMode = out.modes.size();
      out.modes.push_back({m->width, m->height, m->refresh, m->preferred, m.get()});
    }
    return out;
  }
};

}  // namespace plat::wl
