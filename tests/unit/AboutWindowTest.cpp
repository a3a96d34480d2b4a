// The about window on the simulated desktop: its stored layout, the version it copies from the
// main window whenever it is activated, and "I agree", from the tray menu and from an editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/aboutfrm.h"
#include "app/resolutionfrm.h"
#include "platform/sim_controls.h"
#include "platform/sim_surface.h"
#include "tests/support/ProgramSim.h"

namespace {

class AboutWindow : public ProgramSim {
 protected:
  void SetUp() override {
    ProgramSim::SetUp();
    Install();
    Configure("3", "32");
    Start();
    PumpUntil(5000);
  }
  static std::vector<Tabout*> AboutWindows(tk::Component* owner) {
    std::vector<Tabout*> out;
    for (tk::Component* c : owner->Components())
      if (auto* about = dynamic_cast<Tabout*>(c)) out.push_back(about);
    return out;
  }
  static std::string Key(tk::Form* form) { return sim::FormKey(form->Handle()); }
};

TEST_F(AboutWindow, TheWholeWindowWithItsFrameIsCentred) {
  // A tool window's frame on Windows at 800 x 600: 456 x 304 inside, 462 x 326 outside.
  sim::SetScreenSize(800, 600);
  sim::SetFrameExtents(plat::BorderStyle::ToolWindow, {3, 19, 3, 3});
  PickFromTrayMenu("About");
  PumpUntil(sim::Now() + 10);
  ASSERT_EQ(AboutWindows(main).size(), 1u);
  auto form = sim::FindForm(Key(AboutWindows(main)[0]));
  ASSERT_TRUE(form);
  EXPECT_EQ(form->left, 169);
  EXPECT_EQ(form->top, 137);
}

TEST_F(AboutWindow, ShowsItsStoredLayoutAndTheVersionOnActivation) {
  EXPECT_EQ(tk::CreateForm<Tabout>(app.get())->ver_info->Caption(), "Unknown. Please reinstall Tavix.")
      << "the stored caption, until the window is activated";
  PickFromTrayMenu("About");
  PumpUntil(sim::Now() + 10);
  ASSERT_EQ(AboutWindows(main).size(), 1u);
  Tabout* about = AboutWindows(main)[0];
  EXPECT_EQ(about->ver_info->Caption(), "1.4");
  // The main window's text is copied at every activation, whatever it says then.
  main->wersja->SetCaption("1.4 (test)");
  EXPECT_EQ(about->ver_info->Caption(), "1.4");
  EXPECT_TRUE(sim::ActivateForm(Key(about)));
  PumpUntil(sim::Now() + 10);
  EXPECT_EQ(about->ver_info->Caption(), "1.4 (test)");

  auto form = sim::FindForm(Key(about));
  ASSERT_TRUE(form);
  EXPECT_EQ(form->name, "about");
  EXPECT_EQ(form->caption, "Tavelin - program information");
  EXPECT_EQ(form->border, plat::BorderStyle::ToolWindow);
  EXPECT_FALSE(form->icons.systemMenu || form->icons.minimize || form->icons.maximize);
  EXPECT_EQ(form->clientWidth, 456);
  EXPECT_EQ(form->clientHeight, 304);
  EXPECT_EQ(form->left, (1024 - 456) / 2) << "centred on the screen as it is now";
  EXPECT_EQ(form->top, (768 - 304) / 2);
  EXPECT_EQ(tk::ColorToRGB(about->GetColor()), plat::RGB(62, 126, 198));  // beneath the pictures
  EXPECT_EQ(form->font, (plat::FontSpec{"Verdana", 13, plat::RGB(55, 57, 128)}));
  EXPECT_EQ(form->icon.width, 32);
  EXPECT_TRUE(form->visible);

  auto button = sim::FindControl(Key(about), "Button1");
  ASSERT_TRUE(button);
  EXPECT_EQ((std::vector<int>{button->left, button->top, button->width, button->height}),
            (std::vector<int>{364, 268, 75, 25}));
  EXPECT_EQ(button->text, "I agree");
  EXPECT_EQ(button->font, (plat::FontSpec{"Verdana", 11, plat::RGB(55, 57, 128)}));
  auto group = sim::FindControl(Key(about), "GroupBox1");
  ASSERT_TRUE(group);
  EXPECT_EQ((std::vector<int>{group->left, group->top, group->width, group->height}),
            (std::vector<int>{12, 128, 429, 129}));
  EXPECT_EQ(group->text, "License:");
  EXPECT_LT(about->GroupBox1->TabOrder(), about->Button1->TabOrder());

  // The background fills the window; every text stands where the layout puts it.
  auto ops = sim::DisplayList(Key(about));
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, sim::DrawKind::Image);
  EXPECT_EQ(ops[0].rect.right, 456);
  EXPECT_EQ(ops[0].rect.bottom, 304);
  struct Expected {
    const char* text;
    int left, top;
    plat::FontSpec font;
  };
  const plat::COLORREF ink = plat::RGB(55, 57, 128);
  for (const Expected& e :
       std::vector<Expected>{{"Tavelin", 8, 4, {"Verdana", 37, ink, true}},
                             {"Program Name:", 16, 64, {"Verdana", 13, ink, true}},
                             {"Tavelin (Tavix)", 152, 64, {"Verdana", 13, ink}},
                             {"Program Version:", 16, 84, {"Verdana", 13, ink, true}},
                             {"1.4 (test)", 152, 84, {"Verdana", 13, plat::RGB(225, 226, 242)}},
                             {"Program Author:", 16, 104, {"Verdana", 13, ink, true}},
                             {"The Tavelin developers", 152, 104, {"Verdana", 13, ink}},
                             {"Copyright 2026 the Tavelin developers.", 12 + 16, 128 + 96, {"Verdana", 13, ink}}}) {
    const sim::DrawOp* op = nullptr;
    for (const auto& candidate : ops)
      if (candidate.text == e.text && !op) op = &candidate;
    ASSERT_TRUE(op) << e.text;
    EXPECT_EQ(op->rect.left, e.left) << e.text;
    EXPECT_EQ(op->rect.top, e.top) << e.text;
    EXPECT_EQ((plat::FontSpec{op->font.face, op->font.pixelHeight, op->color, op->font.bold}), e.font) << e.text;
  }
  EXPECT_EQ(about->Label7->Top(), 24);
  EXPECT_TRUE(about->Label7->WordWrap());
  EXPECT_NE(about->Label7->Caption().find("freeware"), std::string::npos);
}

TEST_F(AboutWindow, EachCommandGivesANewWindowAndIAgreeHidesOnlyThatOne) {
  PickFromTrayMenu("About");
  PumpUntil(sim::Now() + 10);
  PickFromTrayMenu("About");
  PumpUntil(sim::Now() + 10);
  PickFromTrayMenu("Configure program");
  PumpUntil(sim::Now() + 10);
  Tresolution* editor = nullptr;
  for (tk::Component* c : main->Components())
    if (auto* e = dynamic_cast<Tresolution*>(c)) editor = e;
  ASSERT_TRUE(editor);
  // The arrow logo in the editor's corner opens one more, owned by the editor.
  sim::Click(Key(editor), 416 + 16, 280 + 14);
  PumpUntil(sim::Now() + 10);

  auto fromTray = AboutWindows(main);
  ASSERT_EQ(fromTray.size(), 2u);
  ASSERT_EQ(AboutWindows(editor).size(), 1u);
  EXPECT_EQ(AboutWindows(editor)[0]->ver_info->Caption(), "1.4");
  sim::ClickControl(Key(fromTray[0]), "Button1");
  PumpUntil(sim::Now() + 10);
  ASSERT_EQ(AboutWindows(main).size(), 2u) << "a closed about window stays with its owner";
  EXPECT_FALSE(fromTray[0]->Visible());
  EXPECT_TRUE(fromTray[1]->Visible());
  EXPECT_TRUE(AboutWindows(editor)[0]->Visible());
}

}  // namespace
