#pragma once
// A picture for icons: the ARGB image, and the native icon handle made from it when first asked.
#include "platform/shell.h"

namespace tk {

class NativeIcon {
 public:
  NativeIcon() = default;
  ~NativeIcon();
  NativeIcon(const NativeIcon&) = delete;
  NativeIcon& operator=(const NativeIcon&) = delete;

  const plat::IconImage& Image() const { return image_; }
  bool Empty() const { return image_.Empty(); }
  void Assign(const plat::IconImage& image);
  void Clear() { Assign({}); }
  // Null for an empty icon. Throws when the system cannot make the handle.
  plat::HICON Handle();

 private:
  void ReleaseHandle();

  plat::IconImage image_;
  plat::HICON handle_ = nullptr;
};

}  // namespace tk
