// Application properties and the sharing of application events among windows.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "desktop/qelAppProps.h"
#include "platform/messages.h"
#include "tests/support/PropsForm.h"
#include "tests/unit/SimApp.h"
#include "toolkit/Action.h"
#include "toolkit/Form.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Screen.h"

namespace {

// A window whose application-properties component always lives in the same storage, so that a
// new one lands exactly where a destroyed one was.
class SlotProps : public TqelApplicationProperties {
 public:
  using TqelApplicationProperties::TqelApplicationProperties;
  static void* operator new(std::size_t size);
  static void operator delete(void*) noexcept { inUse = false; }
  static inline bool inUse = false;
};

alignas(std::max_align_t) unsigned char slotStorage[sizeof(SlotProps)];

void* SlotProps::operator new(std::size_t size) {
  if (inUse || size > sizeof slotStorage) throw std::bad_alloc();
  inUse = true;
  return slotStorage;
}

class SlotForm : public PropsForm {
 public:
  using PropsForm::PropsForm;

 protected:
  TqelApplicationProperties* NewProps() override { return new SlotProps(this); }
};

class AppProps : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    new TMultiCaster(app.get());
  }
  void TearDown() override {
    ReleaseAppPropList();
    SimAppTest::TearDown();
    EXPECT_EQ(MultiCaster(), nullptr);
  }

  PropsForm* Window(const std::string& name, PropsForm::Layout layout = {}) {
    return tk::CreateForm<PropsForm>(app.get(), name, std::move(layout));
  }

  // One idle moment: the queue is empty in these tests, and a scripted no-op wakes the loop
  // from the sleep that follows.
  void IdleMoment() {
    sim::At(0, [] {});
    app->HandleMessage();
  }

  std::vector<std::string> log;
};

TEST_F(AppProps, EveryWindowsIdleHandlerRunsOncePerIdleMomentNewestFirst) {
  auto* main = Window("main");
  auto* agent = Window("agent");
  auto* editor = Window("editor");
  for (auto* w : {main, agent, editor}) {
    w->props->OnIdle = [this, w](tk::Component* sender, bool& done) {
      EXPECT_EQ(sender, app.get());
      log.push_back(w->Name());
    };
  }
  // A handler that opens a window: the new window's handler first runs at the next moment.
  PropsForm* late = nullptr;
  agent->props->OnIdle = [&](tk::Component*, bool&) {
    log.push_back("agent");
    if (!late) {
      late = Window("late");
      late->props->OnIdle = [this](tk::Component*, bool&) { log.push_back("late"); };
    }
  };
  IdleMoment();
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"editor", "agent", "main", "late", "editor", "agent", "main"}));
  EXPECT_EQ(MultiCaster()->DispatchDepth(), 0);
}

TEST_F(AppProps, AnInstanceDestroyedDuringADispatchIsNeverCalledAndNoOtherIsSkippedOrRepeated) {
  auto* a = Window("a");
  auto* b = Window("b");
  auto* c = Window("c");
  auto* d = Window("d");
  std::map<std::string, int> calls;
  for (auto* w : {a, b, c, d})
    w->props->OnIdle = [&calls, w](tk::Component*, bool&) { ++calls[w->Name()]; };
  PropsForm* replacement = nullptr;
  d->props->OnIdle = [&](tk::Component*, bool&) {
    ++calls["d"];
    delete c;  // an older window goes while the walk is at d
    delete d;  // and d itself
    // A new window may land where an old one was: it is not called in this pass.
    replacement = Window("replacement");
    replacement->props->OnIdle = [&](tk::Component*, bool&) { ++calls["replacement"]; };
  };
  IdleMoment();
  EXPECT_EQ(calls, (std::map<std::string, int>{{"a", 1}, {"b", 1}, {"d", 1}}));
  calls.clear();
  IdleMoment();
  EXPECT_EQ(calls, (std::map<std::string, int>{{"a", 1}, {"b", 1}, {"replacement", 1}}));
}

TEST_F(AppProps, AnIdleHandlerThatSetsDoneFalseGetsAnotherPassBeforeAnyMessage) {
  auto* older = Window("older");
  auto* newer = Window("newer");
  int morePasses = 2;
  newer->props->OnIdle = [&](tk::Component*, bool& done) {
    log.push_back("newer@" + std::to_string(sim::Now()));
    if (morePasses > 0) {
      --morePasses;
      done = false;
    }
  };
  // Done is in/out: the older handler sees what the newer one left.
  older->props->OnIdle = [&](tk::Component*, bool& done) { log.push_back(done ? "older: done" : "older: again"); };
  RunFor(100);
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 6),
            (std::vector<std::string>{"newer@0", "older: again", "newer@0", "older: again", "newer@0", "older: done"}));
  EXPECT_EQ(std::count(log.begin(), log.end(), "newer@0"), 3) << "the third pass left Done true: the loop slept";
}

TEST_F(AppProps, AnExceptionReachesEveryWindowWithAHandlerAndOnlyWithoutOneTheErrorBox) {
  auto* a = Window("a");
  Window("b");  // no handler: not called, and does not count as one
  auto* c = Window("c");
  for (auto* w : {a, c}) {
    w->props->OnException = [this, w](tk::Component* sender, const std::exception& e) {
      EXPECT_EQ(sender, app.get());
      log.push_back(w->Name() + ": " + e.what());
    };
  }
  sim::At(0, [] { sim::PressOk(); });  // should a box wrongly open
  app->HandleException(std::runtime_error("Disk full"));
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"c: Disk full", "a: Disk full"}));
  EXPECT_TRUE(sim::MessageBoxes().empty());

  a->props->OnException = nullptr;
  c->props->OnException = nullptr;
  sim::At(0, [] { sim::PressOk(); });
  app->HandleException(std::runtime_error("Disk full"));
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].text, "Disk full.");
  EXPECT_TRUE(sim::MessageBoxes()[0].error);
  EXPECT_EQ(MultiCaster()->DispatchDepth(), 0);
}

TEST_F(AppProps, AnIdleHandlerThatThrowsEndsItsPassAndTheDispatchIsOverWhenTheErrorIsShown) {
  auto* oldest = Window("oldest");
  auto* middle = Window("middle");
  auto* newest = Window("newest");
  bool thrown = false;
  newest->props->OnIdle = [&](tk::Component*, bool&) {
    log.push_back("newest");
    if (!std::exchange(thrown, true)) throw std::runtime_error("Out of memory");
  };
  middle->props->OnIdle = [&](tk::Component*, bool&) { log.push_back("middle"); };
  oldest->props->OnIdle = [&](tk::Component*, bool&) { log.push_back("oldest"); };
  middle->props->OnException = [&](tk::Component*, const std::exception& e) {
    // Only the exception's own dispatch is running: the idle one has ended.
    log.push_back(std::string(e.what()) + " at depth " + std::to_string(MultiCaster()->DispatchDepth()));
  };
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"newest", "Out of memory at depth 1"}));
  EXPECT_EQ(MultiCaster()->DispatchDepth(), 0);
  log.clear();
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"newest", "middle", "oldest"}));
  EXPECT_EQ(MultiCaster()->DispatchDepth(), 0);
}

TEST_F(AppProps, ANewWindowAtTheAddressOfOneDestroyedDuringADispatchWaitsForTheNextOne) {
  auto* oldest = Window("oldest");
  auto* reused = tk::CreateForm<SlotForm>(app.get(), "reused");
  auto* newest = Window("newest");
  TqelApplicationProperties* const slot = reused->props;
  SlotForm* fresh = nullptr;
  auto logIdle = [this](const std::string& name) {
    return [this, name](tk::Component*, bool&) { log.push_back(name); };
  };
  oldest->props->OnIdle = logIdle("oldest");
  reused->props->OnIdle = logIdle("reused");
  newest->props->OnIdle = [&](tk::Component*, bool&) {
    log.push_back("newest");
    if (fresh) return;
    delete reused;
    fresh = tk::CreateForm<SlotForm>(app.get(), "fresh");
    ASSERT_EQ(fresh->props, slot) << "the new component did not land where the old one was";
    fresh->props->OnIdle = [&](tk::Component*, bool&) { log.push_back("fresh"); };
  };
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"newest", "oldest"}));
  log.clear();
  IdleMoment();
  EXPECT_EQ(log, (std::vector<std::string>{"fresh", "newest", "oldest"}));

  // The same in the registry's walk, where the newcomer would end the walk if it were visited.
  log.clear();
  delete fresh;
  reused = tk::CreateForm<SlotForm>(app.get(), "reused");
  auto* newer = Window("newer");
  fresh = nullptr;
  oldest->props->OnActiveFormChange = [this](tk::Component*) { log.push_back("oldest"); };
  reused->props->OnActiveFormChange = [this](tk::Component*) { log.push_back("reused"); };
  newest->props->OnActiveFormChange = [this](tk::Component*) { log.push_back("newest"); };
  newer->props->OnActiveFormChange = [&](tk::Component*) {
    log.push_back("newer");
    if (fresh) return;
    delete reused;
    fresh = tk::CreateForm<SlotForm>(app.get(), "fresh", [](TqelApplicationProperties& p) { p.SetChained(false); });
    ASSERT_EQ(fresh->props, slot);
    fresh->props->OnActiveFormChange = [this](tk::Component*) { log.push_back("fresh"); };
  };
  tk::TheScreen().SetActiveForm(newest);
  EXPECT_EQ(log, (std::vector<std::string>{"newer", "newest", "oldest"}));
}

TEST_F(AppProps, ChainedFalseStopsTheTakenOverEventsButNotSettingChangesOrScreenEvents) {
  auto* oldest = Window("oldest");
  auto* blocker = Window("blocker", [](TqelApplicationProperties& p) { p.SetChained(false); });
  auto* newest = Window("newest");
  for (auto* w : {oldest, blocker, newest}) {
    w->props->OnIdle = [this, w](tk::Component*, bool&) { log.push_back("idle " + w->Name()); };
    w->props->OnActivate = [this, w](tk::Component*) { log.push_back("activate " + w->Name()); };
    w->props->OnSettingChange = [this, w](tk::Component*, int flag, const std::string& section, plat::LONG&) {
      log.push_back("setting " + w->Name() + " " + std::to_string(flag) + " " + section);
    };
    w->props->OnActiveFormChange = [this, w](tk::Component* sender) {
      EXPECT_EQ(sender, &tk::TheScreen());
      log.push_back("form " + w->Name());
    };
  }
  IdleMoment();
  plat::SendMessageA(app->Handle(), plat::WM_ACTIVATEAPP, 1, 0);
  plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 42, reinterpret_cast<plat::LPARAM>("intl"));
  tk::TheScreen().SetActiveForm(newest);
  tk::TheScreen().SetActiveForm(nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"setting newest 42 intl", "setting blocker 42 intl",
                                           "setting oldest 42 intl", "form newest", "form blocker",
                                           "form newest", "form blocker"}));

  // An exception that reaches the loop is still shown by the default display.
  newest->props->OnException = [this](tk::Component*, const std::exception&) { log.push_back("handled"); };
  log.clear();
  sim::At(0, [] { sim::PressOk(); });
  app->HandleException(std::runtime_error("Disk full"));
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].text, "Disk full.");
  EXPECT_TRUE(sim::MessageBoxes()[0].error);

  // Help is answered false.
  newest->props->OnHelp = [](plat::WORD, plat::LONG, bool&) { return true; };
  EXPECT_FALSE(app->HelpCommand(1, 2));
}

TEST_F(AppProps, TheWindowLoadedLastDecidesTheHintSettingsAndDefaultsCountToo) {
  Window("main", [](TqelApplicationProperties& p) {
    p.SetHintColor(plat::RGB(0xB3, 0xEF, 0xF2));
    p.SetHintHidePause(9600);
    p.SetHintPause(250);
    p.SetHintShortPause(10);
    p.SetShowMainForm(false);
  });
  EXPECT_EQ(app->HintColor(), plat::RGB(0xB3, 0xEF, 0xF2));
  EXPECT_EQ(app->HintHidePause(), 9600);
  EXPECT_FALSE(app->ShowMainForm());

  auto* agent = Window("agent", [](TqelApplicationProperties& p) { p.SetHintColor(plat::RGB(1, 2, 3)); });
  EXPECT_EQ(app->HintColor(), plat::RGB(1, 2, 3));
  EXPECT_EQ(app->HintHidePause(), 2500);
  EXPECT_EQ(app->HintPause(), 500);
  EXPECT_EQ(app->HintShortPause(), 50);
  EXPECT_TRUE(app->ShowMainForm());
  // Getters read the application, not the instance's copy.
  app->SetHintPause(777);
  EXPECT_EQ(agent->props->HintPause(), 777);

  // Destroying the window does not bring the earlier values back.
  delete agent;
  EXPECT_EQ(app->HintColor(), plat::RGB(1, 2, 3));
  EXPECT_EQ(app->HintHidePause(), 2500);
}

TEST_F(AppProps, LoadingAWindowWritesEveryKeptSettingAndHiddenToTheApplication) {
  const plat::HWND appWindow = app->Handle();
  constexpr auto kStyles = plat::WS_EX_TOOLWINDOW | plat::WS_EX_APPWINDOW;
  // Something else changes every setting after the window's setters ran and before it is
  // loaded: only loading can bring the window's own values back.
  auto changedBehindItsBack = [this, appWindow] {
    app->SetHintColor(plat::RGB(9, 9, 9));
    app->SetHintHidePause(1);
    app->SetHintPause(2);
    app->SetHintShortPause(3);
    app->SetShowMainForm(true);
    app->SetShowHint(true);
    app->SetUpdateFormatSettings(true);
    app->SetUpdateMetricSettings(true);
    app->SetHintShortCuts(true);
    app->SetBiDiMode(tk::BiDiMode::LeftToRight);
    app->GetMouse()->dragImmediate = true;
    app->GetMouse()->dragThreshold = 1;
    app->SetBiDiKeyboard("other");
    app->SetNonBiDiKeyboard("other");
    plat::SetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE, plat::WS_EX_APPWINDOW);
    plat::ShowWindow(appWindow, plat::SW_SHOW);
  };
  Window("main", [&](TqelApplicationProperties& p) {
    p.SetHintColor(plat::RGB(0xB3, 0xEF, 0xF2));
    p.SetHintHidePause(9600);
    p.SetHintPause(250);
    p.SetHintShortPause(10);
    p.SetShowMainForm(false);
    p.SetShowHint(false);
    p.SetUpdateFormatSettings(false);
    p.SetUpdateMetricSettings(false);
    p.SetHintShortCuts(false);
    p.SetBiDiMode(tk::BiDiMode::RightToLeft);
    p.SetMouseDragImmediate(false);
    p.SetMouseDragThreshold(12);
    p.SetBiDiKeyboard("0000040D");
    p.SetNonBiDiKeyboard("00000409");
    p.SetHidden(true);
    changedBehindItsBack();
  });
  EXPECT_EQ(app->HintColor(), plat::RGB(0xB3, 0xEF, 0xF2));
  EXPECT_EQ(app->HintHidePause(), 9600);
  EXPECT_EQ(app->HintPause(), 250);
  EXPECT_EQ(app->HintShortPause(), 10);
  EXPECT_FALSE(app->ShowMainForm());
  EXPECT_FALSE(app->ShowHint());
  EXPECT_FALSE(app->UpdateFormatSettings());
  EXPECT_FALSE(app->UpdateMetricSettings());
  EXPECT_FALSE(app->HintShortCuts());
  EXPECT_EQ(app->GetBiDiMode(), tk::BiDiMode::RightToLeft);
  EXPECT_FALSE(app->GetMouse()->dragImmediate);
  EXPECT_EQ(app->GetMouse()->dragThreshold, 12);
  EXPECT_EQ(app->BiDiKeyboard(), "0000040D");
  EXPECT_EQ(app->NonBiDiKeyboard(), "00000409");
  EXPECT_FALSE(plat::IsWindowVisible(appWindow));
  EXPECT_EQ(plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE) & kStyles, plat::WS_EX_TOOLWINDOW);

  // A window that sets nothing writes the defaults; Hidden false leaves the application window
  // as it is (the setter, not loading, shows it).
  app->SetShowHint(false);
  app->SetBiDiMode(tk::BiDiMode::RightToLeftNoAlign);
  Window("plain");
  EXPECT_EQ(app->HintColor(), tk::clInfoBk);
  EXPECT_EQ(app->HintHidePause(), 2500);
  EXPECT_EQ(app->HintPause(), 500);
  EXPECT_EQ(app->HintShortPause(), 50);
  EXPECT_TRUE(app->ShowMainForm());
  EXPECT_TRUE(app->ShowHint());
  EXPECT_TRUE(app->UpdateFormatSettings());
  EXPECT_TRUE(app->UpdateMetricSettings());
  EXPECT_TRUE(app->HintShortCuts());
  EXPECT_EQ(app->GetBiDiMode(), tk::BiDiMode::LeftToRight);
  EXPECT_TRUE(app->GetMouse()->dragImmediate);
  EXPECT_EQ(app->GetMouse()->dragThreshold, 5);
  EXPECT_EQ(app->BiDiKeyboard(), "");
  EXPECT_EQ(app->NonBiDiKeyboard(), "");
  EXPECT_FALSE(plat::IsWindowVisible(appWindow));
  EXPECT_EQ(plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE) & kStyles, plat::WS_EX_TOOLWINDOW);
}

TEST_F(AppProps, TheLastInstanceGivesTheHandlersBackAndTheNextTakesThemOverAgain) {
  int previous = 0;
  app->OnIdle = [&](tk::Component*, bool&) { ++previous; };
  auto* w = Window("w", [](TqelApplicationProperties& p) { p.SetChained(false); });
  ASSERT_NE(AppPropList(), nullptr);
  IdleMoment();
  EXPECT_EQ(previous, 0);  // stopped by the registry's walk
  delete w;
  EXPECT_EQ(AppPropList(), nullptr);
  IdleMoment();
  EXPECT_EQ(previous, 1);  // the handler is the application's own again
  Window("again", [](TqelApplicationProperties& p) { p.SetChained(false); });
  IdleMoment();
  EXPECT_EQ(previous, 1);
}

TEST_F(AppProps, HelpStopsAtTheFirstAnswerAndHintsWithoutHandlersBecomeHintActions) {
  auto* older = Window("older");
  auto* newer = Window("newer");
  older->props->OnHelp = [this](plat::WORD, plat::LONG, bool&) {
    log.push_back("older help");
    return true;
  };
  newer->props->OnHelp = [this](plat::WORD command, plat::LONG, bool&) {
    log.push_back("newer help");
    return command == 7;
  };
  EXPECT_TRUE(app->HelpCommand(7, 0));
  EXPECT_TRUE(app->HelpCommand(8, 0));
  EXPECT_EQ(log, (std::vector<std::string>{"newer help", "newer help", "older help"}));

  std::vector<std::string> hints;
  older->props->OnActionExecute = [&](tk::BasicAction* action, bool&) {
    if (auto* hint = dynamic_cast<tk::HintAction*>(action)) hints.push_back(hint->Hint());
  };
  newer->props->OnHint = [&](tk::Component*) { hints.push_back("newer"); };
  app->SetHint("Configure program");
  // newer has a handler; older has none, so its turn carries the hint as an action.
  EXPECT_EQ(hints, (std::vector<std::string>{"newer", "Configure program"}));
}

TEST_F(AppProps, ANewHintFontReachesTheApplicationsHintWindow) {
  Window("w");
  tk::HintWindow* hint = nullptr;
  for (tk::Component* c : app->Components())
    if (auto* h = dynamic_cast<tk::HintWindow*>(c)) hint = h;
  ASSERT_NE(hint, nullptr);
  plat::FontSpec font{"Verdana", 13, plat::RGB(10, 20, 30)};
  tk::TheScreen().SetHintFont(font);
  EXPECT_EQ(hint->Font().face, "Verdana");
  EXPECT_EQ(hint->Font().pixelHeight, 13);
}

TEST_F(AppProps, HiddenMovesTheApplicationWindowOffAndBackOntoTheTaskBar) {
  auto* w = Window("w");
  const plat::HWND appWindow = app->Handle();
  plat::ShowWindow(appWindow, plat::SW_SHOW);
  w->props->SetHidden(true);
  plat::LONG_PTR style = plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE);
  EXPECT_FALSE(plat::IsWindowVisible(appWindow));
  EXPECT_EQ(style & (plat::WS_EX_TOOLWINDOW | plat::WS_EX_APPWINDOW), plat::WS_EX_TOOLWINDOW);
  w->props->SetHidden(false);
  style = plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE);
  EXPECT_TRUE(plat::IsWindowVisible(appWindow));
  EXPECT_EQ(style & (plat::WS_EX_TOOLWINDOW | plat::WS_EX_APPWINDOW), plat::WS_EX_APPWINDOW);
}

TEST_F(AppProps, TheApplicationWindowHookPaintsTheMinimisedIconAndReportsSettingChanges) {
  auto* w = Window("w");
  int settingsChanged = 0;
  w->props->OnSettingsChanged = [&](tk::Component* sender) {
    EXPECT_EQ(sender, w->props);
    ++settingsChanged;
  };
  int appSawSetting = 0;
  w->props->OnSettingChange = [&](tk::Component*, int, const std::string&, plat::LONG&) { ++appSawSetting; };
  plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(settingsChanged, 1);
  EXPECT_EQ(appSawSetting, 1);

  bool hadCanvas = false;
  w->props->OnPaintIcon = [&](tk::Component*) { hadCanvas = w->props->Canvas() != nullptr; };
  sim::SetPaintRequest({0, 0, 32, 32}, true);
  plat::SendMessageA(app->Handle(), plat::WM_PAINT, 0, 0);
  EXPECT_FALSE(hadCanvas);  // not minimised: the icon is not painted
  app->Minimize();
  plat::SendMessageA(app->Handle(), plat::WM_PAINT, 0, 0);
  EXPECT_TRUE(hadCanvas);
  EXPECT_EQ(w->props->Canvas(), nullptr);
  auto fills = sim::Fills();
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].window, app->Handle());
  EXPECT_EQ(fills[0].rect.right, 32);
  EXPECT_EQ(fills[0].color, tk::ColorToRGB(tk::clBackground));
}

}  // namespace
