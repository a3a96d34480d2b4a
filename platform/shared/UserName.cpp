#include "platform/user.h"

#include <cstring>

#include "platform/shared/BackendHooks.h"

namespace plat {

BOOL GetUserNameA(char* buffer, DWORD* size) {
  if (!size) return 0;
  auto name = shared::LoginName();
  if (!name) return 0;
  const DWORD needed = static_cast<DWORD>(name->size() + 1);
  if (!buffer || *size < needed) {
    *size = needed;
    return 0;
  }
  std::memcpy(buffer, name->c_str(), needed);
  *size = needed;
  return 1;
}

}  // namespace plat
