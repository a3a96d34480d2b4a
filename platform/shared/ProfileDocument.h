#pragma once
// A profile (INI) file as its lines, kept byte for byte except for the lines a change touches:
// comments, unknown lines, other sections and the file's line endings survive every write.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::shared {

class ProfileDocument {
 public:
  // Any bytes parse; a line that is neither a section header nor a key is kept and skipped.
  explicit ProfileDocument(std::string_view text);

  std::string Text() const;

  // The value as stored, without its surrounding blanks; nullopt when the key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  // Replaces an existing key's line where it is; a new key goes to the end of its section, a new
  // section to the end of the file.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void DeleteSection(std::string_view section);

 private:
  struct Line {
    std::string text;
    std::string ending;  // "\r\n", "\n", "\r", or "" for a last line without one
  };
  struct Range {
    std::size_t first;  // the line after the header
    std::size_t end;    // one past the section's last line
  };

  std::size_t SectionEnd(std::size_t first) const;
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;
  void Insert(std::size_t at, std::string text);

  std::string bom_;
  std::vector<Line> lines_;
  std::string newline_;  // for added lines: the file's own, or LF for a new file
};

}  // namespace plat::shared
