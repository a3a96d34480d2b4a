// How our profile functions treat the files themselves: whole-file replacement that never leaves
// a half-written file, the file's mode and links kept, writers that never lose each other's keys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile.h"
#include "platform/shared/DirectoryLock.h"
#include "platform/sim_config.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

class ProfileFiles : public testing::Test {
 protected:
  void SetUp() override {
    sim::ResetConfiguration();
    folder = fs::path(sim::WindowsDirectory()) / "Data";
    fs::create_directories(folder);
    file = (folder / "anna").string();
  }
  std::string Contents(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Get(const char* key) const {
    char buffer[64];
    DWORD n = GetPrivateProfileStringA("Main", key, "(default)", buffer, sizeof buffer, file.c_str());
    return std::string(buffer, n);
  }

  fs::path folder;
  std::string file;
};

TEST_F(ProfileFiles, AWriteReplacesTheWholeFileAndKeepsItsModeAndLinks) {
  std::ofstream(file) << "[Main]\nresolution=1\n";
  fs::permissions(file, fs::perms(0640));
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "resolution", "3", file.c_str()));
  EXPECT_EQ(Contents(file), "[Main]\nresolution=3\n");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "no temporary file is left";

  const fs::path link = folder / "link";
  fs::create_symlink(file, link);
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "glebia", "16", link.c_str()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Contents(file), "[Main]\nresolution=3\nglebia=16\n");
}

TEST_F(ProfileFiles, AFileThatCannotBeReadIsNeverReplaced) {
  fs::create_directories(file);  // a folder where the file should be
  EXPECT_FALSE(WritePrivateProfileStringA("Main", "resolution", "3", file.c_str()));
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(Get("resolution"), "(default)");
}

TEST_F(ProfileFiles, AValueCannotBreakTheFileIntoMoreLines) {
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "glebia", "16\n[Main]\nskonfigurowany=1", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Main\r\nautorun=1", "autoclose", "1", file.c_str()));
  EXPECT_EQ(Contents(file), "[Main]\nglebia=16\nautoclose=1\n");
  EXPECT_EQ(Get("skonfigurowany"), "(default)");
  EXPECT_EQ(Get("autorun"), "(default)");
}

TEST_F(ProfileFiles, WritersAtTheSameTimeLoseNoKey) {
  constexpr int kWriters = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([this, w] {
      for (int k = 0; k < kKeysEach; ++k) {
        std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
        WritePrivateProfileStringA("Main", key.c_str(), "1", file.c_str());
      }
    });
  }
  for (auto& t : writers) t.join();
  int found = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kKeysEach; ++k) found += Get(("w" + std::to_string(w) + "k" + std::to_string(k)).c_str()) == "1";
  EXPECT_EQ(found, kWriters * kKeysEach);
}

// Anyone who may open a shared folder may lock it. A lock held for ever makes the write fail
// instead of hanging the program; a lock let go in time is waited for.
TEST_F(ProfileFiles, AFolderLockedByAnotherProcessIsWaitedForOnlySoLong) {
  using namespace std::chrono_literals;
  int other = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  EXPECT_FALSE(shared::DirectoryLock(folder.string(), 50ms).Held());

  std::thread letGo([other] {
    std::this_thread::sleep_for(30ms);
    ::close(other);
  });
  EXPECT_TRUE(shared::DirectoryLock(folder.string(), 5000ms).Held());
  letGo.join();
}

TEST_F(ProfileFiles, UnderAPermissiveUmaskANewSettingsFileIsWritableOnlyByItsOwner) {
  const mode_t saved = ::umask(0);
  const bool written = WritePrivateProfileStringA("Main", "resolution", "3", file.c_str());
  ::umask(saved);
  ASSERT_TRUE(written);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask, fs::perms(0644));
}

std::vector<std::string> Temporaries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".tmp-") != std::string::npos) names.push_back(entry.path().filename());
  return names;
}

TEST_F(ProfileFiles, TemporariesOfKilledWritersAreRemovedByTheNextWrite) {
  ASSERT_TRUE(WritePrivateProfileStringA("Main", "resolution", "1", file.c_str()));
  // A writer killed in the middle of writing: it may write only a few bytes of its temporary
  // before the system stops it.
  const pid_t writer = ::fork();
  if (writer == 0) {
    const rlimit small{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &small);
    WritePrivateProfileStringA("Main", "glebia", std::string(200, '6').c_str(), file.c_str());
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the writer was not stopped mid-way";
  const auto stale = Temporaries(folder);
  ASSERT_EQ(stale.size(), 1u);
  ASSERT_TRUE(stale[0].starts_with(".anna.tmp-" + std::to_string(writer) + "-")) << stale[0];

  // A writer that is still running keeps its temporary, and so do other files of the kind.
  const pid_t alive = ::fork();
  if (alive == 0) {
    ::pause();
    ::_exit(0);
  }
  const std::string live = ".anna.tmp-" + std::to_string(alive) + "-0";
  const std::string otherFile = ".berta.tmp-" + std::to_string(writer) + "-0";
  std::ofstream(folder / live) << "[Main]\n";
  std::ofstream(folder / otherFile) << "[Main]\n";
  std::vector<std::string> kept{live, otherFile};
  if (::geteuid() == 0) {  // another account's, however dead its writer
    const std::string foreign = ".anna.tmp-" + std::to_string(writer) + "-1";
    std::ofstream(folder / foreign) << "[Main]\n";
    ASSERT_EQ(::chown((folder / foreign).c_str(), 65534, 65534), 0);
    kept.push_back(foreign);
  }

  const bool written = WritePrivateProfileStringA("Main", "resolution", "3", file.c_str());
  ::kill(alive, SIGKILL);
  ::waitpid(alive, nullptr, 0);
  ASSERT_TRUE(written);
  EXPECT_EQ(Get("resolution"), "3");
  EXPECT_EQ(Get("glebia"), "(default)");
  auto left = Temporaries(folder);
  std::sort(left.begin(), left.end());
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(left, kept);
}

}  // namespace
