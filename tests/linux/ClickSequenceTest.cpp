// How the linux tray hosts' presses become Windows' codes: a second press of the same button
// within the double-click time and distance is a double click, and the press after it a plain
// one again.
#include <gtest/gtest.h>

#include "platform/linux/TrayHosts.h"

using namespace plat;

TEST(ClickSequence, SecondPressInTimeAndPlaceIsADoubleClick) {
  tray::ClickSequence clicks;
  auto press = [&](int button, std::uint32_t t, int x = 10, int y = 10) { return clicks.Press(button, t, x, y, 400, 5); };
  EXPECT_EQ(press(1, 1000), WM_LBUTTONDOWN);
  EXPECT_EQ(press(1, 1300), WM_LBUTTONDBLCLK);
  EXPECT_EQ(press(1, 1500), WM_LBUTTONDOWN);  // a third press starts afresh
  EXPECT_EQ(press(1, 2000), WM_LBUTTONDOWN);  // too late
  EXPECT_EQ(press(1, 2100, 30, 10), WM_LBUTTONDOWN);  // too far
  EXPECT_EQ(press(3, 2200, 30, 10), WM_RBUTTONDOWN);  // another button
  EXPECT_EQ(press(3, 2300, 31, 11), WM_RBUTTONDBLCLK);
  EXPECT_EQ(press(2, 3000), WM_MBUTTONDOWN);
  EXPECT_EQ(press(2, 3100), WM_MBUTTONDBLCLK);
  EXPECT_EQ(tray::ClickSequence::Release(1), WM_LBUTTONUP);
  EXPECT_EQ(tray::ClickSequence::Release(2), WM_MBUTTONUP);
  EXPECT_EQ(tray::ClickSequence::Release(3), WM_RBUTTONUP);
  // The event clock wraps around.
  tray::ClickSequence wrapping;
  EXPECT_EQ(wrapping.Press(1, 0xFFFFFF00u, 0, 0, 400, 5), WM_LBUTTONDOWN);
  EXPECT_EQ(wrapping.Press(1, 0x00000010u, 0, 0, 400, 5), WM_LBUTTONDBLCLK);
}
