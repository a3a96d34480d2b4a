#pragma once
// Counts what a form peer reports to its form; paints fill their area with one colour.
#include "platform/peers.h"
#include "platform/surface.h"

class RecordingFormEvents final : public plat::FormPeerEvents {
 public:
  void PeerCloseRequested() override { ++closeRequests; }
  void PeerActivated() override { ++activations; }
  void PeerPaint(plat::Surface& surface, const plat::RECT& dirty) override {
    ++paints;
    lastDirty = dirty;
    surface.FillRect(dirty, fill);
  }
  int closeRequests = 0;
  int activations = 0;
  int paints = 0;
  plat::RECT lastDirty{0, 0, 0, 0};
  plat::COLORREF fill = plat::RGB(255, 255, 255);
};
