#pragma once
// Native icons from our ARGB images (window icons now, the tray icon later).
#include "platform/peers.h"

#include <windows.h>

namespace plat::win32 {

// A new icon with the image's alpha channel, or null for an empty image. The caller destroys
// it with DestroyIcon.
HICON CreateArgbIcon(const IconImage& image);

}  // namespace plat::win32
