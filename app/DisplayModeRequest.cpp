#include "app/DisplayModeRequest.h"

namespace {

struct ModeSize {
  plat::DWORD width;
  plat::DWORD height;
};

ModeSize SizeOfMode(int modeCode) {
  switch (modeCode) {
    case 1: return {640, 480};
    case 3: return {1024, 768};
    case 4: return {1280, 1024};
    default: return {800, 600};
  }
}

plat::DWORD BitsPerPixel(const std::string& depthText) { return depthText == "16" ? 16 : 32; }

}  // namespace

plat::DEVMODEA DisplayModeRequest(int modeCode, const std::string& depthText) {
  // Everything else zero: no driver data, device name, position or frequency (the platform
  // keeps its own).
  plat::DEVMODEA mode{};
  mode.dmSize = sizeof(plat::DEVMODEA);
  mode.dmFields = plat::DM_PELSWIDTH | plat::DM_PELSHEIGHT | plat::DM_BITSPERPEL;
  const ModeSize size = SizeOfMode(modeCode);
  mode.dmPelsWidth = size.width;
  mode.dmPelsHeight = size.height;
  mode.dmBitsPerPel = BitsPerPixel(depthText);
  return mode;
}

std::string DisplayChangeResultText(plat::LONG result) {
  switch (result) {
    case plat::DISP_CHANGE_SUCCESSFUL: return "dcs";
    case plat::DISP_CHANGE_RESTART: return "dcr";
    case plat::DISP_CHANGE_BADFLAGS: return "dcbf";
    case plat::DISP_CHANGE_NOTUPDATED: return "dcn";
    case plat::DISP_CHANGE_BADMODE: return "dcbm";
    case plat::DISP_CHANGE_FAILED: return "dcf";
    default: return "error";
  }
}
