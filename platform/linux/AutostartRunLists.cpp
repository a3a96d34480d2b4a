#include "platform/linux/AutostartRunLists.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <vector>

#include "platform/linux/XdgFolders.h"
#include "platform/registry.h"
#include "platform/shared/DesktopEntry.h"
#include "platform/shared/FileReplace.h"
#include "platform/shared/NoCase.h"

namespace plat::autostart {
namespace {

using shared::RegKey;
using shared::RegValue;

const std::vector<std::string> kRun = {"Software", "Microsoft", "Windows", "CurrentVersion", "Run"};
const std::vector<std::string> kRunOnce = {"Software", "Microsoft", "Windows", "CurrentVersion", "RunOnce"};
constexpr const char* kOnceSuffix = "~runonce";
// Removes the entry's file ($0), then runs the program ($1).
constexpr const char* kOnceScript = "rm -f -- \"$0\"; exec \"$1\"";

std::string Folder(shared::Hive hive) {
  return (hive == shared::Hive::LocalMachine ? xdg::FirstConfigDir() : xdg::ConfigHome()) + "/autostart";
}

struct Entry {
  std::string name;  // the value name
  RegValue value;
  bool once = false;
  bool ours = false;
  std::string file;  // its path
};

std::string FileFor(shared::Hive hive, const std::string& name, bool once) {
  return Folder(hive) + "/" + shared::SafeFileStem(name) + (once ? kOnceSuffix : "") + ".desktop";
}

std::optional<Entry> ReadEntry(const std::string& path, const std::string& stem) {
  int error = 0;
  auto text = shared::ReadWholeFile(path, error);
  if (!text) return std::nullopt;
  auto keys = shared::ParseDesktopEntry(*text);
  if (!keys) return std::nullopt;
  Entry e;
  e.file = path;
  const std::string exec = shared::UnescapeDesktopString((*keys)["Exec"]);
  auto args = shared::SplitExec(exec);
  if (keys->contains("X-Tavelin-Value")) {
    e.ours = true;
    e.name = shared::UnescapeDesktopString((*keys)["X-Tavelin-Value"]);
    e.once = (*keys)["X-Tavelin-Key"] == "RunOnce";
    if (!args || args->empty()) return std::nullopt;
    const DWORD type = (*keys)["X-Tavelin-Type"] == "2" ? REG_EXPAND_SZ : REG_SZ;
    std::string data = args->back();
    if ((*keys)["X-Tavelin-Terminated"] != "false") data += '\0';
    e.value = RegValue{type, data};
  } else {
    // Another program's entry: shown as it stands.
    e.name = stem;
    e.value = RegValue{REG_SZ, exec + std::string(1, '\0')};
  }
  return e;
}

std::vector<Entry> ReadFolder(shared::Hive hive) {
  std::vector<Entry> entries;
  const std::string folder = Folder(hive);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return entries;
  while (dirent* d = ::readdir(dir)) {
    const std::string file = d->d_name;
    const std::string suffix = ".desktop";
    if (file.size() <= suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    if (auto e = ReadEntry(folder + "/" + file, file.substr(0, file.size() - suffix.size())))
      entries.push_back(std::move(*e));
  }
  ::closedir(dir);
  // Directory order is no order at all.
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.file < b.file; });
  return entries;
}

std::string Format(const std::string& name, const RegValue& value, bool once, const std::string& file) {
  std::string data = value.data;
  const bool terminated = !data.empty() && data.back() == '\0';
  if (terminated) data.pop_back();
  std::string exec = shared::QuoteExecArgument(data);
  if (once) exec = "/bin/sh -c " + shared::QuoteExecArgument(kOnceScript) + " " + shared::QuoteExecArgument(file) + " " + exec;
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + shared::EscapeDesktopString(name) + "\n";
  text += "Exec=" + shared::EscapeDesktopString(exec) + "\n";
  text += "X-GNOME-Autostart-enabled=true\n";
  text += "X-Tavelin-Key=" + std::string(once ? "RunOnce" : "Run") + "\n";
  text += "X-Tavelin-Value=" + shared::EscapeDesktopString(name) + "\n";
  if (value.type == REG_EXPAND_SZ) text += "X-Tavelin-Type=2\n";
  if (!terminated) text += "X-Tavelin-Terminated=false\n";
  return text;
}

bool IsText(const RegValue& v) {
  if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) return false;
  const auto nul = v.data.find('\0');
  return nul == std::string::npos || nul == v.data.size() - 1;
}

LONG WriteFolderFile(shared::Hive hive, const std::string& path, const std::string& text) {
  if (!xdg::MakeDirectories(Folder(hive), 0755)) return ERROR_ACCESS_DENIED;
  return shared::ReplaceFileAtomically(path, text) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The values of one run list as name -> value.
std::map<std::string, RegValue, shared::LessNoCase> Values(const RegKey& tree, const std::vector<std::string>& path) {
  std::map<std::string, RegValue, shared::LessNoCase> out;
  if (const RegKey* key = tree.Find(path))
    for (const auto& [name, value] : key->values()) out.emplace(name, value);
  return out;
}

void Clear(RegKey& tree, const std::vector<std::string>& path) {
  RegKey& key = tree.Ensure(path);
  while (!key.values().empty()) key.RemoveValue(key.values().front().first);
}

}  // namespace

void MergeInto(shared::Hive hive, RegKey& tree) {
  Clear(tree, kRun);
  Clear(tree, kRunOnce);
  for (auto& e : ReadFolder(hive)) tree.Ensure(e.once ? kRunOnce : kRun).SetValue(e.name, e.value);
}

LONG Apply(shared::Hive hive, const RegKey& original, const RegKey& before, RegKey& after) {
  const auto entries = ReadFolder(hive);
  auto entryOf = [&](const std::string& name, bool once) -> const Entry* {
    for (const auto& e : entries)
      if (e.once == once && shared::EqualsNoCase(e.name, name)) return &e;
    return nullptr;
  };
  for (bool once : {false, true}) {
    const auto& path = once ? kRunOnce : kRun;
    const auto old = Values(before, path), now = Values(after, path);
    for (const auto& [name, value] : old) {
      if (now.contains(name)) continue;
      const Entry* e = entryOf(name, once);
      if (!e) continue;
      if (!e->ours) return ERROR_ACCESS_DENIED;
      if (::unlink(e->file.c_str()) != 0 && errno != ENOENT) return ERROR_ACCESS_DENIED;
    }
    for (const auto& [name, value] : now) {
      auto was = old.find(name);
      if (was != old.end() && was->second == value && was->first == name) continue;
      if (!IsText(value)) return ERROR_INVALID_PARAMETER;
      const Entry* e = entryOf(name, once);
      if (e && !e->ours) return ERROR_ACCESS_DENIED;
      const std::string file = e ? e->file : FileFor(hive, name, once);
      // A file of that name that is not ours (a foreign entry under another value name).
      if (!e && ::access(file.c_str(), F_OK) == 0) return ERROR_ACCESS_DENIED;
      if (LONG rc = WriteFolderFile(hive, file, Format(name, value, once, file)); rc != ERROR_SUCCESS) return rc;
    }
    Clear(after, path);
  }
  // Empty keys that only the merge made stay out of the hive's text.
  for (std::size_t depth = kRun.size(); depth > 0; --depth) {
    for (const auto* full : {&kRun, &kRunOnce}) {
      const std::vector<std::string> path(full->begin(), full->begin() + static_cast<std::ptrdiff_t>(depth));
      const RegKey* key = after.Find(path);
      if (!key || !key->values().empty() || !key->subkeys().empty() || original.Find(path)) continue;
      std::vector<std::string> parent(path.begin(), path.end() - 1);
      after.Find(parent)->RemoveSubkey(path.back());
    }
  }
  return ERROR_SUCCESS;
}

}  // namespace plat::autostart
