#include "toolkit/Component.h"

#include <algorithm>

namespace tk {

Component::Component(Component* owner) : owner_(owner) {
  if (owner_) owner_->InsertComponent(this);
}

Component::~Component() {
  destroying_ = true;
  // Whoever asked is told first, while this component is still whole.
  auto notifies = std::move(freeNotifies_);
  for (Component* c : notifies) {
    c->RemoveFreeNotification(this);
    c->Notification(this, Operation::Remove);
  }
  while (!components_.empty()) delete components_.back();  // newest first
  if (owner_) owner_->RemoveComponent(this);
}

void Component::InsertComponent(Component* child) {
  components_.push_back(child);
  Notification(child, Operation::Insert);
}

void Component::RemoveComponent(Component* child) {
  std::erase(components_, child);
  child->owner_ = nullptr;
  Notification(child, Operation::Remove);
}

void Component::FreeNotification(Component* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
    freeNotifies_.push_back(other);
    other->FreeNotification(this);  // both sides learn of the other's end
  }
}

void Component::RemoveFreeNotification(Component* other) { std::erase(freeNotifies_, other); }

void Component::Load() {
  loading_ = true;
  try {
    AssignLayout();
  } catch (...) {
    loading_ = false;
    throw;
  }
  FinishLoading();
}

void Component::FinishLoading() {
  loading_ = false;
  if (loaded_) return;
  loaded_ = true;
  Loaded();
  // Copy: a Loaded notification may create further components.
  auto owned = components_;
  for (Component* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end()) c->FinishLoading();
}

}  // namespace tk
