/// Program start of zenkel-html: our own options, the platform for unattended runs, the window.
#pragma once

#include "style/ProgramDirectories.h"

#include <string>
#include <vector>

namespace zenkel {

/// What the program's own options ask for, and the rest of the command line.
struct AppArguments
{
    std::string home; ///< --home DIR
    bool version = false; ///< --version
    bool help = false; ///< -h, --help
    std::vector<std::string> parameters; ///< the switches and the file
};

AppArguments parseAppArguments(const std::vector<std::string>& args);
/// True when the parameters ask for a run without any window (the A switch).
bool wantsUnattendedRun(const std::vector<std::string>& parameters);
std::string appUsage(const ProgramDirectories& dirs);

int runApplication(int argc, char** argv);

} // namespace zenkel
