#include "platform/shared/ProfileDocument.h"

#include "platform/shared/NoCase.h"

namespace plat::shared {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Parsed {
  enum Kind { Blank, Section, Key, Other } kind = Other;
  std::string_view name;
  std::string_view value;
};

Parsed Classify(std::string_view line) {
  std::string_view s = Trim(line);
  if (s.empty()) return {Parsed::Blank, {}, {}};
  if (s.front() == '[') {
    s.remove_prefix(1);
    return {Parsed::Section, Trim(s.substr(0, s.find(']'))), {}};
  }
  if (s.front() == ';') return {Parsed::Other, {}, {}};
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
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines_.push_back({std::string(text), ""});
      break;
    }
    bool crlf = nl > 0 && text[nl - 1] == '\r';
    std::size_t textEnd = crlf ? nl - 1 : nl;
    lines_.push_back({std::string(text.substr(0, textEnd)), crlf ? "\r\n" : "\n"});
    text.remove_prefix(nl + 1);
  }
  newline_ = !lines_.empty() && !lines_.front().ending.empty() ? lines_.front().ending : "\n";
}

std::string ProfileDocument::Text() const {
  std::string out = bom_;
  for (const Line& l : lines_) out += l.text + l.ending;
  return out;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view section) const {
  section = Trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Parsed p = Classify(lines_[i].text);
    if (p.kind != Parsed::Section || !EqualsNoCase(p.name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && Classify(lines_[end].text).kind != Parsed::Section) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Range& range, std::string_view key) const {
  key = Trim(key);
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
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
    if (p.kind == Parsed::Section) names.emplace_back(p.name);
  }
  return names;
}

std::vector<std::string> ProfileDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  auto range = FindSection(section);
  if (!range) return names;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    Parsed p = Classify(lines_[i].text);
    if (p.kind == Parsed::Key) names.emplace_back(p.name);
  }
  return names;
}

void ProfileDocument::Insert(std::size_t at, std::string text) {
  // The line before an added one may be the file's last, left without an ending.
  if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline_});
}

void ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  value = Trim(value);
  auto range = FindSection(section);
  if (!range) {
    Insert(lines_.size(), "[" + std::string(section) + "]");
    Insert(lines_.size(), std::string(key) + "=" + std::string(value));
    return;
  }
  if (auto at = FindKey(*range, key)) {
    // The key keeps the spelling it has in the file.
    lines_[*at].text = std::string(Classify(lines_[*at].text).name) + "=" + std::string(value);
    return;
  }
  std::size_t last = range->end;
  while (last > range->header + 1 && Classify(lines_[last - 1].text).kind == Parsed::Blank) --last;
  Insert(last, std::string(key) + "=" + std::string(value));
}

void ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  auto range = FindSection(section);
  if (!range) return;
  if (auto at = FindKey(*range, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
}

void ProfileDocument::DeleteSection(std::string_view section) {
  auto range = FindSection(section);
  if (!range) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

}  // namespace plat::shared
