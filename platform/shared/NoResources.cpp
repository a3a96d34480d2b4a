// ELF executables carry no named resources: the programs of these backends register their
// compiled-in data with the toolkit instead.
#include "platform/resources.h"

namespace plat {

BOOL FindResourceData(const char*, const std::uint8_t** data, std::size_t* size) {
  *data = nullptr;
  *size = 0;
  return 0;
}

}  // namespace plat
