#pragma once
// The program's artwork, carried inside the program (app/artwork holds the drawings).
#include "platform/peers.h"

namespace artwork {

inline constexpr const char* kIcon = "TAVELIN_ICON";      // 48, 32 and 16 pixels, 32-bit with alpha
inline constexpr const char* kLogo = "LOGO";              // 254 x 80, 24-bit, white is see-through
inline constexpr const char* kBanded = "BANDED";          // 244 x 99, 24-bit
inline constexpr const char* kEditor = "EDITOR";          // 455 x 312, 24-bit

// Makes the compiled-in artwork findable by name (toolkit/Resources.h); Windows programs find
// theirs among the executable's resources. Safe to call more than once.
void Register();

// The program icon's image of `size` pixels (or the nearest larger one) as window icons take it.
plat::IconImage ProgramIcon(int size = 32);

}  // namespace artwork
