// The registry on Windows: the real API. Our DWORD is unsigned int where Windows' is unsigned
// long (both 32 bits), so out-parameters pass through locals.
#include "platform/registry.h"

#include <windows.h>

namespace plat {
namespace {

// Copies an optional DWORD out-parameter in and back out around a call.
class DwordOut {
 public:
  explicit DwordOut(DWORD* target) : target_(target), value_(target ? *target : 0) {}
  ~DwordOut() {
    if (target_) *target_ = static_cast<DWORD>(value_);
  }
  ::DWORD* get() { return target_ ? &value_ : nullptr; }

 private:
  DWORD* target_;
  ::DWORD value_;
};

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result) {
  return ::RegOpenKeyExA(key, subKey, options, access, result);
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options, REGSAM access,
                     void* security, HKEY* result, DWORD* disposition) {
  DwordOut d(disposition);
  return ::RegCreateKeyExA(key, subKey, reserved, keyClass, options, access,
                           static_cast<LPSECURITY_ATTRIBUTES>(security), result, d.get());
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  DwordOut t(type);
  DwordOut size(dataSize);
  return ::RegQueryValueExA(key, valueName, nullptr, t.get(), data, size.get());
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
  return ::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG RegDeleteValueA(HKEY key, const char* valueName) { return ::RegDeleteValueA(key, valueName); }
LONG RegDeleteKeyA(HKEY key, const char* subKey) { return ::RegDeleteKeyA(key, subKey); }
LONG RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

}  // namespace plat
