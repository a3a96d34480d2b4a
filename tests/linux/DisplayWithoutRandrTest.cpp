// Display-mode changes on an X server without RandR (CTest runs this on an 800x600 Xvnc started
// with the extension turned off; on a server with RandR it is skipped): the screen keeps the size
// the server started with, a request for that size succeeds, and every other size is refused as a
// mode the display does not have, with nothing failing on the way.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/linux/RandrScreen.h"
#include "platform/linux/X11Connection.h"

using namespace plat;

namespace {

LONG Change(DWORD width, DWORD height, DWORD bits) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bits;
  return ChangeDisplaySettingsA(&mode, 0);
}

TEST(DisplayWithoutRandr, TheScreenKeepsItsSizeAndOtherModesAreRefused) {
  Display* display = x11::Connection();
  ASSERT_NE(display, nullptr);
  if (x11::RandrVersion(display) != 0) GTEST_SKIP() << "this X server has RandR";

  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  for (auto [w, h] : {std::pair{640u, 480u}, {1024u, 768u}, {1280u, 1024u}}) {
    EXPECT_EQ(Change(w, h, 32), DISP_CHANGE_BADMODE) << w << 'x' << h;
    EXPECT_EQ(Change(w, h, 16), DISP_CHANGE_BADMODE) << w << 'x' << h;
  }
  EXPECT_EQ(Change(800, 600, 16), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(Change(800, 600, 32), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
}

}  // namespace
