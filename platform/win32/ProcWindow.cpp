// One window class per class name, all sharing the procedure that installs the real one.
#include "platform/win32/ProcWindow.h"

#include <windows.h>

#include <type_traits>

static_assert(std::is_same_v<plat::WNDPROC, ::WNDPROC>, "our window procedures are Windows' on x86-64");
static_assert(std::is_same_v<plat::HWND, ::HWND>, "HWND is the STRICT handle type");

namespace plat::win32 {
namespace {

LRESULT CALLBACK InstallingProc(::HWND hwnd, ::UINT msg, ::WPARAM wParam, ::LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (auto proc = reinterpret_cast<::WNDPROC>(create->lpCreateParams)) {
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
      return CallWindowProcA(proc, hwnd, msg, wParam, lParam);
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool EnsureClass(const char* className, unsigned classStyle) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, className, &existing)) return existing.lpfnWndProc == &InstallingProc;

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = &InstallingProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  // Another thread may have registered it a moment ago: that is just as good.
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateProcWindow(const ProcWindowParams& p) {
  if (!p.className || !EnsureClass(p.className, p.classStyle)) return nullptr;
  return CreateWindowExA(p.exStyle, p.className, p.caption ? p.caption : "", p.style, p.left, p.top, p.width,
                         p.height, p.owner, nullptr, GetModuleHandleA(nullptr), reinterpret_cast<void*>(p.proc));
}

}  // namespace plat::win32
