#include "platform/shared/ProfileDocument.h"

#include "platform/shared/NoCase.h"

namespace plat::shared {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Ctrl-Z, the old end-of-file mark, counts as a blank too.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view TrimFront(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimFront(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Parsed {
  enum Kind { Blank, Section, Key, Other } kind = Other;
  std::string_view name;
  std::string_view value;
};

// A line's text ends at a NUL, as the C strings of the profile functions do. A header's name
// runs to the last "]"; a "[" line without one is no header. Lines starting with ";" are keys
// like any other, which is why a comment is never found unless asked for by its whole text.
Parsed Classify(std::string_view line) {
  std::string_view s = Trim(line.substr(0, line.find('\0')));
  if (s.empty()) return {Parsed::Blank, {}, {}};
  if (s.front() == '[') {
    std::size_t close = s.rfind(']');
    if (close != std::string_view::npos) return {Parsed::Section, Trim(s.substr(1, close - 1)), {}};
  }
  std::size_t eq = s.find('=');
  if (eq == std::string_view::npos) return {Parsed::Other, {}, {}};
  return {Parsed::Key, Trim(s.substr(0, eq)), Trim(s.substr(eq + 1))};
}

}  // namespace

ProfileDocument::ProfileDocument(std::string_view text) {
  if (text.starts_with(kUtf8Bom)) {
    bom_ = kUtf8Bom;
    text.remove_prefix(kUtf8Bom.size());
  }
  // Lines end in CR LF, LF or a lone CR.
  while (!text.empty()) {
    std::size_t br = text.find_first_of("\r\n");
    if (br == std::string_view::npos) {
      lines_.push_back({std::string(text), ""});
      break;
    }
    std::size_t len = text.compare(br, 2, "\r\n") == 0 ? 2 : 1;
    lines_.push_back({std::string(text.substr(0, br)), std::string(text.substr(br, len))});
    text.remove_prefix(br + len);
  }
  newline_ = !lines_.empty() && !lines_.front().ending.empty() ? lines_.front().ending : "\n";
}

std::string ProfileDocument::Text() const {
  std::string out = bom_;
  for (const Line& l : lines_) out += l.text + l.ending;
  return out;
}

std::size_t ProfileDocument::SectionEnd(std::size_t first) const {
  std::size_t end = first;
  while (end < lines_.size() && Classify(lines_[end].text).kind != Parsed::Section) ++end;
  return end;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view section) const {
  section = Trim(section);
  // The lines before the first header form a section without a name.
  if (section.empty()) return Range{0, SectionEnd(0)};
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Parsed p = Classify(lines_[i].text);
    if (p.kind == Parsed::Section && EqualsNoCase(p.name, section)) return Range{i + 1, SectionEnd(i + 1)};
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Range& range, std::string_view key) const {
  key = Trim(key);
  for (std::size_t i = range.first; i < range.end; ++i) {
    Parsed p = Classify(lines_[i].text);
    if (p.kind == Parsed::Key && EqualsNoCase(p.name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileDocument::Value(std::string_view section, std::string_view key) const {
  auto range = FindSection(section);
  if (!range) return std::nullopt;
  auto at = FindKey(*range, key);
  if (!at) return std::nullopt;
  return std::string(Classify(lines_[*at].text).value);
}

std::vector<std::string> ProfileDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& l : lines_) {
    Parsed p = Classify(l.text);
    if (p.kind == Parsed::Section && !p.name.empty()) names.emplace_back(p.name);
  }
  return names;
}

std::vector<std::string> ProfileDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  auto range = FindSection(section);
  if (!range) return names;
  for (std::size_t i = range->first; i < range->end; ++i) {
    Parsed p = Classify(lines_[i].text);
    if (p.kind == Parsed::Key && !p.name.starts_with(';')) names.emplace_back(p.name);
  }
  return names;
}

void ProfileDocument::Insert(std::size_t at, std::string text) {
  // The line before an added one may be the file's last, left without an ending.
  if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline_});
}

void ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  // What is written loses its leading blanks; lookups ignore blanks on both sides.
  section = TrimFront(section);
  key = TrimFront(key);
  value = TrimFront(value);
  const std::string line = std::string(key) + "=" + std::string(value);
  auto range = FindSection(section);
  if (!range) {
    Insert(lines_.size(), "[" + std::string(section) + "]");
    Insert(lines_.size(), line);
    return;
  }
  if (auto at = FindKey(*range, key)) {
    // The key keeps the spelling it has in the file.
    lines_[*at].text = std::string(Classify(lines_[*at].text).name) + "=" + std::string(value);
    return;
  }
  std::size_t last = range->end;
  while (last > range->first && Classify(lines_[last - 1].text).kind == Parsed::Blank) --last;
  Insert(last, line);
}

void ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  auto range = FindSection(section);
  if (!range) return;
  if (auto at = FindKey(*range, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
}

void ProfileDocument::DeleteSection(std::string_view section) {
  auto range = FindSection(section);
  if (!range) return;
  // A named section goes with its header line.
  std::size_t from = Trim(section).empty() ? range->first : range->first - 1;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(from), lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

}  // namespace plat::shared
