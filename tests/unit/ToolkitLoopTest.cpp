// The toolkit's message loop on the simulated desktop: idle moments, timers, modal boxes,
// cross-thread calls and deferred destruction.
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "tests/unit/SimApp.h"
#include "toolkit/Form.h"
#include "toolkit/Thread.h"
#include "toolkit/Timer.h"

namespace {

class PlainForm : public tk::Form {
 public:
  PlainForm(tk::Component* owner, std::string name) : tk::Form(owner), name_(std::move(name)) {}
  ~PlainForm() override { ++destroyed; }
  static inline int destroyed = 0;

 protected:
  void AssignLayout() override {
    SetName(name_);
    SetCaption(name_);
    SetClientWidth(100);
    SetClientHeight(50);
  }

 private:
  std::string name_;
};

using ToolkitLoop = SimAppTest;

TEST_F(ToolkitLoop, IdleRunsOncePerEmptyQueueAndDoneFalseAsksForAnotherPass) {
  tk::Timer timer(app.get());
  int ticks = 0;
  std::vector<std::string> log;
  timer.SetInterval(100);
  timer.SetOnTimer([&](tk::Component*) {
    log.push_back("timer@" + std::to_string(sim::Now()));
    if (++ticks == 3) app->Terminate();
  });
  int passesWanted = 2;
  app->OnIdle = [&](tk::Component* sender, bool& done) {
    EXPECT_EQ(sender, app.get());
    EXPECT_TRUE(done);
    log.push_back("idle@" + std::to_string(sim::Now()));
    if (passesWanted > 0) {
      --passesWanted;
      done = false;  // another pass follows without any message
    }
  };
  app->Run();
  EXPECT_EQ(log, (std::vector<std::string>{"idle@0", "idle@0", "idle@0", "timer@100", "idle@100", "timer@200",
                                           "idle@200", "timer@300"}));
}

TEST_F(ToolkitLoop, AnExceptionInAnIdleHandlerGoesToOnExceptionAndTheLoopGoesOn) {
  std::vector<std::string> errors;
  app->OnException = [&](tk::Component*, const std::exception& e) { errors.push_back(e.what()); };
  int idles = 0;
  app->OnIdle = [&](tk::Component*, bool&) {
    if (++idles == 1) throw std::runtime_error("first pass failed");
    app->Terminate();
  };
  // The failed pass leaves Done true, so the loop sleeps until the next message.
  sim::At(100, [] { plat::PostMessageA(nullptr, plat::WM_USER, 0, 0); });
  app->Run();
  EXPECT_EQ(errors, (std::vector<std::string>{"first pass failed"}));
  EXPECT_EQ(idles, 2);
  EXPECT_EQ(sim::Now(), 100u);
}

TEST_F(ToolkitLoop, TheErrorBoxAppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
  std::vector<std::string> texts;
  for (const char* text : {"Disk full", "Done.", "Why?", "Ends with !", "x-", "3", "/srv/caf\xC3\xA9", "caf\xE9"}) {
    sim::At(0, [] { sim::PressOk(); });
    app->ShowException(std::runtime_error(text));
  }
  for (auto& box : sim::MessageBoxes()) {
    EXPECT_TRUE(box.error);
    EXPECT_EQ(box.caption, "Tavelin");
    texts.push_back(box.text);
  }
  // '?' and '3' sort after '.', '!' and '-' before it; so does every byte of a non-ASCII letter
  // (UTF-8 and code-page alike).
  EXPECT_EQ(texts, (std::vector<std::string>{"Disk full.", "Done.", "Why?.", "Ends with !", "x-", "3.",
                                             "/srv/caf\xC3\xA9.", "caf\xE9."}));
}

TEST_F(ToolkitLoop, TimersIdleMomentsAndPostedWorkGoOnWhileAMessageBoxIsOpen) {
  tk::Timer timer(app.get());
  int ticksDuringBox = 0;
  int idlesDuringBox = 0;
  bool boxOpen = false;
  timer.SetInterval(250);
  timer.SetOnTimer([&](tk::Component*) {
    if (!boxOpen) return;
    ++ticksDuringBox;
    if (ticksDuringBox == 4) sim::PressOk();
  });
  app->OnIdle = [&](tk::Component*, bool&) {
    if (boxOpen) ++idlesDuringBox;
  };
  int modalEvents = 0;
  app->OnModalBegin = [&](tk::Component*) { ++modalEvents; };
  app->OnModalEnd = [&](tk::Component*) { ++modalEvents; };

  boxOpen = true;
  app->MessageBox("Error 4: Your machine does not support this mode.");
  boxOpen = false;

  EXPECT_EQ(ticksDuringBox, 4);
  EXPECT_GE(idlesDuringBox, 4);
  EXPECT_EQ(sim::Now(), 1000u);
  EXPECT_EQ(modalEvents, 2);
  auto boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Tavelin");
  EXPECT_EQ(boxes[0].text, "Error 4: Your machine does not support this mode.");
  EXPECT_FALSE(boxes[0].error);
  EXPECT_FALSE(boxes[0].open);
}

TEST_F(ToolkitLoop, TerminateDuringAMessageBoxClosesItAndEndsTheLoop) {
  sim::At(500, [this] { app->Terminate(); });
  sim::At(0, [this] { app->MessageBox("still open"); });
  app->Run();
  EXPECT_TRUE(app->Terminated());
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_FALSE(sim::MessageBoxes()[0].open);
}

class CountingThread : public tk::Thread {
 public:
  CountingThread() : tk::Thread(true) {}
  std::vector<int> seenOnGui;

 protected:
  void Execute() override {
    for (int i = 1; i <= 3; ++i) Synchronize([this, i] { seenOnGui.push_back(i); });
    SetReturnValue(7);
  }
};

TEST_F(ToolkitLoop, SynchronizeRunsWorkerCallsOnTheGuiThreadInOrder) {
  CountingThread worker;
  const auto gui = std::this_thread::get_id();
  bool terminateOnGui = false;
  worker.OnTerminate = [&](tk::Thread*) {
    terminateOnGui = std::this_thread::get_id() == gui;
    app->Terminate();
  };
  worker.Start();
  app->Run();
  EXPECT_EQ(worker.WaitFor(), 7);
  EXPECT_EQ(worker.seenOnGui, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(terminateOnGui);
}

TEST_F(ToolkitLoop, WaitForOnTheGuiThreadStillRunsTheWorkersCalls) {
  CountingThread worker;
  worker.Start();
  EXPECT_EQ(worker.WaitFor(), 7);  // would deadlock if the waiting GUI thread ignored them
  EXPECT_EQ(worker.seenOnGui, (std::vector<int>{1, 2, 3}));
}

TEST_F(ToolkitLoop, ReleaseInsideATimerHandlerDestroysTheFormAfterTheHandler) {
  PlainForm::destroyed = 0;
  auto* mainForm = tk::CreateForm<PlainForm>(app.get(), "main");
  auto* notice = tk::CreateForm<PlainForm>(mainForm, "notice");
  auto* closeTimer = new tk::Timer(notice);
  bool handlerFinished = false;
  closeTimer->SetInterval(3000);
  closeTimer->SetOnTimer([&](tk::Component*) {
    notice->Release();
    EXPECT_EQ(PlainForm::destroyed, 0);  // not inside the handler
    EXPECT_TRUE(sim::FindForm("notice").has_value());
    handlerFinished = true;
  });
  notice->Show();
  sim::At(3500, [this] { app->Terminate(); });
  app->Run();
  EXPECT_TRUE(handlerFinished);
  EXPECT_EQ(PlainForm::destroyed, 1);
  EXPECT_FALSE(sim::FindForm("notice").has_value());
  EXPECT_EQ(app->MainForm(), mainForm);
  EXPECT_EQ(mainForm->ComponentCount(), 0);
}

TEST_F(ToolkitLoop, TheMainFormIsShownCentredByRunAndItsCloseEndsTheProgram) {
  sim::SetScreenSize(800, 600);
  auto* mainForm = tk::CreateForm<PlainForm>(app.get(), "main");
  mainForm->SetPosition(tk::Position::ScreenCenter);
  auto* second = tk::CreateForm<PlainForm>(app.get(), "second");
  EXPECT_EQ(app->MainForm(), mainForm);
  sim::At(10, [] {
    auto shown = sim::FindForm("main");
    ASSERT_TRUE(shown.has_value());
    EXPECT_TRUE(shown->visible);
    EXPECT_EQ(shown->left, 350);
    EXPECT_EQ(shown->top, 275);
    EXPECT_TRUE(sim::FindForm("second")->visible);
    sim::CloseForm("second");  // another form only hides
    EXPECT_FALSE(sim::FindForm("second")->visible);
    sim::CloseForm("main");
  });
  second->Show();
  app->Run();
  EXPECT_TRUE(app->Terminated());
  EXPECT_FALSE(second->Visible());
}

TEST_F(ToolkitLoop, ShowMainFormFalseOrAMinimisedStartLeavesTheMainFormHidden) {
  tk::CreateForm<PlainForm>(app.get(), "main");
  app->SetShowMainForm(false);
  RunFor(100);
  EXPECT_FALSE(sim::FindForm("main")->visible);
  EXPECT_FALSE(app->IsMinimized());

  app.reset();
  sim::Reset();
  sim::SetStartedMinimized(true);
  app = std::make_unique<tk::Application>();
  app->Initialize();
  int minimized = 0;
  app->OnMinimize = [&](tk::Component*) { ++minimized; };
  tk::CreateForm<PlainForm>(app.get(), "main");
  RunFor(100);
  EXPECT_FALSE(sim::FindForm("main")->visible);
  EXPECT_TRUE(app->IsMinimized());
  EXPECT_EQ(minimized, 1);
}

}  // namespace

namespace {

class SelfFreeingThread : public tk::Thread {
 public:
  explicit SelfFreeingThread(std::atomic<bool>* destroyed) : tk::Thread(true), destroyed_(destroyed) {}
  ~SelfFreeingThread() override { *destroyed_ = true; }

 protected:
  void Execute() override {
    while (!Terminated()) Synchronize([] {});  // keeps the GUI thread company until told to stop
  }

 private:
  std::atomic<bool>* destroyed_;
};

TEST_F(ToolkitLoop, AThreadWithFreeOnTerminateStopsOnRequestAndDeletesItself) {
  std::atomic<bool> destroyed{false};
  auto* worker = new SelfFreeingThread(&destroyed);
  worker->SetFreeOnTerminate(true);
  worker->OnTerminate = [&](tk::Thread* sender) {
    EXPECT_TRUE(sender->Terminated());
    app->Terminate();
  };
  worker->Start();
  sim::At(50, [worker] { worker->Terminate(); });
  app->Run();
  // OnTerminate ran on this thread; the object deletes itself right after on the worker.
  for (int i = 0; i < 2000 && !destroyed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(destroyed);
}

}  // namespace

namespace {

TEST_F(ToolkitLoop, HooksSeeTheApplicationWindowsMessagesInOrderUntilOneHandlesIt) {
  std::vector<std::string> seen;
  int first = 0, second = 0;
  app->HookMainWindow(&first, [&](tk::Message& m) {
    if (m.msg == plat::WM_SETTINGCHANGE) seen.push_back("first");
    return false;
  });
  app->HookMainWindow(&second, [&](tk::Message& m) {
    if (m.msg != plat::WM_SETTINGCHANGE) return false;
    seen.push_back("second");
    m.result = 7;
    return m.wParam == 1;  // handles only the first kind
  });
  app->OnSettingChange = [&](tk::Component*, int, const std::string&, plat::LONG&) { seen.push_back("application"); };

  EXPECT_EQ(plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 1, 0), 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
  seen.clear();
  plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 2, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second", "application"}));

  app->UnhookMainWindow(&first);
  seen.clear();
  plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 1, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"second"}));
}

}  // namespace
