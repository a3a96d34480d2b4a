#include "platform/shared/RegistryTree.h"

#include <algorithm>

namespace plat::shared {

RegKey* RegKey::Find(const std::vector<std::string>& path) {
  RegKey* key = this;
  for (const auto& name : path) {
    auto it = key->subkeys_.find(name);
    if (it == key->subkeys_.end()) return nullptr;
    key = &it->second;
  }
  return key;
}

const RegKey* RegKey::Find(const std::vector<std::string>& path) const {
  return const_cast<RegKey*>(this)->Find(path);
}

RegKey& RegKey::Ensure(const std::vector<std::string>& path) {
  RegKey* key = this;
  for (const auto& name : path) key = &key->subkeys_[name];
  return *key;
}

bool RegKey::RemoveSubkey(std::string_view name) {
  auto it = subkeys_.find(name);
  if (it == subkeys_.end()) return false;
  subkeys_.erase(it);
  return true;
}

const RegValue* RegKey::FindValue(std::string_view name) const {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return EqualsNoCase(v.first, name); });
  return it == values_.end() ? nullptr : &it->second;
}

void RegKey::SetValue(std::string_view name, RegValue value) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return EqualsNoCase(v.first, name); });
  if (it != values_.end())
    it->second = std::move(value);
  else
    values_.emplace_back(std::string(name), std::move(value));
}

bool RegKey::RemoveValue(std::string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return EqualsNoCase(v.first, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

std::optional<std::vector<std::string>> SplitKeyPath(const char* path) {
  std::vector<std::string> names;
  std::string_view rest = path ? path : "";
  while (!rest.empty()) {
    std::size_t slash = rest.find('\\');
    std::string_view name = rest.substr(0, slash);
    if (name.empty()) return std::nullopt;
    names.emplace_back(name);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return names;
}

}  // namespace plat::shared
