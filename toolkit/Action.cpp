#include "toolkit/Action.h"

#include "toolkit/Application.h"

namespace tk {

bool BasicAction::Execute() {
  if (App() && App()->ExecuteAction(this)) return true;
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool BasicAction::Update() {
  if (App() && App()->UpdateAction(this)) return true;
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

}  // namespace tk
