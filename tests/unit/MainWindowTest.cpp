// The main window's drawn members on the sim desktop: the stretched logo fills the window, the
// version label sits right-aligned in the logo's free strip, the hidden members paint nothing.
#include <gtest/gtest.h>

#include "SimApp.h"
#include "app/mainfrm.h"
#include "platform/sim_controls.h"
#include "platform/sim_surface.h"

namespace {

using MainWindow = SimAppTest;

TEST_F(MainWindow, TheLogoFillsTheWindowUnderTheVersionLabel) {
  auto* main = tk::CreateForm<Tmain>(app.get());
  EXPECT_EQ(main->logo->Picture().Width(), 254);
  EXPECT_EQ(main->logo->Picture().Height(), 80);
  EXPECT_TRUE(main->logo->Opaque());
  EXPECT_FALSE(main->Icon().Empty());
  EXPECT_EQ(main->Icon().width, 32);

  auto ops = sim::DisplayList("main");
  ASSERT_EQ(ops.size(), 2u);  // no background beneath the opaque logo, and the hidden label draws nothing
  EXPECT_EQ(ops[0].kind, sim::DrawKind::Image);
  EXPECT_EQ(ops[0].rect.right, 258);
  EXPECT_EQ(ops[0].rect.bottom, 81);
  EXPECT_EQ(ops[1].kind, sim::DrawKind::FormattedText);
  EXPECT_EQ(ops[1].text, "Loading program... Please wait...");
  EXPECT_EQ(ops[1].color, plat::RGB(0x30, 0x76, 0xA9));
  EXPECT_EQ(ops[1].rect.right, 65 + 189);  // right-aligned: the right edge stays where it was laid out
  EXPECT_EQ(ops[1].format & plat::DT_RIGHT, plat::DT_RIGHT);
  EXPECT_EQ(ops[1].font.face, "Verdana");
  EXPECT_EQ(ops[1].font.pixelHeight, 11);

  auto startup = sim::FindControl("main", "startup");
  ASSERT_TRUE(startup);
  EXPECT_FALSE(startup->visible);
  EXPECT_TRUE(startup->checked);
  EXPECT_TRUE(main->startup->Checked());
  EXPECT_FALSE(main->uzytkownik->Visible());
  EXPECT_EQ(main->uzytkownik->Caption(), "uzytkownik");
  EXPECT_EQ(main->GetFont().color, plat::RGB(0x31, 0x49, 0x8A));

  // The logo's see-through parts are exactly white, and it shows no white of its own where
  // the mark is.
  auto pixels = sim::FormPixels("main");
  EXPECT_EQ(pixels.At(1, 1), 0xFFFFFFFFu);
  EXPECT_NE(pixels.At(20, 45), 0xFFFFFFFFu);
}

}  // namespace
