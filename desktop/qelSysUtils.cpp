#include "desktop/qelSysUtils.h"

#include "platform/module.h"
#include "platform/version.h"

namespace {

struct PlatformFlags {
  bool ntFamily = false;
  bool extendedShell = false;
};

PlatformFlags ReadFlags() {
  PlatformFlags f;
  plat::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (plat::GetVersionExA(&info)) {
    f.ntFamily = info.dwPlatformId == plat::VER_PLATFORM_WIN32_NT;
    f.extendedShell = f.ntFamily && info.dwMajorVersion >= 5;
  }
  return f;
}

// Read at the first use: the version cannot change while the program runs.
PlatformFlags& Flags() {
  static PlatformFlags flags = ReadFlags();
  return flags;
}

bool ServiceKind(TqelAutoExecKind kind) { return kind == aekServiceRun || kind == aekServiceRunOnce; }

// Closes the key on every way out.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_) plat::RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  plat::HKEY* Out() { return &key_; }
  plat::HKEY Get() const { return key_; }

 private:
  plat::HKEY key_ = nullptr;
};

}  // namespace

void ReadPlatformFlags() { Flags() = ReadFlags(); }
bool IsExtendedShell() { return Flags().extendedShell; }
bool IsNTFamily() { return Flags().ntFamily; }

AutoExecKeyName AutoExecKey(TqelAutoExecKind kind) {
  static const char* const names[] = {"Run", "RunOnce", "Run", "RunOnce", "RunServices", "RunServicesOnce"};
  const bool user = kind == aekUserRun || kind == aekUserRunOnce;
  return {user ? plat::HKEY_CURRENT_USER : plat::HKEY_LOCAL_MACHINE,
          std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + names[kind]};
}

std::string AutoExecValueName(const std::string& fileName) {
  const auto cut = fileName.find_last_of("\\:/");
  return cut == std::string::npos ? fileName : fileName.substr(cut + 1);
}

bool AutoExecRegister(TqelAutoExecKind kind, const std::string& fileName) {
  if (ServiceKind(kind) && IsNTFamily()) return false;
  const auto key = AutoExecKey(kind);
  OpenKey opened;
  if (plat::RegCreateKeyExA(key.hive, key.path.c_str(), 0, nullptr, plat::REG_OPTION_NON_VOLATILE,
                            plat::KEY_ALL_ACCESS, nullptr, opened.Out(), nullptr) != plat::ERROR_SUCCESS)
    return false;
  const auto name = AutoExecValueName(fileName);
  return plat::RegSetValueExA(opened.Get(), name.c_str(), 0, plat::REG_SZ,
                              reinterpret_cast<const plat::BYTE*>(fileName.c_str()),
                              static_cast<plat::DWORD>(fileName.size() + 1)) == plat::ERROR_SUCCESS;
}

bool AutoExecUnregister(TqelAutoExecKind kind, const std::string& fileName) {
  if (ServiceKind(kind) && IsNTFamily()) return false;
  const auto key = AutoExecKey(kind);
  OpenKey opened;
  if (plat::RegOpenKeyExA(key.hive, key.path.c_str(), 0, plat::KEY_ALL_ACCESS, opened.Out()) != plat::ERROR_SUCCESS)
    return false;
  const auto name = AutoExecValueName(fileName);
  if (plat::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) != plat::ERROR_SUCCESS)
    return true;
  return plat::RegDeleteValueA(opened.Get(), name.c_str()) == plat::ERROR_SUCCESS;
}

std::string ExecutableFileName() {
  char buffer[4096];
  const plat::DWORD n = plat::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}
