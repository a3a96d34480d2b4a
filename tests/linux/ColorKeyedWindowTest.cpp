// A colour-keyed window as the screen shows it over a dark desktop: not one pixel of the key
// colour, from the moment it is mapped, while its painting changes, and after.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/peers.h"
#include "platform/surface.h"
#include "tests/linux/XClient.h"

using namespace plat;
using namespace xtest;

namespace {

constexpr unsigned long kRoot = 0x102040;
constexpr int kLeft = 120, kTop = 90, kWidth = 258, kHeight = 81;

// The logo's kind of picture, 254 x 80 on white: dark rings whose holes are white, stretched to
// the client size as the start-up window's picture is.
Pixels Rings() {
  std::vector<std::uint32_t> argb(254 * 80, 0xFFFFFFFF);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 254; ++x) {
      const int dx = x % 18 - 9, dy = y % 20 - 10, d2 = dx * dx + dy * dy;
      if (d2 >= 9 && d2 <= 49) argb[y * 254 + x] = 0xFF31498A;
    }
  return Pixels::Of(254, 80, std::move(argb));
}

class LogoPainting final : public FormPeerEvents {
 public:
  void PeerCloseRequested() override {}
  void PeerActivated() override {}
  void PeerPaint(Surface& surface, const RECT&) override {
    surface.FillRect({0, 0, kWidth, kHeight}, RGB(255, 255, 255));
    surface.DrawPixels(picture, {0, 0, kWidth, kHeight}, false, 0);
    LogicalFont font;
    font.antialias = false;
    surface.SelectFont(font);
    surface.TextLine(65, 4, caption, RGB(0x30, 0x76, 0xA9));
  }
  Pixels picture = Rings();
  std::string caption = "Loading program... Please wait...";
};

class ColorKeyedWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.Connected()) << "no X display";
    app = CreateApplicationWindow("Tavelin test", &DefWindowProcA);
    ticker = CreateHiddenWindow("TavelinTest", "ticker", &DefWindowProcA);
    SetTimer(ticker, 1, 10, nullptr);  // the loop turns at least this often
    x.PaintRoot(kRoot);
  }
  void TearDown() override {
    DestroyWindow(ticker);
    DestroyWindow(app);
  }

  std::vector<unsigned long> Screen() const { return x.ScreenPixels({kLeft, kTop, kWidth, kHeight}); }

  // Runs the loop one message at a time until `done`, looking at the screen after each.
  bool PumpLooking(const std::function<bool()>& done, DWORD limit = 3000) {
    const DWORD start = GetTickCount();
    MSG m;
    for (;;) {
      LookForKeyPixels();
      if (done()) return true;
      if (GetTickCount() - start > limit || GetMessageA(&m, nullptr, 0, 0) <= 0) return false;
      DispatchMessageA(&m);
    }
  }

  void LookForKeyPixels() {
    ++looks;
    const auto screen = Screen();
    const auto white = std::count(screen.begin(), screen.end(), 0xFFFFFFul);
    if (white > 0 && whiteSeen == 0) {
      firstWhiteLook = looks;
      for (std::size_t i = 0, n = 0; i < screen.size() && n < 8; ++i)
        if (screen[i] == 0xFFFFFFul && ++n)
          firstWhite += " (" + std::to_string(i % kWidth) + "," + std::to_string(i / kWidth) + ")";
    }
    whiteSeen += white;
  }

  unsigned long At(int cx, int cy) const { return x.ScreenPixels({kLeft + cx, kTop + cy, 1, 1}).at(0); }

  XClient x;
  HWND app = nullptr;
  HWND ticker = nullptr;
  long looks = 0;
  long whiteSeen = 0;
  long firstWhiteLook = 0;
  std::string firstWhite;
};

TEST_F(ColorKeyedWindow, NoPixelOfTheKeyShowsWhenMappedWhileRepaintedOrAfter) {
  LogoPainting painting;
  auto form = CreateFormPeer(painting, app, "logo");
  form->SetBorder(BorderStyle::None, BorderIcons{});
  form->SetBounds(kLeft, kTop, kWidth, kHeight);
  form->SetTransparentColor(RGB(255, 255, 255));
  form->SetCaption("Tavelin keyed logo");
  form->Show();
  XWindow w = 0;
  // Drawn: a ring's dark pixel (the ring of the second column, first row, at its right) shows.
  ASSERT_TRUE(PumpLooking([&] {
    w = w ? w : x.Find("Tavelin keyed logo");
    return w && x.GeometryOf(w).viewable && At(18 + 9 + 5, 10) == 0x31498A;
  })) << "the window was never drawn";

  // Corners and the rings' holes show the desktop.
  for (auto [cx, cy] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}, {9, 10}, {28, 50}})
    EXPECT_EQ(At(cx, cy), kRoot) << "(" << cx << "," << cy << ")";

  // The label changes: the window is drawn again and reshaped, and is looked at all the while
  // until its shape has stayed the same for a while.
  const auto before = x.Shape(w, ShapeKind::Drawing).size();
  painting.caption = "1.4";
  form->Invalidate({0, 0, kWidth, kHeight});
  std::size_t last = before;
  int steady = 0;
  ASSERT_TRUE(PumpLooking([&] {
    const auto now = x.Shape(w, ShapeKind::Drawing).size();
    steady = now == last ? steady + 1 : 0;
    last = now;
    return now != before && steady >= 10;
  })) << "the new label never changed the shape";
  EXPECT_EQ(whiteSeen, 0) << "pure white pixels on the screen, first at look " << firstWhiteLook << " of " << looks
                          << ":" << firstWhite;
  form->Hide();
}

}  // namespace
