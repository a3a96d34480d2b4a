#include <malloc.h>

#include "platform/memory.h"

namespace plat {

void ReturnFreeMemory() { _heapmin(); }

}  // namespace plat
