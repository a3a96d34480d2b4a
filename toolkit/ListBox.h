#pragma once
// A list of text items, one selectable.
#include <string>
#include <vector>

#include "toolkit/WinControl.h"

namespace tk {

class ListBox : public WinControl {
 public:
  explicit ListBox(Component* owner);

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& item);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int pixels);
  // -1: nothing selected.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::ListBox; }
  void InitializePeer(plat::ControlPeer& peer) override;
  void PeerValueChanged(int value) override;

 private:
  std::vector<std::string> items_;
  int itemHeight_ = 13;
  int itemIndex_ = -1;
};

}  // namespace tk
