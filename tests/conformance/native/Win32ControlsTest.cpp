// The Windows backend's controls as Windows reports them: native classes and styles at form
// coordinates, above the controls made before them, what the program sets quietly, and the
// user's actions (sent as Windows sends them) reaching the control's events once each.
#ifdef _WIN32
#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/messages.h"
#include "platform/surface.h"
#include "tests/support/RecordingFormEvents.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct RecordingControlEvents final : plat::ControlPeerEvents {
  void PeerClicked() override { seen.push_back("clicked"); }
  void PeerValueChanged(int value) override { seen.push_back("value " + std::to_string(value)); }
  void PeerTabPressed(bool backward) override { seen.push_back(backward ? "back tab" : "tab"); }
  std::vector<std::string> seen;
};

LRESULT IgnoringProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcA(hwnd, msg, wParam, lParam); }

// The form's children, topmost first.
std::vector<HWND> Children(HWND form) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

std::string ClassOf(HWND w) {
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

TEST(Win32Controls, NativeControlsAtFormCoordinatesReportOnlyTheUsersActions) {
  HWND app = plat::CreateApplicationWindow("Tavelin conformance", &IgnoringProc);
  RecordingFormEvents formEvents;
  auto form = plat::CreateFormPeer(formEvents, app, "panel");
  RecordingControlEvents group, check, radio, slider, button;
  auto groupPeer = plat::CreateControlPeer(plat::ControlKind::GroupBox, group, *form, "group");
  auto checkPeer = plat::CreateControlPeer(plat::ControlKind::CheckBox, check, *form, "check");
  auto radioPeer = plat::CreateControlPeer(plat::ControlKind::RadioButton, radio, *form, "radio");
  auto sliderPeer = plat::CreateControlPeer(plat::ControlKind::TrackBar, slider, *form, "slider");
  auto buttonPeer = plat::CreateControlPeer(plat::ControlKind::Button, button, *form, "button");

  auto children = Children(form->Handle());
  ASSERT_EQ(children.size(), 5u);
  EXPECT_EQ(ClassOf(children[0]), "Button");  // the button, made last, on top
  EXPECT_EQ(ClassOf(children[1]), TRACKBAR_CLASSA);
  EXPECT_EQ(ClassOf(children[4]), "Button");  // the group box, made first, at the bottom
  EXPECT_EQ(GetWindowLongPtrA(children[4], GWL_STYLE) & 0xF, BS_GROUPBOX);
  HWND checkWnd = children[3], radioWnd = children[2], sliderWnd = children[1], buttonWnd = children[0];

  checkPeer->SetBounds(236, 104, 157, 17);
  checkPeer->SetVisible(true);
  checkPeer->SetText("Run on system startup.");
  RECT r;
  GetWindowRect(checkWnd, &r);
  POINT topLeft{r.left, r.top};
  ScreenToClient(form->Handle(), &topLeft);
  EXPECT_EQ(topLeft.x, 236);
  EXPECT_EQ(topLeft.y, 104);
  EXPECT_EQ(r.right - r.left, 157);
  EXPECT_TRUE(IsWindowVisible(checkWnd) || !IsWindowVisible(form->Handle()));
  char text[64] = {};
  GetWindowTextA(checkWnd, text, sizeof text);
  EXPECT_STREQ(text, "Run on system startup.");

  checkPeer->SetChecked(true);  // quiet
  EXPECT_EQ(SendMessageA(checkWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(checkWnd, BM_CLICK, 0, 0);  // the user's click
  EXPECT_EQ(check.seen, (std::vector<std::string>{"value 0"}));

  // Windows clicks only what could be clicked: a shown control.
  radioPeer->SetBounds(12, 164, 93, 17);
  radioPeer->SetVisible(true);
  buttonPeer->SetBounds(252, 284, 75, 25);
  buttonPeer->SetVisible(true);
  SendMessageA(radioWnd, BM_CLICK, 0, 0);
  EXPECT_EQ(radio.seen, (std::vector<std::string>{"value 1"}));

  sliderPeer->SetRange(1, 4);
  sliderPeer->SetPosition(2);
  sliderPeer->SetThumbLength(25);
  EXPECT_EQ(SendMessageA(sliderWnd, TBM_GETPOS, 0, 0), 2);
  EXPECT_EQ(SendMessageA(sliderWnd, TBM_GETTHUMBLENGTH, 0, 0), 25);
  EXPECT_TRUE(slider.seen.empty());
  SendMessageA(sliderWnd, WM_KEYDOWN, VK_RIGHT, 0);  // the keyboard moves the thumb
  EXPECT_EQ(SendMessageA(sliderWnd, TBM_GETPOS, 0, 0), 3);
  ASSERT_FALSE(slider.seen.empty());
  EXPECT_EQ(slider.seen.back(), "value 3");

  SendMessageA(buttonWnd, BM_CLICK, 0, 0);
  SendMessageA(buttonWnd, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(button.seen, (std::vector<std::string>{"clicked", "tab"}));

  buttonPeer.reset();
  EXPECT_FALSE(IsWindow(buttonWnd));
  sliderPeer.reset();
  radioPeer.reset();
  checkPeer.reset();
  groupPeer.reset();
  form.reset();
  DestroyWindow(app);
}

}  // namespace
#endif
