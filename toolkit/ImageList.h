#pragma once
// A list of same-sized pictures that other components show by index, and tell them of changes
// through change links.
#include <functional>
#include <vector>

#include "platform/peers.h"
#include "toolkit/Component.h"

namespace tk {

class ChangeLink {
 public:
  std::function<void()> OnChange;
};

class ImageList : public Component {
 public:
  explicit ImageList(Component* owner) : Component(owner) {}
  ~ImageList() override;

  int Count() const { return static_cast<int>(images_.size()); }
  // The picture at `index`; an empty one outside the list.
  plat::IconImage GetIcon(int index) const;
  void Add(const plat::IconImage& image);
  void Replace(int index, const plat::IconImage& image);
  void Clear();

  void RegisterChanges(ChangeLink* link);
  void UnRegisterChanges(ChangeLink* link);

 private:
  void Changed();

  std::vector<plat::IconImage> images_;
  std::vector<ChangeLink*> links_;
};

}  // namespace tk
