#include "platform/shared/RegText.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/registry.h"
#include "platform/shared/Utf16Text.h"

namespace plat::shared {
namespace {

constexpr std::string_view kVersion5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4 = "REGEDIT4";
constexpr std::size_t kLineWidth = 80;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `maxDigits` hexadecimal digits, the whole of `s`.
std::optional<std::uint32_t> ParseHexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  return v;
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A quoted string at the start of `s` with \\ and \" escapes; `s` is left after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view& s) {
  if (s.empty() || s.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) c = s[++i];
    out.push_back(c);
  }
  return std::nullopt;
}

// "aa,bb,..." with an optional trailing comma.
std::optional<std::string> ParseHexBytes(std::string_view s) {
  std::string out;
  s = Trim(s);
  while (!s.empty()) {
    std::size_t comma = s.find(',');
    auto byte = ParseHexNumber(Trim(s.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    out.push_back(static_cast<char>(*byte));
    if (comma == std::string_view::npos) break;
    s = Trim(s.substr(comma + 1));
  }
  return out;
}

std::optional<RegValue> ParseData(std::string_view data, bool unicodeText) {
  if (data.starts_with('"')) {
    auto text = ParseQuoted(data);
    if (!text || !Trim(data).empty()) return std::nullopt;
    return RegValue{REG_SZ, *text + '\0'};
  }
  if (data.starts_with("dword:")) {
    auto v = ParseHexNumber(Trim(data.substr(6)), 8);
    if (!v) return std::nullopt;
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((*v >> (8 * i)) & 0xFF));
    return RegValue{REG_DWORD, bytes};
  }
  DWORD type = REG_BINARY;
  if (data.starts_with("hex(")) {
    std::size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    auto t = ParseHexNumber(data.substr(4, close - 4), 8);
    if (!t) return std::nullopt;
    type = *t;
    data.remove_prefix(close + 2);
  } else if (data.starts_with("hex:")) {
    data.remove_prefix(4);
  } else {
    return std::nullopt;
  }
  auto bytes = ParseHexBytes(data);
  if (!bytes) return std::nullopt;
  if (unicodeText && IsTextType(type)) {
    bytes = Utf16LeToUtf8(*bytes);
    if (!bytes) return std::nullopt;
  }
  return RegValue{type, *bytes};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    lines.push_back(text.substr(0, nl));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return lines;
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + '"';
}

// A text value that reads back unchanged from the quoted form: one terminating NUL, no other,
// and no line break.
bool FitsQuotedForm(const RegValue& v) {
  return v.type == REG_SZ && !v.data.empty() && v.data.back() == '\0' &&
         v.data.find_first_of(std::string_view("\0\r\n", 3)) == v.data.size() - 1;
}

std::string HexList(std::string prefix, std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  std::string line = std::move(prefix);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto b = static_cast<unsigned char>(bytes[i]);
    line += digits[b >> 4];
    line += digits[b & 0xF];
    if (i + 1 < bytes.size()) {
      line += ',';
      if (line.size() + 4 > kLineWidth) {  // room for "xx,\" on this line no more
        out += line + "\\\n";
        line = "  ";
      }
    }
  }
  return out + line;
}

std::string FormatValue(const std::string& name, const RegValue& v) {
  std::string lhs = (name.empty() ? std::string("@") : Quote(name)) + "=";
  if (FitsQuotedForm(v)) return lhs + Quote(std::string_view(v.data).substr(0, v.data.size() - 1));
  if (v.type == REG_DWORD && v.data.size() == 4) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", n);
    return lhs + buf;
  }
  if (v.type == REG_BINARY) return HexList(lhs + "hex:", v.data);
  char type[24];
  std::snprintf(type, sizeof type, "hex(%x):", v.type);
  return HexList(lhs + type, IsTextType(v.type) ? Utf8ToUtf16Le(v.data) : v.data);
}

void FormatKey(const RegKey& key, const std::string& path, bool always, std::string& out) {
  if (always || !key.values().empty()) {
    out += "\n[" + path + "]\n";
    for (const auto& [name, value] : key.values()) out += FormatValue(name, value) + "\n";
  }
  for (const auto& [name, sub] : key.subkeys()) FormatKey(sub, path + "\\" + name, true, out);
}

}  // namespace

std::optional<RegKey> ParseRegText(std::string_view text, std::string_view hiveName) {
  std::string converted;
  if (text.starts_with("\xFF\xFE")) {
    auto utf8 = Utf16LeToUtf8(text.substr(2));
    if (!utf8) return std::nullopt;
    converted = std::move(*utf8);
    text = converted;
  } else if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }

  std::vector<std::string_view> lines = SplitLines(text);
  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i]).empty()) ++i;
  if (i == lines.size()) return std::nullopt;
  std::string_view version = Trim(lines[i++]);
  if (version != kVersion5 && version != kVersion4) return std::nullopt;
  const bool unicodeText = version == kVersion5;  // REGEDIT4 keeps text in the ANSI code page

  RegKey root;
  RegKey* current = nullptr;
  for (; i < lines.size(); ++i) {
    std::string_view line = Trim(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 2) return std::nullopt;
      std::string path(line.substr(1, line.size() - 2));
      std::size_t slash = path.find('\\');
      if (!EqualsNoCase(std::string_view(path).substr(0, slash), hiveName)) return std::nullopt;
      auto names = SplitKeyPath(slash == std::string::npos ? "" : path.c_str() + slash + 1);
      if (!names || (slash != std::string::npos && names->empty())) return std::nullopt;
      current = &root.Ensure(*names);
      continue;
    }
    if (!current) return std::nullopt;
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      auto quoted = ParseQuoted(line);
      if (!quoted) return std::nullopt;
      name = std::move(*quoted);
    }
    line = Trim(line);
    if (!line.starts_with('=')) return std::nullopt;
    std::string data(Trim(line.substr(1)));
    // Long hex lists go on over several lines, each but the last ending in a backslash.
    while (data.starts_with("hex") && data.ends_with('\\') && i + 1 < lines.size()) {
      data.pop_back();
      data += Trim(lines[++i]);
    }
    auto value = ParseData(data, unicodeText);
    if (!value) return std::nullopt;
    current->SetValue(name, std::move(*value));
  }
  return root;
}

std::string FormatRegText(const RegKey& hive, std::string_view hiveName) {
  std::string out(kVersion5);
  out += "\n";
  FormatKey(hive, std::string(hiveName), false, out);
  return out;
}

}  // namespace plat::shared
