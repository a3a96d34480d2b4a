#pragma once
// Keeps read-modify-write cycles on the files of one folder from interleaving, between threads
// and between processes: an exclusive flock on the folder itself, so no lock file is left behind.
#include <string>

namespace plat::shared {

class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& directory);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // False when the folder cannot be opened (it is missing or not searchable).
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace plat::shared
