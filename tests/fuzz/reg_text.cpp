// Any bytes read as a hive file never crash; what parses is written out and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/shared/RegText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto tree = plat::shared::ParseRegText(text, "HKEY_LOCAL_MACHINE");
  if (!tree) return 0;
  auto again = plat::shared::ParseRegText(plat::shared::FormatRegText(*tree, "HKEY_LOCAL_MACHINE"), "HKEY_LOCAL_MACHINE");
  if (!again || !(*again == *tree)) std::abort();
  return 0;
}
