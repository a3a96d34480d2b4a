#pragma once
// A hive in the text form that regedit exports: a version line, then each key as a
// [HKEY_...\path] header followed by its "name"=data lines.
#include <optional>
#include <string>
#include <string_view>

#include "platform/shared/RegistryTree.h"

namespace plat::shared {

// Reads "Windows Registry Editor Version 5.00" or "REGEDIT4" text, UTF-8 or UTF-16LE with its
// byte-order mark, LF or CRLF. Every key must lie in the hive named `hiveName`. Nullopt when the
// text is damaged: then none of it can be trusted, and nothing may be written over it.
std::optional<RegKey> ParseRegText(std::string_view text, std::string_view hiveName);

// Writes version 5.00 text, UTF-8 with LF line ends, every key under its own header.
std::string FormatRegText(const RegKey& hive, std::string_view hiveName);

}  // namespace plat::shared
