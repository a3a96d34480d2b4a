#pragma once
// Resources of the running executable. Windows keeps named RCDATA resources in the executable;
// the other backends have none (their programs compile their data in, see toolkit/Resources.h).
#include <cstddef>
#include <cstdint>

#include "platform/wintypes.h"

namespace plat {

// True when the executable holds an RCDATA resource of that name; its bytes stay valid while
// the program runs.
BOOL FindResourceData(const char* name, const std::uint8_t** data, std::size_t* size);

}  // namespace plat
