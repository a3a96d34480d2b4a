#include "app/UserName.h"

#include <cstring>

#include "platform/user.h"

std::string QueryUserName() {
  constexpr plat::DWORD kBufferSize = 128;
  char buffer[kBufferSize] = {};
  plat::DWORD size = kBufferSize;
  if (!plat::GetUserNameA(buffer, &size)) return {};
  return std::string(buffer, ::strnlen(buffer, kBufferSize));
}
