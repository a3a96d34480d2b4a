// The configuration store on the simulated machine: the install key, the user name and the user
// settings file with each reader's defaults, down to the files on disk.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/ConfigurationError.h"
#include "app/InstallKeyReader.h"
#include "app/SettingsFile.h"
#include "app/UserName.h"
#include "app/UserSettings.h"
#include "platform/sim_config.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

constexpr const char* kKey = "Software\\Brenlow\\Tavelin";

class ConfigurationStore : public testing::Test {
 protected:
  void SetUp() override { sim::ResetConfiguration(); }

  static void Install(const std::string& text, DWORD type = REG_SZ) {
    sim::SetRegistryValue(HKEY_LOCAL_MACHINE, kKey, "sciezka", {type, text});
  }
  // What the user's start-up would read: the install path, or the error it raised.
  static std::string InstallPath() {
    InstallKeyReader reader;
    if (!reader.OpenInstallKey()) return "(not installed)";
    try {
      return reader.ReadInstallPath();
    } catch (const ConfigurationError& e) {
      return std::string("error: ") + e.what();
    }
  }
  static std::string Folder() { return sim::WindowsDirectory() + "/Data/"; }
  static void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(ConfigurationStore, TheInstallKeyIsOpenedForReadingOnlyAndNeverCreated) {
  EXPECT_EQ(InstallPath(), "(not installed)");
  EXPECT_EQ(sim::HiveText(HKEY_LOCAL_MACHINE), "") << "looking for the key did not create it";

  // A standard account, or an administrator under UAC, may only read HKEY_LOCAL_MACHINE.
  sim::SetRegistryString(HKEY_LOCAL_MACHINE, kKey, "sciezka", "C:\\Data\\");
  sim::SetRegistryWritable(HKEY_LOCAL_MACHINE, false);
  EXPECT_EQ(InstallPath(), "C:\\Data\\");

  sim::SetHiveText(HKEY_LOCAL_MACHINE, "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Software\\Bren");
  EXPECT_EQ(InstallPath(), "(not installed)") << "a damaged hive is an unreadable key";
  sim::SetHiveText(HKEY_LOCAL_MACHINE, std::string(300, '\xff'));
  EXPECT_EQ(InstallPath(), "(not installed)");
}

TEST_F(ConfigurationStore, TheInstallPathIsTheTextOfSciezkaUpToItsFirstNul) {
  Install(std::string("C:\\Data\\\0", 9));
  EXPECT_EQ(InstallPath(), "C:\\Data\\");
  Install(std::string("C:\\Data\\\0left over\0", 19));
  EXPECT_EQ(InstallPath(), "C:\\Data\\");
  Install("C:\\Data\\");  // stored without its NUL
  EXPECT_EQ(InstallPath(), "C:\\Data\\");
  Install(std::string("%SystemDrive%\\Data\\\0", 20), REG_EXPAND_SZ);
  EXPECT_EQ(InstallPath(), "%SystemDrive%\\Data\\") << "taken literally";
  Install(std::string("\0", 1));
  EXPECT_EQ(InstallPath(), "");
  Install("");
  EXPECT_EQ(InstallPath(), "") << "an empty value";
  sim::ResetConfiguration();
  sim::SetRegistryString(HKEY_LOCAL_MACHINE, kKey, "other", "x");
  EXPECT_EQ(InstallPath(), "") << "a missing value";
}

TEST_F(ConfigurationStore, AnInstallPathThatIsNotTextOrCannotBeReadIsAnError) {
  Install(std::string("\x2A\0\0\0", 4), REG_DWORD);
  EXPECT_EQ(InstallPath(), "error: Invalid data type for 'sciezka'");
  Install("C:\\Data\\", REG_BINARY);
  EXPECT_EQ(InstallPath(), "error: Invalid data type for 'sciezka'");

  // The value grows between the size query and the read.
  Install(std::string("C:\\Data\\\0", 9));
  InstallKeyReader reader;
  ASSERT_TRUE(reader.OpenInstallKey());
  int reads = 0;
  sim::BeforeRegistryRead([&] {
    if (++reads == 2) Install(std::string("C:\\Much longer data\\\0", 21));
  });
  try {
    reader.ReadInstallPath();
    FAIL() << "no error";
  } catch (const ConfigurationError& e) {
    EXPECT_STREQ(e.what(), "Failed to get data for 'sciezka'");
  }
}

TEST_F(ConfigurationStore, TheUserNameIsWhatFitsA128CharacterBuffer) {
  sim::SetUserName("anna");
  EXPECT_EQ(QueryUserName(), "anna");
  sim::SetUserName(std::string(127, 'u'));
  EXPECT_EQ(QueryUserName(), std::string(127, 'u'));
  sim::SetUserName(std::string(128, 'u'));
  EXPECT_EQ(QueryUserName(), "") << "no room for the NUL: the query fails";
  sim::SetUserName(std::nullopt);
  EXPECT_EQ(QueryUserName(), "");
}

TEST_F(ConfigurationStore, TheSettingsFileIsTheInstallPathFollowedByTheUserName) {
  EXPECT_EQ(SettingsFileName("C:\\Data\\", "anna"), "C:\\Data\\anna");
  EXPECT_EQ(SettingsFileName("C:\\Data", "anna"), "C:\\Dataanna");

  fs::create_directories(Folder());
  sim::SetUserName("anna");
  for (const std::string& path : {Folder(), Folder().substr(0, Folder().size() - 1), std::string()}) {
    Install(path + '\0');
    InstallKeyReader reader;
    ASSERT_TRUE(reader.OpenInstallKey());
    SettingsFile file(SettingsFileName(reader.ReadInstallPath(), QueryUserName()));
    file.WriteString("Main", "glebia", "16");
  }
  EXPECT_EQ(Contents(Folder() + "anna"), "[Main]\nglebia=16\n");
  EXPECT_EQ(Contents(sim::WindowsDirectory() + "/Dataanna"), "[Main]\nglebia=16\n");
  EXPECT_EQ(Contents(sim::WindowsDirectory() + "/anna"), "[Main]\nglebia=16\n")
      << "an empty install path leaves a bare name, which lies in the Windows directory";
}

TEST_F(ConfigurationStore, AMissingFileGivesEveryReaderItsDefault) {
  const SettingsFile file(Folder() + "anna");
  EXPECT_FALSE(usersettings::Configured(file));
  EXPECT_FALSE(usersettings::AutoRun(file));
  EXPECT_FALSE(usersettings::AutoClose(file));
  EXPECT_EQ(usersettings::DepthText(file), "x");
  EXPECT_EQ(usersettings::ModeCode(file), 2) << "800 by 600 to the main window";
  EXPECT_EQ(usersettings::ModeText(file), "1") << "640 by 480 to the settings editor";
  EXPECT_FALSE(fs::exists(Folder())) << "reading touches nothing";
}

TEST_F(ConfigurationStore, StoredTextsConvertAsTheReadersExpect) {
  fs::create_directories(Folder());
  const std::string name = Folder() + "anna";
  const SettingsFile file(name);
  auto stored = [&](const std::string& lines) { Put(name, "[Main]\n" + lines); };

  stored("resolution=0x3\nskonfigurowany=2\nautorun=1\nautoclose=0\n");
  EXPECT_EQ(usersettings::ModeCode(file), 3);
  EXPECT_EQ(usersettings::ModeText(file), "0x3") << "the editor matches none of 1..4";
  EXPECT_TRUE(usersettings::Configured(file));
  EXPECT_TRUE(usersettings::AutoRun(file));
  EXPECT_FALSE(usersettings::AutoClose(file));
  EXPECT_EQ(usersettings::DepthText(file), "x") << "glebia missing: 32 bits";

  stored("resolution=$1F\nskonfigurowany=yes\nautorun=\nglebia=16\n");
  EXPECT_EQ(usersettings::ModeCode(file), 31);
  EXPECT_FALSE(usersettings::Configured(file));
  EXPECT_FALSE(usersettings::AutoRun(file));
  EXPECT_EQ(usersettings::DepthText(file), "16");

  // Any nonzero number is a set flag, negative ones too.
  stored("skonfigurowany=-1\nautorun=$FFFFFFFF\nautoclose= -2\n");
  EXPECT_TRUE(usersettings::Configured(file));
  EXPECT_TRUE(usersettings::AutoRun(file));
  EXPECT_TRUE(usersettings::AutoClose(file));

  for (const std::string text : {"3a", "yes", "", "2147483648", "99999999999"}) {
    stored("resolution=" + text + "\n");
    EXPECT_EQ(usersettings::ModeCode(file), 2) << text;
  }
  stored("resolution=  4  \n");
  EXPECT_EQ(usersettings::ModeCode(file), 4);
  EXPECT_EQ(file.ReadBool("Main", "missing", true), true);
  EXPECT_EQ(file.ReadInteger("Main", "missing", -5), -5);

  stored("glebia=" + std::string(3000, '3') + "\n");
  EXPECT_EQ(file.ReadString("Main", "glebia", ""), std::string(2047, '3')) << "cut to what 2048 characters hold";
}

TEST_F(ConfigurationStore, WritesGoStraightToTheFileAndEveryAccessorSeesThem) {
  fs::create_directories(Folder());
  const std::string name = Folder() + "anna";
  SettingsFile editor(name);
  const SettingsFile mainWindow(name);
  EXPECT_FALSE(fs::exists(name)) << "creating an accessor does not touch the file";

  editor.WriteString("Main", "resolution", "3");
  editor.WriteBool("Main", "autorun", true);
  editor.WriteBool("Main", "autoclose", false);
  editor.WriteString("Main", "glebia", "32");
  editor.WriteBool("Main", "skonfigurowany", true);
  EXPECT_EQ(Contents(name), "[Main]\nresolution=3\nautorun=1\nautoclose=0\nglebia=32\nskonfigurowany=1\n");
  EXPECT_TRUE(usersettings::Configured(mainWindow));
  EXPECT_EQ(usersettings::ModeCode(mainWindow), 3);

  SettingsFile(name).WriteString("Main", "resolution", "1");
  EXPECT_EQ(usersettings::ModeCode(mainWindow), 1) << "no accessor keeps a copy";
}

TEST_F(ConfigurationStore, AWriteThePlatformRefusesNamesTheFile) {
  const std::string name = sim::WindowsDirectory() + "/missing/anna";
  SettingsFile file(name);
  try {
    file.WriteBool("Main", "skonfigurowany", true);
    FAIL() << "no error";
  } catch (const ConfigurationError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + name);
  }
  EXPECT_FALSE(fs::exists(sim::WindowsDirectory() + "/missing"));
}

TEST_F(ConfigurationStore, ADamagedSettingsFileReadsAsWhatCanBeFoundAndKeepsItsBytes) {
  fs::create_directories(Folder());
  const std::string name = Folder() + "anna";
  std::string junk;  // every byte but the line breaks, NUL included
  for (int i = 0; i < 600; ++i) {
    char c = static_cast<char>(i * 7919 % 256);
    if (c != '\n' && c != '\r') junk.push_back(c);
  }
  const std::string damaged = junk + "\n[Main]\nresolution=4\n" + junk + "\n";
  Put(name, damaged);
  SettingsFile file(name);
  EXPECT_EQ(usersettings::ModeCode(file), 4);
  EXPECT_FALSE(usersettings::Configured(file));
  file.WriteBool("Main", "skonfigurowany", true);
  EXPECT_TRUE(usersettings::Configured(file));
  // The junk line after the key starts with a NUL, so it reads as blank and the new key goes
  // before it.
  EXPECT_TRUE(Contents(name) == junk + "\n[Main]\nresolution=4\nskonfigurowany=1\n" + junk + "\n")
      << "every byte of the damaged part survives";
}

// In a folder that everyone may write to, another account can put a file, a link or a pipe
// under this user's name first. None of them is read or written through.
TEST_F(ConfigurationStore, WhatAnotherAccountPutUnderTheUsersNameIsNeitherReadNorWritten) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another account needs root";
  constexpr uid_t kOther = 4242;
  fs::create_directories(Folder());
  fs::permissions(Folder(), fs::perms(01777));
  const std::string name = Folder() + "anna";
  const std::string planted = "[Main]\nresolution=4\nglebia=16\nskonfigurowany=1\n";
  const auto Refused = [&](const char* what) {
    SettingsFile file(name);
    EXPECT_FALSE(usersettings::Configured(file)) << what;
    EXPECT_EQ(usersettings::ModeCode(file), 2) << what;
    try {
      file.WriteBool("Main", "skonfigurowany", true);
      ADD_FAILURE() << what << ": the write went through";
    } catch (const ConfigurationError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + name) << what;
    }
  };

  Put(name, planted);
  ASSERT_EQ(::chown(name.c_str(), kOther, kOther), 0);
  fs::permissions(name, fs::perms(0666));
  Refused("a file of another account");
  EXPECT_EQ(Contents(name), planted);
  fs::remove(name);

  // A link to one of this user's own files: following it would write over that file.
  const std::string own = sim::WindowsDirectory() + "/own";
  Put(own, planted);
  fs::create_symlink(own, name);
  ASSERT_EQ(::lchown(name.c_str(), kOther, kOther), 0);
  Refused("a link of another account");
  EXPECT_EQ(Contents(own), planted);
  EXPECT_TRUE(fs::is_symlink(name));
  fs::remove(name);

  // Opening a pipe would wait for a writer for ever.
  ASSERT_EQ(::mkfifo(name.c_str(), 0666), 0);
  Refused("a pipe");
  fs::remove(name);

  SettingsFile mine(name);
  mine.WriteBool("Main", "skonfigurowany", true);
  EXPECT_TRUE(usersettings::Configured(mine)) << "with the name free again, the user's own file works";
}

}  // namespace
