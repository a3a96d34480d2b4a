// Keeps the linux run's registry hives and profile files out of the real configuration: the XDG
// folders point into a private temporary folder before the first registry or profile call.
// sim keeps its registry in memory and win32 under Wine uses the private prefix.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

class PrivateConfigFolders : public testing::Environment {
 public:
  void SetUp() override {
#ifndef _WIN32
    root_ = fs::temp_directory_path() / ("tavelin-xdg-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "machine");
    ::setenv("XDG_CONFIG_HOME", (root_ / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ / "machine").c_str(), 1);
#endif
  }
  void TearDown() override {
    if (!root_.empty()) fs::remove_all(root_);
  }

 private:
  fs::path root_;
};

[[maybe_unused]] const auto* const registered = testing::AddGlobalTestEnvironment(new PrivateConfigFolders);

}  // namespace
