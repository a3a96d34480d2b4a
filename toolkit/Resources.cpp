#include "toolkit/Resources.h"

#include <map>
#include <mutex>

#include "platform/resources.h"

namespace tk {
namespace {

struct Registry {
  std::mutex lock;
  std::map<std::string, std::span<const std::uint8_t>> entries;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterResource(const std::string& name, std::span<const std::uint8_t> data) {
  std::lock_guard g(TheRegistry().lock);
  TheRegistry().entries[name] = data;
}

std::optional<std::span<const std::uint8_t>> FindResource(const std::string& name) {
  {
    std::lock_guard g(TheRegistry().lock);
    auto it = TheRegistry().entries.find(name);
    if (it != TheRegistry().entries.end()) return it->second;
  }
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  if (plat::FindResourceData(name.c_str(), &data, &size)) return std::span<const std::uint8_t>(data, size);
  return std::nullopt;
}

}  // namespace tk
