// The Windows registry functions over a hive storage (files on linux, memory in sim). Each call
// reads the hive afresh and each change is written at once, so several processes and handles see
// one registry.
#include "platform/registry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/RegText.h"
#include "platform/shared/RegistryTree.h"

namespace plat {
namespace {

using shared::Hive;
using shared::RegKey;
using shared::RegValue;

// Rights that change a key; asking for any of them needs a hive this account may write.
constexpr REGSAM kChangingRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | 0x0020 /* KEY_CREATE_LINK */ |
                                   0x00010000 /* DELETE */ | 0x00040000 /* WRITE_DAC */ |
                                   0x00080000 /* WRITE_OWNER */;

struct OpenKey {
  Hive hive;
  std::vector<std::string> path;
  REGSAM access;
};

std::mutex handlesLock;
std::set<OpenKey*> handles;

const char* HiveName(Hive hive) { return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

// What a handle stands for: a predefined hive with every right, or a key this code opened.
std::optional<OpenKey> Resolve(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return OpenKey{Hive::LocalMachine, {}, KEY_ALL_ACCESS};
  if (key == HKEY_CURRENT_USER) return OpenKey{Hive::CurrentUser, {}, KEY_ALL_ACCESS};
  std::lock_guard g(handlesLock);
  auto* record = reinterpret_cast<OpenKey*>(key);
  if (!handles.contains(record)) return std::nullopt;
  return *record;
}

HKEY NewHandle(OpenKey key) {
  auto* record = new OpenKey(std::move(key));
  std::lock_guard g(handlesLock);
  handles.insert(record);
  return reinterpret_cast<HKEY>(record);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Names that the hive's text could not hold.
bool Writable(const std::vector<std::string>& names) { return std::none_of(names.begin(), names.end(), HasLineBreak); }

LONG LoadHive(Hive hive, RegKey& tree) {
  std::optional<std::string> text;
  if (LONG rc = shared::TheHiveStorage().Load(hive, text); rc != ERROR_SUCCESS) return rc;
  if (!text) return ERROR_SUCCESS;
  auto parsed = shared::ParseRegText(*text, HiveName(hive));
  if (!parsed) return ERROR_REGISTRY_CORRUPT;
  tree = std::move(*parsed);
  return ERROR_SUCCESS;
}

// Parses the hive, applies `change` and stores the result when the change succeeds.
template <typename Change>
LONG ModifyHive(Hive hive, Change change) {
  return shared::TheHiveStorage().Modify(hive, [&](std::optional<std::string>& text) -> LONG {
    RegKey tree;
    if (text) {
      auto parsed = shared::ParseRegText(*text, HiveName(hive));
      if (!parsed) return ERROR_REGISTRY_CORRUPT;
      tree = std::move(*parsed);
    }
    if (LONG rc = change(tree); rc != ERROR_SUCCESS) return rc;
    text = shared::FormatRegText(tree, HiveName(hive));
    return ERROR_SUCCESS;
  });
}

std::vector<std::string> Join(const std::vector<std::string>& base, const std::vector<std::string>& rest) {
  std::vector<std::string> path = base;
  path.insert(path.end(), rest.begin(), rest.end());
  return path;
}

// Reads the value a handle names.
LONG ReadValue(HKEY key, const char* valueName, RegValue& out) {
  auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  RegKey tree;
  if (LONG rc = LoadHive(open->hive, tree); rc != ERROR_SUCCESS) return rc;
  const RegKey* k = tree.Find(open->path);
  if (!k) return ERROR_KEY_DELETED;
  const RegValue* v = k->FindValue(valueName ? valueName : "");
  if (!v) return ERROR_FILE_NOT_FOUND;
  out = *v;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM access, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto base = Resolve(key);
  if (!base) return ERROR_INVALID_HANDLE;
  auto names = shared::SplitKeyPath(subKey);
  if (!names) return ERROR_BAD_PATHNAME;
  RegKey tree;
  if (LONG rc = LoadHive(base->hive, tree); rc != ERROR_SUCCESS) return rc;
  auto path = Join(base->path, *names);
  if (!tree.Find(path)) return ERROR_FILE_NOT_FOUND;
  if (access & kChangingRights) {
    if (LONG rc = shared::TheHiveStorage().CheckWritable(base->hive); rc != ERROR_SUCCESS) return rc;
  }
  *result = NewHandle({base->hive, std::move(path), access});
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char* keyClass, DWORD, REGSAM access, void* security,
                     HKEY* result, DWORD* disposition) {
  if (!result || keyClass || security) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto base = Resolve(key);
  if (!base) return ERROR_INVALID_HANDLE;
  auto names = shared::SplitKeyPath(subKey);
  if (!names) return ERROR_BAD_PATHNAME;
  if (!Writable(*names)) return ERROR_INVALID_PARAMETER;
  auto path = Join(base->path, *names);

  RegKey tree;
  if (LONG rc = LoadHive(base->hive, tree); rc != ERROR_SUCCESS) return rc;
  bool existed = tree.Find(path) != nullptr;
  if (existed) {
    if (access & kChangingRights) {
      if (LONG rc = shared::TheHiveStorage().CheckWritable(base->hive); rc != ERROR_SUCCESS) return rc;
    }
  } else {
    if (!(base->access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    LONG rc = ModifyHive(base->hive, [&](RegKey& t) -> LONG {
      if (!t.Find(base->path)) return ERROR_KEY_DELETED;
      existed = t.Find(path) != nullptr;
      t.Ensure(path);
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
  }
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = NewHandle({base->hive, std::move(path), access});
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  RegValue v;
  if (LONG rc = ReadValue(key, valueName, v); rc != ERROR_SUCCESS) return rc;
  if (type) *type = v.type;
  if (!dataSize) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(v.data.size());
  if (data && *dataSize < size) {
    *dataSize = size;
    return ERROR_MORE_DATA;
  }
  if (data) std::memcpy(data, v.data.data(), size);
  *dataSize = size;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string name = valueName ? valueName : "";
  if (HasLineBreak(name)) return ERROR_INVALID_PARAMETER;
  RegValue value{type, std::string(reinterpret_cast<const char*>(data), dataSize)};
  return ModifyHive(open->hive, [&](RegKey& tree) -> LONG {
    RegKey* k = tree.Find(open->path);
    if (!k) return ERROR_KEY_DELETED;
    k->SetValue(name, std::move(value));
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
  auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return ModifyHive(open->hive, [&](RegKey& tree) -> LONG {
    RegKey* k = tree.Find(open->path);
    if (!k) return ERROR_KEY_DELETED;
    return k->RemoveValue(valueName ? valueName : "") ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
  auto base = Resolve(key);
  if (!base) return ERROR_INVALID_HANDLE;
  auto names = shared::SplitKeyPath(subKey);
  if (!names) return ERROR_BAD_PATHNAME;
  if (!subKey || names->empty()) return ERROR_INVALID_PARAMETER;
  auto path = Join(base->path, *names);
  return ModifyHive(base->hive, [&](RegKey& tree) -> LONG {
    RegKey* k = tree.Find(path);
    if (!k) return ERROR_FILE_NOT_FOUND;
    if (!k->subkeys().empty()) return ERROR_ACCESS_DENIED;
    std::vector<std::string> parentPath(path.begin(), path.end() - 1);
    tree.Find(parentPath)->RemoveSubkey(path.back());
    return ERROR_SUCCESS;
  });
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  std::unique_ptr<OpenKey> record;
  {
    std::lock_guard g(handlesLock);
    auto it = handles.find(reinterpret_cast<OpenKey*>(key));
    if (it == handles.end()) return ERROR_INVALID_HANDLE;
    record.reset(*it);
    handles.erase(it);
  }
  return ERROR_SUCCESS;
}

}  // namespace plat
