// Any text converts without a crash, and plain decimal text converts as the C library reads it.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/IntegerText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto value = ParseIntegerText(text);

  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  if (i == text.size() || text.find_first_not_of("0123456789", i) != std::string::npos) return 0;
  errno = 0;
  long long expected = std::strtoll(text.c_str(), nullptr, 10);
  const bool fits = errno == 0 && expected >= INT_MIN && expected <= INT_MAX;
  if (fits ? value != static_cast<int>(expected) : value.has_value()) std::abort();
  return 0;
}
