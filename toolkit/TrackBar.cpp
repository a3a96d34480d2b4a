#include "toolkit/TrackBar.h"

#include <algorithm>

#include "toolkit/Guarded.h"

namespace tk {

TrackBar::TrackBar(Component* owner) : WinControl(owner) { SetBounds(0, 0, 150, 45); }

void TrackBar::InitializePeer(plat::ControlPeer& peer) {
  peer.SetRange(min_, max_);
  peer.SetPosition(position_);
  peer.SetThumbLength(thumbLength_);
}

void TrackBar::SetMin(int min) {
  min_ = min;
  max_ = std::max(max_, min_);
  if (Peer()) Peer()->SetRange(min_, max_);
  SetPosition(position_);
}

void TrackBar::SetMax(int max) {
  max_ = max;
  min_ = std::min(min_, max_);
  if (Peer()) Peer()->SetRange(min_, max_);
  SetPosition(position_);
}

void TrackBar::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  if (Peer()) Peer()->SetPosition(position_);
}

void TrackBar::SetThumbLength(int pixels) {
  thumbLength_ = pixels;
  if (Peer()) Peer()->SetThumbLength(pixels);
}

void TrackBar::PeerValueChanged(int value) {
  Guarded([&] {
    value = std::clamp(value, min_, max_);
    if (value == position_) return;
    position_ = value;
    Fire(OnChange, this);
  });
}

}  // namespace tk
