#pragma once
// The simulated machine's configuration, as tests set it up and inspect it: the registry (each
// hive kept as the text of its .reg file, as on linux), the logged-on user and the Windows
// directory where profile file names without a folder lie.
#include <functional>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace sim {

// Empties both hives and lets the account write them, forgets the read hook, restores the
// default user name ("user") and gives profile files a fresh, empty Windows directory.
void ResetConfiguration();

// The name GetUserNameA returns; nullopt makes it fail.
void SetUserName(std::optional<std::string> name);

// A folder removed when the test program ends.
std::string WindowsDirectory();

// The hive's .reg text ("" while never written). Text that does not parse is a damaged hive:
// its keys cannot be opened and nothing is written over it.
void SetHiveText(plat::HKEY hive, std::string text);
std::string HiveText(plat::HKEY hive);

// false: the account may read the hive but not change it, as a standard account on Windows may
// only read HKEY_LOCAL_MACHINE.
void SetRegistryWritable(plat::HKEY hive, bool writable);

struct RegistryValue {
  plat::DWORD type = plat::REG_NONE;
  std::string data;  // the stored bytes

  bool operator==(const RegistryValue&) const = default;
};

// Creates the key when needed; `keyPath` is relative to the hive ("Software\Brenlow\Tavelin").
void SetRegistryValue(plat::HKEY hive, const std::string& keyPath, const std::string& name, RegistryValue value);
// Text with its terminating NUL, as the installer stores it.
void SetRegistryString(plat::HKEY hive, const std::string& keyPath, const std::string& name, const std::string& text,
                       plat::DWORD type = plat::REG_SZ);
std::optional<RegistryValue> GetRegistryValue(plat::HKEY hive, const std::string& keyPath, const std::string& name);

// Runs `action` each time a registry function reads a hive, before it reads; lets a test change
// the registry between two calls of the code under test.
void BeforeRegistryRead(std::function<void()> action);

}  // namespace sim
