// The Windows profile functions on real files, for the linux and sim backends.
#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shared/BackendHooks.h"
#include "platform/shared/DirectoryLock.h"
#include "platform/shared/FileReplace.h"
#include "platform/shared/ProfileDocument.h"

namespace plat {
namespace {

// Windows' own default profile, used when no file is named.
constexpr const char* kDefaultProfile = "win.ini";

std::string ResolvePath(const char* fileName) {
  std::string name = fileName ? fileName : kDefaultProfile;
  if (name.find('/') != std::string::npos) return name;
  return shared::WindowsDirectory() + "/" + name;
}

// A missing or unreadable file reads as an empty one.
shared::ProfileDocument Load(const std::string& path) {
  int error = 0;
  return shared::ProfileDocument(shared::ReadWholeFile(path, error).value_or(std::string()));
}

// Values and names end at a line break: what is written can never become a second line.
std::string_view OneLine(const char* s) {
  std::string_view v(s);
  return v.substr(0, v.find_first_of("\r\n"));
}

// A pair of matching quotes around a value is not part of it.
std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

DWORD CopyText(std::string_view text, char* buffer, DWORD size) {
  DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}

// Names one after another, each NUL-terminated, then one more NUL. A list that does not fit is
// cut and still ends in two NULs.
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
  std::string list;
  for (const auto& n : names) list.append(n).push_back('\0');
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  shared::ProfileDocument doc = Load(ResolvePath(fileName));
  if (!section) return CopyList(doc.SectionNames(), buffer, size);
  if (!key) return CopyList(doc.KeyNames(section), buffer, size);
  if (auto value = doc.Value(section, key)) return CopyText(Unquoted(*value), buffer, size);
  std::string_view fallback = defaultValue ? defaultValue : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
  return CopyText(fallback, buffer, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName) {
  if (!section) return 0;  // all null asks to flush a cache, which reports zero; we have none
  const std::string path = ResolvePath(fileName);
  shared::DirectoryLock lock(shared::ParentDirectory(path));
  if (!lock.Held()) return 0;

  int error = 0;
  auto text = shared::ReadWholeFile(path, error);
  // A file that exists but cannot be read must not be replaced by what little we know of it.
  if (!text && error != ENOENT) return 0;
  shared::ProfileDocument doc(text.value_or(std::string()));
  if (!key)
    doc.DeleteSection(OneLine(section));
  else if (!value)
    doc.DeleteKey(OneLine(section), OneLine(key));
  else
    doc.SetValue(OneLine(section), OneLine(key), OneLine(value));

  std::string updated = doc.Text();
  if (text ? updated == *text : updated.empty()) return 1;
  return shared::ReplaceFileAtomically(path, updated) ? 1 : 0;
}

}  // namespace plat
