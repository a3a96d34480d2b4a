#pragma once
// The machine-wide install key, HKEY_LOCAL_MACHINE\Software\Brenlow\Tavelin, which the installer
// writes and the program only reads. Its value "sciezka" names the folder of the users' settings
// files.
#include <string>

#include "platform/registry.h"

class InstallKeyReader {
 public:
  static constexpr const char* kKeyPath = "Software\\Brenlow\\Tavelin";
  static constexpr const char* kInstallPathValue = "sciezka";

  InstallKeyReader() = default;
  ~InstallKeyReader();
  InstallKeyReader(const InstallKeyReader&) = delete;
  InstallKeyReader& operator=(const InstallKeyReader&) = delete;

  // Opens the key for reading, never creating it; false when it is missing or cannot be read.
  // Reading is all the program does, and all that a standard account, or an administrator under
  // UAC, is granted on HKEY_LOCAL_MACHINE.
  bool OpenInstallKey();
  bool IsOpen() const { return key_ != nullptr; }

  // The text of "sciezka" up to its first NUL; empty when the value is missing or empty.
  // Expandable text is taken as it is. Throws ConfigurationError when the value is not text or
  // cannot be read.
  std::string ReadInstallPath() const;

 private:
  plat::HKEY key_ = nullptr;
};
