#pragma once
// A horizontal track bar: a position between Min and Max. OnChange follows the user's moves
// (the program's own changes raise nothing).
#include "toolkit/WinControl.h"

namespace tk {

class TrackBar : public WinControl {
 public:
  explicit TrackBar(Component* owner);

  int Min() const { return min_; }
  void SetMin(int min);
  int Max() const { return max_; }
  void SetMax(int max);
  int Position() const { return position_; }
  void SetPosition(int position);
  int ThumbLength() const { return thumbLength_; }
  void SetThumbLength(int pixels);

  NotifyEvent OnChange;

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::TrackBar; }
  void InitializePeer(plat::ControlPeer& peer) override;
  void PeerValueChanged(int value) override;

 private:
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int thumbLength_ = 20;
};

}  // namespace tk
