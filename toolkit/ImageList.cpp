#include "toolkit/ImageList.h"

#include <algorithm>

namespace tk {

ImageList::~ImageList() = default;

plat::IconImage ImageList::GetIcon(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images_[static_cast<std::size_t>(index)];
}

void ImageList::Add(const plat::IconImage& image) {
  images_.push_back(image);
  Changed();
}

void ImageList::Replace(int index, const plat::IconImage& image) {
  if (index < 0 || index >= Count()) return;
  images_[static_cast<std::size_t>(index)] = image;
  Changed();
}

void ImageList::Clear() {
  images_.clear();
  Changed();
}

void ImageList::RegisterChanges(ChangeLink* link) {
  if (link && std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void ImageList::UnRegisterChanges(ChangeLink* link) { std::erase(links_, link); }

void ImageList::Changed() {
  for (ChangeLink* link : std::vector(links_))
    if (link->OnChange) link->OnChange();
}

}  // namespace tk
