// Windowed controls on the sim desktop: what their native records show, the user's actions
// reaching the toolkit objects, radio groups, the track bar's events and the focus order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimApp.h"
#include "platform/sim_controls.h"
#include "platform/sim_surface.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/RadioButton.h"
#include "toolkit/TrackBar.h"

namespace {

// A settings panel of the program's kind: two group boxes with labels, check boxes, a track bar
// and two radio buttons, and two buttons whose tab order is not their order on screen.
class Panel : public tk::Form {
 public:
  using tk::Form::Form;
  tk::GroupBox* info = nullptr;
  tk::Label* infoLabel = nullptr;
  tk::GroupBox* settings = nullptr;
  tk::CheckBox* autorun = nullptr;
  tk::CheckBox* autoclose = nullptr;
  tk::TrackBar* slider = nullptr;
  tk::RadioButton* bit16 = nullptr;
  tk::RadioButton* bit32 = nullptr;
  tk::Button* exit = nullptr;
  tk::Button* apply = nullptr;
  tk::ListBox* list = nullptr;
  tk::CheckBox* hidden = nullptr;

 protected:
  template <class T>
  T* Make(const char* name, tk::ControlContainer* parent, int l, int t, int w, int h, const char* caption = nullptr) {
    auto* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if constexpr (requires { c->SetCaption(""); })
      if (caption) c->SetCaption(caption);
    return c;
  }
  void AssignLayout() override {
    SetName("panel");
    SetClientWidth(462);
    SetClientHeight(325);
    SetFont({"Verdana", 11, plat::RGB(0, 0, 0)});
    info = Make<tk::GroupBox>("info", this, 12, 80, 205, 193, "Current Information:");
    info->SetFont({"Verdana", 11, plat::RGB(0x2D, 0x33, 0x51)});
    infoLabel = Make<tk::Label>("infoLabel", info, 8, 56, 108, 13, "Screen Resolution:");
    settings = Make<tk::GroupBox>("settings", this, 228, 80, 221, 193, "Settings:");
    autorun = Make<tk::CheckBox>("autorun", settings, 8, 24, 157, 17, "Run on system startup.");
    autoclose = Make<tk::CheckBox>("autoclose", settings, 8, 48, 205, 17, "Automatically close after change.");
    slider = Make<tk::TrackBar>("slider", settings, 12, 124, 197, 35);
    slider->SetMin(1);
    slider->SetMax(4);
    slider->SetPosition(1);
    slider->SetThumbLength(25);
    bit16 = Make<tk::RadioButton>("bit16", settings, 12, 164, 93, 17, "16 Bit Depth");
    bit16->SetChecked(true);
    bit32 = Make<tk::RadioButton>("bit32", settings, 116, 164, 93, 17, "32 Bit Depth");
    apply = Make<tk::Button>("apply", this, 252, 284, 75, 25, "Apply");
    exit = Make<tk::Button>("exit", this, 332, 284, 75, 25, "Exit");
    exit->SetTabOrder(apply->TabOrder());  // "Exit" before "Apply"
    list = Make<tk::ListBox>("list", this, 156, 12, 25, 21);
    list->SetItemHeight(16);
    list->SetVisible(false);
    hidden = Make<tk::CheckBox>("hidden", this, 16, 60, 97, 17, "startup");
    hidden->SetVisible(false);
    hidden->SetChecked(true);
  }
};

class Controls : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    panel = tk::CreateForm<Panel>(app.get());
  }
  Panel* panel = nullptr;
};

TEST_F(Controls, NativeRecordsShowEveryControlAtFormCoordinatesInCreationOrder) {
  auto records = sim::Controls("panel");
  std::vector<std::string> names;
  for (auto& r : records) names.push_back(r.name);
  EXPECT_EQ(names, (std::vector<std::string>{"info", "settings", "autorun", "autoclose", "slider", "bit16", "bit32",
                                             "apply", "exit", "list", "hidden"}));
  auto autorun = sim::FindControl("panel", "autorun");
  ASSERT_TRUE(autorun);
  EXPECT_EQ(autorun->kind, plat::ControlKind::CheckBox);
  EXPECT_EQ(autorun->left, 228 + 8);  // inside its group box
  EXPECT_EQ(autorun->top, 80 + 24);
  EXPECT_EQ(autorun->text, "Run on system startup.");
  EXPECT_TRUE(autorun->visible);
  auto slider = sim::FindControl("panel", "slider");
  EXPECT_EQ(slider->min, 1);
  EXPECT_EQ(slider->max, 4);
  EXPECT_EQ(slider->thumbLength, 25);
  auto hidden = sim::FindControl("panel", "hidden");
  EXPECT_FALSE(hidden->visible);
  EXPECT_TRUE(hidden->checked);
  EXPECT_EQ(sim::FindControl("panel", "list")->itemHeight, 16);
  EXPECT_TRUE(sim::FindControl("panel", "bit16")->checked);

  // The group box's font colour reaches its label, which the form paints inside the frame.
  EXPECT_EQ(panel->infoLabel->GetFont().color, plat::RGB(0x2D, 0x33, 0x51));
  bool found = false;
  for (auto& op : sim::DisplayList("panel"))
    if (op.kind == sim::DrawKind::FormattedText && op.text == "Screen Resolution:") {
      found = true;
      EXPECT_EQ(op.rect.left, 12 + 8);
      EXPECT_EQ(op.rect.top, 80 + 56);
      EXPECT_EQ(op.color, plat::RGB(0x2D, 0x33, 0x51));
    }
  EXPECT_TRUE(found);

  // Hiding the group box hides what it holds; moving it moves them.
  panel->settings->SetVisible(false);
  EXPECT_FALSE(sim::FindControl("panel", "autorun")->visible);
  panel->settings->SetVisible(true);
  panel->settings->SetLeft(200);
  EXPECT_EQ(sim::FindControl("panel", "autorun")->left, 208);
  EXPECT_TRUE(sim::FindControl("panel", "autorun")->visible);
}

TEST_F(Controls, RadioButtonsAreExclusiveWithinTheirContainerAndCheckBoxesToggle) {
  std::vector<std::string> clicks;
  panel->bit16->OnClick = [&](tk::Component*) { clicks.push_back("bit16"); };
  panel->bit32->OnClick = [&](tk::Component*) { clicks.push_back("bit32"); };
  panel->autorun->OnClick = [&](tk::Component*) { clicks.push_back("autorun"); };
  EXPECT_TRUE(sim::ClickControl("panel", "bit32"));
  EXPECT_TRUE(panel->bit32->Checked());
  EXPECT_FALSE(panel->bit16->Checked());
  EXPECT_FALSE(sim::FindControl("panel", "bit16")->checked);
  panel->bit16->SetChecked(true);  // by the program: the same rule
  EXPECT_FALSE(panel->bit32->Checked());
  EXPECT_FALSE(sim::FindControl("panel", "bit32")->checked);
  EXPECT_TRUE(sim::ClickControl("panel", "autorun"));
  EXPECT_TRUE(panel->autorun->Checked());
  EXPECT_TRUE(sim::ClickControl("panel", "autorun"));
  EXPECT_FALSE(panel->autorun->Checked());
  EXPECT_FALSE(sim::ClickControl("panel", "hidden"));  // the user cannot reach a hidden control
  EXPECT_EQ(clicks, (std::vector<std::string>{"bit32", "bit16", "autorun", "autorun"}));
}

TEST_F(Controls, TheTrackBarReportsTheUsersMovesOnly) {
  std::vector<int> changes;
  panel->slider->OnChange = [&](tk::Component*) { changes.push_back(panel->slider->Position()); };
  EXPECT_TRUE(sim::MoveTrackBar("panel", "slider", 3));
  EXPECT_EQ(panel->slider->Position(), 3);
  EXPECT_TRUE(sim::MoveTrackBar("panel", "slider", 9));  // the native control stops at its maximum
  EXPECT_EQ(panel->slider->Position(), 4);
  panel->slider->SetPosition(2);  // the program's own change
  EXPECT_EQ(sim::FindControl("panel", "slider")->position, 2);
  panel->slider->SetPosition(0);
  EXPECT_EQ(panel->slider->Position(), 1);  // clamped to the range
  EXPECT_EQ(changes, (std::vector<int>{3, 4}));
}

TEST_F(Controls, ButtonsClickAndFocusFollowsTheTabOrder) {
  int applied = 0;
  panel->apply->OnClick = [&](tk::Component*) { ++applied; };
  EXPECT_TRUE(sim::ClickControl("panel", "apply"));
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(panel->ActiveControl(), panel->apply);

  std::vector<std::string> order;
  panel->SetActiveControl(nullptr);
  for (int i = 0; i < 7; ++i) {
    panel->SelectNext();
    order.push_back(panel->ActiveControl() ? panel->ActiveControl()->Name() : "");
  }
  // Only the checked radio button is a stop; hidden controls and group boxes are none.
  EXPECT_EQ(order, (std::vector<std::string>{"autorun", "autoclose", "slider", "bit16", "exit", "apply", "autorun"}));
  EXPECT_TRUE(sim::FindControl("panel", "autorun")->focused);
  panel->SelectNext(false);
  EXPECT_EQ(panel->ActiveControl(), panel->apply);
  // The Tab key in a control goes the same way.
  EXPECT_TRUE(sim::PressTab("panel"));
  EXPECT_EQ(panel->ActiveControl(), panel->autorun);
  EXPECT_TRUE(sim::PressTab("panel", true));
  EXPECT_EQ(panel->ActiveControl(), panel->apply);
  EXPECT_TRUE(sim::PressTab("panel", true));
  EXPECT_EQ(panel->ActiveControl(), panel->exit);

  // A disabled control is skipped and takes no clicks.
  panel->exit->SetEnabled(false);
  EXPECT_FALSE(sim::FindControl("panel", "exit")->enabled);
  EXPECT_FALSE(sim::ClickControl("panel", "exit"));
  panel->apply->SetFocus();
  panel->SelectNext(false);
  EXPECT_EQ(panel->ActiveControl(), panel->bit16) << panel->ActiveControl()->Name();
}

TEST_F(Controls, AnErrorInAClickHandlerGoesToTheApplicationsBox) {
  panel->apply->OnClick = [](tk::Component*) { throw std::runtime_error("Cannot save"); };
  sim::At(10, [] { sim::ClickControl("panel", "apply"); });
  sim::At(20, [] { sim::PressOk(); });
  RunFor(100);
  auto boxes = sim::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Cannot save.");
  EXPECT_TRUE(boxes[0].error);
}

TEST_F(Controls, ListBoxesHoldItemsAndReportTheSelection) {
  panel->list->SetVisible(true);
  panel->list->SetItems({"one", "two"});
  int clicks = 0;
  panel->list->OnClick = [&](tk::Component*) { ++clicks; };
  EXPECT_EQ(sim::FindControl("panel", "list")->items.size(), 2u);
  EXPECT_TRUE(sim::SelectItem("panel", "list", 1));
  EXPECT_EQ(panel->list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  panel->list->SetItemIndex(5);
  EXPECT_EQ(panel->list->ItemIndex(), -1);
}

}  // namespace
