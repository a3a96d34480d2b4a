#pragma once
// The running program's own file in Windows terms.
#include "platform/wintypes.h"

namespace plat {

// With a null module: the full path of the running executable, NUL-terminated. Returns the
// characters copied without the NUL; a buffer too small is filled and cut (size returned), and
// 0 means failure.
DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size);

}  // namespace plat
