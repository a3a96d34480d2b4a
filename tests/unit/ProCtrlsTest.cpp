// The picture, label and mouse-region controls on the sim desktop: property rules, and what
// they paint, read from the form's display list (sim text metrics: Verdana 10 advances 5 pixels
// a character and is 10 pixels high).
#include <gtest/gtest.h>

#include <vector>

#include "SimApp.h"
#include "controls/ProCtrls.h"
#include "platform/sim_surface.h"
#include "toolkit/Form.h"
#include "toolkit/ImageCodecs.h"

namespace {

constexpr plat::COLORREF kShadow = plat::RGB(128, 128, 128);
constexpr plat::COLORREF kHighlight = plat::RGB(255, 255, 255);
constexpr plat::COLORREF kText = plat::RGB(10, 20, 30);

class Canvas200 : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override {
    SetName("f");
    SetClientWidth(200);
    SetClientHeight(100);
    SetColor(plat::RGB(1, 2, 3));
    SetFont({"Verdana", 10, kText});
  }
};

// A solid bitmap of the given size.
tk::Picture* SolidPicture(tk::Picture& picture, int w, int h, std::uint32_t argb = 0xFF336699u) {
  plat::Pixels p;
  p.width = w;
  p.height = h;
  p.argb.assign(static_cast<std::size_t>(w) * h, argb);
  picture.SetGraphic(std::make_unique<tk::Bitmap>(p, false));
  return &picture;
}

std::vector<sim::DrawOp> OfKind(const std::vector<sim::DrawOp>& ops, sim::DrawKind kind) {
  std::vector<sim::DrawOp> out;
  for (auto& op : ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}

class ProCtrls : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    form = tk::CreateForm<Canvas200>(app.get());
  }
  TProLabel* NewLabel(const std::string& caption) {
    auto* label = new TProLabel(form);
    label->SetParent(form);
    label->SetCaption(caption);
    return label;
  }
  std::vector<sim::DrawOp> Texts() {
    auto ops = sim::DisplayList("f");
    std::vector<sim::DrawOp> out;
    for (auto& op : ops)
      if (op.kind == sim::DrawKind::Text || op.kind == sim::DrawKind::FormattedText) out.push_back(op);
    return out;
  }
  Canvas200* form = nullptr;
};

TEST_F(ProCtrls, AngleIsReducedAndTurnsAutoSizeOffForGood) {
  TProLabel* label = NewLabel("Hello");
  EXPECT_TRUE(label->AutoSize());
  EXPECT_EQ(label->Width(), 25);  // fitted to the caption
  label->SetAngle(360);
  EXPECT_EQ(label->Angle(), 0);
  EXPECT_TRUE(label->AutoSize());  // nothing changed
  label->SetAngle(-90);
  EXPECT_EQ(label->Angle(), 270);
  EXPECT_FALSE(label->AutoSize());
  label->SetAngle(725);
  EXPECT_EQ(label->Angle(), 5);
  label->SetAngle(0);
  EXPECT_FALSE(label->AutoSize());

  TProLabel* other = NewLabel("x");
  other->SetOffsetX(-3);
  EXPECT_TRUE(other->AutoSize());
  other->SetOffsetY(0);
  EXPECT_TRUE(other->AutoSize());
  other->SetOffsetX(3);
  EXPECT_FALSE(other->AutoSize());
}

TEST_F(ProCtrls, PresetsSetTheSevenSettingsAndAnyLaterChangeMakesTheStyleCustom) {
  TProLabel* label = NewLabel("Hi");
  EXPECT_EQ(label->HighlightColor(), tk::clBtnHighlight);
  EXPECT_EQ(label->ShadowColor(), tk::clBtnShadow);
  label->SetShadowStyle(TShadowStyle::ssRaised);
  EXPECT_EQ(label->ShadowStyle(), TShadowStyle::ssRaised);
  EXPECT_EQ(label->HighlightDirection(), TDirection::drUpLeft);
  EXPECT_EQ(label->HighlightDepth(), 1);
  EXPECT_EQ(label->ShadowDirection(), TDirection::drNone);
  label->SetHighlightColor(tk::clBtnHighlight);  // unchanged
  EXPECT_EQ(label->ShadowStyle(), TShadowStyle::ssRaised);
  label->SetHighlightColor(plat::RGB(1, 1, 1));
  EXPECT_EQ(label->ShadowStyle(), TShadowStyle::ssCustom);

  label->SetShadowStyle(TShadowStyle::ssThickShadow);
  EXPECT_EQ(label->ShadowSize(), 4);
  EXPECT_EQ(label->ShadowDepth(), 1);
  EXPECT_EQ(label->HighlightColor(), tk::clBtnHighlight);  // presets reset the colours
  label->SetShadowStyle(TShadowStyle::ssCustom);
  EXPECT_EQ(label->ShadowSize(), 4);
  EXPECT_EQ(label->ShadowDirection(), TDirection::drDownRight);

  EXPECT_EQ(label->GetFont().color, kText);
  label->SetShadowStyle(TShadowStyle::ssShadow);
  EXPECT_EQ(label->GetFont().color, kText);
  label->SetShadowStyle(TShadowStyle::ssRecessedColor);
  EXPECT_EQ(label->GetFont().color, tk::clBtnFace);
  EXPECT_EQ(label->ShadowDirection(), TDirection::drUpLeft);
  EXPECT_EQ(label->HighlightDirection(), TDirection::drDownRight);
  TProLabel* raised = NewLabel("Up");
  raised->SetShadowStyle(TShadowStyle::ssRaisedColor);
  EXPECT_EQ(raised->GetFont().color, tk::clBtnFace);
  EXPECT_EQ(raised->HighlightDirection(), TDirection::drUpLeft);
  EXPECT_EQ(raised->ShadowDirection(), TDirection::drDownRight);
}

TEST_F(ProCtrls, StoredHighlightSettingsLoadBeforeTheStyleAndShadowSettingsAfterIt) {
  TProLabel* matching = NewLabel("a");
  TProCustomLabel::StoredShadow stored;
  stored.highlightDirection = TDirection::drUpLeft;
  stored.highlightDepth = 1;
  stored.shadowStyle = TShadowStyle::ssRaisedShadow;
  stored.shadowDirection = TDirection::drDownRight;
  stored.shadowDepth = 1;
  stored.shadowSize = 1;
  matching->LoadShadow(stored);
  EXPECT_EQ(matching->ShadowStyle(), TShadowStyle::ssRaisedShadow);

  TProLabel* differing = NewLabel("b");
  stored.shadowDepth = 3;
  differing->LoadShadow(stored);
  EXPECT_EQ(differing->ShadowStyle(), TShadowStyle::ssCustom);
  EXPECT_EQ(differing->ShadowDepth(), 3);
  // A differing stored highlight comes before the preset, which overrides it.
  TProLabel* overridden = NewLabel("c");
  stored.shadowDepth = 1;
  stored.highlightDepth = 5;
  overridden->LoadShadow(stored);
  EXPECT_EQ(overridden->ShadowStyle(), TShadowStyle::ssRaisedShadow);
  EXPECT_EQ(overridden->HighlightDepth(), 1);
}

TEST_F(ProCtrls, ShadowCopiesThenHighlightThenTextAndTheDisabledEmboss) {
  TProLabel* label = NewLabel("Hello");
  label->SetBounds(10, 20, 60, 20);
  label->SetShadowStyle(TShadowStyle::ssThickShadow);
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 6u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(texts[i].rect.left, 10 + 1 + i) << i;
    EXPECT_EQ(texts[i].rect.top, 20 + 1 + i) << i;
    EXPECT_EQ(texts[i].color, kShadow);
    EXPECT_EQ(texts[i].clip.left, 10);  // clipped to the label
    EXPECT_EQ(texts[i].clip.bottom, 40);
  }
  EXPECT_EQ(texts[4].rect.left, 10);
  EXPECT_EQ(texts[4].rect.top, 20);
  EXPECT_EQ(texts[4].color, kHighlight);
  EXPECT_EQ(texts[5].rect.left, 10);
  EXPECT_EQ(texts[5].color, kText);
  EXPECT_EQ(texts[5].text, "Hello");

  label->SetEnabled(false);
  texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rect.left, 11);
  EXPECT_EQ(texts[0].rect.top, 21);
  EXPECT_EQ(texts[0].color, kHighlight);
  EXPECT_EQ(texts[1].rect.left, 10);
  EXPECT_EQ(texts[1].rect.top, 20);
  EXPECT_EQ(texts[1].color, kShadow);
}

TEST_F(ProCtrls, RotatedTextStartsWhereItsQuadrantPutsIt) {
  // "Hello": W = 25, H = 10.
  struct Case {
    int angle;
    int x, y;
  } cases[] = {{90, 0, 25}, {180, 25, 10}, {270, 10, 0}, {45, 0, 17}};
  TProLabel* label = NewLabel("Hello");
  label->SetBounds(0, 0, 60, 40);
  for (auto c : cases) {
    label->SetAngle(c.angle);
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u) << c.angle;
    EXPECT_EQ(texts[0].kind, sim::DrawKind::Text);
    EXPECT_EQ(texts[0].font.angle, c.angle);
    EXPECT_EQ(texts[0].rect.left, c.x) << c.angle;
    EXPECT_EQ(texts[0].rect.top, c.y) << c.angle;
  }
  // The box is clamped to the label: at 90 degrees in a label lower than the text is wide.
  label->SetAngle(90);
  label->SetBounds(0, 0, 60, 18);
  EXPECT_EQ(Texts()[0].rect.top, 18);
  // Right-aligned and at the bottom: the 10 x 18 box moves right by 50.
  label->SetAlignment(tk::Alignment::RightJustify);
  label->SetVerticalAlignment(TVerticalAlignment::vaBottom);
  EXPECT_EQ(Texts()[0].rect.left, 50);
  EXPECT_EQ(Texts()[0].rect.top, 18);
}

TEST_F(ProCtrls, VerticalAlignmentAndOffsetsMoveTheText) {
  TProLabel* label = NewLabel("Hi");
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 50, 40);
  label->SetLayout(TVerticalAlignment::vaBottom);
  EXPECT_EQ(label->VerticalAlignment(), TVerticalAlignment::vaBottom);
  EXPECT_EQ(Texts()[0].rect.top, 30);
  label->SetVerticalAlignment(TVerticalAlignment::vaCenter);
  EXPECT_EQ(Texts()[0].rect.top, 15);
  label->SetOffsetX(4);
  label->SetOffsetY(-2);
  EXPECT_EQ(Texts()[0].rect.left, 4);
  EXPECT_EQ(Texts()[0].rect.top, 13);
  // Taller than the label: centred, the text overflows at both edges.
  label->SetHeight(5);
  label->SetOffsetY(0);
  EXPECT_EQ(Texts()[0].rect.top, -3);
}

TEST_F(ProCtrls, PictureDestinationStretchCenterAndTiles) {
  auto* image = new TProImage(form);
  image->SetParent(form);
  EXPECT_EQ(image->Width(), 105);
  EXPECT_EQ(image->Height(), 105);
  image->SetBounds(10, 10, 50, 30);
  tk::Picture picture;
  image->SetPicture(*SolidPicture(picture, 20, 20));
  auto images = OfKind(sim::DisplayList("f"), sim::DrawKind::Image);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].rect.left, 10);
  EXPECT_EQ(images[0].rect.right, 30);

  image->SetCenter(true);
  images = OfKind(sim::DisplayList("f"), sim::DrawKind::Image);
  EXPECT_EQ(images[0].rect.left, 10 + 15);
  EXPECT_EQ(images[0].rect.top, 10 + 5);
  image->SetStretch(true);  // stretching wins over centring
  images = OfKind(sim::DisplayList("f"), sim::DrawKind::Image);
  EXPECT_EQ(images[0].rect.left, 10);
  EXPECT_EQ(images[0].rect.right, 60);
  EXPECT_EQ(images[0].rect.bottom, 40);

  image->SetTiled(true);  // and tiling wins over both
  auto ops = sim::DisplayList("f");
  images = OfKind(ops, sim::DrawKind::Image);
  ASSERT_EQ(images.size(), 6u);
  const int expected[][2] = {{0, 0}, {0, 20}, {20, 0}, {20, 20}, {40, 0}, {40, 20}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(images[i].offscreen);
    EXPECT_EQ(images[i].rect.left, 10 + expected[i][0]) << i;
    EXPECT_EQ(images[i].rect.top, 10 + expected[i][1]) << i;
    EXPECT_EQ(images[i].rect.right - images[i].rect.left, 20);
  }
  auto copies = OfKind(ops, sim::DrawKind::Copy);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].rect.left, 10);
  EXPECT_EQ(copies[0].rect.right, 60);
  // The pixels: every tile lands, the last ones cut at the control's edge.
  auto pixels = sim::FormPixels("f");
  EXPECT_EQ(pixels.At(59, 39), 0xFF336699u);
  EXPECT_EQ(pixels.At(60, 39), 0xFF010203u);  // the form's background beyond

  // A picture of no width tiles nothing.
  SolidPicture(image->Picture(), 0, 20);
  EXPECT_TRUE(OfKind(sim::DisplayList("f"), sim::DrawKind::Copy).empty());

  // A centred picture larger than the control starts left of it (quotient toward zero).
  image->SetTiled(false);
  image->SetStretch(false);
  SolidPicture(image->Picture(), 55, 20);
  EXPECT_EQ(image->DestRect().left, -2);
}

TEST_F(ProCtrls, OpacityFollowsThePictureAndSparesTheBackground) {
  auto* image = new TProImage(form);
  image->SetParent(form);
  image->SetAlign(tk::Align::Client);
  EXPECT_EQ(image->Width(), 200);
  EXPECT_FALSE(image->Opaque());  // empty
  SolidPicture(image->Picture(), 20, 20);
  EXPECT_FALSE(image->Opaque());  // smaller than the control, not stretched
  auto ops = sim::DisplayList("f");
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, sim::DrawKind::Fill);  // the background shows around it
  image->SetStretch(true);
  EXPECT_TRUE(image->Opaque());
  ops = sim::DisplayList("f");
  EXPECT_EQ(ops[0].kind, sim::DrawKind::Image);  // no background beneath an opaque picture
  image->SetTransparent(true);
  EXPECT_FALSE(image->Opaque());
  EXPECT_TRUE(image->Picture().GetGraphic()->Transparent());
  EXPECT_TRUE(OfKind(sim::DisplayList("f"), sim::DrawKind::Image)[0].keyed);
  // AutoSize takes the picture's size.
  image->SetAlign(tk::Align::None);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 20);
  EXPECT_EQ(image->Height(), 20);
}

TEST_F(ProCtrls, TheMouseRegionPaintsNothingButTakesClicksAndReportsEnterAndLeave) {
  auto* region = new TProMouseRegion(form);
  region->SetParent(form);
  EXPECT_EQ(region->Width(), 105);
  region->SetBounds(50, 20, 33, 29);
  std::vector<std::string> seen;
  region->OnClick = [&](tk::Component*) { seen.push_back("click"); };
  region->OnMouseEnter = [&](tk::Component* s) { seen.push_back(s == region ? "enter" : "?"); };
  region->OnMouseLeave = [&](tk::Component*) { seen.push_back("leave"); };
  auto ops = sim::DisplayList("f");
  ASSERT_EQ(ops.size(), 1u);  // the form's background only
  sim::At(10, [] { sim::Click("f", 60, 30); });
  sim::At(20, [] { sim::MouseMove("f", 5, 5); });
  sim::At(30, [] { sim::Click("f", 5, 5); });  // outside: no click
  RunFor(100);
  EXPECT_EQ(seen, (std::vector<std::string>{"enter", "click", "leave"}));
}

TEST_F(ProCtrls, LabelsAndImagesReportEnterAndLeaveAndAPressMovedOffIsNoClick) {
  TProLabel* label = NewLabel("Hello");
  label->SetBounds(0, 0, 40, 20);
  auto* image = new TProImage(form);
  image->SetParent(form);
  image->SetBounds(100, 0, 40, 40);
  std::vector<std::string> seen;
  label->OnMouseEnter = [&](tk::Component*) { seen.push_back("label enter"); };
  label->OnMouseLeave = [&](tk::Component*) { seen.push_back("label leave"); };
  image->OnMouseEnter = [&](tk::Component*) { seen.push_back("image enter"); };
  image->OnMouseLeave = [&](tk::Component*) { seen.push_back("image leave"); };
  image->OnClick = [&](tk::Component*) { seen.push_back("image click"); };
  sim::At(10, [] { sim::MouseMove("f", 5, 5); });
  sim::At(20, [] { sim::MouseMove("f", 110, 5); });
  sim::At(30, [] {
    sim::MouseDown("f", 110, 5);
    sim::MouseMove("f", 190, 90);  // captured: still the image's, but off it
    sim::MouseUp("f", 190, 90);
  });
  sim::At(40, [] { sim::MouseLeave("f"); });
  RunFor(100);
  EXPECT_EQ(seen, (std::vector<std::string>{"label enter", "label leave", "image enter", "image leave"}));
}

TEST_F(ProCtrls, AControlHiddenMovedOrDestroyedUnderTheRestingPointerLeavesAndTheOneBeneathIsEntered) {
  auto* back = new TProMouseRegion(form);
  back->SetParent(form);
  back->SetBounds(0, 0, 100, 100);
  auto* front = new TProImage(form);
  front->SetParent(form);
  front->SetBounds(10, 10, 40, 40);
  front->SetCursor(tk::Cursor::HandPoint);
  std::vector<std::string> seen;
  back->OnMouseEnter = [&](tk::Component*) { seen.push_back("back enter"); };
  back->OnMouseLeave = [&](tk::Component*) { seen.push_back("back leave"); };
  front->OnMouseEnter = [&](tk::Component*) { seen.push_back("front enter"); };
  front->OnMouseLeave = [&](tk::Component*) { seen.push_back("front leave"); };
  auto cursor = [] { return sim::FindForm("f")->cursor; };
  sim::MouseMove("f", 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<std::string>{"front enter"}));
  EXPECT_EQ(cursor(), plat::CursorShape::HandPoint);

  seen.clear();
  front->Hide();
  EXPECT_EQ(seen, (std::vector<std::string>{"front leave", "back enter"}));
  EXPECT_EQ(cursor(), plat::CursorShape::Arrow);
  seen.clear();
  front->Show();
  EXPECT_EQ(seen, (std::vector<std::string>{"back leave", "front enter"}));
  seen.clear();
  front->SetLeft(60);  // moved from under the pointer
  EXPECT_EQ(seen, (std::vector<std::string>{"front leave", "back enter"}));
  front->SetLeft(10);
  seen.clear();
  delete front;
  EXPECT_EQ(seen, (std::vector<std::string>{"front leave", "back enter"}));
  EXPECT_EQ(cursor(), plat::CursorShape::Arrow);

  // A pointer that has left the window enters nothing when a control appears beneath where it was.
  sim::MouseLeave("f");
  app->ProcessMessages();
  seen.clear();
  back->Hide();
  back->Show();
  EXPECT_EQ(seen, (std::vector<std::string>{}));
}

TEST_F(ProCtrls, HintsWaitTheirPauseShowInTheHintColourAndGoAfterTheHidePause) {
  app->SetHintPause(250);
  app->SetHintHidePause(1000);
  app->SetHintShortPause(25);
  app->SetHintColor(plat::RGB(0xB3, 0xEF, 0xF2));
  form->SetShowHint(true);
  auto* region = new TProMouseRegion(form);
  region->SetParent(form);
  region->SetBounds(0, 0, 50, 50);
  region->SetHint("View the about screen.");
  TProLabel* label = NewLabel("x");
  label->SetBounds(60, 0, 40, 20);
  label->SetHint("Other|long text");

  std::vector<std::string> shown;  // the hint showing at each sample, "" for none
  std::vector<std::string> painted;
  auto sample = [&] {
    auto hint = sim::FindForm("hint");
    shown.push_back(hint && hint->visible ? hint->caption : "");
    if (hint && hint->visible) {
      const auto paint = sim::DisplayList("hint");
      auto fills = OfKind(paint, sim::DrawKind::Fill);
      EXPECT_TRUE(!fills.empty() && fills[0].color == plat::RGB(0xB3, 0xEF, 0xF2));
      auto texts = OfKind(paint, sim::DrawKind::Text);
      painted.push_back(texts.empty() ? "" : texts[0].text);
    }
  };
  sim::At(100, [] { sim::MouseMove("f", 10, 10); });
  sim::At(349, sample);   // not yet
  sim::At(351, sample);   // shown
  sim::At(1349, sample);  // still
  sim::At(1351, sample);  // gone after the hide pause
  sim::At(1500, [] { sim::MouseMove("f", 70, 5); });  // a new hint: the long pause again
  sim::At(1740, sample);
  sim::At(1760, sample);
  sim::At(1770, [] { sim::MouseMove("f", 10, 10); });  // from one hint to the next: the short pause
  sim::At(1790, sample);
  sim::At(1800, sample);
  sim::At(1850, [] { sim::MouseMove("f", 150, 80); });  // off every control: the hint goes
  sim::At(1851, sample);
  RunFor(2000);
  const std::string about = "View the about screen.";
  EXPECT_EQ(shown, (std::vector<std::string>{"", about, about, "", "", "Other", "", about, ""}));
  EXPECT_EQ(painted, (std::vector<std::string>{about, about, "Other", about}));  // the short part of "Other|..."
}

TEST_F(ProCtrls, TheToolkitLabelFitsItsCaptionAndIsTransparentWithVisualStyles) {
  auto* label = new tk::Label(form);
  EXPECT_EQ(label->Width(), 65);
  EXPECT_EQ(label->Height(), 17);
  label->SetParent(form);
  label->SetBounds(100, 4, 80, 13);
  label->SetAlignment(tk::Alignment::RightJustify);
  label->SetCaption("&Save");  // "&" draws nothing
  EXPECT_EQ(label->Width(), 20);
  EXPECT_EQ(label->Left(), 160);  // the right edge stays
  EXPECT_TRUE(label->Transparent());
  EXPECT_TRUE(OfKind(sim::DisplayList("f"), sim::DrawKind::Fill).size() == 1);
  sim::SetVisualStyles(false);
  EXPECT_FALSE(label->Transparent());
  label->Invalidate();
  auto fills = OfKind(sim::DisplayList("f"), sim::DrawKind::Fill);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[1].rect.left, 160);
  EXPECT_EQ(fills[1].color, plat::RGB(1, 2, 3));  // the form's colour (ParentColor)
  label->SetTransparent(true);  // explicit: kept whatever the desktop does
  EXPECT_TRUE(label->TransparentSet());
  EXPECT_TRUE(label->Transparent());
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Width(), 25);
}

}  // namespace
