#include "platform/shared/FileReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/shared/TrustedPath.h"

namespace plat::shared {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// New files are readable by every account and writable by their owner alone, whatever the umask:
// a permissive one must not make a machine-wide file (an autostart entry) writable by others.
constexpr mode_t kNewFileMode = 0644;

std::string TemporaryPrefix(const std::string& target) { return "." + BaseName(target) + ".tmp-"; }

// The writer's process id in a temporary's name ("<prefix><pid>-<n>"), or 0.
pid_t WriterOf(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return 0;
  name.remove_prefix(prefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return 0;
  long pid = 0;
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9' || pid > 4194304) return 0;
    pid = pid * 10 + (c - '0');
  }
  for (char c : name.substr(dash + 1))
    if (c < '0' || c > '9') return 0;
  return static_cast<pid_t>(pid);
}

// Temporaries that an earlier writer of this account left when it was killed mid-way. Only
// those whose process is gone: a live one may be about to rename its file.
void RemoveStaleTemporaries(const std::string& dir, const std::string& target) {
  DIR* listing = ::opendir(dir.c_str());
  if (!listing) return;
  const std::string prefix = TemporaryPrefix(target);
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t writer = WriterOf(entry->d_name, prefix);
    if (writer <= 0 || writer == self) continue;
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;
    struct stat st{};
    if (::fstatat(::dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    ::unlinkat(::dirfd(listing), entry->d_name, 0);
  }
  ::closedir(listing);
}

}  // namespace

std::string ParentDirectory(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::optional<std::string> ReadWholeFile(const std::string& path, int& error) {
  auto target = TrustedTarget(path);
  if (!target) {
    error = errno;
    return std::nullopt;
  }
  // No link may be swapped in after the check, and a planted pipe must not block the open.
  Fd fd(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  struct stat st{};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
    error = errno;
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return std::nullopt;
  }
  if (!TrustedOwner(st.st_uid)) {
    error = EACCES;
    return std::nullopt;
  }
  std::string data;
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return std::nullopt;
    }
    if (n == 0) return data;
    data.append(chunk, static_cast<std::size_t>(n));
  }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view contents) {
  static std::atomic<unsigned> counter{0};
  const auto trusted = TrustedTarget(path);
  if (!trusted) return false;
  const std::string& target = *trusted;
  const std::string dir = ParentDirectory(target);
  struct stat old{};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    errno = EISDIR;
    return false;
  }
  // Never take over a file that someone else put there. (In a sticky folder the rename would
  // fail anyway, but not in every folder that others may write to.)
  if (exists && !TrustedOwner(old.st_uid)) {
    errno = EACCES;
    return false;
  }

  RemoveStaleTemporaries(dir, target);
  std::string temp;
  int raw = -1;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    temp = dir + "/" + TemporaryPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (raw < 0 && errno != EEXIST) return false;
  }
  if (raw < 0) return false;
  Fd fd(raw);

  // The mode is set explicitly: the one given to open is narrowed by the umask.
  bool ok = WriteAll(fd.get(), contents);
  if (ok) ok = ::fchmod(fd.get(), exists ? old.st_mode & 07777 : kNewFileMode) == 0;
  // Only a privileged writer can hand the file back to its owner; others own it already.
  if (ok && exists && ::geteuid() == 0) ok = ::fchown(fd.get(), old.st_uid, old.st_gid) == 0;
  if (ok) ok = ::fsync(fd.get()) == 0;
  ok = ::close(fd.release()) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return false;
  }
  // The rename itself must reach the disk too.
  Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dirFd.get() >= 0) ::fsync(dirFd.get());
  return true;
}

}  // namespace plat::shared
