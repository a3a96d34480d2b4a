// The control layer on the sim desktop: alignment, painting in z-order with clipping, one paint
// for many invalidations and of their area only, hit testing and mouse capture, inherited fonts and hints, and the
// sim drawing device's fixed text layout that the other tests rely on.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "SimApp.h"
#include "platform/sim_surface.h"
#include "toolkit/Canvas.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Label.h"

namespace {

class Plain : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override {
    SetName("plain");
    SetClientWidth(100);
    SetClientHeight(80);
    SetFont({"Verdana", 10, plat::RGB(0, 0, 0)});
  }
};

// A graphic control that fills itself and records its mouse input.
class Box : public tk::GraphicControl {
 public:
  Box(tk::Component* owner, plat::COLORREF color) : tk::GraphicControl(owner), color_(color) {}
  void Paint(tk::Canvas& canvas) override {
    canvas.GetBrush().color = color_;
    canvas.FillRect({-5, -5, Width() + 5, Height() + 5});  // beyond its bounds: clipped
  }
  void MouseDown(tk::MouseButton, tk::ShiftState, int x, int y) override { log.push_back("down " + Where(x, y)); }
  void MouseMove(tk::ShiftState, int x, int y) override { log.push_back("move " + Where(x, y)); }
  void MouseUp(tk::MouseButton, tk::ShiftState, int x, int y) override { log.push_back("up " + Where(x, y)); }
  void Click() override { log.push_back("click"); }
  void DblClick() override { log.push_back("dblclick"); }
  void HandleMouseEnter() override { log.push_back("enter"); }
  void HandleMouseLeave() override { log.push_back("leave"); }
  std::vector<std::string> log;

 private:
  static std::string Where(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  plat::COLORREF color_;
};

class ControlTree : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    form = tk::CreateForm<Plain>(app.get());
  }
  Box* NewBox(plat::COLORREF color, int l, int t, int w, int h) {
    auto* box = new Box(form, color);
    box->SetParent(form);
    box->SetBounds(l, t, w, h);
    return box;
  }
  Plain* form = nullptr;
};

TEST_F(ControlTree, AlignedControlsShareTheClientAreaAndFollowItsSize) {
  Box* top = NewBox(1, 0, 0, 10, 10);
  Box* left = NewBox(2, 0, 0, 15, 10);
  Box* client = NewBox(3, 0, 0, 5, 5);
  Box* bottom = NewBox(4, 0, 0, 10, 20);
  client->SetAlign(tk::Align::Client);
  top->SetAlign(tk::Align::Top);
  left->SetAlign(tk::Align::Left);
  bottom->SetAlign(tk::Align::Bottom);
  EXPECT_EQ(top->BoundsRect().right, 100);
  EXPECT_EQ(bottom->Top(), 60);
  EXPECT_EQ(left->Top(), 10);
  EXPECT_EQ(left->Height(), 50);
  EXPECT_EQ(client->Left(), 15);
  EXPECT_EQ(client->Width(), 85);
  EXPECT_EQ(client->Height(), 50);
  form->SetClientWidth(200);
  form->SetClientHeight(100);
  EXPECT_EQ(client->Width(), 185);
  EXPECT_EQ(client->Height(), 70);
  top->SetVisible(false);  // a hidden control gives its room back
  EXPECT_EQ(left->Top(), 0);
  EXPECT_EQ(client->Height(), 80);
}

TEST_F(ControlTree, ControlsPaintInZOrderClippedToThemselvesAndOnceForManyChanges) {
  Box* under = NewBox(plat::RGB(255, 0, 0), 10, 10, 30, 30);
  Box* over = NewBox(plat::RGB(0, 0, 255), 20, 20, 30, 30);
  Box* hidden = NewBox(plat::RGB(0, 255, 0), 0, 0, 5, 5);
  hidden->SetVisible(false);
  auto ops = sim::DisplayList("plain");
  ASSERT_EQ(ops.size(), 3u);  // background, then under, then over; nothing for the hidden one
  EXPECT_EQ(ops[1].color, plat::RGB(255, 0, 0));
  EXPECT_EQ(ops[1].rect.left, 5);  // drawn beyond its bounds...
  EXPECT_EQ(ops[1].clip.left, 10);  // ...and clipped to them
  EXPECT_EQ(ops[1].clip.right, 40);
  EXPECT_EQ(ops[2].color, plat::RGB(0, 0, 255));
  auto pixels = sim::FormPixels("plain");
  EXPECT_EQ(pixels.At(30, 30), 0xFF0000FFu);  // the later control lies on top
  EXPECT_EQ(pixels.At(15, 15), 0xFFFF0000u);
  EXPECT_EQ(pixels.At(8, 8), 0xFF000000u | 0xD4D0C8u);  // the form's own colour around them

  const int painted = sim::PaintCount("plain");
  under->SetLeft(12);
  over->SetTop(22);
  under->Invalidate();
  sim::DisplayList("plain");
  EXPECT_EQ(sim::PaintCount("plain"), painted + 1);
  sim::DisplayList("plain");
  EXPECT_EQ(sim::PaintCount("plain"), painted + 1);  // nothing asked for another
  hidden->Invalidate();  // a hidden control asks for nothing
  sim::DisplayList("plain");
  EXPECT_EQ(sim::PaintCount("plain"), painted + 1);
}

bool SameRect(const plat::RECT& a, const plat::RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(ControlTree, OnlyTheInvalidatedAreaIsPaintedAgainAndRepaintPaintsAtOnce) {
  Box* left = NewBox(plat::RGB(255, 0, 0), 10, 10, 20, 20);
  Box* right = NewBox(plat::RGB(0, 0, 255), 60, 10, 20, 20);
  auto* group = new tk::GroupBox(form);
  group->SetParent(form);
  group->SetBounds(40, 40, 50, 30);
  auto* inner = new Box(form, plat::RGB(0, 255, 0));
  inner->SetParent(group);
  inner->SetBounds(5, 15, 10, 10);
  sim::DisplayList("plain");
  EXPECT_TRUE(SameRect(sim::LastPaintArea("plain"), {0, 0, 100, 80}));  // the first paint: all of it

  right->Invalidate();
  auto ops = sim::DisplayList("plain");
  EXPECT_TRUE(SameRect(sim::LastPaintArea("plain"), {60, 10, 80, 30}));
  ASSERT_EQ(ops.size(), 2u);  // the background beneath it, then the control; nothing of the others
  EXPECT_TRUE(SameRect(ops[0].clip, {60, 10, 80, 30}));
  EXPECT_EQ(ops[1].color, plat::RGB(0, 0, 255));
  auto pixels = sim::FormPixels("plain");
  EXPECT_EQ(pixels.At(15, 15), 0xFFFF0000u);  // the rest of the window keeps what it showed
  EXPECT_EQ(pixels.At(65, 15), 0xFF0000FFu);

  // A control in a group box asks for its place in the form.
  inner->Invalidate();
  ops = sim::DisplayList("plain");
  EXPECT_TRUE(SameRect(sim::LastPaintArea("plain"), {45, 55, 55, 65}));
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.back().color, plat::RGB(0, 255, 0));

  // Repaint paints now, without waiting for the loop; Update with nothing pending paints nothing.
  const int painted = sim::PaintCount("plain");
  left->Repaint();
  EXPECT_EQ(sim::PaintCount("plain"), painted + 1);
  EXPECT_TRUE(SameRect(sim::LastPaintArea("plain"), {10, 10, 30, 30}));
  left->Update();
  EXPECT_EQ(sim::PaintCount("plain"), painted + 1);
}

TEST_F(ControlTree, TheTopmostControlTakesTheMouseAndAPressCapturesIt) {
  Box* under = NewBox(1, 10, 10, 30, 30);
  Box* over = NewBox(2, 20, 20, 30, 30);
  Box* disabled = NewBox(3, 60, 0, 20, 20);
  disabled->SetEnabled(false);
  over->SetCursor(tk::Cursor::HandPoint);
  std::vector<plat::CursorShape> cursors;
  auto cursor = [&] { cursors.push_back(sim::FindForm("plain")->cursor); };
  sim::At(15, cursor);
  sim::At(25, cursor);
  sim::At(65, cursor);
  sim::At(10, [] { sim::MouseMove("plain", 15, 15); });
  sim::At(20, [] { sim::MouseMove("plain", 25, 25); });  // into the overlap: the upper one
  sim::At(30, [] {
    sim::MouseDown("plain", 25, 25);
    sim::MouseMove("plain", 90, 70);  // dragged off: still the pressed control's
    sim::MouseUp("plain", 90, 70);    // released outside: no click
  });
  sim::At(40, [] { sim::DoubleClick("plain", 30, 30); });
  sim::At(50, [] { sim::Click("plain", 65, 5); });  // disabled: hovered, but no input
  sim::At(60, [] { sim::MouseLeave("plain"); });
  RunFor(100);
  EXPECT_EQ(under->log, (std::vector<std::string>{"enter", "move 5,5", "leave"}));
  EXPECT_EQ(over->log, (std::vector<std::string>{"enter", "move 5,5", "down 5,5", "move 70,50", "up 70,50", "leave",
                                                 "enter", "move 10,10", "down 10,10", "click", "up 10,10", "dblclick",
                                                 "down 10,10", "up 10,10", "leave"}));
  EXPECT_EQ(disabled->log, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(cursors, (std::vector<plat::CursorShape>{plat::CursorShape::Arrow, plat::CursorShape::HandPoint,
                                                     plat::CursorShape::Arrow}));
}

TEST_F(ControlTree, FontsAndHintsComeFromTheContainerUntilSetOnTheControl) {
  auto* group = new tk::GroupBox(form);
  group->SetParent(form);
  auto* label = new tk::Label(form);
  label->SetParent(group);
  EXPECT_EQ(label->GetFont().pixelHeight, 10);
  form->SetFont({"Verdana", 12, plat::RGB(1, 2, 3)});
  EXPECT_EQ(label->GetFont().pixelHeight, 12);
  group->SetFont({"Tahoma", 14, plat::RGB(4, 5, 6)});
  EXPECT_EQ(label->GetFont().face, "Tahoma");
  label->SetCaption("abc");
  EXPECT_EQ(label->Width(), 3 * 7);  // auto-sized in the inherited font
  label->SetFont({"Verdana", 8, 0});
  group->SetFont({"Tahoma", 20, 0});
  EXPECT_EQ(label->GetFont().pixelHeight, 8);  // its own font stays

  EXPECT_FALSE(label->ShowHint());
  form->SetShowHint(true);
  EXPECT_TRUE(group->ShowHint());
  EXPECT_TRUE(label->ShowHint());
  label->SetShowHint(false);
  EXPECT_FALSE(label->ParentShowHint());
  EXPECT_FALSE(label->ShowHint());
  EXPECT_EQ(label->FormOrigin().x, group->Left() + label->Left());
}

TEST_F(ControlTree, ACanvasStateRestoresTranslationClipAndToolsWhenAPaintThrows) {
  auto image = plat::CreateImageSurface(20, 20);
  tk::Canvas canvas(*image);
  canvas.GetBrush().color = plat::RGB(0, 0, 255);
  try {
    tk::CanvasState state(canvas);
    canvas.Translate(10, 10);
    canvas.ClipRect({0, 0, 5, 5});
    canvas.GetBrush().color = plat::RGB(0, 255, 0);
    throw std::runtime_error("a paint that fails");
  } catch (const std::runtime_error&) {
  }
  canvas.FillRect({0, 0, 20, 20});  // blue, over all of it
  const plat::Pixels pixels = image->ReadPixels();
  ASSERT_EQ(pixels.argb.size(), 400u);
  EXPECT_EQ(pixels.argb.front(), 0xFF0000FFu);
  EXPECT_EQ(pixels.argb.back(), 0xFF0000FFu);
}

TEST_F(ControlTree, TheSimDeviceLaysTextOutByItsFixedMetrics) {
  auto image = plat::CreateImageSurface(100, 60);
  tk::Canvas canvas(*image);
  canvas.SetFont({"Verdana", 10, plat::RGB(0, 0, 0)});  // 5 pixels a character, 10 high
  EXPECT_EQ(canvas.TextWidth("abcd"), 20);
  EXPECT_EQ(canvas.TextHeight("abcd"), 10);
  canvas.GetFont().style.bold = true;
  EXPECT_EQ(canvas.TextWidth("abcd"), 24);
  canvas.GetFont().style.bold = false;

  plat::RECT r{0, 0, 40, 0};
  EXPECT_EQ(canvas.DrawText("one two three", r, plat::DT_CALCRECT | plat::DT_WORDBREAK), 20);  // 8 a line
  EXPECT_EQ(r.right, 35);  // the widest line, "one two"
  r = {0, 0, 0, 0};
  canvas.DrawText("a\tb", r, plat::DT_CALCRECT | plat::DT_EXPANDTABS);
  EXPECT_EQ(r.right, 9 * 5);  // the tab runs to column 8
  r = {0, 0, 0, 0};
  canvas.DrawText("&Save && go", r, plat::DT_CALCRECT);
  EXPECT_EQ(r.right, 9 * 5);  // "Save & go"
  r = {0, 0, 0, 0};
  canvas.DrawText("&Save", r, plat::DT_CALCRECT | plat::DT_NOPREFIX);
  EXPECT_EQ(r.right, 25);

  plat::RECT box{10, 5, 90, 25};
  canvas.DrawText("abc", box, plat::DT_RIGHT);
  canvas.DrawText("abc", box, plat::DT_CENTER);
  canvas.Save();
  canvas.Translate(3, 4);
  canvas.ClipRect({0, 0, 10, 10});
  canvas.GetBrush().color = plat::RGB(9, 9, 9);
  canvas.FillRect({0, 0, 50, 50});
  canvas.Restore();
  EXPECT_EQ(canvas.GetBrush().color, tk::clWhite);  // the tools come back too
  canvas.GetBrush().color = plat::RGB(9, 9, 9);
  canvas.FillRect({0, 50, 1, 51});  // the translation and the clip are gone again
  auto pixels = image->ReadPixels();
  EXPECT_EQ(pixels.At(3, 4), 0xFF090909u);
  EXPECT_EQ(pixels.At(12, 13), 0xFF090909u);
  EXPECT_EQ(pixels.At(13, 14), 0xFFFFFFFFu);
  EXPECT_EQ(pixels.At(0, 50), 0xFF090909u);
  EXPECT_EQ(pixels.At(90 - 15, 5), 0xFF000000u);  // right-aligned "abc" starts 15 from the right
  EXPECT_EQ(pixels.At(10 + (80 - 15) / 2, 5), 0xFF000000u);
}

}  // namespace
