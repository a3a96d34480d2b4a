#pragma once
// What the shared profile, registry and user-name code asks of the backend that links it.
#include <functional>
#include <optional>
#include <string>

#include "platform/wintypes.h"

namespace plat::shared {

// Where a profile file name without a folder lies; the folder exists once this returns.
std::string WindowsDirectory();

// The logged-on user's name; nullopt when the system cannot tell.
std::optional<std::string> LoginName();

enum class Hive { LocalMachine, CurrentUser };

// Where the hives' .reg text is kept. Every call reads or writes the kept text afresh, so other
// processes' changes are seen at once.
class HiveStorage {
 public:
  virtual ~HiveStorage() = default;
  // The hive's text; nullopt for a hive never written. ERROR_ACCESS_DENIED when unreadable.
  virtual LONG Load(Hive hive, std::optional<std::string>& text) = 0;
  // ERROR_SUCCESS when this account may change the hive, ERROR_ACCESS_DENIED otherwise.
  virtual LONG CheckWritable(Hive hive) = 0;
  // Hands the current text to `edit` and keeps what it leaves there when it returns
  // ERROR_SUCCESS, with no other writer in between; otherwise returns the failure.
  virtual LONG Modify(Hive hive, const std::function<LONG(std::optional<std::string>& text)>& edit) = 0;
};

HiveStorage& TheHiveStorage();

}  // namespace plat::shared
