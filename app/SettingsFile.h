#pragma once
// A user settings file, reached through the platform's profile functions at the moment of each
// read or write. It keeps no copy of the file, so every accessor over the same file sees every
// earlier write through any other. Creating one does not touch the file.
#include <string>

class SettingsFile {
 public:
  // The longest text a read returns is one less than this.
  static constexpr unsigned kReadBufferSize = 2048;

  explicit SettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  // The stored text, or `fallback` when the file, the section or the key is missing.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
  // The stored text converted as IntegerText describes, or `fallback`.
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  // Nonzero as an integer; a missing or unreadable value gives `fallback`.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  // Throw ConfigurationError("Unable to write to <file name>") when the platform refuses.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string fileName_;
};

// The install path followed by the user name, with no separator put in between.
std::string SettingsFileName(const std::string& installPath, const std::string& userName);
