#include "controls/ProCtrls.h"

#include "controls/FlagScope.h"

TProImage::TProImage(tk::Component* owner) : tk::GraphicControl(owner), picture_(new tk::Picture) {
  picture_->OnChange = [this] { PictureChanged(); };
  picture_->OnProgress = [this](void* sender, tk::ProgressStage stage, int percent, bool redrawNow,
                                const plat::RECT& rect, const std::string& message) {
    Progress(sender, stage, percent, redrawNow, rect, message);
  };
  SetBounds(Left(), Top(), 105, 105);
}

TProImage::~TProImage() {
  picture_->OnChange = nullptr;
  delete picture_;
}

void TProImage::SetPicture(const tk::Picture& picture) { picture_->Assign(picture); }

void TProImage::SetAutoSize(bool on) {
  autoSize_ = on;
  PictureChanged();
}

void TProImage::SetStretch(bool on) {
  if (on == stretch_) return;
  stretch_ = on;
  PictureChanged();
}

void TProImage::SetCenter(bool on) {
  if (on == center_) return;
  center_ = on;
  PictureChanged();
}

void TProImage::SetTiled(bool on) {
  if (on == tiled_) return;
  tiled_ = on;
  PictureChanged();
}

void TProImage::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  PictureChanged();
}

plat::RECT TProImage::DestRect() const {
  if (stretch_) return ClientRect();
  const int w = picture_->Width(), h = picture_->Height();
  if (center_) {
    const int left = (Width() - w) / 2, top = (Height() - h) / 2;
    return {left, top, left + w, top + h};
  }
  return {0, 0, w, h};
}

void TProImage::Paint(tk::Canvas& canvas) {
  controls::FlagScope drawing(drawing_, true);
  tk::Graphic* graphic = picture_->GetGraphic();
  if (!tiled_) {
    if (graphic) canvas.StretchDraw(DestRect(), *graphic);
    return;
  }
  if (!graphic || graphic->Width() <= 0 || graphic->Height() <= 0) return;
  // The tiles go to an off-screen bitmap first, so the control never shows them one by one.
  auto offscreen = canvas.CreateOffscreen(Width(), Height());
  for (int x = 0; x < Width(); x += graphic->Width())
    for (int y = 0; y < Height(); y += graphic->Height()) offscreen->Draw(x, y, *graphic);
  canvas.CopyFrom(*offscreen, 0, 0);
}

void TProImage::PictureChanged() {
  const int w = picture_->Width(), h = picture_->Height();
  if (autoSize_ && w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
  if (tk::Graphic* graphic = picture_->GetGraphic()) {
    graphic->SetTransparent(transparent_);
    SetOpaque(!(graphic->Transparent() || (!stretch_ && (w < Width() || h < Height()))));
  } else {
    SetOpaque(false);
  }
  if (!drawing_) Invalidate();
}

void TProImage::Progress(void* sender, tk::ProgressStage stage, int percent, bool redrawNow, const plat::RECT& rect,
                         const std::string& message) {
  // No graphic of ours carries a palette, so there is never a palette to realise first.
  if (incrementalDisplay_ && redrawNow) Repaint();
  if (OnProgress) OnProgress(this, stage, percent, redrawNow, rect, message);
}
