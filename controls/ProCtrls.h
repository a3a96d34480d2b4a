#pragma once
// The picture, label and mouse-region controls the windows are drawn from. All three are
// graphic controls: they paint on their container's canvas and report the mouse entering and
// leaving them (OnMouseEnter, OnMouseLeave of tk::GraphicControl). Each class has its own .cpp:
// TProCustomLabel.cpp (with TProLabel), TProImage.cpp, TProMouseRegion.cpp.
#include <cstdint>

#include "toolkit/Label.h"
#include "toolkit/Picture.h"

enum class TShadowStyle : std::uint8_t {
  ssNone,
  ssCustom,
  ssRaised,
  ssRaisedColor,
  ssRaisedShadow,
  ssRaisedThickShadow,
  ssRecessed,
  ssRecessedColor,
  ssRecessedShadow,
  ssShadow,
  ssThickShadow
};

enum class TDirection : std::uint8_t { drNone, drUp, drDown, drLeft, drRight, drUpLeft, drUpRight, drDownLeft, drDownRight };

enum class TVerticalAlignment : std::uint8_t { vaTop, vaCenter, vaBottom };

using TShadowDepth = std::uint16_t;  // 0..1280
using TShadowSize = std::uint16_t;   // 0..1280

// The one-pixel step of a direction, x to the right and y down.
plat::POINT DirectionStep(TDirection direction);

class TProCustomLabel : public tk::CustomLabel {
 public:
  explicit TProCustomLabel(tk::Component* owner);

  int Angle() const { return angle_; }
  void SetAngle(int angle);
  int OffsetX() const { return offsetX_; }
  void SetOffsetX(int offset);
  int OffsetY() const { return offsetY_; }
  void SetOffsetY(int offset);
  TDirection HighlightDirection() const { return highlightDirection_; }
  void SetHighlightDirection(TDirection direction);
  int HighlightDepth() const { return highlightDepth_; }
  void SetHighlightDepth(int depth);
  tk::Color HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(tk::Color color);
  TShadowStyle ShadowStyle() const { return shadowStyle_; }
  void SetShadowStyle(TShadowStyle style);
  TDirection ShadowDirection() const { return shadowDirection_; }
  void SetShadowDirection(TDirection direction);
  TShadowDepth ShadowDepth() const { return shadowDepth_; }
  void SetShadowDepth(TShadowDepth depth);
  TShadowSize ShadowSize() const { return shadowSize_; }
  void SetShadowSize(TShadowSize size);
  tk::Color ShadowColor() const { return shadowColor_; }
  void SetShadowColor(tk::Color color);
  TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
  void SetVerticalAlignment(TVerticalAlignment alignment);
  // Another name for VerticalAlignment (never stored).
  TVerticalAlignment Layout() const { return verticalAlignment_; }
  void SetLayout(TVerticalAlignment alignment) { SetVerticalAlignment(alignment); }

  // Stored highlight settings are assigned before ShadowStyle and stored shadow settings after
  // it, so that a stored preset followed by a differing shadow setting loads as ssCustom.
  struct StoredShadow {
    TDirection highlightDirection = TDirection::drNone;
    int highlightDepth = 0;
    tk::Color highlightColor = tk::clBtnHighlight;
    TShadowStyle shadowStyle = TShadowStyle::ssNone;
    TDirection shadowDirection = TDirection::drNone;
    TShadowDepth shadowDepth = 0;
    TShadowSize shadowSize = 0;
    tk::Color shadowColor = tk::clBtnShadow;
  };
  void LoadShadow(const StoredShadow& stored);

  void Paint(tk::Canvas& canvas) override;

 private:
  // Leaves ssCustom behind unless a preset is being applied.
  void CustomChanged();
  // Where the caption goes: the client area aligned vertically, or the turned text's box.
  plat::RECT AlignedTextRect(tk::Canvas& canvas) const;
  plat::RECT TurnedTextRect(tk::Canvas& canvas) const;
  void DrawLayers(tk::Canvas& canvas, plat::RECT rect) const;
  void DrawCaption(tk::Canvas& canvas, plat::RECT rect, tk::Color color) const;

  int angle_ = 0;
  int offsetX_ = 0;
  int offsetY_ = 0;
  TDirection highlightDirection_ = TDirection::drNone;
  int highlightDepth_ = 0;
  tk::Color highlightColor_ = 0;
  TShadowStyle shadowStyle_ = TShadowStyle::ssNone;
  TDirection shadowDirection_ = TDirection::drNone;
  TShadowDepth shadowDepth_ = 0;
  TShadowSize shadowSize_ = 0;
  tk::Color shadowColor_ = 0;
  TVerticalAlignment verticalAlignment_ = TVerticalAlignment::vaTop;
  double cosine_ = 0;
  double sine_ = 0;
  bool applyingPreset_ = false;
};

class TProLabel : public TProCustomLabel {
 public:
  using TProCustomLabel::TProCustomLabel;
};

class TProImage : public tk::GraphicControl {
 public:
  explicit TProImage(tk::Component* owner);
  ~TProImage() override;

  tk::Picture& Picture() { return *picture_; }
  // Copies the given picture's content into the control's own.
  void SetPicture(const tk::Picture& picture);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  bool Center() const { return center_; }
  void SetCenter(bool on);
  bool Tiled() const { return tiled_; }
  void SetTiled(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool on) { incrementalDisplay_ = on; }
  // The picture's palette: none of the toolkit's graphics has one.
  bool HasPalette() const { return picture_->GetGraphic() && picture_->GetGraphic()->HasPalette(); }

  // Where the picture goes when not tiling.
  plat::RECT DestRect() const;

  void Paint(tk::Canvas& canvas) override;

  tk::ProgressEvent OnProgress;
 private:
  void PictureChanged();
  void Progress(void* sender, tk::ProgressStage stage, int percent, bool redrawNow, const plat::RECT& rect,
                const std::string& message);

  tk::Picture* picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool tiled_ = false;
  bool incrementalDisplay_ = false;
  bool transparent_ = false;
  bool drawing_ = false;
};

class TProMouseRegion : public tk::GraphicControl {
 public:
  explicit TProMouseRegion(tk::Component* owner);

  void Paint(tk::Canvas& canvas) override;
};
