/// The manual page of the zenkel tool, made from its --help text.
#pragma once

#include <string>
#include <string_view>

namespace zenkel {

/// Turns a usage text into a roff manual page: the lines up to the first empty line become
/// the synopsis; every later line that starts with a capital letter and holds no lower-case
/// letter starts a section; each section's lines keep their layout.
std::string ManPageFromUsage(std::string_view usage, std::string_view version);

} // namespace zenkel
