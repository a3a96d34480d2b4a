#include "toolkit/Icon.h"

#include <stdexcept>

namespace tk {

Icon::~Icon() { ReleaseHandle(); }

void Icon::Assign(const plat::IconImage& image) {
  ReleaseHandle();
  image_ = image;
}

plat::HICON Icon::Handle() {
  if (!handle_ && !image_.Empty()) {
    handle_ = plat::CreateIconFromImage(image_);
    if (!handle_) throw std::runtime_error("Out of system resources");
  }
  return handle_;
}

void Icon::ReleaseHandle() {
  if (handle_) plat::DestroyIcon(handle_);
  handle_ = nullptr;
}

}  // namespace tk
