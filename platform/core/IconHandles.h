#pragma once
// Icon handles of the linux and sim backends: each names a copy of the ARGB image it was made
// from, so the notification area can show what the program passed.
#include <optional>

#include "platform/shell.h"

namespace plat::core {

std::optional<IconImage> IconImageOf(HICON icon);

}  // namespace plat::core
