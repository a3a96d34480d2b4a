#include <malloc.h>

#include "platform/memory.h"

namespace plat {

void ReturnFreeMemory() { malloc_trim(0); }

}  // namespace plat
