#include "platform/linux/RandrScreen.h"

namespace plat::x11 {

int RandrVersion(Display* display) {
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor)) return 0;
  return major * 100 + minor;
}

ScreenSize RootWindowSize(Display* display) {
  Window root = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border, &depth);
  return {static_cast<int>(width), static_cast<int>(height)};
}

namespace {

// The output with its CRTC when it is connected and shows something.
std::optional<PrimaryOutput> ActiveOutput(Display* display, XRRScreenResources* resources, RROutput id) {
  OutputInfo output(XRRGetOutputInfo(display, resources, id));
  if (!output || output->connection != RR_Connected || output->crtc == None) return std::nullopt;
  CrtcInfo crtc(XRRGetCrtcInfo(display, resources, output->crtc));
  if (!crtc || crtc->mode == None) return std::nullopt;
  PrimaryOutput found;
  found.crtcId = output->crtc;
  found.output = std::move(output);
  found.crtc = std::move(crtc);
  return found;
}

}  // namespace

std::optional<PrimaryOutput> FindPrimaryOutput(Display* display) {
  const Window root = DefaultRootWindow(display);
  // 1.3 can report the configuration without probing the outputs again, which takes hardware
  // hundreds of milliseconds.
  const bool current = RandrVersion(display) >= 103;
  ScreenResources resources(current ? XRRGetScreenResourcesCurrent(display, root) : XRRGetScreenResources(display, root));
  if (!resources) return std::nullopt;

  std::optional<PrimaryOutput> found;
  if (current) {
    if (RROutput primary = XRRGetOutputPrimary(display, root); primary != None)
      found = ActiveOutput(display, resources.get(), primary);
  }
  for (int i = 0; !found && i < resources->noutput; ++i) found = ActiveOutput(display, resources.get(), resources->outputs[i]);
  if (found) found->resources = std::move(resources);
  return found;
}

}  // namespace plat::x11
