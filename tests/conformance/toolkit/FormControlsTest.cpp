// A form with graphic and windowed controls on each backend's real windows: it paints its
// controls in z-order, its windowed controls get native peers, and a click posted to the window
// reaches the control under it through the backend's own message path.
#include <gtest/gtest.h>

#include <memory>

#include "controls/ProCtrls.h"
#include "platform/messages.h"
#include "platform/surface.h"
#include "toolkit/Application.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/RadioButton.h"

namespace {

class Panel : public tk::Form {
 public:
  using tk::Form::Form;
  TProImage* background = nullptr;
  TProLabel* title = nullptr;
  TProMouseRegion* region = nullptr;
  tk::GroupBox* group = nullptr;
  tk::RadioButton* bit16 = nullptr;
  tk::RadioButton* bit32 = nullptr;
  tk::CheckBox* startup = nullptr;

 protected:
  void AssignLayout() override {
    SetName("panel");
    SetCaption("Tavelin panel");
    SetBorderStyle(tk::BorderStyle::None);
    SetClientWidth(200);
    SetClientHeight(120);
    background = new TProImage(this);
    background->SetParent(this);
    background->SetAlign(tk::Align::Client);
    background->SetStretch(true);
    auto blue = plat::Pixels::Of(1, 1, {0xFF0000FFu});
    background->Picture().SetGraphic(std::make_unique<tk::Bitmap>(blue, false));
    title = new TProLabel(this);
    title->SetParent(this);
    title->SetBounds(4, 4, 100, 30);
    title->SetFont({"Verdana", 20, plat::RGB(255, 255, 0), true});
    title->SetCaption("Title");
    region = new TProMouseRegion(this);
    region->SetParent(this);
    region->SetBounds(150, 80, 40, 30);
    group = new tk::GroupBox(this);
    group->SetParent(this);
    group->SetBounds(110, 4, 85, 60);
    bit16 = new tk::RadioButton(this);
    bit16->SetParent(group);
    bit16->SetBounds(4, 16, 70, 17);
    bit16->SetChecked(true);
    bit32 = new tk::RadioButton(this);
    bit32->SetParent(group);
    bit32->SetBounds(4, 36, 70, 17);
    startup = new tk::CheckBox(this);
    startup->SetParent(this);
    startup->SetVisible(false);
    startup->SetChecked(true);
  }
};

TEST(FormControls, PaintedInOrderWithNativePeersAndClicksThroughTheBackend) {
  auto app = std::make_unique<tk::Application>();
  app->Initialize();
  auto* panel = tk::CreateForm<Panel>(app.get());
  EXPECT_TRUE(panel->bit16->HandleAllocated());
  EXPECT_TRUE(panel->startup->HandleAllocated());
  panel->bit32->SetChecked(true);
  EXPECT_FALSE(panel->bit16->Checked());
  EXPECT_TRUE(panel->bit16->TabStop() == false && panel->bit32->TabStop());

  auto image = plat::CreateImageSurface(200, 120);
  panel->PaintTo(*image);
  const plat::Pixels p = image->ReadPixels();
  EXPECT_EQ(p.At(199, 119), 0xFF0000FFu);  // the stretched background, corner to corner
  EXPECT_EQ(p.At(0, 0), 0xFF0000FFu);
  int yellow = 0;
  for (int y = 4; y < 34; ++y)
    for (int x = 4; x < 104; ++x) yellow += (p.At(x, y) & 0xFFFFFF) == 0xFFFF00;
  EXPECT_GT(yellow, 20);  // the title on top of it
  EXPECT_EQ(p.At(170, 95), 0xFF0000FFu);  // the mouse region paints nothing

  int clicks = 0;
  panel->region->OnClick = [&](tk::Component*) { ++clicks; };
  panel->Show();
  plat::HWND window = panel->Handle();
  plat::PostMessageA(window, plat::WM_MOUSEMOVE, 0, plat::MakePointParam(160, 90));
  plat::PostMessageA(window, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(160, 90));
  plat::PostMessageA(window, plat::WM_LBUTTONUP, 0, plat::MakePointParam(160, 90));
  plat::PostMessageA(window, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MakePointParam(20, 20));
  plat::PostMessageA(window, plat::WM_LBUTTONUP, 0, plat::MakePointParam(20, 20));
  for (int i = 0; i < 20 && clicks == 0; ++i) app->ProcessMessages();
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  delete panel;
  app.reset();
}

}  // namespace
