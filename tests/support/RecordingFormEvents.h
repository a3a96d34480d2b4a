#pragma once
// Counts what a form peer reports to its form.
#include "platform/peers.h"

class RecordingFormEvents final : public plat::FormPeerEvents {
 public:
  void PeerCloseRequested() override { ++closeRequests; }
  void PeerActivated() override { ++activations; }
  int closeRequests = 0;
  int activations = 0;
};
