#pragma once
// Keeps read-modify-write cycles on the files of one folder from interleaving, between threads
// and between processes: an exclusive flock on the folder itself, so no lock file is left behind.
#include <chrono>
#include <string>

namespace plat::shared {

class DirectoryLock {
 public:
  // Waits at most `patience` for another holder to let go.
  explicit DirectoryLock(const std::string& directory,
                         std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // False when the folder cannot be opened (it is missing or not searchable), or when someone
  // else kept it locked for longer than the patience allowed.
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace plat::shared
