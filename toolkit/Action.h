#pragma once
// A command with execute and update handlers; the application's action events see it first.
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class BasicAction : public Component {
 public:
  using Component::Component;

  // True when someone handled it.
  bool Execute();
  bool Update();

  NotifyEvent OnExecute;
  NotifyEvent OnUpdate;
};

}  // namespace tk
