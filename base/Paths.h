/// Paths and file tests shared by every layer: plain C++ over POSIX paths ('/' separators).
#pragma once

#include <string>

namespace zenkel {

/// True when a regular file (or a link to one) is at the path.
bool isRegularFile(const std::string& path);

/// The path without any '/' at its end ("/" gives an empty text).
std::string withoutTrailingSlashes(std::string path);

/// The directory path with exactly one '/' at its end.
std::string withTrailingSlash(const std::string& directory);

/// The absolute path with every symbolic link, "." and ".." resolved; empty when the path
/// cannot be resolved (nothing there, no permission).
std::string realPathOf(const std::string& path);

/// The directory part of a path, ending in '/'; "./" for a bare file name.
std::string directoryOf(const std::string& path);

/// The sibling backup of a file: its full path with the backup extension appended.
std::string siblingBackupPath(const std::string& path, const std::string& backupExt);

} // namespace zenkel
