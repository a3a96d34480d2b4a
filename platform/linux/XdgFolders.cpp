#include "platform/linux/XdgFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace plat::xdg {
namespace {

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buf(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found) return found->pw_dir;
  return "/";
}

}  // namespace

std::string ConfigHome() {
  const char* home = std::getenv("XDG_CONFIG_HOME");
  if (home && home[0] == '/') return home;
  return HomeDirectory() + "/.config";
}

std::string FirstConfigDir() {
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string_view rest = dirs ? dirs : "";
  while (!rest.empty()) {
    std::string_view dir = rest.substr(0, rest.find(':'));
    if (dir.starts_with('/')) return std::string(dir);
    rest.remove_prefix(std::min(rest.size(), dir.size() + 1));
  }
  return "/etc/xdg";
}

bool MakeDirectories(const std::string& path, unsigned mode) {
  struct stat st{};
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash), mode)) return false;
  if (::mkdir(path.c_str(), mode) != 0) return errno == EEXIST;
  // Exactly the mode asked for: the umask would narrow it, and a machine-wide folder must stay
  // readable by every account.
  return ::chmod(path.c_str(), mode) == 0;
}

}  // namespace plat::xdg
