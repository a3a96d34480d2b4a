#pragma once
// Reading a notification icon's record as the Windows shell does: the old record's tip has 64
// bytes and no balloon; text fields need not end with a NUL.
#include <cstring>
#include <string>

#include "platform/shell.h"

namespace plat::shared {

inline bool ExtendedRecord(const NOTIFYICONDATAA& data) { return data.cbSize >= NOTIFYICONDATAA_V2_SIZE; }

inline std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

inline std::string TipOf(const NOTIFYICONDATAA& data) {
  return FieldText(data.szTip, ExtendedRecord(data) ? sizeof data.szTip : 64);
}

// Whether the record asks for a balloon the shell can show.
inline bool HasBalloon(const NOTIFYICONDATAA& data) { return (data.uFlags & NIF_INFO) && ExtendedRecord(data); }

}  // namespace plat::shared
