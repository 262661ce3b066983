/// The zenkel tool's work: set up a session from the program directory and run a command.
#pragma once

#include "cli/CliOptions.h"

#include <iosfwd>
#include <string>

namespace zenkel {

/// Exit statuses of the tool.
constexpr int ExitDone = 0;
constexpr int ExitFileFailed = 1; ///< a file was skipped or failed
constexpr int ExitSetupFailed = 2; ///< usage error, no usable style, unreadable setting

/// Reads everything from in (standard input read directly, so that its errors are seen);
/// false with the reason in *error when it cannot be read (a directory, a closed stream).
bool readStandardInput(std::istream& in, std::string& bytes, std::string* error);

/// Runs a parsed command; in is read for the path "-". Returns the exit status.
int runCli(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace zenkel
