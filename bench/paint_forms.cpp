// Time to paint a window's client area and work out its colour-key shape, as the linux backend
// does on every repaint: the main window (logo, label, shape), a 462 x 325 form full of
// controls, and an empty form of that size. Run on an X server (scripts/bench-paint.sh); prints
// medians in milliseconds and the full form's ratio to the empty one.
//   paint_forms [repaints]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/mainfrm.h"
#include "gallery/GalleryForms.h"
#include "platform/linux/CairoSurface.h"
#include "platform/linux/ColorKeyShape.h"
#include "toolkit/Application.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Median milliseconds of one paint into an image of the client's size plus, for a keyed form,
// the region of its non-key pixels.
double TimePaint(tk::Form& form, int repaints) {
  std::vector<double> ms;
  for (int i = 0; i < repaints; ++i) {
    const auto start = std::chrono::steady_clock::now();
    plat::gtk::CairoSurface surface(form.ClientWidth(), form.ClientHeight());
    form.PaintTo(surface);
    if (form.TransparentColor()) {
      cairo_region_t* shape = plat::gtk::RegionNotOfColor(surface.Target(), tk::ColorToRGB(form.TransparentColorValue()));
      cairo_region_destroy(shape);
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
  const int repaints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  tk::Application application;
  application.Initialize();
  auto* main = tk::CreateForm<Tmain>(&application);
  auto* full = tk::CreateForm<gallery::ControlsPanel>(&application);
  auto* empty = tk::CreateForm<gallery::EmptyPanel>(&application);
  TimePaint(*full, 5);  // the first paints load the fonts; later ones reuse them
  const double mainMs = TimePaint(*main, repaints);
  const double fullMs = TimePaint(*full, repaints);
  const double emptyMs = TimePaint(*empty, repaints);
  std::printf("repaints each: %d (median)\n", repaints);
  std::printf("main window 258x81, paint + colour-key shape: %.3f ms\n", mainMs);
  std::printf("form 462x325 full of controls, paint:        %.3f ms\n", fullMs);
  std::printf("empty form 462x325, paint:                   %.3f ms\n", emptyMs);
  std::printf("full / empty: %.1f; full form against a 16 ms frame: %.1f%%\n", fullMs / emptyMs, 100 * fullMs / 16.0);
  return 0;
}
