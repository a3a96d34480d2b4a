// The program's start as a user meets it on the simulated desktop: the logo, the boxes in order,
// the display-mode request, the notification windows and their speech, the hide and auto-close
// timers, and what is on disk afterwards.
#include <gtest/gtest.h>

#include "app/ConfigurationError.h"
#include "tests/support/ProgramSim.h"

namespace {

using ProgramStart = ProgramSim;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<sim::RegistryValue> RunEntry() {
  return sim::GetRegistryValue(plat::HKEY_LOCAL_MACHINE, kRunKey, "tavelin.exe");
}

TEST_F(ProgramStart, AFirstStartAsksForAChoiceChangesNothingAndStaysInTheTray) {
  Install();
  Start();
  PumpUntil(1);
  ASSERT_EQ(BoxTexts(), std::vector<std::string>{
                            "Select your prefered screen resolution and color depth and then click on \"Apply\"."});
  EXPECT_EQ(boxOpenedAt, std::vector<std::uint64_t>{0});
  // Under the box the logo shows the version; the user's name is known.
  auto logo = sim::FindForm("Tavelin");
  ASSERT_TRUE(logo);
  EXPECT_TRUE(logo->visible);
  EXPECT_EQ(logo->left, (800 - 258) / 2);
  EXPECT_EQ(logo->top, (600 - 81) / 2);
  EXPECT_EQ(main->wersja->Caption(), "1.4");
  EXPECT_EQ(main->uzytkownik->Caption(), "user");
  EXPECT_TRUE(main->NotConfigured());

  // Dismissed at 1000: the logo goes 3.5 s later; the tray icon stays, nothing else happened.
  PumpUntil(4499);
  EXPECT_TRUE(sim::FindForm("Tavelin")->visible);
  EXPECT_FALSE(RunUntil(20000));
  EXPECT_FALSE(sim::FindForm("Tavelin")->visible);
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_TRUE(sim::DisplayChanges().empty());
  EXPECT_EQ(Spoken(), std::vector<std::u16string>{u"\r\n"}) << "only the start-up window's empty line";
  EXPECT_FALSE(std::filesystem::exists(UserFile())) << "reading creates no file";
  EXPECT_FALSE(RunEntry());
  EXPECT_EQ(sim::FindTrayIcon(main->tray->WindowHandle(), 0)->tip, "");
}

// What the user is told for each answer of the display-mode change.
struct Outcome {
  plat::LONG result;
  const char* box;  // null: no box
  const char* notice;
};

void PrintTo(const Outcome& outcome, std::ostream* out) { *out << "result " << outcome.result; }

class EveryOutcome : public ProgramSim, public testing::WithParamInterface<Outcome> {};

TEST_P(EveryOutcome, IsReportedByItsBoxThenAShownSpokenNotificationAndTheLogoGoesAfterwards) {
  const Outcome outcome = GetParam();
  Install();
  Configure("3", "32");
  sim::SetDisplayChangeResults({outcome.result});
  Start();
  EXPECT_FALSE(RunUntil(30000));

  // One request: 1024 x 768 at 32 bits, nothing else set, not saved by the platform.
  ASSERT_EQ(sim::DisplayChanges().size(), 1u);
  const auto change = sim::DisplayChanges()[0];
  EXPECT_EQ(change.flags, 0u);
  ASSERT_TRUE(change.mode);
  EXPECT_EQ(change.mode->dmSize, 156);
  EXPECT_EQ(change.mode->dmFields, 0x1C0000u);
  EXPECT_EQ(change.mode->dmPelsWidth, 1024u);
  EXPECT_EQ(change.mode->dmPelsHeight, 768u);
  EXPECT_EQ(change.mode->dmBitsPerPel, 32u);

  const bool boxed = outcome.box != nullptr;
  EXPECT_EQ(BoxTexts(), boxed ? std::vector<std::string>{outcome.box} : std::vector<std::string>{});
  EXPECT_EQ(Spoken(), (std::vector<std::u16string>{u"\r\n", plat::AnsiToWide(std::string(outcome.notice) + "\r\n")}));
}

TEST_P(EveryOutcome, ShowsItsNotificationAtTheCornerOfTheScreenAsItIsAfterTheChange) {
  const Outcome outcome = GetParam();
  Install();
  Configure("3", "16");
  sim::SetDisplayChangeResults({outcome.result});
  Start();
  // The box (if any) is answered at 1000; the notice comes right after it.
  const std::uint64_t shownAt = outcome.box ? 1000 : 0;
  PumpUntil(shownAt + 1);
  const int width = outcome.result == plat::DISP_CHANGE_SUCCESSFUL ? 1024 : 800;
  const int height = outcome.result == plat::DISP_CHANGE_SUCCESSFUL ? 768 : 600;
  auto agents = Agents();
  ASSERT_EQ(agents.size(), 2u);
  EXPECT_FALSE(agents[0].visible) << "the start-up window is never shown";
  EXPECT_TRUE(agents[1].visible);
  EXPECT_EQ(agents[1].caption, "Tavix Agent 2.0");
  EXPECT_EQ(agents[1].left, width - 305);
  EXPECT_EQ(agents[1].top, height - 144);
  EXPECT_EQ(AgentTexts(), (std::vector<std::string>{"", outcome.notice}));

  // The logo goes 3.5 s after the hide timer was armed: after the change, or after the box.
  PumpUntil(shownAt + 3499);
  EXPECT_TRUE(main->Visible());
  PumpUntil(shownAt + 3501);
  EXPECT_FALSE(main->Visible());
  EXPECT_EQ(sim::FindTrayIcon(main->tray->WindowHandle(), 0).has_value(), true);

  // The notice closes 3000 ms after its own speech: 100 ms a character, line end included.
  const std::uint64_t speech = (std::string(outcome.notice).size() + 2) * 100;
  PumpUntil(shownAt + speech + 2990);
  EXPECT_EQ(Agents().size(), 1u) << "the start-up window went at 3200";
  PumpUntil(shownAt + speech + 3010);
  EXPECT_TRUE(Agents().empty());
  EXPECT_FALSE(app->Terminated());
}

INSTANTIATE_TEST_SUITE_P(
    ProgramStart, EveryOutcome,
    testing::Values(
        Outcome{plat::DISP_CHANGE_SUCCESSFUL, nullptr, "User resolution applied."},
        Outcome{plat::DISP_CHANGE_RESTART, "Error 1: You need to reboot your machine to make changes. Read program help.",
                "Error."},
        Outcome{plat::DISP_CHANGE_BADFLAGS, "Error 2: Unknown error. Try other graphic modes.", "Error."},
        Outcome{plat::DISP_CHANGE_FAILED, "Error 3: Unkown error. Try other graphic modes.", "Error."},
        Outcome{plat::DISP_CHANGE_BADMODE, "Error 4: Your machine does not support this mode.", "Mode not supported."},
        Outcome{plat::DISP_CHANGE_NOTUPDATED, "Error 5: Your screen settings could not be updated. Try again.", "Error."},
        Outcome{-5, "Error: Unknown error code.", "Unknown error. Try again."},
        Outcome{7, "Error: Unknown error code.", "Unknown error. Try again."}),
    [](const testing::TestParamInfo<Outcome>& info) {
      const plat::LONG r = info.param.result;
      return (r < 0 ? "Minus" : "Result") + std::to_string(r < 0 ? -r : r);
    });

TEST_F(ProgramStart, EachApplyReadsTheFileAgainAndAnyOtherCodeMeans800By600) {
  Install();
  Configure("1", "16");
  Start();
  PumpUntil(1);
  struct Case {
    const char* mode;
    const char* depth;
    plat::DWORD width, height, bits;
  };
  for (const Case c : {Case{"4", "16", 1280, 1024, 16}, Case{"0", "24", 800, 600, 32}, Case{"5", "x", 800, 600, 32},
                       Case{"three", "016", 800, 600, 32}, Case{"0x3", "32", 1024, 768, 32}}) {
    Configure(c.mode, c.depth);
    main->ApplyDisplayMode();
    const auto change = sim::DisplayChanges().back();
    EXPECT_EQ(change.mode->dmPelsWidth, c.width) << c.mode;
    EXPECT_EQ(change.mode->dmPelsHeight, c.height) << c.mode;
    EXPECT_EQ(change.mode->dmBitsPerPel, c.bits) << c.depth;
  }
  WriteUserFile("[Main]\r\nskonfigurowany=1\r\n");
  main->ApplyDisplayMode();
  EXPECT_EQ(sim::DisplayChanges().back().mode->dmPelsWidth, 800u) << "no resolution key: code 2";
  EXPECT_EQ(sim::DisplayChanges().back().mode->dmBitsPerPel, 32u);
  ASSERT_EQ(sim::DisplayChanges().size(), 7u);
  EXPECT_EQ(sim::DisplayChanges()[0].mode->dmPelsWidth, 640u);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_EQ(AgentTexts().size(), 8u) << "each report has a window of its own";
}

TEST_F(ProgramStart, AutoRunFollowsTheStoredChoiceAndAutoCloseEndsTheProgram120SecondsAfterTheChange) {
  Install();
  Configure("2", "32", true, true);
  okAfterMs = 5000;
  sim::SetDisplayChangeResults({plat::DISP_CHANGE_RESTART});  // the change is reported after the box
  Start();
  EXPECT_FALSE(RunEntry()) << "loading the window removes the entry";
  PumpUntil(1);
  ASSERT_TRUE(RunEntry());
  EXPECT_EQ(RunEntry()->data, std::string("C:\\Program Files\\Tavelin\\tavelin.exe") + '\0');
  // The timer is armed after the change's report, at 5000; an editor opened from the tray in
  // between does not hold the end back.
  PumpUntil(60000);
  sim::DoubleClickTrayIcon(main->tray->WindowHandle(), 0);
  PumpUntil(60001);
  auto editor = sim::FindForm("resolution");
  ASSERT_TRUE(editor);
  EXPECT_TRUE(editor->visible);
  EXPECT_TRUE(RunUntil(200000));
  EXPECT_EQ(sim::Now(), 5000u + 120000u);
  EXPECT_TRUE(sim::FindForm("resolution")->visible);
}

TEST_F(ProgramStart, WithoutAutoCloseTheProgramStaysAndAnUnconfiguredFileDoesNotTouchTheRunEntry) {
  Install();
  Configure("2", "32", false, false);
  sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kRunKey, "tavelin.exe", "C:\\old\\tavelin.exe");
  Start();
  EXPECT_FALSE(RunUntil(300000));
  EXPECT_FALSE(RunEntry()) << "autorun 0: the entry is gone";
  EXPECT_FALSE(main->AutoClose());
}

TEST_F(ProgramStart, AMissingInstallKeyIsReportedAndEndsTheProgramWithoutReadingOrChangingAnything) {
  sim::SetUserName("anna");
  Start();
  EXPECT_TRUE(RunUntil(60000));
  EXPECT_EQ(sim::Now(), 1000u) << "it ends as soon as the box is answered";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Tavelin was not installed properly. Please reinstall."});
  EXPECT_FALSE(main->InstallKeyOpened());
  EXPECT_EQ(main->uzytkownik->Caption(), "uzytkownik") << "no user name was read";
  EXPECT_EQ(main->Settings(), nullptr);
  EXPECT_FALSE(main->Timer2->Enabled());
  EXPECT_TRUE(sim::DisplayChanges().empty());
  auto agents = Agents();
  ASSERT_EQ(agents.size(), 2u);
  EXPECT_TRUE(agents[1].visible);
  EXPECT_EQ(AgentTexts().back(), "Program not properly installed.");
  EXPECT_EQ(sim::HiveText(plat::HKEY_LOCAL_MACHINE).find("Brenlow"), std::string::npos) << "the key was not created";
  EXPECT_TRUE(std::filesystem::is_empty(sim::WindowsDirectory()));
}

TEST_F(ProgramStart, IdleMomentsTimersAndTrayCommandsDuringABoxNeverRunTheStartUpTwice) {
  Install();
  Configure("3", "32");
  sim::SetDisplayChangeResults({plat::DISP_CHANGE_BADMODE});
  okAfterMs = 10000;
  Start();
  // While the box is open: timers tick, idle moments come, the quick help works.
  int idleMoments = 0;
  auto* counter = new TCustomApplicationEvents(app.get());
  counter->OnIdle = [&](tk::Component*, bool&) { ++idleMoments; };
  sim::At(3000, [this] { PickFromTrayMenu("What is it for?"); });
  EXPECT_FALSE(RunUntil(20000));
  EXPECT_GT(idleMoments, 3);
  EXPECT_EQ(sim::DisplayChanges().size(), 1u);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error 4: Your machine does not support this mode."});
  EXPECT_EQ(Spoken(), (std::vector<std::u16string>{u"\r\n", u"Personal screen settings.\r\n", u"Mode not supported.\r\n"}));
  EXPECT_FALSE(main->Visible()) << "hidden 3.5 s after the box";
}

TEST_F(ProgramStart, ApplyingWithoutTheUsersFileIsAnErrorNotACrash) {
  sim::SetRegistryValue(plat::HKEY_LOCAL_MACHINE, kInstallKey, "sciezka", {plat::REG_BINARY, "C:"});
  Start();
  PumpUntil(2000);
  ASSERT_EQ(main->Settings(), nullptr);
  // As an editor's Apply would call it.
  EXPECT_THROW(main->ApplyDisplayMode(), ConfigurationError);
  EXPECT_TRUE(sim::DisplayChanges().empty());
}

TEST_F(ProgramStart, AnUnreadableInstallPathEndsTheStartUpWithTheErrorBoxAndItIsNotTriedAgain) {
  sim::SetRegistryValue(plat::HKEY_LOCAL_MACHINE, kInstallKey, "sciezka", {plat::REG_DWORD, std::string(4, '\0')});
  Start();
  EXPECT_FALSE(RunUntil(10000));
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_TRUE(sim::MessageBoxes()[0].error);
  EXPECT_EQ(sim::MessageBoxes()[0].text, "Invalid data type for 'sciezka'");
  EXPECT_TRUE(sim::DisplayChanges().empty());
  EXPECT_EQ(main->wersja->Caption(), "1.4");
}

}  // namespace
