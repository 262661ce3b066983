/// The command line of zenkel-html: an optional switches parameter, then a file.
#pragma once

#include "batch/RunState.h"

#include <functional>
#include <string>
#include <vector>

namespace zenkel {

struct CommandLine
{
    zenkel::CommandLineMode mode = zenkel::CommandLineMode::None;
    zenkel::Operation operation = zenkel::Operation::None;
    std::string switches; ///< the first parameter upper-cased, with its leading "-"
    std::string file; ///< the absolute, normalised path of the last parameter

    bool hasSwitch(char letter) const { return switches.find(letter) != std::string::npos; }
};

/// The absolute, normalised form of a path: ".", ".." and doubled slashes resolved.
std::string longPathForm(const std::string& path);

/// ParseCommandLine: params are the parameters after the program name (our own --home and
/// its value already taken out). isValid is the validity test of a file (with the "<HTML"
/// test, as the mode is not None). A command line that breaks a rule gives the reset state.
/// fileShown receives the file as soon as it is known (shown in Edit1), even when the rest
/// is rejected.
CommandLine ParseCommandLine(const std::vector<std::string>& params,
    const std::function<bool(const std::string&)>& isValid,
    const std::function<void(const std::string&)>& fileShown = {});

} // namespace zenkel
