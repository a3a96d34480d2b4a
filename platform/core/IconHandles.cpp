#include "platform/core/IconHandles.h"

#include <map>
#include <mutex>

namespace plat {
namespace {

struct IconTable {
  std::mutex lock;
  std::map<std::uintptr_t, IconImage> icons;
  std::uintptr_t next = 0x20010;
};

IconTable& Table() {
  static IconTable* table = new IconTable;  // outlives static destructors of other units
  return *table;
}

}  // namespace

HICON CreateIconFromImage(const IconImage& image) {
  if (image.Empty() || image.argb.size() != static_cast<std::size_t>(image.width) * image.height) return nullptr;
  auto& t = Table();
  std::lock_guard g(t.lock);
  const std::uintptr_t handle = t.next;
  t.next += 4;
  t.icons.emplace(handle, image);
  return reinterpret_cast<HICON>(handle);
}

BOOL DestroyIcon(HICON icon) {
  auto& t = Table();
  std::lock_guard g(t.lock);
  return t.icons.erase(reinterpret_cast<std::uintptr_t>(icon)) ? 1 : 0;
}

namespace core {

std::optional<IconImage> IconImageOf(HICON icon) {
  auto& t = Table();
  std::lock_guard g(t.lock);
  auto it = t.icons.find(reinterpret_cast<std::uintptr_t>(icon));
  if (it == t.icons.end()) return std::nullopt;
  return it->second;
}

}  // namespace core
}  // namespace plat
