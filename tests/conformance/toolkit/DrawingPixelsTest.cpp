// The picture and label controls painted for real into an image on each backend, compared by
// pixels where the backends must agree: stretched pictures fill their control exactly, tiles
// land at multiples of the picture's size, shadow copies sit where their direction and depth
// put them, rotated text runs bottom to top. Glyph shapes differ by font, so text is compared
// with itself, never with a fixed image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "controls/ProCtrls.h"
#include "platform/surface.h"
#include "toolkit/Canvas.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

void Solid(tk::Picture& picture, int w, int h, std::uint32_t argb, std::uint32_t topLeft) {
  plat::Pixels p;
  p.width = w;
  p.height = h;
  p.argb.assign(static_cast<std::size_t>(w) * h, argb);
  p.argb[0] = topLeft;
  picture.SetGraphic(std::make_unique<tk::Bitmap>(p, false));
}

// Paints `control` at (x, y) on a white image of w x h and returns the pixels.
plat::Pixels Render(tk::Control& control, int x, int y, int w, int h) {
  auto image = plat::CreateImageSurface(w, h);
  tk::Canvas canvas(*image);
  canvas.Save();
  canvas.ClipRect(control.BoundsRect());
  canvas.Translate(x, y);
  control.Paint(canvas);
  canvas.Restore();
  return image->ReadPixels();
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

int Darkness(std::uint32_t p) { return 255 * 3 - static_cast<int>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)); }

TEST(DrawingPixels, AStretchedPictureFillsItsControlExactly) {
  TProImage image(nullptr);
  image.SetBounds(5, 5, 50, 30);
  image.SetStretch(true);
  Solid(image.Picture(), 7, 3, kRed, kRed);
  const plat::Pixels p = Render(image, 5, 5, 60, 40);
  ASSERT_EQ(p.width, 60);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool inside = x >= 5 && x < 55 && y >= 5 && y < 35;
      ASSERT_EQ(p.At(x, y), inside ? kRed : kWhite) << x << "," << y;
    }
}

TEST(DrawingPixels, TilesLandAtMultiplesOfThePictureSize) {
  TProImage image(nullptr);
  image.SetBounds(0, 0, 30, 20);
  image.SetTiled(true);
  image.SetStretch(true);  // ignored by tiling
  Solid(image.Picture(), 8, 6, kRed, kBlue);
  const plat::Pixels p = Render(image, 0, 0, 40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      std::uint32_t expected = kWhite;
      if (x < 30 && y < 20) expected = (x % 8 == 0 && y % 6 == 0) ? kBlue : kRed;
      ASSERT_EQ(p.At(x, y), expected) << x << "," << y;
    }
}

TEST(DrawingPixels, ShadowCopiesSitTheirDepthAwayInTheirDirection) {
  auto make = [](TShadowStyle style) {
    auto label = std::make_unique<TProLabel>(nullptr);
    label->SetTransparent(true);
    label->SetFont({"Verdana", 24, plat::RGB(0, 0, 0), true});
    label->SetCaption("HI");
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 80, 40);
    label->SetShadowStyle(style);
    label->SetShadowColor(plat::RGB(255, 0, 0));
    return label;
  };
  auto plain = make(TShadowStyle::ssNone);
  auto shadowed = make(TShadowStyle::ssNone);
  // Two copies, 3 and 4 pixels down and right; no highlight.
  shadowed->SetShadowDirection(TDirection::drDownRight);
  shadowed->SetShadowDepth(3);
  shadowed->SetShadowSize(2);
  shadowed->SetHighlightColor(plat::RGB(0, 0, 0));
  ASSERT_EQ(shadowed->ShadowStyle(), TShadowStyle::ssCustom);
  const plat::Pixels a = Render(*plain, 0, 0, 90, 50);
  const plat::Pixels b = Render(*shadowed, 0, 0, 90, 50);
  int checked = 0;
  for (int y = 0; y + 4 < 50; ++y)
    for (int x = 0; x + 4 < 90; ++x) {
      if (Darkness(a.At(x, y)) < 600) continue;  // solid ink of the text alone
      // The text itself stays on top (its edges, drawn over the highlight, only get darker).
      ASSERT_GE(Darkness(b.At(x, y)), 600) << x << "," << y;
      // The farther copy, where the text leaves it showing, is the shadow colour.
      const bool uncovered = Darkness(a.At(x + 4, y + 4)) == 0 && Darkness(a.At(x + 3, y + 3)) == 0;
      if (!uncovered) continue;
      ASSERT_TRUE(Near(b.At(x + 4, y + 4), 0xFFFF0000u, 60)) << x + 4 << "," << y + 4;
      ++checked;
    }
  EXPECT_GT(checked, 10);
}

TEST(DrawingPixels, TextAtNinetyDegreesRunsUpFromTheLeftEdge) {
  TProLabel label(nullptr);
  label.SetTransparent(true);
  label.SetFont({"Verdana", 20, plat::RGB(0, 0, 0)});
  label.SetCaption("Tavelin");
  auto measure = plat::CreateImageSurface(1, 1);
  tk::Canvas canvas(*measure);
  canvas.SetFont(label.GetFont());
  const plat::SIZE extent = canvas.TextExtent("Tavelin");
  label.SetBounds(0, 0, 60, 150);
  label.SetAngle(90);
  const plat::Pixels p = Render(label, 0, 0, 60, 150);
  int left = 60, right = -1, top = 150, bottom = -1;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 60; ++x)
      if (Darkness(p.At(x, y)) > 200) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, 0) << "nothing drawn";
  EXPECT_GT(bottom - top, 2 * (right - left));    // runs up the label
  EXPECT_LE(bottom, extent.cx + 1);                // starts at the height of the text's width
  EXPECT_GE(bottom, extent.cx * 3 / 4);
  EXPECT_LE(right, extent.cy + 1);                 // at the left edge
}

TEST(DrawingPixels, CanvasPrimitivesAgreeOnEveryDevice) {
  auto image = plat::CreateImageSurface(40, 30);
  tk::Canvas canvas(*image);
  canvas.GetBrush().color = plat::RGB(0, 0, 255);
  canvas.FillRect({2, 2, 6, 5});
  canvas.Save();
  canvas.Translate(10, 10);
  canvas.ClipRect({0, 0, 5, 5});
  canvas.GetBrush().color = plat::RGB(255, 0, 0);
  canvas.FillRect({-10, -10, 30, 30});
  canvas.Restore();
  canvas.GetPen().color = plat::RGB(0, 255, 0);
  canvas.FrameRect({20, 2, 26, 7});
  // A keyed picture leaves its key out; a half-transparent one blends.
  auto keyed = plat::Pixels::Of(2, 1, {0xFF00FF00u, 0xFFFFFFFFu});
  canvas.DrawPixels(keyed, {30, 2, 34, 4}, true, plat::RGB(255, 255, 255));
  canvas.GetBrush().color = plat::RGB(0, 0, 0);
  canvas.FillRect({30, 10, 32, 12});
  auto half = plat::Pixels::Of(1, 1, {0x80FF0000u});
  canvas.DrawPixels(half, {30, 10, 32, 12}, false, 0);
  // An off-screen bitmap lands in one copy, white where nothing was drawn on it.
  auto offscreen = canvas.CreateOffscreen(4, 3);
  offscreen->GetBrush().color = plat::RGB(1, 2, 3);
  offscreen->FillRect({0, 0, 2, 3});
  canvas.CopyFrom(*offscreen, 2, 20);

  const plat::Pixels p = image->ReadPixels();
  EXPECT_EQ(p.At(2, 2), 0xFF0000FFu);
  EXPECT_EQ(p.At(5, 4), 0xFF0000FFu);
  EXPECT_EQ(p.At(6, 4), kWhite);
  EXPECT_EQ(p.At(10, 10), kRed);
  EXPECT_EQ(p.At(14, 14), kRed);
  EXPECT_EQ(p.At(15, 14), kWhite);
  EXPECT_EQ(p.At(9, 9), kWhite);
  EXPECT_EQ(p.At(20, 2), 0xFF00FF00u);  // the outline, just inside the rectangle
  EXPECT_EQ(p.At(25, 6), 0xFF00FF00u);
  EXPECT_EQ(p.At(23, 4), kWhite);
  EXPECT_EQ(p.At(26, 6), kWhite);
  EXPECT_EQ(p.At(30, 2), 0xFF00FF00u);
  EXPECT_EQ(p.At(33, 3), kWhite);
  EXPECT_TRUE(Near(p.At(31, 11), 0xFF800000u, 2)) << std::hex << p.At(31, 11);
  EXPECT_EQ(p.At(2, 20), 0xFF010203u);
  EXPECT_EQ(p.At(3, 22), 0xFF010203u);
  EXPECT_EQ(p.At(4, 20), kWhite);
}

TEST(DrawingPixels, MeasuredTextIsWhereItIsDrawn) {
  auto image = plat::CreateImageSurface(200, 40);
  tk::Canvas canvas(*image);
  canvas.SetFont({"Verdana", 13, plat::RGB(0, 0, 0)});
  const plat::SIZE extent = canvas.TextExtent("Apply now");
  plat::RECT calc{0, 0, 0, 0};
  canvas.DrawText("Apply now", calc, plat::DT_CALCRECT);
  EXPECT_EQ(calc.right, extent.cx);
  EXPECT_EQ(calc.bottom, extent.cy);
  plat::RECT right{0, 5, 190, 35};
  canvas.DrawText("Apply now", right, plat::DT_RIGHT);
  const plat::Pixels p = image->ReadPixels();
  int left = 200, last = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (Darkness(p.At(x, y)) > 300) {
        left = std::min(left, x);
        last = std::max(last, x);
      }
  ASSERT_GE(last, 0);
  EXPECT_LE(last, 190);                      // right-aligned within the rectangle
  EXPECT_GE(last, 190 - 4);
  EXPECT_GE(left, 190 - extent.cx - 1);      // and no wider than measured
}

}  // namespace
