/// zenkel --check and --diff: what a run would change, with nothing written.
#pragma once

#include "cli/CliOptions.h"

#include <iosfwd>

namespace zenkel {

struct Session;

/// Runs the session's Operation (Format, Compress or Trim, style active) over the paths or
/// the tree of the options and compares each result, joined with the chosen line end, with
/// the file's bytes. Writes no file at all: no result, backup, report, snapshot or
/// diagnostic file. Prints on out each file that would change (--check) or its unified
/// diff (--diff), problems on err. Returns ExitDone when nothing would change,
/// ExitFileFailed when a file would, ExitSetupFailed when a file could not be checked.
int runCheck(const CliOptions& options, Session& session, std::istream& in, std::ostream& out,
    std::ostream& err);

} // namespace zenkel
