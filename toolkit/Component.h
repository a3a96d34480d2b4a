#pragma once
// The owner tree: a component destroys what it owns, newest first, and tells the components that
// asked for it (free notification) that it is going.
#include <string>
#include <vector>

namespace tk {

enum class Operation { Insert, Remove };

class Component {
 public:
  explicit Component(Component* owner);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  Component* Owner() const { return owner_; }
  const std::vector<Component*>& Components() const { return components_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  // `other` is told through Notification when this component is destroyed.
  void FreeNotification(Component* other);
  void RemoveFreeNotification(Component* other);

  bool Loading() const { return loading_; }
  bool Destroying() const { return destroying_; }

  // Assigns the stored layout (AssignLayout) and then gives this component and everything it
  // owns their Loaded notification, once each.
  void Load();

 protected:
  virtual void Notification(Component* component, Operation operation) {}
  // The stored properties of this component and of the components it creates; called by Load.
  virtual void AssignLayout() {}
  // Called once after the stored layout has been assigned.
  virtual void Loaded() {}

 private:
  void InsertComponent(Component* child);
  void RemoveComponent(Component* child);
  void FinishLoading();

  Component* owner_;
  std::string name_;
  std::vector<Component*> components_;
  std::vector<Component*> freeNotifies_;
  bool loading_ = false;
  bool loaded_ = false;
  bool destroying_ = false;
};

}  // namespace tk
