// Notification windows and the tray commands on the simulated desktop: each window's look, its
// speech, its own close three seconds after that speech, and the quick help that is heard only.
#include <gtest/gtest.h>

#include "platform/sim_controls.h"
#include "platform/sim_surface.h"
#include "platform/sim_wave.h"
#include "tests/support/ProgramSim.h"

namespace {

using Notification = ProgramSim;

TEST_F(Notification, TheWindowShowsItsHeadingMessageBandsAndIconInTheCornerAndHintsTakeItsColour) {
  main = tk::CreateForm<Tmain>(app.get());
  EXPECT_EQ(app->HintColor(), plat::RGB(0xB3, 0xEF, 0xF2));
  EXPECT_EQ(app->HintHidePause(), 9600);
  EXPECT_EQ(app->HintPause(), 250);
  EXPECT_EQ(app->HintShortPause(), 10);
  main->ShowAgent("A message far too long to fit in the label's two hundred pixels.", true);
  auto agent = Agents().back();
  EXPECT_EQ(agent.caption, "Tavix Agent 2.0");
  EXPECT_EQ(agent.border, plat::BorderStyle::None);
  EXPECT_FALSE(agent.icons.systemMenu || agent.icons.minimize || agent.icons.maximize);
  EXPECT_EQ(agent.clientWidth, 286);
  EXPECT_EQ(agent.clientHeight, 58);
  EXPECT_EQ(agent.left, 800 - 305);
  EXPECT_EQ(agent.top, 600 - 144);
  Tagent* shown = nullptr;
  for (tk::Component* c : main->Components())
    if (auto* a = dynamic_cast<Tagent*>(c)) shown = a;
  ASSERT_TRUE(shown);
  EXPECT_EQ(tk::ColorToRGB(shown->GetColor()), plat::RGB(86, 112, 201));  // beneath the pictures
  EXPECT_EQ(agent.font, (plat::FontSpec{"Verdana", 13, plat::RGB(254, 243, 211), true}));
  EXPECT_FALSE(agent.icon.Empty());
  EXPECT_TRUE(agent.visible);
  // Every new notification window brings its own hint colour and the default hint timing back.
  EXPECT_EQ(app->HintColor(), plat::RGB(202, 233, 244));
  EXPECT_EQ(app->HintPause(), 500);
  EXPECT_EQ(app->HintHidePause(), 2500);

  // Drawn: the stretched bands, the icon, the heading and the message cut at the label's edge.
  std::vector<sim::DrawOp> texts, images;
  for (auto& op : sim::DisplayList("agent")) {
    if (op.kind == sim::DrawKind::Image) images.push_back(op);
    if (op.kind == sim::DrawKind::FormattedText) texts.push_back(op);
  }
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].rect.right, 286);
  EXPECT_EQ(images[0].rect.bottom, 58);
  EXPECT_EQ(images[1].rect.left, 232);
  EXPECT_EQ(images[1].rect.right, 232 + 49);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "A message far too long to fit in the label's two hundred pixels.");
  EXPECT_EQ(texts[0].rect.right, 8 + 213);
  EXPECT_EQ(texts[0].font, (plat::LogicalFont{"Verdana", 11, true}));
  EXPECT_EQ(texts[0].color, plat::RGB(254, 243, 211));
  EXPECT_EQ(texts[1].text, "INFORMATION:");
  EXPECT_EQ(texts[1].font, (plat::LogicalFont{"Verdana", 13, true}));
  EXPECT_EQ(texts[1].color, plat::RGB(40, 80, 128));
  auto flag = sim::FindControl("agent", "agstartup");
  ASSERT_TRUE(flag);
  EXPECT_FALSE(flag->visible);
  EXPECT_TRUE(flag->checked);
  EXPECT_FALSE(sim::FindControl("agent", "agtext")->visible);
}

TEST_F(Notification, SeveralWindowsEachSpeakTheirOwnMessageAndCloseThreeSecondsAfterItsOwnSpeech) {
  Install();
  Start();  // not configured: the box is answered at 1000
  PumpUntil(1001);
  main->ShowAgent("One.", true);
  main->ShowAgent("Second and longer.", true);
  main->ShowAgent("Three", false);
  auto agents = Agents();
  ASSERT_EQ(agents.size(), 4u);
  // Both shown at the same place, the later one on top.
  EXPECT_EQ(agents[1].left, agents[2].left);
  EXPECT_EQ(agents[1].top, agents[2].top);
  EXPECT_GT(agents[2].stacking, agents[1].stacking);
  EXPECT_FALSE(agents[3].visible);

  PumpUntil(1002);
  EXPECT_EQ(Spoken(), (std::vector<std::u16string>{u"\r\n", u"Three\r\n", u"Second and longer.\r\n", u"One.\r\n"}))
      << "newest first, each once";
  // Speech lengths: "One." 600 ms, "Three" 700 ms, the long one 2000 ms; each closes 3000 ms later.
  PumpUntil(1001 + 600 + 2990);
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"One.", "Second and longer.", "Three"}));
  PumpUntil(1001 + 600 + 3010);
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"Second and longer.", "Three"}));
  PumpUntil(1001 + 700 + 3010);
  EXPECT_EQ(AgentTexts(), std::vector<std::string>{"Second and longer."});
  PumpUntil(1001 + 2000 + 2990);
  EXPECT_EQ(AgentTexts().size(), 1u);
  PumpUntil(1001 + 2000 + 3010);
  EXPECT_TRUE(AgentTexts().empty());
  EXPECT_EQ(sim::Forms().size(), 1u) << "only the main window is left";
  EXPECT_EQ(Spoken().size(), 4u) << "idle moments never speak a message again";
}

TEST_F(Notification, ACloseTimerFiringTwiceReleasesItsOwnWindowOnce) {
  Install();
  Start();
  PumpUntil(1001);
  main->ShowAgent("One.", true);
  main->ShowAgent("Two.", true);
  std::vector<Tagent*> mine;
  for (tk::Component* c : main->Components())
    if (auto* agent = dynamic_cast<Tagent*>(c)) mine.push_back(agent);
  ASSERT_EQ(mine.size(), 2u);
  // Two ticks of the first window's timer before the loop turns again.
  mine[0]->agtimerTimer(mine[0]->agtimer);
  mine[0]->agtimerTimer(mine[0]->agtimer);
  PumpUntil(1002);
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"", "Two."}));
  PumpUntil(1002 + 600 + 3010);
  EXPECT_TRUE(AgentTexts().empty()) << "the other window still closes after its own speech";
}

TEST_F(Notification, TheStartUpWindowSaysNothingUnseenAndGoesWithoutTouchingLaterOnes) {
  Install();
  Configure("2", "32");
  Start();
  EXPECT_EQ(startAgent->Owner(), app.get());
  EXPECT_EQ(startAgent->info->Caption(), "");
  PumpUntil(1);
  // Its empty line is spoken (200 ms of sound) before the report's own.
  ASSERT_EQ(Spoken().size(), 2u);
  EXPECT_EQ(Spoken()[0], u"\r\n");
  PumpUntil(3190);
  ASSERT_FALSE(sim::WavePlayLog().empty());
  EXPECT_EQ(sim::WavePlayLog().front().endMs, 200u);
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"", "User resolution applied."}));
  EXPECT_FALSE(Agents()[0].visible);
  PumpUntil(3210);
  EXPECT_EQ(AgentTexts(), std::vector<std::string>{"User resolution applied."});
  EXPECT_TRUE(Agents()[0].visible);
  PumpUntil(2600 + 3010);
  EXPECT_TRUE(Agents().empty());
}

TEST_F(Notification, AWindowWhoseSpeechNeverEndsStaysUntilItsOwnerGoes) {
  Install();
  Configure("2", "32");
  sim::FailSpeechObjects(true, true);  // no speech engine: no AfterPlay
  Start();
  PumpUntil(60000);
  // Each window reported the missing engine once, by the error box, and stays.
  ASSERT_EQ(sim::MessageBoxes().size(), 2u);
  for (auto& box : sim::MessageBoxes()) {
    EXPECT_TRUE(box.error);
    EXPECT_EQ(box.text, "vuSpeech Error: Microsoft Speech API 5.1 initialization is failed.");
  }
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"", "User resolution applied."}));
  EXPECT_FALSE(main->Visible()) << "the logo still goes";
}

TEST_F(Notification, WithoutASoundDeviceTheWindowStillClosesAfterTheErrorBox) {
  Install();
  Configure("2", "32");
  sim::RefuseWaveOpen(plat::MMSYSERR_BADDEVICEID);
  Start();
  PumpUntil(60000);
  EXPECT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_TRUE(Agents().empty());
}

TEST_F(Notification, WhatIsItForShowsTheBalloonAndSpeaksWithoutAWindow) {
  Install();
  Configure("2", "32");
  Start();
  PumpUntil(10000);
  PickFromTrayMenu("What is it for?");
  PumpUntil(10001);
  auto icon = sim::FindTrayIcon(main->tray->WindowHandle(), 0);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->balloonTitle, "Quick Help");
  EXPECT_EQ(icon->balloonText,
            "This program is used for personalizing screen settings in WindowsXP. Click on \"Configure program\" to see "
            "more.");
  EXPECT_EQ(icon->balloonTimeout, 3000u);
  EXPECT_EQ(icon->balloonFlags & 3, plat::NIIF_INFO);
  auto agents = Agents();
  ASSERT_EQ(agents.size(), 1u);
  EXPECT_FALSE(agents[0].visible);
  EXPECT_EQ(AgentTexts(), std::vector<std::string>{"Personal screen settings."});
  EXPECT_EQ(Spoken().back(), u"Personal screen settings.\r\n");
  PumpUntil(10000 + 2700 + 3010);
  EXPECT_TRUE(Agents().empty());
}

TEST_F(Notification, TheTrayMenuListsItsCommandsAndExitEndsTheProgramAtOnce) {
  Install();
  Configure("2", "32");
  Start();
  PumpUntil(900);
  // A double click runs only "Configure program": the menu's default item is a separator.
  sim::DoubleClickTrayIcon(main->tray->WindowHandle(), 0);
  PumpUntil(1000);
  ASSERT_TRUE(sim::FindForm("resolution"));
  EXPECT_TRUE(sim::FindForm("resolution")->visible);
  int editors = 0;
  for (auto& f : sim::Forms()) editors += f.name == "resolution";
  EXPECT_EQ(editors, 1);
  PickFromTrayMenu("Exit");
  EXPECT_TRUE(RunUntil(60000));
  EXPECT_EQ(sim::Now(), 1000u);
  EXPECT_TRUE(sim::FindForm("resolution")->visible) << "ended with the editor open, nothing asked";
  const auto menus = sim::Menus();
  ASSERT_EQ(menus.size(), 1u);
  std::vector<std::string> captions;
  for (auto& item : menus[0].items) captions.push_back(item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Configure program", "-", "What is it for?", "-", "Exit", "About"}));
  EXPECT_TRUE(main->N1->Default());
}

}  // namespace
