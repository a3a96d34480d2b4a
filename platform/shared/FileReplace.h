#pragma once
// Whole-file reads and crash-safe whole-file writes, for the profile files and registry hives.
#include <optional>
#include <string>
#include <string_view>

namespace plat::shared {

// The file's bytes, or nullopt with `error` set to the errno of the failure (ENOENT: missing).
// A file or link that another account owns is not read (EACCES), see TrustedPath.h.
std::optional<std::string> ReadWholeFile(const std::string& path, int& error);

// Writes `contents` to a new file beside `path`, flushes it and renames it over `path`, so that a
// crash, a full disk or a killed process leaves either the old file or the new one. An existing
// file keeps its mode and owner, a new one gets 0644 whatever the umask; a symbolic link keeps
// pointing at the file it names. Temporaries of this account's earlier writers that were killed
// before they finished are removed first. Fails (EACCES) on a file or link that another account
// owns.
bool ReplaceFileAtomically(const std::string& path, std::string_view contents);

// The folder part of a path ("." for a bare name).
std::string ParentDirectory(const std::string& path);

}  // namespace plat::shared
