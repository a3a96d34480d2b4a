#pragma once
// The toolkit's label: a caption painted on its container, aligned, wrapped, auto-sized to the
// caption, with "&" marking an accelerator unless ShowAccelChar is off.
#include <optional>
#include <string>

#include "toolkit/GraphicControl.h"

namespace tk {

enum class Alignment { LeftJustify, RightJustify, Center };
enum class TextLayout { Top, Center, Bottom };

class CustomLabel : public GraphicControl {
 public:
  explicit CustomLabel(Component* owner);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  Alignment GetAlignment() const { return alignment_; }
  void SetAlignment(Alignment alignment);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool on);
  // Transparent when the desktop's visual styles are active, unless set explicitly.
  bool Transparent() const;
  void SetTransparent(bool on);
  // Whether Transparent was set explicitly (and so is kept with the layout).
  bool TransparentSet() const { return transparent_.has_value(); }
  TextLayout Layout() const { return layout_; }
  void SetLayout(TextLayout layout);
  Control* FocusControl() const { return focusControl_; }
  void SetFocusControl(Control* control) { focusControl_ = control; }

  void Paint(Canvas& canvas) override;

 protected:
  // The DT_* format of the caption: alignment, tabs, wrapping, prefixes.
  plat::UINT TextFormat() const;
  // Draws (or with DT_CALCRECT measures) the caption in the label's font.
  int DoDrawText(Canvas& canvas, plat::RECT& rect, plat::UINT format);
  // Fits the label to its caption when AutoSize is on.
  void AdjustBounds();
  void FontChanged() override;
  void ParentChanged() override { AdjustBounds(); }
  void Loaded() override;

 private:
  std::string caption_;
  Alignment alignment_ = Alignment::LeftJustify;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  std::optional<bool> transparent_;
  TextLayout layout_ = TextLayout::Top;
  Control* focusControl_ = nullptr;
};

class Label : public CustomLabel {
 public:
  using CustomLabel::CustomLabel;
};

}  // namespace tk
