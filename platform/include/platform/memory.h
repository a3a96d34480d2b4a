#pragma once
// The process's heap, for a program that stays resident for hours.

namespace plat {

// Gives the heap's free pages back to the system, after something big (a window and its
// pictures) has gone; what stays in use is untouched.
void ReturnFreeMemory();

}  // namespace plat
