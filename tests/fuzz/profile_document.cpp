// Any bytes read as a profile file: the text survives unchanged, and a key written to it reads
// back while every other key keeps its value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/shared/NoCase.h"
#include "platform/shared/ProfileDocument.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string_view Trimmed(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A name the file can hold as it is: one line, no NUL, nothing that reads as another line kind.
bool Plain(std::string_view s, std::string_view forbidden) {
  return !Trimmed(s).empty() && s.find_first_of(forbidden) == std::string_view::npos &&
         s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The last three parts of the input after \x01 marks, when there are so many, name a section, a
  // key and a value to write.
  std::vector<std::string_view> parts;
  std::string_view text = input;
  for (int i = 0; i < 3; ++i) {
    std::size_t cut = text.rfind('\x01');
    if (cut == std::string_view::npos) break;
    parts.push_back(text.substr(cut + 1));
    text = text.substr(0, cut);
  }

  plat::shared::ProfileDocument doc(text);
  Check(doc.Text() == text);
  std::vector<std::pair<std::pair<std::string, std::string>, std::string>> before;
  for (const auto& section : doc.SectionNames())
    for (const auto& key : doc.KeyNames(section)) before.push_back({{section, key}, *doc.Value(section, key)});

  if (parts.size() == 3) {
    std::string_view value = parts[0], key = parts[1], section = parts[2];
    if (Plain(section, "[]") && Plain(key, "=[") && value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
      doc.SetValue(section, key, value);
      Check(doc.Value(section, key) == std::string(Trimmed(value)));
      plat::shared::ProfileDocument reread(doc.Text());
      Check(reread.Value(section, key) == std::string(Trimmed(value)));
      for (const auto& [name, old] : before) {
        const bool same = plat::shared::EqualsNoCase(Trimmed(name.first), Trimmed(section)) &&
                          plat::shared::EqualsNoCase(Trimmed(name.second), Trimmed(key));
        Check(same || reread.Value(name.first, name.second) == old);
      }
    }
  }
  return 0;
}
