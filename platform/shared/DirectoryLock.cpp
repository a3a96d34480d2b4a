#include "platform/shared/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace plat::shared {

DirectoryLock::DirectoryLock(const std::string& directory, std::chrono::milliseconds patience) {
  fd_ = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  // Everyone can open a shared folder and lock it, so a lock held for ever must not hang us: the
  // write fails instead. Our own writers hold it for a few milliseconds.
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto pause = std::chrono::microseconds(200);
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    // A file system without flock still gets its writes, only without the guard.
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(20));
  }
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace plat::shared
