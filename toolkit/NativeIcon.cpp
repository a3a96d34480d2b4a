#include "toolkit/NativeIcon.h"

#include <stdexcept>

namespace tk {

NativeIcon::~NativeIcon() { ReleaseHandle(); }

void NativeIcon::Assign(const plat::IconImage& image) {
  ReleaseHandle();
  image_ = image;
}

plat::HICON NativeIcon::Handle() {
  if (!handle_ && !image_.Empty()) {
    handle_ = plat::CreateIconFromImage(image_);
    if (!handle_) throw std::runtime_error("Out of system resources");
  }
  return handle_;
}

void NativeIcon::ReleaseHandle() {
  if (handle_) plat::DestroyIcon(handle_);
  handle_ = nullptr;
}

}  // namespace tk
