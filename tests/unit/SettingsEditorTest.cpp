// The settings editor as the user meets it on the simulated desktop: its stored layout, the
// choices it reads, Apply (the file's bytes, the display request, the report), several editors
// at once, and the failures it reports.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/resolutionfrm.h"
#include "platform/display.h"
#include "platform/sim_controls.h"
#include "platform/sim_surface.h"
#include "tests/support/ProgramSim.h"

namespace {

const std::string kNotConfigured =
    "Select your prefered screen resolution and color depth and then click on \"Apply\".";
const std::string kNotInstalled = "Tavelin was not installed properly. Please reinstall.";

class SettingsEditor : public ProgramSim {
 protected:
  void SetUp() override {
    ProgramSim::SetUp();
    Install();
  }
  // "Configure program" from the tray menu; the editor's start-up (and any box of it) is over
  // when this returns.
  Tresolution* OpenEditor() {
    PickFromTrayMenu("Configure program");
    PumpUntil(sim::Now() + 10);
    return LastEditor();
  }
  Tresolution* LastEditor() const {
    Tresolution* last = nullptr;
    for (tk::Component* c : main->Components())
      if (auto* e = dynamic_cast<Tresolution*>(c)) last = e;
    return last;
  }
  // Runs on until every window is quiet: boxes answered, notifications spoken and gone.
  void Settle() { PumpUntil(sim::Now() + 10000); }
  // The notification windows `owner` made, by their text.
  static std::vector<std::string> Reports(tk::Component* owner) {
    std::vector<std::string> out;
    for (tk::Component* c : owner->Components())
      if (auto* agent = dynamic_cast<Tagent*>(c)) out.push_back(agent->info->Caption());
    return out;
  }
  static std::string Key(tk::Form* form) { return sim::FormKey(form->Handle()); }
  // The font and colour a text was drawn in.
  static plat::FontSpec Look(const sim::DrawOp& op) { return {op.font.face, op.font.pixelHeight, op.color, op.font.bold}; }
  static const sim::DrawOp* Drawn(const std::vector<sim::DrawOp>& ops, const std::string& text) {
    for (const auto& op : ops)
      if (op.text == text) return &op;
    return nullptr;
  }
};

TEST_F(SettingsEditor, OpensWithItsStoredLayoutAndHintSettings) {
  WriteUserFile("[Main]\r\nskonfigurowany=0\r\n");
  Start();
  PumpUntil(2000);
  Tresolution* editor = OpenEditor();
  ASSERT_TRUE(editor);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>({kNotConfigured, kNotConfigured}));

  auto form = sim::FindForm(Key(editor));
  ASSERT_TRUE(form);
  EXPECT_EQ(form->name, "resolution");
  EXPECT_EQ(form->caption, "Tavelin");
  EXPECT_EQ(form->border, plat::BorderStyle::Single);
  EXPECT_TRUE(form->icons.systemMenu);
  EXPECT_TRUE(form->icons.minimize);
  EXPECT_FALSE(form->icons.maximize);
  EXPECT_EQ(form->left, 286);
  EXPECT_EQ(form->top, 204);
  EXPECT_EQ(form->clientWidth, 462);
  EXPECT_EQ(form->clientHeight, 325);
  EXPECT_EQ(tk::ColorToRGB(editor->GetColor()), plat::RGB(0x43, 0x77, 0xC5));  // beneath the pictures
  EXPECT_EQ(form->font, (plat::FontSpec{"Verdana", 11, plat::RGB(0x47, 0x51, 0x7E)}));
  EXPECT_EQ(form->icon.width, 32);
  EXPECT_TRUE(form->visible);

  // Loading the editor gave the whole application its hint settings.
  EXPECT_EQ(app->HintColor(), plat::RGB(0xCA, 0xF5, 0xF9));
  EXPECT_EQ(app->HintHidePause(), 9500);
  EXPECT_EQ(app->HintPause(), 250);
  EXPECT_EQ(app->HintShortPause(), 25);
  EXPECT_EQ(app->Title(), "Tavelin");

  struct Expected {
    const char* name;
    int left, top, width, height;
    const char* text;
    bool visible;
  };
  // Native controls sit in their form's client area; a group's children are offset by the group.
  for (const Expected& e : std::vector<Expected>{{"GroupBox1", 12, 80, 205, 193, "Current Information:", true},
                                                 {"GroupBox2", 228, 80, 221, 193, "Settings:", true},
                                                 {"ch_autorun", 236, 104, 157, 17, "Run on system startup.", true},
                                                 {"ch_autoclose", 236, 128, 205, 17, "Automatically close after change.", true},
                                                 {"slider", 240, 204, 197, 35, "", true},
                                                 {"bit16", 240, 244, 93, 17, "16 Bit Depth", true},
                                                 {"bit32", 344, 244, 93, 17, "32 Bit Depth", true},
                                                 {"zamknij", 332, 284, 75, 25, "Exit", true},
                                                 {"zapisz", 252, 284, 75, 25, "Apply", true},
                                                 {"startup", 16, 60, 97, 17, "startup", false}}) {
    auto c = sim::FindControl(Key(editor), e.name);
    ASSERT_TRUE(c) << e.name;
    EXPECT_EQ((std::vector<int>{c->left, c->top, c->width, c->height}),
              (std::vector<int>{e.left, e.top, e.width, e.height}))
        << e.name;
    EXPECT_EQ(c->text, e.text) << e.name;
    EXPECT_EQ(c->visible, e.visible) << e.name;
  }
  auto slider = sim::FindControl(Key(editor), "slider");
  EXPECT_EQ((std::vector<int>{slider->min, slider->max, slider->position, slider->thumbLength}),
            (std::vector<int>{1, 4, 1, 25}));
  EXPECT_TRUE(sim::FindControl(Key(editor), "bit16")->checked);
  EXPECT_FALSE(sim::FindControl(Key(editor), "ch_autorun")->checked);
  EXPECT_FALSE(sim::FindControl(Key(editor), "startup")->checked) << "the start-up ran";
  EXPECT_EQ(sim::FindControl(Key(editor), "GroupBox1")->font.color, plat::RGB(0x2D, 0x33, 0x51));

  // What is painted: the background, then the labels in their colours.
  auto ops = sim::DisplayList(Key(editor));
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, sim::DrawKind::Image);
  EXPECT_EQ(ops[0].rect.right, 462);
  EXPECT_EQ(ops[0].rect.bottom, 325);
  auto drawn = [&](const std::string& text) { return Drawn(ops, text); };
  for (const char* text : {"1.4", "Settings are kept per user.", "Active User:", "user", "Screen Resolution:",
                           "Horizontal:", "800", "Vertical:", "600", "Screen Color Depth:", "Bit:", "No info.",
                           "Prefered display mode:", "640x480"})
    EXPECT_TRUE(drawn(text)) << text;
  EXPECT_EQ(drawn("1.4")->color, plat::RGB(0xF7, 0xF8, 0xFB));
  EXPECT_EQ(drawn("1.4")->rect.right, 346 + 112) << "right-aligned";
  EXPECT_EQ(drawn("Settings are kept per user.")->color, plat::RGB(0xF7, 0xF8, 0xFB));
  EXPECT_EQ(Look(*drawn("user")), (plat::FontSpec{"Verdana", 13, plat::RGB(0x47, 0x51, 0x7E), true}));
  EXPECT_EQ(drawn("user")->format & plat::DT_CENTER, plat::DT_CENTER);
  EXPECT_EQ(drawn("Horizontal:")->color, plat::RGB(0x2D, 0x33, 0x51));
  EXPECT_EQ(Look(*drawn("Prefered display mode:")), (plat::FontSpec{"Verdana", 11, plat::RGB(0x47, 0x51, 0x7E), true}));
  EXPECT_EQ(drawn("640x480")->color, plat::RGB(0x47, 0x51, 0x7E));

  EXPECT_EQ(editor->wersja->Hint(), "Current program version. Click on the arrow logo for more info.");
  const plat::RECT region = editor->aboutregion->BoundsRect();
  EXPECT_EQ((std::vector<int>{region.left, region.top, region.right, region.bottom}),
            (std::vector<int>{416, 280, 449, 309}));
  EXPECT_EQ(editor->aboutregion->Hint(), "View the about screen.");
  EXPECT_EQ(editor->uzytkownik->Hint(), "Your Windows user name.");
  EXPECT_EQ(editor->slider->Hint(), "Slide to adjust resolution.");
  EXPECT_EQ(editor->zapisz->Hint(), "Save configuration.");
  EXPECT_TRUE(editor->slider->ShowHint());
  EXPECT_TRUE(editor->depth->Hint().empty());
}

TEST_F(SettingsEditor, TheKeyboardGoesThroughTheChoicesThenExitBeforeApply) {
  WriteUserFile("[Main]\r\nskonfigurowany=1\r\n");
  Start();
  PumpUntil(100);
  Tresolution* editor = OpenEditor();
  std::vector<std::string> order;
  sim::FocusControl(Key(editor), "ch_autorun");
  for (int i = 0; i < 6; ++i) {
    for (const auto& c : sim::Controls(Key(editor)))
      if (c.focused) order.push_back(c.name);
    sim::PressTab(Key(editor));
  }
  // A stored depth other than "16" selected "32 Bit Depth", the radio group's one tab stop.
  EXPECT_EQ(order, std::vector<std::string>({"ch_autorun", "ch_autoclose", "slider", "bit32", "zamknij", "zapisz"}));
}

TEST_F(SettingsEditor, ShowsTheStoredChoicesAndApplySavesAndSwitches) {
  Configure("3", "32", true, false);
  Start();
  PumpUntil(5000);
  sim::SetScreenSize(1280, 1024);  // the screen as it is when the editor opens
  Tresolution* editor = OpenEditor();
  EXPECT_EQ(editor->slider->Position(), 3);
  EXPECT_EQ(editor->rozdzielczosc->Caption(), "1024x768");
  EXPECT_TRUE(editor->bit32->Checked());
  EXPECT_TRUE(sim::FindControl(Key(editor), "bit32")->checked);
  EXPECT_FALSE(sim::FindControl(Key(editor), "bit16")->checked);
  EXPECT_TRUE(sim::FindControl(Key(editor), "ch_autorun")->checked);
  EXPECT_FALSE(sim::FindControl(Key(editor), "ch_autoclose")->checked);
  EXPECT_EQ(sim::FindControl(Key(editor), "slider")->position, 3);
  EXPECT_EQ(editor->h_res->Caption(), "1280");
  EXPECT_EQ(editor->v_res->Caption(), "1024");
  EXPECT_EQ(editor->uzytkownik->Caption(), "user");
  EXPECT_EQ(editor->wersja->Caption(), "1.4");
  EXPECT_EQ(editor->depth->Caption(), "No info.");

  // The user picks 1280x1024 at 16 bits, drops the run at log-on, and applies.
  sim::MoveTrackBar(Key(editor), "slider", 4);
  EXPECT_EQ(editor->rozdzielczosc->Caption(), "1280x1024");
  sim::ClickControl(Key(editor), "bit16");
  sim::ClickControl(Key(editor), "ch_autorun");
  sim::ClickControl(Key(editor), "ch_autoclose");
  sim::ClickControl(Key(editor), "zapisz");
  Settle();

  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=4\r\nautorun=0\r\nautoclose=1\r\nglebia=16\r\nskonfigurowany=1\r\n");
  auto changes = sim::DisplayChanges();
  ASSERT_EQ(changes.size(), 2u) << "the start-up's, then Apply's";
  EXPECT_EQ(changes[1].mode->dmPelsWidth, 1280u);
  EXPECT_EQ(changes[1].mode->dmPelsHeight, 1024u);
  EXPECT_EQ(changes[1].mode->dmBitsPerPel, 16u);
  EXPECT_EQ(changes[1].mode->dmFields, 0x1C0000u);
  EXPECT_FALSE(editor->Visible()) << "Apply closes the editor";
  EXPECT_EQ(LastEditor(), editor) << "a closed editor stays with its owner";
  EXPECT_EQ(Spoken().back(), u"User resolution applied.\r\n") << "Apply's report";
  EXPECT_FALSE(app->Terminated()) << "Apply does not arm the auto-close";
}

TEST_F(SettingsEditor, ApplyBeforeTheEditorsFirstIdleMomentReadsTheFileFirstAndSaves) {
  Configure("3", "16", false, true);
  Start();
  PumpUntil(5000);
  // A busy machine: Apply is pressed before the editor had the idle moment of its start-up.
  auto* editor = tk::CreateForm<Tresolution>(main);
  editor->Show();
  sim::ClickControl(Key(editor), "zapisz");
  Settle();
  EXPECT_TRUE(BoxTexts().empty()) << "not a missing installation";
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=3\r\nautorun=0\r\nautoclose=1\r\nglebia=16\r\nskonfigurowany=1\r\n")
      << "the stored choices, saved again";
  EXPECT_FALSE(editor->Visible());
}

TEST_F(SettingsEditor, AModeStoredInAnyOtherFormLeavesTheFirstAndApplyWritesIt) {
  for (const char* stored : {"7", "0x3"}) {
    SCOPED_TRACE(stored);
    TearDown();
    SetUp();
    WriteUserFile(std::string("[Main]\r\nresolution=") + stored + "\r\nglebia=x\r\nskonfigurowany=1\r\n");
    Start();
    PumpUntil(100);
    Tresolution* editor = OpenEditor();
    EXPECT_EQ(sim::FindControl(Key(editor), "slider")->position, 1);
    EXPECT_EQ(editor->rozdzielczosc->Caption(), "640x480");
    EXPECT_TRUE(editor->bit32->Checked()) << "any depth but \"16\" is 32 bits";
    sim::ClickControl(Key(editor), "zapisz");
    Settle();
    EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=1\r\nglebia=32\r\nskonfigurowany=1\r\nautorun=0\r\nautoclose=0\r\n");
    auto changes = sim::DisplayChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].mode->dmPelsWidth, stored == std::string("0x3") ? 1024u : 800u)
        << "the main window reads the code as a number";
    EXPECT_EQ(changes[1].mode->dmPelsWidth, 640u);
    EXPECT_EQ(changes[1].mode->dmBitsPerPel, 32u);
  }
}

TEST_F(SettingsEditor, ANewlyCheckedRunAtLogOnIsSavedAndMakesItsEntryAtTheNextStart) {
  Configure("2", "32", false, false);
  Start();
  PumpUntil(5000);
  Tresolution* editor = OpenEditor();
  EXPECT_FALSE(editor->ch_autorun->Checked());
  sim::ClickControl(Key(editor), "ch_autorun");
  sim::ClickControl(Key(editor), "zapisz");
  Settle();
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=2\r\nautorun=1\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r\n");
  const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_FALSE(sim::GetRegistryValue(plat::HKEY_LOCAL_MACHINE, run, "tavelin.exe"))
      << "Apply only saves the choice; the start-up is what follows it";

  StartAgain();
  PumpUntil(sim::Now() + 5000);
  EXPECT_TRUE(sim::GetRegistryValue(plat::HKEY_LOCAL_MACHINE, run, "tavelin.exe"));
}

TEST_F(SettingsEditor, NotConfiguredTheFirstApplyWritesAllFiveKeys) {
  Start();
  PumpUntil(2000);
  Tresolution* editor = OpenEditor();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>({kNotConfigured, kNotConfigured}));
  EXPECT_EQ(editor->slider->Position(), 1);
  EXPECT_TRUE(editor->bit16->Checked());
  EXPECT_FALSE(editor->ch_autorun->Checked());
  EXPECT_FALSE(editor->ch_autoclose->Checked());
  sim::SetDisplayChangeResults({plat::DISP_CHANGE_BADMODE});
  sim::At(500, [&] {
    // The report comes while the editor is already out of the way.
    EXPECT_EQ(sim::MessageBoxes().back().text, "Error 4: Your machine does not support this mode.");
    EXPECT_TRUE(sim::MessageBoxes().back().open);
    EXPECT_FALSE(sim::FindForm(Key(editor))->visible);
    EXPECT_TRUE(Reports(main).empty());
  });
  sim::ClickControl(Key(editor), "zapisz");
  PumpUntil(sim::Now() + 1500);
  EXPECT_EQ(Reports(main), std::vector<std::string>({"Mode not supported."}));
  // A new file in the order of the writes.
  EXPECT_EQ(Contents(UserFile()), "[Main]\nresolution=1\nautorun=0\nautoclose=0\nglebia=16\nskonfigurowany=1\n");
  auto changes = sim::DisplayChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].mode->dmPelsWidth, 640u);
  EXPECT_EQ(changes[0].mode->dmPelsHeight, 480u);
  EXPECT_EQ(changes[0].mode->dmBitsPerPel, 16u);
  EXPECT_FALSE(editor->Visible());
}

TEST_F(SettingsEditor, TwoEditorsAreIndependentExitInOneApplyInTheOther) {
  WriteUserFile("[Main]\r\nresolution=2\r\nglebia=32\r\nskonfigurowany=1\r\n");
  Start();
  PumpUntil(5000);
  Tresolution* first = OpenEditor();
  Tresolution* second = OpenEditor();
  ASSERT_NE(first, second);
  // Each has its own controls.
  sim::MoveTrackBar(Key(first), "slider", 4);
  sim::ClickControl(Key(first), "bit16");
  sim::MoveTrackBar(Key(second), "slider", 3);
  sim::ClickControl(Key(second), "ch_autoclose");
  EXPECT_EQ(first->rozdzielczosc->Caption(), "1280x1024");
  EXPECT_EQ(second->rozdzielczosc->Caption(), "1024x768");
  EXPECT_TRUE(second->bit32->Checked());

  sim::ClickControl(Key(first), "zamknij");
  EXPECT_FALSE(sim::FindForm(Key(first))->visible);
  EXPECT_TRUE(sim::FindForm(Key(second))->visible);
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=2\r\nglebia=32\r\nskonfigurowany=1\r\n") << "Exit saves nothing";

  sim::ClickControl(Key(second), "zapisz");
  Settle();
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=3\r\nglebia=32\r\nskonfigurowany=1\r\nautorun=0\r\nautoclose=1\r\n");
  auto changes = sim::DisplayChanges();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[1].mode->dmPelsWidth, 1024u);
  EXPECT_EQ(changes[1].mode->dmBitsPerPel, 32u);
  EXPECT_FALSE(first->Visible());
  EXPECT_FALSE(second->Visible());
  EXPECT_EQ(first->slider->Position(), 4) << "the closed editor kept its own choice";
  // The close box hides as well.
  Tresolution* third = OpenEditor();
  EXPECT_TRUE(sim::CloseForm(Key(third)));
  EXPECT_FALSE(third->Visible());
  EXPECT_EQ(LastEditor(), third);
}

TEST_F(SettingsEditor, ApplyIntoAMissingFolderReportsItAndKeepsTheEditorOpen) {
  const std::string missing = Folder() + "gone/";
  Start();
  PumpUntil(2000);
  sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kInstallKey, "sciezka", missing);
  Tresolution* editor = OpenEditor();
  sim::MoveTrackBar(Key(editor), "slider", 3);
  sim::ClickControl(Key(editor), "zapisz");
  Settle();
  auto boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, "Unable to write to " + missing + "user.");
  EXPECT_TRUE(boxes[2].error);
  EXPECT_EQ(boxes[2].caption, "Tavelin");
  EXPECT_TRUE(editor->Visible()) << "the choices are still there to save";
  EXPECT_EQ(sim::FindControl(Key(editor), "slider")->position, 3);
  EXPECT_TRUE(sim::DisplayChanges().empty());
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_TRUE(Reports(main).empty());
}

TEST_F(SettingsEditor, AMissingInstallKeyEndsTheProgramFromTheEditor) {
  Configure("3", "32");
  Start();
  PumpUntil(5000);
  sim::SetHiveText(plat::HKEY_LOCAL_MACHINE, "");  // uninstalled while the program runs
  PickFromTrayMenu("Configure program");
  sim::At(500, [&] { EXPECT_TRUE(Reports(LastEditor()).empty()) << "the box comes first"; });
  EXPECT_TRUE(RunUntil(100000)) << "termination was requested";
  Tresolution* editor = LastEditor();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>({kNotInstalled}));
  ASSERT_EQ(Reports(editor), std::vector<std::string>({"Program not properly installed."}));
  std::optional<sim::FormRecord> agent;
  for (const auto& f : Agents())
    if (f.visible) agent = f;
  ASSERT_TRUE(agent);
  EXPECT_EQ(agent->left, 1024 - 305);
  EXPECT_EQ(agent->top, 768 - 144);
  EXPECT_EQ(editor->uzytkownik->Caption(), "Unknown");
  EXPECT_EQ(editor->h_res->Caption(), "Unknown.");
  EXPECT_EQ(editor->slider->Position(), 1);
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=3\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r\n");
}

TEST_F(SettingsEditor, ABrokenInstallPathStopsTheStartUpAndApplyHasNowhereToSave) {
  Configure("3", "32");
  Start();
  PumpUntil(5000);
  sim::SetRegistryValue(plat::HKEY_LOCAL_MACHINE, kInstallKey, "sciezka", {plat::REG_DWORD, std::string(4, '\0')});
  Tresolution* editor = OpenEditor();
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].text, "Invalid data type for 'sciezka'");
  EXPECT_TRUE(sim::MessageBoxes()[0].error);
  EXPECT_EQ(editor->uzytkownik->Caption(), "user") << "the start-up got as far as the user name";
  EXPECT_EQ(editor->h_res->Caption(), "Unknown.");

  sim::MoveTrackBar(Key(editor), "slider", 2);
  sim::ClickControl(Key(editor), "zapisz");
  Settle();
  ASSERT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_EQ(sim::MessageBoxes()[1].text, kNotInstalled);
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(editor->slider->Position(), 2);
  EXPECT_EQ(sim::DisplayChanges().size(), 1u) << "only the start-up's";
  EXPECT_EQ(Contents(UserFile()), "[Main]\r\nresolution=3\r\nautorun=0\r\nautoclose=0\r\nglebia=32\r\nskonfigurowany=1\r\n");
}

}  // namespace
