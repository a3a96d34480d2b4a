// Windows answers a display-mode change before ChangeDisplaySettingsA returns: no loop to run.
#include "platform/display_wait.h"

namespace plat {

void SetDisplayWaitPump(ModalPump*) {}

}  // namespace plat
