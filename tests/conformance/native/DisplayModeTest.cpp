// Display-mode changes on a real screen: a private Xvnc server, driven directly on linux and
// through Wine's display driver on win32. The server offers 640x480, 800x600, 1024x768 and
// 1280x1024 at 60 Hz; its depth is 32 bits per pixel unless TAVELIN_TEST_SCREEN_BPP says
// otherwise. The start mode is restored at the end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/display.h"

using namespace plat;

namespace {

constexpr DWORD kSizeAndDepth = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;

struct Size {
  int width;
  int height;
  bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Size& s) { return out << s.width << 'x' << s.height; }

Size ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

DWORD ScreenBitsPerPixel() {
  const char* bits = std::getenv("TAVELIN_TEST_SCREEN_BPP");
  return bits ? static_cast<DWORD>(std::strtoul(bits, nullptr, 10)) : 32;
}

LONG Change(DWORD width, DWORD height, DWORD bits, DWORD fields = kSizeAndDepth, DWORD flags = 0, DWORD hz = 0) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = fields;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  mode.dmBitsPerPel = bits;
  mode.dmDisplayFrequency = hz;
  return ChangeDisplaySettingsA(&mode, flags);
}

class DisplayMode : public testing::Test {
 protected:
  static void SetUpTestSuite() { start = ScreenSize(); }
  static void TearDownTestSuite() {
    EXPECT_EQ(Change(start.width, start.height, ScreenBitsPerPixel()), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ScreenSize(), start);
  }

  // Puts the screen in a known mode that differs from every size the cases ask for.
  static void StartFrom(Size size) {
    ASSERT_EQ(Change(size.width, size.height, 16), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(ScreenSize(), size);
  }

  static inline Size start{};
};

TEST_F(DisplayMode, EachOfferedModeAtEachDepthTheScreenCanShow) {
  StartFrom({1024, 768});
  Size expected = ScreenSize();
  for (Size mode : {Size{640, 480}, Size{800, 600}, Size{1024, 768}, Size{1280, 1024}}) {
    for (DWORD bits : {16u, 32u}) {
      const bool shown = bits <= ScreenBitsPerPixel();
      EXPECT_EQ(Change(mode.width, mode.height, bits), shown ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE)
          << mode << " at " << bits << " bits";
      if (shown) expected = mode;
      EXPECT_EQ(ScreenSize(), expected) << "after " << mode << " at " << bits << " bits";
    }
  }
}

TEST_F(DisplayMode, ModesTheOutputLacksAreRefusedAndChangeNothing) {
  StartFrom({800, 600});
  EXPECT_EQ(Change(1000, 700, 32), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
  EXPECT_EQ(Change(1024, 768, 64), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
  EXPECT_EQ(Change(1024, 768, 16, kSizeAndDepth | DM_DISPLAYFREQUENCY, 0, 75), DISP_CHANGE_BADMODE);
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
  // The rate the modes do have is honoured.
  EXPECT_EQ(Change(1024, 768, 16, kSizeAndDepth | DM_DISPLAYFREQUENCY, 0, 60), DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ScreenSize(), (Size{1024, 768}));
}

TEST_F(DisplayMode, UnknownFlagsAndRequestsWithoutASize) {
  StartFrom({800, 600});
  constexpr DWORD kUndefinedFlag = 0x00800000;
  const LONG flagged = Change(640, 480, 16, kSizeAndDepth, kUndefinedFlag);
#ifdef _WIN32
  // Wine ignores flags it does not know and changes the mode; Windows documents
  // DISP_CHANGE_BADFLAGS for an invalid set of flags.
  EXPECT_EQ(flagged, DISP_CHANGE_SUCCESSFUL);
  EXPECT_EQ(ScreenSize(), (Size{640, 480}));
  StartFrom({800, 600});
#else
  EXPECT_EQ(flagged, DISP_CHANGE_BADFLAGS);
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
#endif

  const LONG depthOnly = Change(640, 480, 16, DM_BITSPERPEL);
#ifdef _WIN32
  // Wine finds no mode for a record without a size.
  EXPECT_EQ(depthOnly, DISP_CHANGE_BADMODE);
#else
  EXPECT_EQ(depthOnly, DISP_CHANGE_BADFLAGS);
#endif
  EXPECT_EQ(ScreenSize(), (Size{800, 600}));
}

}  // namespace
