#pragma once
// A hive held in memory: keys with subkeys and typed values, names matched without regard to
// case and kept in the spelling they were created with.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/shared/NoCase.h"
#include "platform/wintypes.h"

namespace plat::shared {

struct RegValue {
  DWORD type = 0;
  std::string data;  // the bytes as stored

  bool operator==(const RegValue&) const = default;
};

class RegKey {
 public:
  using Subkeys = std::map<std::string, RegKey, LessNoCase>;
  using Values = std::vector<std::pair<std::string, RegValue>>;

  const Subkeys& subkeys() const { return subkeys_; }
  const Values& values() const { return values_; }

  RegKey* Find(const std::vector<std::string>& path);
  const RegKey* Find(const std::vector<std::string>& path) const;
  // Creates the missing keys along the path.
  RegKey& Ensure(const std::vector<std::string>& path);
  bool RemoveSubkey(std::string_view name);

  const RegValue* FindValue(std::string_view name) const;
  // A value that exists keeps its place among the others.
  void SetValue(std::string_view name, RegValue value);
  bool RemoveValue(std::string_view name);

  bool operator==(const RegKey&) const = default;

 private:
  Subkeys subkeys_;
  Values values_;
};

// "Software\Brenlow\Tavelin" as its names. Null or empty is the key itself; a trailing
// backslash is allowed; an empty name elsewhere makes the path invalid (nullopt).
std::optional<std::vector<std::string>> SplitKeyPath(const char* path);

}  // namespace plat::shared
