// The run lists as XDG autostart entries: values written through the registry functions become
// desktop entry files that GLib launches as meant, and read back exactly; other programs'
// entries are listed and left alone; a RunOnce entry removes itself when started; an account
// that cannot write the machine folder is refused.
#include <gtest/gtest.h>

#include <gio/gdesktopappinfo.h>
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

#include "platform/registry.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class AutostartRunLists : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("tavelin-autostart-" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "home");
    fs::create_directories(root / "etc" / "xdg");
    fs::permissions(root, fs::perms(0755));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
      const char* v = ::getenv(name);
      saved[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    ::setenv("XDG_CONFIG_HOME", (root / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root / "etc" / "xdg").c_str(), 1);
  }
  void TearDown() override {
    for (auto& [name, value] : saved) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    fs::remove_all(root);
  }

  static LONG Write(HKEY hive, const char* key, const std::string& name, const std::string& data) {
    HKEY k = nullptr;
    LONG rc = RegCreateKeyExA(hive, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1));
    RegCloseKey(k);
    return rc;
  }
  static std::optional<std::string> Read(HKEY hive, const char* key, const std::string& name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(hive, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
    char buffer[4096] = {};
    DWORD size = sizeof buffer, type = 0;
    const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS || type != REG_SZ || size == 0) return std::nullopt;
    return std::string(buffer, size - 1);
  }
  static LONG Delete(HKEY hive, const char* key, const std::string& name) {
    HKEY k = nullptr;
    LONG rc = RegOpenKeyExA(hive, key, 0, KEY_ALL_ACCESS, &k);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegDeleteValueA(k, name.c_str());
    RegCloseKey(k);
    return rc;
  }

  // A program at a hostile path that leaves a mark when started.
  fs::path Program(const std::string& folderName) {
    const fs::path folder = root / folderName;
    fs::create_directories(folder);
    const fs::path program = folder / "mark it.sh";
    std::ofstream(program) << "#!/bin/sh\necho started > \"" << (root / "mark").string() << "\"\n";
    fs::permissions(program, fs::perms(0755));
    return program;
  }

  // Starts the entry as a desktop session would, through GLib, and waits for the mark.
  bool LaunchLeavesMark(const fs::path& entry) {
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entry.c_str());
    if (!info) return false;
    GError* error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
    if (error) {
      ADD_FAILURE() << error->message;
      g_error_free(error);
    }
    g_object_unref(info);
    for (int i = 0; launched && i < 200 && !fs::exists(root / "mark"); ++i) ::usleep(10000);
    ::usleep(50000);  // the launched shell may still be removing its entry
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    return fs::exists(root / "mark");
  }

  fs::path UserFolder() const { return root / "home" / "autostart"; }
  fs::path MachineFolder() const { return root / "etc" / "xdg" / "autostart"; }

  fs::path root;
  std::map<std::string, std::optional<std::string>> saved;
};

TEST_F(AutostartRunLists, HostilePathsAndNamesRoundTripAndGLibStartsTheProgram) {
  // GLib looks the program up before it turns "%%" back into "%", so a '%' in the program's own
  // path is only round-tripped below, not launched.
  const fs::path program = Program("we\"ird $HOME `x` a=b\\c");
  const std::string name = "Tavelin \"Test\" $1 %u.exe";
  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRun, name, program.string()), ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, name), program.string());
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, "TAVELIN \"TEST\" $1 %U.EXE"), program.string());  // names ignore case
  const fs::path entry = UserFolder() / "tavelin%20%22test%22%20%241%20%25u.exe.desktop";
  ASSERT_TRUE(fs::exists(entry)) << Contents(UserFolder());
  // The run lists live in the folder only, not in the hive's file.
  EXPECT_EQ(Contents(root / "home" / "tavelin" / "user.reg").find("CurrentVersion"), std::string::npos);
  EXPECT_TRUE(LaunchLeavesMark(entry));

  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRun, name, "/opt/100% sure/%u\\prog"), ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, name), "/opt/100% sure/%u\\prog");

  // Rewritten in place, then deleted with its file.
  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRun, name, "/bin/true"), ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, name), "/bin/true");
  EXPECT_EQ(Delete(HKEY_CURRENT_USER, kRun, name), ERROR_SUCCESS);
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, name), std::nullopt);
  EXPECT_EQ(Delete(HKEY_CURRENT_USER, kRun, name), ERROR_FILE_NOT_FOUND);

  // The machine hive's entries go to the first configuration folder.
  ASSERT_EQ(Write(HKEY_LOCAL_MACHINE, kRun, "tavelin", "/usr/bin/tavelin"), ERROR_SUCCESS);
  EXPECT_TRUE(fs::exists(MachineFolder() / "tavelin.desktop"));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kRun, "tavelin"), "/usr/bin/tavelin");
}

TEST_F(AutostartRunLists, ARunOnceEntryRemovesItselfWhenStarted) {
  const fs::path program = Program("once only");
  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRunOnce, "setup.exe", program.string()), ERROR_SUCCESS);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRunOnce, "setup.exe"), program.string());
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, "setup.exe"), std::nullopt);
  const fs::path entry = UserFolder() / "setup.exe~runonce.desktop";
  ASSERT_TRUE(fs::exists(entry));
  EXPECT_TRUE(LaunchLeavesMark(entry));
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRunOnce, "setup.exe"), std::nullopt);
}

TEST_F(AutostartRunLists, OtherProgramsEntriesAreListedButNeverRewritten) {
  fs::create_directories(UserFolder());
  const std::string foreign = "[Desktop Entry]\nType=Application\nName=Other\nExec=other-program --daemon\n";
  std::ofstream(UserFolder() / "org.example.Other.desktop") << foreign;
  std::ofstream(UserFolder() / "notes.txt") << "not an entry";
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, "org.example.Other"), "other-program --daemon");
  EXPECT_EQ(Write(HKEY_CURRENT_USER, kRun, "org.example.Other", "/bin/false"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Delete(HKEY_CURRENT_USER, kRun, "org.example.Other"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Contents(UserFolder() / "org.example.Other.desktop"), foreign);
  // Our own values beside it come and go as usual.
  EXPECT_EQ(Write(HKEY_CURRENT_USER, kRun, "mine", "/bin/true"), ERROR_SUCCESS);
  EXPECT_EQ(Delete(HKEY_CURRENT_USER, kRun, "mine"), ERROR_SUCCESS);
  EXPECT_EQ(Contents(UserFolder() / "org.example.Other.desktop"), foreign);
}

TEST_F(AutostartRunLists, AnAccountThatCannotWriteTheMachineFolderIsRefused) {
  ASSERT_EQ(Write(HKEY_LOCAL_MACHINE, kRun, "tavelin", "/usr/bin/tavelin"), ERROR_SUCCESS);
  for (const fs::path& p : {root / "etc" / "xdg", root / "etc" / "xdg" / "tavelin", MachineFolder()})
    fs::permissions(p, fs::perms(0755));
  const std::string before = Contents(MachineFolder() / "tavelin.desktop");
  pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    int bad = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &key) != ERROR_ACCESS_DENIED) bad |= 1;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_ACCESS_DENIED)
      bad |= 2;
    if (Read(HKEY_LOCAL_MACHINE, kRun, "tavelin") != "/usr/bin/tavelin") bad |= 4;
    ::_exit(bad);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another account";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Contents(MachineFolder() / "tavelin.desktop"), before);
}

// The umask of whoever started the program, set back however the test ends.
class UmaskScope {
 public:
  explicit UmaskScope(mode_t mask) : saved_(::umask(mask)) {}
  ~UmaskScope() { ::umask(saved_); }

 private:
  mode_t saved_;
};

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions() & fs::perms::mask; }

TEST_F(AutostartRunLists, UnderAPermissiveUmaskNewFilesAreWritableOnlyByTheirOwner) {
  UmaskScope permissive(0);
  ASSERT_EQ(Write(HKEY_LOCAL_MACHINE, kRun, "tavelin", "/usr/bin/tavelin"), ERROR_SUCCESS);
  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRun, "tavelin", "/usr/bin/tavelin"), ERROR_SUCCESS);
  ASSERT_EQ(Write(HKEY_LOCAL_MACHINE, "Software\\Brenlow\\Tavelin", "sciezka", "/srv/tavelin/"), ERROR_SUCCESS);
  ASSERT_TRUE(fs::exists(root / "etc" / "xdg" / "tavelin" / "machine.reg"));
  EXPECT_EQ(Mode(root / "etc" / "xdg" / "tavelin" / "machine.reg"), fs::perms(0644));
  // Whoever could write the machine-wide entry could run a program at every user's log-on.
  EXPECT_EQ(Mode(MachineFolder() / "tavelin.desktop"), fs::perms(0644));
  EXPECT_EQ(Mode(MachineFolder()), fs::perms(0755));
  EXPECT_EQ(Mode(UserFolder() / "tavelin.desktop"), fs::perms(0644));
  for (const auto& entry : fs::recursive_directory_iterator(root / "etc" / "xdg")) {
    const fs::perms others = Mode(entry.path()) & (fs::perms::group_write | fs::perms::others_write);
    EXPECT_EQ(others, fs::perms::none) << entry.path();
  }

  // A file its owner narrowed keeps that mode when it is written again.
  fs::permissions(UserFolder() / "tavelin.desktop", fs::perms(0600));
  ASSERT_EQ(Write(HKEY_CURRENT_USER, kRun, "tavelin", "/usr/local/bin/tavelin"), ERROR_SUCCESS);
  EXPECT_EQ(Mode(UserFolder() / "tavelin.desktop"), fs::perms(0600));
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kRun, "tavelin"), "/usr/local/bin/tavelin");
}

}  // namespace
