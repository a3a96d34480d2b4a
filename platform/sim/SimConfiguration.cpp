// The simulated machine's registry, user and Windows directory. The registry functions, the
// profile functions and GetUserNameA themselves are the shared implementations that linux uses.
#include <stdlib.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/RegText.h"
#include "platform/sim_config.h"

namespace {

using plat::shared::Hive;

struct SimHive {
  std::optional<std::string> text;
  bool writable = true;
};

struct Configuration {
  std::mutex lock;
  SimHive machine;
  SimHive user;
  std::optional<std::string> userName = "user";
  std::function<void()> beforeRead;

  SimHive& Of(Hive hive) { return hive == Hive::LocalMachine ? machine : user; }
};

Configuration& Config() {
  static auto* config = new Configuration;  // outlives static destructors of other units
  return *config;
}

Hive HiveOf(plat::HKEY hive) {
  if (hive == plat::HKEY_LOCAL_MACHINE) return Hive::LocalMachine;
  if (hive == plat::HKEY_CURRENT_USER) return Hive::CurrentUser;
  throw std::invalid_argument("sim: not a predefined hive");
}

const char* HiveName(Hive hive) { return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER"; }

// One temporary folder per test run, removed when the run ends.
class TemporaryWindowsDirectory {
 public:
  TemporaryWindowsDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavelin-sim-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("sim: cannot create a Windows directory");
    path_ = pattern;
  }
  ~TemporaryWindowsDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  void Empty() const {
    for (const auto& entry : std::filesystem::directory_iterator(path_)) std::filesystem::remove_all(entry.path());
  }

 private:
  std::string path_;
};

TemporaryWindowsDirectory& TheWindowsDirectory() {
  static TemporaryWindowsDirectory directory;
  return directory;
}

class SimHiveStorage final : public plat::shared::HiveStorage {
 public:
  plat::LONG Load(Hive hive, std::optional<std::string>& text) override {
    std::function<void()> hook;
    {
      std::lock_guard g(Config().lock);
      hook = Config().beforeRead;
    }
    if (hook) hook();
    std::lock_guard g(Config().lock);
    text = Config().Of(hive).text;
    return plat::ERROR_SUCCESS;
  }

  plat::LONG CheckWritable(Hive hive) override {
    std::lock_guard g(Config().lock);
    return Config().Of(hive).writable ? plat::ERROR_SUCCESS : plat::ERROR_ACCESS_DENIED;
  }

  plat::LONG Modify(Hive hive, const std::function<plat::LONG(std::optional<std::string>&)>& edit) override {
    std::lock_guard g(Config().lock);
    SimHive& h = Config().Of(hive);
    if (!h.writable) return plat::ERROR_ACCESS_DENIED;
    std::optional<std::string> text = h.text;
    plat::LONG rc = edit(text);
    if (rc == plat::ERROR_SUCCESS) h.text = std::move(text);
    return rc;
  }
};

// The hive's keys as the registry functions would read them; a test that reads a hive it
// damaged itself made a mistake.
plat::shared::RegKey TreeOf(Hive hive) {
  const auto& text = Config().Of(hive).text;
  if (!text) return {};
  auto parsed = plat::shared::ParseRegText(*text, HiveName(hive));
  if (!parsed) throw std::logic_error("sim: the hive is damaged");
  return std::move(*parsed);
}

std::vector<std::string> KeyPath(const std::string& keyPath) {
  auto names = plat::shared::SplitKeyPath(keyPath.c_str());
  if (!names) throw std::invalid_argument("sim: bad key path " + keyPath);
  return *names;
}

}  // namespace

namespace plat::shared {

std::string WindowsDirectory() { return TheWindowsDirectory().Path(); }

std::optional<std::string> LoginName() {
  std::lock_guard g(Config().lock);
  return Config().userName;
}

HiveStorage& TheHiveStorage() {
  static SimHiveStorage storage;
  return storage;
}

}  // namespace plat::shared

namespace sim {

void ResetConfiguration() {
  {
    std::lock_guard g(Config().lock);
    Config().machine = {};
    Config().user = {};
    Config().userName = "user";
    Config().beforeRead = nullptr;
  }
  TheWindowsDirectory().Empty();
}

void SetUserName(std::optional<std::string> name) {
  std::lock_guard g(Config().lock);
  Config().userName = std::move(name);
}

std::string WindowsDirectory() { return TheWindowsDirectory().Path(); }

void SetHiveText(plat::HKEY hive, std::string text) {
  Hive h = HiveOf(hive);
  std::lock_guard g(Config().lock);
  Config().Of(h).text = std::move(text);
}

std::string HiveText(plat::HKEY hive) {
  Hive h = HiveOf(hive);
  std::lock_guard g(Config().lock);
  return Config().Of(h).text.value_or(std::string());
}

void SetRegistryWritable(plat::HKEY hive, bool writable) {
  Hive h = HiveOf(hive);
  std::lock_guard g(Config().lock);
  Config().Of(h).writable = writable;
}

void SetRegistryValue(plat::HKEY hive, const std::string& keyPath, const std::string& name, RegistryValue value) {
  auto path = KeyPath(keyPath);
  Hive h = HiveOf(hive);
  std::lock_guard g(Config().lock);
  plat::shared::RegKey tree = TreeOf(h);
  tree.Ensure(path).SetValue(name, {value.type, std::move(value.data)});
  Config().Of(h).text = plat::shared::FormatRegText(tree, HiveName(h));
}

void SetRegistryString(plat::HKEY hive, const std::string& keyPath, const std::string& name, const std::string& text,
                       plat::DWORD type) {
  SetRegistryValue(hive, keyPath, name, {type, text + '\0'});
}

std::optional<RegistryValue> GetRegistryValue(plat::HKEY hive, const std::string& keyPath, const std::string& name) {
  auto path = KeyPath(keyPath);
  Hive h = HiveOf(hive);
  std::lock_guard g(Config().lock);
  const plat::shared::RegKey tree = TreeOf(h);
  const plat::shared::RegKey* key = tree.Find(path);
  const plat::shared::RegValue* value = key ? key->FindValue(name) : nullptr;
  if (!value) return std::nullopt;
  return RegistryValue{value->type, value->data};
}

void BeforeRegistryRead(std::function<void()> action) {
  std::lock_guard g(Config().lock);
  Config().beforeRead = std::move(action);
}

}  // namespace sim
