/// Safe file writing: a temporary sibling renamed over the target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/ScanLists.h"

namespace zenkel {

/// Replaces the file at path with bytes: the bytes go to a temporary sibling first, which is
/// then renamed over the target, so a failed write never leaves a half-written file. An
/// existing file keeps its permissions (and its owner where the user may set it); a file
/// without write permission is refused, for every user; a symbolic link stays a link and its
/// target is replaced. On failure
/// returns false and sets *error to a message that names the file. Scratch files that the
/// program can always make again pass sync = false: they are renamed into place as well, but
/// not flushed to the disk first, which keeps runs over many files fast.
[[nodiscard]] bool writeFileSafely(const std::string& path, std::string_view bytes,
    std::string* error = nullptr, bool sync = true);

/// The same for a file made of lines, each followed by lineEnd: the lines are written
/// straight from the list through one buffer, without joining them into a copy first.
[[nodiscard]] bool writeFileSafely(const std::string& path, const TextList& lines,
    std::string_view lineEnd, std::string* error = nullptr, bool sync = true);

/// Reads everything left in an open file into bytes (replacing them). A regular file is read
/// into storage sized once, with room for one more byte (a line end the caller may add).
/// False with the system's error number in *error when a read fails; EINTR is retried.
[[nodiscard]] bool readAllFrom(int fd, std::string& bytes, int* error = nullptr);

/// Joins lines, each followed by CR LF.
std::string joinCrLf(const std::vector<std::string>& lines);
std::string joinCrLf(const TextList& lines);

} // namespace zenkel
