// Where linux keeps what Windows keeps in its own folders: profile files named without a folder
// lie in $XDG_CONFIG_HOME/tavelin, which plays the Windows directory; the user is the login name
// of the process's real user id.
#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/linux/XdgFolders.h"
#include "platform/shared/BackendHooks.h"

namespace plat::shared {

std::string WindowsDirectory() {
  std::string dir = xdg::ConfigHome() + "/tavelin";
  xdg::MakeDirectories(dir, 0700);  // a failure shows when the file is used
  return dir;
}

std::optional<std::string> LoginName() {
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) != 0 || !found) return std::nullopt;
  return std::string(found->pw_name);
}

}  // namespace plat::shared
