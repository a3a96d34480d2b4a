// Reads the install key and the user's settings file the way the program does, and with "apply"
// writes the file the way the settings editor's Apply does. The installer's test runs it against
// an installed program's key and folder. Prints what it found; exits with 1 when the
// install key is missing and 2 on a configuration error (a refused write, say).
//   tavelin_settings_probe [apply <mode code> <depth>]
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ConfigurationError.h"
#include "app/InstallKeyReader.h"
#include "app/SettingsFile.h"
#include "app/UserName.h"
#include "app/UserSettings.h"

int main(int argc, char** argv) {
  const bool apply = argc == 4 && std::strcmp(argv[1], "apply") == 0;
  if (argc != 1 && !apply) {
    std::fprintf(stderr, "usage: tavelin_settings_probe [apply <mode code> <depth>]\n");
    return 64;
  }
  InstallKeyReader key;
  if (!key.OpenInstallKey()) {
    std::printf("install key: missing\n");
    return 1;
  }
  try {
    const std::string path = key.ReadInstallPath();
    SettingsFile file(SettingsFileName(path, QueryUserName()));
    std::printf("install path: %s\nsettings file: %s\n", path.c_str(), file.FileName().c_str());
    if (apply) {
      using namespace usersettings;
      file.WriteString(kSection, kResolution, argv[2]);
      file.WriteBool(kSection, kAutoRun, false);
      file.WriteBool(kSection, kAutoClose, false);
      file.WriteString(kSection, kDepth, argv[3]);
      file.WriteBool(kSection, kConfigured, true);
      std::printf("written\n");
    }
    std::printf("configured: %d\nmode: %d\ndepth: %s\n", usersettings::Configured(file) ? 1 : 0,
                usersettings::ModeCode(file), usersettings::DepthText(file).c_str());
    std::fflush(stdout);
    return 0;
  } catch (const ConfigurationError& e) {
    std::printf("error: %s\n", e.what());
    return 2;
  }
}
