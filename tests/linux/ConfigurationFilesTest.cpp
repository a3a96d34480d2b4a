// Where the linux backend keeps the registry and profile files, and what the file system's rights
// and a damaged hive mean to the registry functions. No display needed.
#include <gtest/gtest.h>

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "platform/linux/XdgFolders.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/user.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

constexpr const char* kInstallKey = "Software\\Brenlow\\Tavelin";

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ConfigurationFiles : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("tavelin-linux-" + std::to_string(std::random_device{}()));
    fs::create_directories(root);
    fs::permissions(root, fs::perms(0755));  // another account must be able to look in
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "HOME"}) {
      const char* v = ::getenv(name);
      saved[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    ::setenv("XDG_CONFIG_HOME", (root / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root / "etc" / "xdg").string().append(":/usr/share/xdg-unused").c_str(), 1);
  }
  void TearDown() override {
    for (auto& [name, value] : saved) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
    fs::remove_all(root);
  }

  fs::path MachineHive() const { return root / "etc" / "xdg" / "tavelin" / "machine.reg"; }
  fs::path UserHive() const { return root / "home" / "tavelin" / "user.reg"; }

  void PutMachineHive(const std::string& text) const {
    fs::create_directories(MachineHive().parent_path());
    std::ofstream(MachineHive(), std::ios::binary) << text;
  }

  static std::string ReadInstallPathValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, "sciezka", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : "(no value)";
  }

  fs::path root;
  std::map<std::string, std::optional<std::string>> saved;
};

TEST_F(ConfigurationFiles, HivesLiveInTheXdgFolders) {
  EXPECT_EQ(xdg::FirstConfigDir(), (root / "etc" / "xdg").string());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::string path = "/var/lib/tavelin/";
  ASSERT_EQ(RegSetValueExA(key, "sciezka", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), 18), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Run", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);

  EXPECT_EQ(Contents(MachineHive()),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\Software]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Brenlow]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Brenlow\\Tavelin]\n"
            "\"sciezka\"=\"/var/lib/tavelin/\"\n");
  EXPECT_EQ(Contents(UserHive()),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Run]\n");
  EXPECT_EQ(fs::status(UserHive().parent_path()).permissions(), fs::perms(0700)) << "the user's hive is private";

  // Folders the XDG rules reject fall back to the defaults.
  ::setenv("HOME", (root / "h").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", "relative/folder", 1);
  ::setenv("XDG_CONFIG_DIRS", "relative:", 1);
  EXPECT_EQ(xdg::ConfigHome(), (root / "h" / ".config").string());
  EXPECT_EQ(xdg::FirstConfigDir(), "/etc/xdg");
  ::unsetenv("XDG_CONFIG_DIRS");
  EXPECT_EQ(xdg::FirstConfigDir(), "/etc/xdg");
}

TEST_F(ConfigurationFiles, TheInstallKeyWrittenAsTheDocumentationSaysIsRead) {
  std::string doc = Contents(fs::path(TAVELIN_SOURCE_DIR) / "README.md");
  const std::string fence = "```reg\n";
  std::size_t begin = doc.find(fence);
  ASSERT_NE(begin, std::string::npos);
  begin += fence.size();
  std::size_t end = doc.find("```", begin);
  ASSERT_NE(end, std::string::npos);
  PutMachineHive(doc.substr(begin, end - begin));
  EXPECT_EQ(ReadInstallPathValue(), "/var/lib/tavelin/");
  EXPECT_EQ(doc.substr(begin, end - begin), Contents(fs::path(TAVELIN_SOURCE_DIR) / "packaging/debian/machine.reg"))
      << "the package installs the key that the documentation shows";
}

// Runs `checks` as an account that may read but not write the machine hive: nobody, when the
// tests run as root; otherwise this account after the hive's file and folder lost their write bits.
template <typename Checks>
int AsReadOnlyAccount(const fs::path& hive, Checks checks) {
  if (::geteuid() != 0) {
    fs::permissions(hive, fs::perms(0444));
    fs::permissions(hive.parent_path(), fs::perms(0555));
  }
  pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    ::_exit(checks());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (::geteuid() != 0) fs::permissions(hive.parent_path(), fs::perms(0755));
  return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

TEST_F(ConfigurationFiles, AnAccountThatCannotWriteTheHiveMayOnlyReadIt) {
  PutMachineHive("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenlow\\Tavelin]\n"
                 "\"sciezka\"=\"/var/lib/tavelin/\"\n");
  fs::permissions(MachineHive().parent_path(), fs::perms(0755));
  fs::permissions(MachineHive(), fs::perms(0644));
  const std::string before = Contents(MachineHive());

  // Each failed check sets one bit of the exit code.
  int failures = AsReadOnlyAccount(MachineHive(), [] {
    int bad = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) bad |= 1;
    if (ReadInstallPathValue() != "/var/lib/tavelin/") bad |= 2;
    if (RegSetValueExA(key, "sciezka", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2) != ERROR_ACCESS_DENIED)
      bad |= 4;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_ALL_ACCESS, &key) != ERROR_ACCESS_DENIED) bad |= 8;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_WRITE, &key) != ERROR_ACCESS_DENIED) bad |= 16;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Run", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_ACCESS_DENIED)
      bad |= 32;
    if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey) != ERROR_ACCESS_DENIED) bad |= 64;
    return bad;
  });
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Contents(MachineHive()), before);
}

TEST_F(ConfigurationFiles, ADamagedHiveIsAnUnreadableKeyAndIsNeverWrittenOver) {
  const std::string damaged[] = {
      "",
      "not a registry file\n",
      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenlow\\Tavelin]\n\"sciezka\"=\"/var/lib",
      "Windows Registry Editor Version 5.00\n\"sciezka\"=\"before any key\"\n",
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Brenlow\\Tavelin]\n",
      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenlow\\Tavelin]\n\"n\"=hex:4g\n",
      std::string("\xff\xfe\x41", 3),
  };
  for (const std::string& text : damaged) {
    SCOPED_TRACE(text);
    PutMachineHive(text);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(Contents(MachineHive()), text);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << "the other hive is not affected";
    RegCloseKey(key);
  }
}

TEST_F(ConfigurationFiles, BareProfileNamesLieInTheTavelinConfigFolderAndTheUserIsTheLoginName) {
  ASSERT_EQ(WritePrivateProfileStringA("Main", "resolution", "3", "anna"), 1);
  EXPECT_EQ(Contents(root / "home" / "tavelin" / "anna"), "[Main]\nresolution=3\n");
  char value[8] = {};
  EXPECT_EQ(GetPrivateProfileStringA("Main", "resolution", "", value, sizeof value, "anna"), 1u);
  EXPECT_STREQ(value, "3");

  char name[128] = {};
  DWORD size = sizeof name;
  ASSERT_EQ(GetUserNameA(name, &size), 1);
  EXPECT_STREQ(name, ::getpwuid(::getuid())->pw_name);
  EXPECT_EQ(size, std::string(name).size() + 1);
  DWORD tooSmall = 1;
  EXPECT_EQ(GetUserNameA(name, &tooSmall), 0);
  EXPECT_EQ(tooSmall, size);
}

// Two ordinary accounts sharing a sticky folder that everyone may write to, as the installed
// settings folder is: the one who comes first cannot plant a file that steers the other, and
// cannot change the other's file either.
TEST_F(ConfigurationFiles, OneAccountCannotSteerAnothersSettingsFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as two other accounts needs root";
  constexpr uid_t kBob = 4242;
  constexpr uid_t kAnna = 4343;
  const fs::path shared = root / "shared";
  fs::create_directories(shared);
  fs::permissions(shared, fs::perms(01777));
  const std::string anna = (shared / "anna").string();
  const std::string carol = (shared / "carol").string();
  const std::string planted = "[Main]\nresolution=4\n";
  const auto As = [](uid_t uid, auto checks) {
    pid_t child = ::fork();
    if (child == 0) {
      if (::setgid(uid) != 0 || ::setuid(uid) != 0) ::_exit(100);
      ::umask(022);
      ::_exit(checks());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  };
  const auto Get = [](const std::string& file) {
    char value[16] = {};
    GetPrivateProfileStringA("Main", "resolution", "none", value, sizeof value, file.c_str());
    return std::string(value);
  };

  // Bob comes first: he plants a file for carol, writable by all, and a link for anna that
  // points at a file of carol's own.
  ASSERT_EQ(As(kBob, [&] {
              std::ofstream(carol) << planted;
              ::chmod(carol.c_str(), 0666);
              return ::symlink((shared / "anna-own").c_str(), anna.c_str());
            }),
            0);
  // Each failed check sets one bit of the exit code.
  EXPECT_EQ(As(kAnna, [&] {
              int bad = 0;
              std::ofstream(shared / "anna-own") << "[Main]\nresolution=1\n";
              if (Get(carol) != "none") bad |= 1;
              if (Get(anna) != "none") bad |= 2;
              if (WritePrivateProfileStringA("Main", "resolution", "3", anna.c_str())) bad |= 4;
              if (Get((shared / "anna-own").string()) != "1") bad |= 8;
              return bad;
            }),
            0);
  EXPECT_EQ(Contents(carol), planted);
  ASSERT_TRUE(fs::is_symlink(anna));

  // With the name free, anna's own file is hers, and bob can neither change it nor swap it.
  fs::remove(anna);
  EXPECT_EQ(As(kAnna, [&] { return WritePrivateProfileStringA("Main", "resolution", "3", anna.c_str()) ? 0 : 1; }), 0);
  struct stat st{};
  ASSERT_EQ(::stat(anna.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kAnna);
  EXPECT_EQ(As(kBob, [&] {
              int bad = 0;
              if (WritePrivateProfileStringA("Main", "resolution", "4", anna.c_str())) bad |= 1;
              if (std::ofstream(anna, std::ios::app).good()) bad |= 2;
              if (::unlink(anna.c_str()) == 0) bad |= 4;
              std::ofstream((shared / "swap").string()) << planted;
              if (::rename((shared / "swap").c_str(), anna.c_str()) == 0) bad |= 8;
              return bad;
            }),
            0);
  EXPECT_EQ(Contents(anna), "[Main]\nresolution=3\n");
}

}  // namespace
