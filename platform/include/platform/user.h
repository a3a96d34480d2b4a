#pragma once
// The logged-on user in Windows terms: the real API on win32, the login name of the process's
// real user id on linux, a scripted name in sim.
#include "platform/wintypes.h"

namespace plat {

// Copies the user name and its terminating NUL into `buffer`; `*size` is the buffer's size on
// entry and the characters copied (with the NUL) on return. A buffer too small fails with `*size`
// set to the size needed.
BOOL GetUserNameA(char* buffer, DWORD* size);

}  // namespace plat
