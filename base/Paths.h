/// Paths and file tests shared by every layer: plain C++ over POSIX paths ('/' separators).
#pragma once

#include <string>

namespace zenkel {

/// True when a regular file (or a link to one) is at the path.
bool isRegularFile(const std::string& path);

} // namespace zenkel
