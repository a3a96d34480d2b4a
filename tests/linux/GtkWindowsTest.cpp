// The linux backend's windows as the X server sees them (no window manager runs): position and
// size, colour-key shapes for drawing and for the pointer, the close request of the window
// manager's protocol, focus, and the message box.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtk/gtk.h>

#include "platform/messages.h"
#include "platform/peers.h"
#include "platform/shell.h"
#include "tests/support/RecordingFormEvents.h"
#include "tests/linux/PumpUntil.h"
#include "tests/linux/XClient.h"

using namespace plat;
using namespace xtest;

namespace {

class GtkWindows : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.Connected()) << "no X display";
    app = CreateApplicationWindow("Tavelin test", &DefWindowProcA);
  }
  void TearDown() override { DestroyWindow(app); }

  // Shows a form and waits for the X server to map it.
  XWindow ShowForm(FormPeer& form, const std::string& caption) {
    form.SetCaption(caption);
    form.Show();
    XWindow w = 0;
    EXPECT_TRUE(PumpUntil([&] {
      w = x.Find(caption);
      return w && x.GeometryOf(w).viewable;
    })) << caption << " never appeared";
    return w;
  }

  XClient x;
  HWND app = nullptr;
};

TEST_F(GtkWindows, AFormTakesItsBoundsAndItsColourKeyShapesDrawingAndPointer) {
  RecordingFormEvents events;
  auto form = CreateFormPeer(events, app, "keyed");
  form->SetBorder(BorderStyle::None, BorderIcons{});
  form->SetBounds(383, 343, 258, 81);
  form->SetTransparentColor(RGB(255, 255, 255));
  const XWindow w = ShowForm(*form, "Tavelin keyed form");
  ASSERT_NE(w, 0u);

  auto g = x.GeometryOf(w);
  EXPECT_EQ(g.x, 383);
  EXPECT_EQ(g.y, 343);
  EXPECT_EQ(g.width, 258);
  EXPECT_EQ(g.height, 81);
  // All of it is the key: nothing shows, the pointer finds what lies beneath, yet it is mapped.
  EXPECT_TRUE(x.Shape(w, ShapeKind::Drawing).empty());
  EXPECT_TRUE(x.Shape(w, ShapeKind::Input).empty());
  EXPECT_NE(x.TopLevelAt(383 + 129, 343 + 40), w);
  EXPECT_TRUE(form->Visible());

  // Painted in another colour: all of it shows and takes the pointer.
  events.fill = RGB(200, 30, 40);
  form->Invalidate({0, 0, 258, 81});
  ASSERT_TRUE(PumpUntil([&] { return x.Shape(w, ShapeKind::Drawing).size() == 1; }));
  auto input = x.Shape(w, ShapeKind::Input);
  ASSERT_EQ(input.size(), 1u);
  EXPECT_EQ(input[0].width, 258);
  EXPECT_EQ(input[0].height, 81);
  EXPECT_EQ(x.TopLevelAt(383 + 129, 343 + 40), w);

  // Key colour again, then no key at all: the whole window is back.
  events.fill = RGB(255, 255, 255);
  form->Invalidate({0, 0, 258, 81});
  ASSERT_TRUE(PumpUntil([&] { return x.Shape(w, ShapeKind::Input).empty(); }));
  form->SetTransparentColor(std::nullopt);
  ASSERT_TRUE(PumpUntil([&] { return x.Shape(w, ShapeKind::Input).size() == 1; }));
  EXPECT_EQ(x.TopLevelAt(383 + 1, 343 + 1), w);

  form->SetBounds(10, 20, 300, 100);
  EXPECT_TRUE(PumpUntil([&] {
    auto now = x.GeometryOf(w);
    return now.x == 10 && now.y == 20 && now.width == 300 && now.height == 100;
  }));
  form->SetBounds(10, 20, 90, 30);
  EXPECT_TRUE(PumpUntil([&] {
    auto now = x.GeometryOf(w);
    return now.width == 90 && now.height == 30;
  }));

  form->Hide();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(PumpUntil([&] { return !x.GeometryOf(w).viewable; }));
  EXPECT_EQ(events.closeRequests, 0);
}

TEST_F(GtkWindows, CloseRequestsAndFocusReachTheFormThroughTheMessageLoop) {
  RecordingFormEvents events;
  auto form = CreateFormPeer(events, app, "tool");
  form->SetBorder(BorderStyle::ToolWindow, BorderIcons{});
  form->SetBounds(50, 60, 120, 40);
  form->SetFont(FontSpec{"Verdana \"Bold\"", 13, RGB(1, 2, 3)});
  form->SetIcon(IconImage{2, 1, {0xFF102030u, 0x80FFFFFFu}});
  const XWindow w = ShowForm(*form, "Tavelin tool form");
  ASSERT_NE(w, 0u);
  EXPECT_EQ(FindWindowA(nullptr, "Tavelin tool form"), form->Handle());
  EXPECT_EQ(x.WindowType(w), "_NET_WM_WINDOW_TYPE_UTILITY");
  EXPECT_EQ(x.Icon(w), (std::vector<unsigned long>{2, 1, 0xFF102030u, 0x80FFFFFFu}));
  EXPECT_THROW(form->SetIcon(IconImage{4, 4, {0xFF000000u}}), std::invalid_argument);

  x.RequestClose(w);
  EXPECT_TRUE(PumpUntil([&] { return events.closeRequests == 1; }));
  // Closing is the form's decision: the window is still there.
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_TRUE(x.GeometryOf(w).viewable);

  x.Focus(w);
  EXPECT_TRUE(PumpUntil([&] { return events.activations > 0; }));

  // Brought to the front while hidden (a click on the tray icon does that): it stays hidden.
  form->Hide();
  EXPECT_TRUE(PumpUntil([&] { return !x.GeometryOf(w).viewable; }));
  SetForegroundWindow(form->Handle());
  EXPECT_FALSE(PumpUntil([&] { return x.GeometryOf(w).viewable; }, 500));
  EXPECT_FALSE(form->Visible());

  const HWND handle = form->Handle();
  form.reset();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_TRUE(PumpUntil([&] { return x.Find("Tavelin tool form") == 0; }));
}

TEST_F(GtkWindows, WithNoKeyAFormShowsItsWholeClientArea) {
  RecordingFormEvents events;
  auto form = CreateFormPeer(events, app, "plain");
  form->SetBorder(BorderStyle::Single, BorderIcons{});
  form->SetBounds(0, 0, 64, 32);
  events.fill = RGB(10, 20, 30);
  // Without a caption of its own a form goes by the application's title.
  form->Show();
  XWindow untitled = 0;
  EXPECT_TRUE(PumpUntil([&] { return (untitled = x.Find("Tavelin test")) != 0; }));
  const XWindow w = ShowForm(*form, "Tavelin plain form");
  ASSERT_NE(w, 0u);
  EXPECT_EQ(w, untitled);
  auto bounding = x.Shape(w, ShapeKind::Drawing);
  ASSERT_EQ(bounding.size(), 1u);
  EXPECT_EQ(bounding[0].width, 64);
  EXPECT_EQ(bounding[0].height, 32);
  EXPECT_EQ(x.WindowType(w), "_NET_WM_WINDOW_TYPE_NORMAL");
}

// The toolkit's nested loop, with a user who answers the box once it is on the screen.
class AnsweringPump final : public ModalPump {
 public:
  AnsweringPump(XClient& x, std::string caption) : x_(x), caption_(std::move(caption)) {
    ticker_ = CreateHiddenWindow("TavelinTest", "ticker", &DefWindowProcA);
    SetTimer(ticker_, 1, 20, nullptr);
    start_ = GetTickCount();
  }
  ~AnsweringPump() override { DestroyWindow(ticker_); }

  bool HandleOneMessage() override {
    ++calls;
    MSG m;
    if (GetMessageA(&m, nullptr, 0, 0) <= 0) return false;
    DispatchMessageA(&m);
    if (!answered) {
      const XWindow box = x_.Find(caption_);
      if (box && x_.GeometryOf(box).viewable) {
        seen = x_.GeometryOf(box);
        x_.RequestClose(box);
        answered = true;
      }
    }
    gaveUp = GetTickCount() - start_ >= 3000;  // a box nobody answers ends the test
    return !gaveUp;
  }

  int calls = 0;
  bool answered = false;
  bool gaveUp = false;
  std::optional<Geometry> seen;

 private:
  XClient& x_;
  std::string caption_;
  HWND ticker_;
  DWORD start_;
};

TEST_F(GtkWindows, AMessageBoxIsCentredOnTheScreenAndReturnsOnceAnswered) {
  AnsweringPump pump(x, "Tavelin box test");
  RunMessageBox(app, "Something the user must see.", "Tavelin box test", true, pump);
  ASSERT_TRUE(pump.answered) << "the box never appeared";
  ASSERT_TRUE(pump.seen);
  const int screenWidth = x.ScreenWidth();
  const int screenHeight = x.ScreenHeight();
  EXPECT_NEAR(pump.seen->x, (screenWidth - pump.seen->width) / 2, 1);
  EXPECT_NEAR(pump.seen->y, (screenHeight - pump.seen->height) / 2, 1);
  EXPECT_FALSE(pump.gaveUp) << "the box stayed open after its answer";
  EXPECT_TRUE(PumpUntil([&] { return x.Find("Tavelin box test") == 0; }));
}

// The toolkit's pump once the application terminates: it stops at once.
class TerminatingPump final : public ModalPump {
 public:
  bool HandleOneMessage() override {
    ++calls;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    return calls < 3;
  }
  int calls = 0;
};

TEST_F(GtkWindows, AMessageBoxClosesWhenTheApplicationTerminates) {
  TerminatingPump pump;
  RunMessageBox(app, "Nobody answers this one.", "Tavelin unanswered box", false, pump);
  EXPECT_EQ(pump.calls, 3);
  EXPECT_TRUE(PumpUntil([&] { return x.Find("Tavelin unanswered box") == 0; }));
}

}  // namespace

namespace {

bool SkipsTaskbar(const std::string& name) {
  bool skip = false;
  GList* all = gtk_window_list_toplevels();
  for (GList* it = all; it; it = it->next)
    if (name == gtk_widget_get_name(GTK_WIDGET(it->data))) skip = gtk_window_get_skip_taskbar_hint(GTK_WINDOW(it->data));
  g_list_free(all);
  return skip;
}

TEST_F(GtkWindows, TheApplicationWindowsStyleTakesEveryWindowOffTheTaskBarAndBack) {
  RecordingFormEvents events;
  auto plain = CreateFormPeer(events, app, "plain");
  auto tool = CreateFormPeer(events, app, "tool");
  tool->SetBorder(BorderStyle::ToolWindow, BorderIcons{});
  EXPECT_FALSE(SkipsTaskbar("plain"));
  EXPECT_TRUE(SkipsTaskbar("tool"));

  SetWindowLongPtrA(app, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_TRUE(SkipsTaskbar("plain"));
  auto later = CreateFormPeer(events, app, "later");  // a window made while hidden stays off too
  EXPECT_TRUE(SkipsTaskbar("later"));

  SetWindowLongPtrA(app, GWL_EXSTYLE, WS_EX_APPWINDOW);
  EXPECT_FALSE(SkipsTaskbar("plain"));
  EXPECT_FALSE(SkipsTaskbar("later"));
  EXPECT_TRUE(SkipsTaskbar("tool"));
}

}  // namespace
