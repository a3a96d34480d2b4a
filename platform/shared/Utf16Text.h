#pragma once
// Our programs' text is UTF-8; the speech objects take UTF-16 and the hex form of .reg files holds
// UTF-16LE bytes. Bytes that are not UTF-8 travel as lone surrogates U+DC80..U+DCFF, so any byte
// string survives the round trip unchanged.
#include <optional>
#include <string>
#include <string_view>

namespace plat::shared {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// UTF-8 bytes to UTF-16LE bytes.
std::string Utf8ToUtf16Le(std::string_view utf8);
// UTF-16LE bytes to UTF-8; nullopt for an odd byte count.
std::optional<std::string> Utf16LeToUtf8(std::string_view utf16);

}  // namespace plat::shared
