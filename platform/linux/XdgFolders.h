#pragma once
// The XDG base directories that hold our configuration, read from the environment at each call.
#include <string>

namespace plat::xdg {

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not absolute.
std::string ConfigHome();
// The first absolute folder of $XDG_CONFIG_DIRS, or /etc/xdg.
std::string FirstConfigDir();

// Creates `path` and the folders above it that are missing; false when that fails.
bool MakeDirectories(const std::string& path, unsigned mode);

}  // namespace plat::xdg
