#include "toolkit/ListBox.h"

#include "toolkit/Guarded.h"

namespace tk {

ListBox::ListBox(Component* owner) : WinControl(owner) { SetBounds(0, 0, 121, 97); }

void ListBox::InitializePeer(plat::ControlPeer& peer) {
  peer.SetItemHeight(itemHeight_);
  peer.SetItems(items_);
  peer.SetItemIndex(itemIndex_);
}

void ListBox::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  itemIndex_ = -1;
  if (Peer()) Peer()->SetItems(items_);
}

void ListBox::AddItem(const std::string& item) {
  items_.push_back(item);
  if (Peer()) Peer()->SetItems(items_);
}

void ListBox::SetItemHeight(int pixels) {
  itemHeight_ = pixels;
  if (Peer()) Peer()->SetItemHeight(pixels);
}

void ListBox::SetItemIndex(int index) {
  itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  if (Peer()) Peer()->SetItemIndex(itemIndex_);
}

void ListBox::PeerValueChanged(int value) {
  Guarded([&] {
    itemIndex_ = value >= 0 && value < static_cast<int>(items_.size()) ? value : -1;
    Click();
  });
}

}  // namespace tk
