// How our profile functions treat the files themselves: whole-file replacement that never leaves
// a half-written file, the file's mode and links kept, writers that never lose each other's keys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace
