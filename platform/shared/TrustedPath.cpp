#include "platform/shared/TrustedPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/shared/FileReplace.h"

namespace plat::shared {

bool TrustedOwner(uid_t owner) { return owner == 0 || owner == ::geteuid(); }

std::optional<std::string> TrustedTarget(const std::string& path) {
  constexpr int kMostLinks = 40;  // what the kernel itself follows
  std::string current = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    struct stat st{};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (!TrustedOwner(st.st_uid)) {
      errno = EACCES;
      return std::nullopt;
    }
    char target[PATH_MAX];
    ssize_t n = ::readlink(current.c_str(), target, sizeof target);
    if (n < 0) return std::nullopt;
    if (static_cast<std::size_t>(n) == sizeof target) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    std::string next(target, static_cast<std::size_t>(n));
    current = next.starts_with('/') ? next : ParentDirectory(current) + "/" + next;
  }
  errno = ELOOP;
  return std::nullopt;
}

}  // namespace plat::shared
