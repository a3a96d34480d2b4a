#include "Watches.h"

#include <regex.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace xdrive {

ProcessWatch::ProcessWatch(Connection& c, pid_t pid) : pid_(pid) {
  fd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd_ < 0) {
    ended_ = kill(pid, 0) != 0;  // no such process (any more)
    return;
  }
  c.AddSource(fd_, [this] { ended_ = true; });
}

ProcessWatch::~ProcessWatch() {
  if (fd_ >= 0) close(fd_);
}

FileWatch::FileWatch(Connection& c, std::string path, const std::string& pattern) : path_(std::move(path)) {
  auto* re = new regex_t;
  if (regcomp(re, pattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0) {
    delete re;
    return;
  }
  regex_ = re;
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return;
  // The folder too: the file may not be there yet, or be replaced.
  std::string dir = path_.find('/') == std::string::npos ? "." : path_.substr(0, path_.rfind('/'));
  inotify_add_watch(fd_, dir.empty() ? "/" : dir.c_str(), IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY);
  c.AddSource(fd_, [this] {
    char buffer[4096];
    while (read(fd_, buffer, sizeof buffer) > 0) {
    }
  });
  valid_ = true;
}

FileWatch::~FileWatch() {
  if (fd_ >= 0) close(fd_);
  if (regex_) {
    regfree(static_cast<regex_t*>(regex_));
    delete static_cast<regex_t*>(regex_);
  }
}

int FileWatch::Count(std::string& last) {
  std::ifstream in(path_);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    if (regexec(static_cast<regex_t*>(regex_), line.c_str(), 0, nullptr, 0) == 0) {
      ++n;
      last = line;
    }
  }
  return n;
}

}  // namespace xdrive
