// The logged-on user on Windows: the real API (advapi32).
#include "platform/user.h"

#include <windows.h>

namespace plat {

BOOL GetUserNameA(char* buffer, DWORD* size) {
  ::DWORD n = size ? *size : 0;
  BOOL ok = ::GetUserNameA(buffer, size ? &n : nullptr);
  if (size) *size = static_cast<DWORD>(n);
  return ok;
}

}  // namespace plat
