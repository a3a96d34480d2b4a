// RCDATA resources of the executable.
#include "platform/resources.h"

#include <windows.h>

namespace plat {

BOOL FindResourceData(const char* name, const std::uint8_t** data, std::size_t* size) {
  *data = nullptr;
  *size = 0;
  HRSRC found = ::FindResourceA(nullptr, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return 0;
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  if (!loaded) return 0;
  *data = static_cast<const std::uint8_t*>(::LockResource(loaded));
  *size = ::SizeofResource(nullptr, found);
  return *data != nullptr;
}

}  // namespace plat
