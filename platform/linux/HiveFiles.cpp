// The registry's hives as .reg files: HKEY_LOCAL_MACHINE in <first of $XDG_CONFIG_DIRS>/tavelin/
// machine.reg (by default /etc/xdg, so it belongs to root) and HKEY_CURRENT_USER in
// $XDG_CONFIG_HOME/tavelin/user.reg. The file system's permissions are the keys' access rights:
// an account that cannot write a hive's file and folder may only read that hive, as a standard
// account on Windows may only read HKEY_LOCAL_MACHINE. The run lists are not in the files: they
// are XDG autostart entries (AutostartRunLists.h), merged in on every read.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/AutostartRunLists.h"
#include "platform/linux/XdgFolders.h"
#include "platform/registry.h"
#include "platform/shared/BackendHooks.h"
#include "platform/shared/DirectoryLock.h"
#include "platform/shared/FileReplace.h"
#include "platform/shared/RegText.h"

namespace plat::shared {
namespace {

std::string HivePath(Hive hive) {
  return hive == Hive::LocalMachine ? xdg::FirstConfigDir() + "/tavelin/machine.reg"
                                    : xdg::ConfigHome() + "/tavelin/user.reg";
}

bool MayWrite(const std::string& path) { return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0; }

// Replacing a file needs its folder writable too; a folder not made yet needs the nearest
// existing folder above it writable.
LONG WriteAccess(const std::string& file) {
  std::string dir = ParentDirectory(file);
  while (::access(dir.c_str(), F_OK) != 0 && dir != "/") dir = ParentDirectory(dir);
  if (!MayWrite(dir)) return ERROR_ACCESS_DENIED;
  if (::access(file.c_str(), F_OK) == 0 && !MayWrite(file)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

LONG Read(const std::string& path, std::optional<std::string>& text) {
  int error = 0;
  text = ReadWholeFile(path, error);
  if (text || error == ENOENT || error == ENOTDIR) return ERROR_SUCCESS;
  return error == EACCES ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_CORRUPT;
}

const char* HiveName(Hive hive) { return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

// The hive's text with the run lists of its autostart folder in it; damaged text as it is.
std::optional<RegKey> WithRunLists(Hive hive, const std::optional<std::string>& text) {
  std::optional<RegKey> tree = text ? ParseRegText(*text, HiveName(hive)) : RegKey{};
  if (tree) autostart::MergeInto(hive, *tree);
  return tree;
}

class HiveFiles final : public HiveStorage {
 public:
  LONG Load(Hive hive, std::optional<std::string>& text) override {
    if (LONG rc = Read(HivePath(hive), text); rc != ERROR_SUCCESS) return rc;
    if (auto tree = WithRunLists(hive, text)) text = FormatRegText(*tree, HiveName(hive));
    return ERROR_SUCCESS;
  }

  LONG CheckWritable(Hive hive) override { return WriteAccess(HivePath(hive)); }

  LONG Modify(Hive hive, const std::function<LONG(std::optional<std::string>&)>& edit) override {
    const std::string path = HivePath(hive);
    if (LONG rc = WriteAccess(path); rc != ERROR_SUCCESS) return rc;
    const std::string dir = ParentDirectory(path);
    // The machine hive must stay readable by every account; the user's is the user's alone.
    if (!xdg::MakeDirectories(dir, hive == Hive::LocalMachine ? 0755 : 0700)) return ERROR_ACCESS_DENIED;
    DirectoryLock lock(dir);
    if (!lock.Held()) return ERROR_ACCESS_DENIED;
    std::optional<std::string> text;
    if (LONG rc = Read(path, text); rc != ERROR_SUCCESS) return rc;
    const std::optional<RegKey> original = text ? ParseRegText(*text, HiveName(hive)) : RegKey{};
    const auto before = WithRunLists(hive, text);
    if (before) text = FormatRegText(*before, HiveName(hive));
    if (LONG rc = edit(text); rc != ERROR_SUCCESS) return rc;
    if (before && text) {
      auto after = ParseRegText(*text, HiveName(hive));
      if (!after) return ERROR_REGISTRY_CORRUPT;
      if (LONG rc = autostart::Apply(hive, *original, *before, *after); rc != ERROR_SUCCESS) return rc;
      text = FormatRegText(*after, HiveName(hive));
    }
    return ReplaceFileAtomically(path, text.value_or(std::string())) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
  }
};

}  // namespace

HiveStorage& TheHiveStorage() {
  static HiveFiles storage;
  return storage;
}

}  // namespace plat::shared
