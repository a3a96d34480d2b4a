#pragma once
// Windows whose window procedure is given at creation rather than by their class: every class
// of ours shares one installing procedure that hands the window to `proc` on its first
// WM_NCCREATE, so only WM_GETMINMAXINFO ever reaches DefWindowProc in its place.
#include "platform/wintypes.h"

namespace plat::win32 {

struct ProcWindowParams {
  const char* className;
  const char* caption = "";
  unsigned long style = 0;
  unsigned long exStyle = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  HWND owner = nullptr;
  WNDPROC proc = nullptr;
  // Class styles (CS_DBLCLKS...), fixed when the class is first registered.
  unsigned classStyle = 0;
};

// Registers the class on first use. Returns null on failure.
HWND CreateProcWindow(const ProcWindowParams& params);

}  // namespace plat::win32
