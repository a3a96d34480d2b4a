#pragma once
// Desktop entry files (the freedesktop.org Desktop Entry format) as the run lists' autostart
// entries need them: string escapes, the Exec key's quoting, and file names made from registry
// value names.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::shared {

// The escapes of a "string" value: \s \n \t \r \\ (and the reverse).
std::string EscapeDesktopString(std::string_view text);
std::string UnescapeDesktopString(std::string_view text);

// One argument of an Exec line, always in double quotes, with ", `, $ and \ backslash-escaped and
// % doubled; the result still needs EscapeDesktopString for the file.
std::string QuoteExecArgument(std::string_view argument);
// The arguments of an unescaped Exec line; nullopt for a line the format does not allow
// (an unterminated quote). Field codes other than %% are kept as they stand.
std::optional<std::vector<std::string>> SplitExec(std::string_view line);

// A file name stem for a value name: lower case (value names are matched without regard to case),
// with every byte other than a-z, 0-9, '.', '_' and '-' as %XX, and a leading '.' too.
std::string SafeFileStem(std::string_view name);

// The keys of the [Desktop Entry] group, values still escaped; nullopt without that group.
std::optional<std::map<std::string, std::string>> ParseDesktopEntry(std::string_view text);

}  // namespace plat::shared
