#pragma once
// Profile (INI) files in Windows terms. win32 forwards to the real functions; linux and sim share
// one implementation with the same behaviour on real files.
//
// A file name without a directory lies in the Windows directory; on linux that is
// $XDG_CONFIG_HOME/tavelin (by default ~/.config/tavelin), in sim a temporary folder per run.
#include "platform/wintypes.h"

namespace plat {

// Copies the value of `key` in `section` (or `defaultValue` when the file, the section or the
// key is missing) into `buffer`, cut to `size` - 1 characters. Section and key names match
// without regard to case; a value loses its surrounding blanks and a pair of surrounding quotes.
// A null `key` lists the section's key names, a null `section` the file's section names, each
// name NUL-terminated and the list ended by a second NUL. Returns the characters copied, not
// counting the terminating NUL.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* fileName);

// Stores key=value in the section, creating the file (not its folder) and the section when
// needed. A null `value` deletes the key, a null `key` the whole section. FALSE when the file
// cannot be written.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName);

}  // namespace plat
