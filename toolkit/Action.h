#pragma once
// A command with execute and update handlers; the application's action events see it first.
#include <string>

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

// Carries the application's current hint to whoever shows hints (a status line, say).
class HintAction : public BasicAction {
 public:
  using BasicAction::BasicAction;
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }

 private:
  std::string hint_;
};

}  // namespace tk
