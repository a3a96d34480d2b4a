#include "app/IntegerText.h"

#include <cstdint>
#include <string>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits in `base` making up the whole of `s`, no more than `limit`.
std::optional<std::uint64_t> Digits(std::string_view s, unsigned base, std::uint64_t limit) {
  if (s.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0 || static_cast<unsigned>(d) >= base) return std::nullopt;
    v = v * base + static_cast<unsigned>(d);
    if (v > limit) return std::nullopt;
  }
  return v;
}

}  // namespace

std::optional<int> ParseIntegerText(std::string_view text) {
  // "0x1F" is first rewritten as "$1F"; the rewrite does not look past a sign or spaces.
  std::string rewritten;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    rewritten = "$" + std::string(text.substr(2));
    text = rewritten;
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  bool hex = false;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    hex = true;
    text.remove_prefix(2);
  } else if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
    hex = true;
    text.remove_prefix(1);
  }

  if (hex) {
    auto bits = Digits(text, 16, 0xFFFFFFFFu);
    if (!bits) return std::nullopt;
    auto value = static_cast<std::uint32_t>(*bits);
    if (negative) value = 0u - value;  // negation of the bits, modulo 2^32
    return static_cast<int>(static_cast<std::int32_t>(value));
  }
  auto magnitude = Digits(text, 10, negative ? 2147483648u : 2147483647u);
  if (!magnitude) return std::nullopt;
  return static_cast<int>(negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude));
}

int IntegerTextOr(std::string_view text, int fallback) { return ParseIntegerText(text).value_or(fallback); }
