#pragma once
// Stored text to integer, as the settings file's integer reads convert it: leading spaces and one
// sign, then decimal digits fitting 32 signed bits, or "$", "x", "0x" (either case) and
// hexadecimal digits taken as the bits of a 32-bit value. Nothing else may follow.
#include <optional>
#include <string_view>

std::optional<int> ParseIntegerText(std::string_view text);

// The stored text's value, or `fallback` for an empty text, any other character or an overflow.
int IntegerTextOr(std::string_view text, int fallback);
