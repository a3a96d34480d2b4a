// Things outside the X server that a wait may be about, each waking the connection's wait loop:
// a process that ends (pidfd) and a file that grows (inotify).
#pragma once

#include <sys/types.h>

#include <string>

#include "Connection.h"

namespace xdrive {

class ProcessWatch {
 public:
  ProcessWatch(Connection& c, pid_t pid);
  ~ProcessWatch();
  ProcessWatch(const ProcessWatch&) = delete;
  ProcessWatch& operator=(const ProcessWatch&) = delete;
  bool Ended() const { return ended_; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_;
  int fd_ = -1;
  bool ended_ = false;
};

// The lines of a text file that match an extended regular expression (as grep -E), read afresh
// whenever the file (or its folder, until it exists) changes.
class FileWatch {
 public:
  FileWatch(Connection& c, std::string path, const std::string& pattern);
  ~FileWatch();
  FileWatch(const FileWatch&) = delete;
  FileWatch& operator=(const FileWatch&) = delete;
  bool Valid() const { return valid_; }
  // How many lines match now; `last` gets the last of them.
  int Count(std::string& last);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  bool valid_ = false;
  void* regex_ = nullptr;
};

}  // namespace xdrive
