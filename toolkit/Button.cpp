#include "toolkit/Button.h"

#include "toolkit/Guarded.h"

namespace tk {

Button::Button(Component* owner) : WinControl(owner) { SetBounds(0, 0, 75, 25); }

void Button::PeerClicked() {
  Guarded([&] { Click(); });
}

}  // namespace tk
