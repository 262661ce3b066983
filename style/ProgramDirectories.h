/// Where the program finds its shipped data and where it writes: beside the executable (a
/// build tree), an installed copy's share directory with the user's configuration directory
/// for everything written, or a directory named by --home or $ZENKEL_HOME.
#pragma once

#include <string>

namespace zenkel {

/// Both directories end in '/'; they are the same unless the program writes into the user's
/// configuration directory.
struct ProgramDirectories
{
    /// Everything the program writes: prg.ini, report.txt, the diagnostic and snapshot files,
    /// styles saved or created in the options window, trim.ini. Styles are looked up here first.
    std::string program;
    /// The shipped data: styles, trim.ini, preview samples, skin pictures, help, tag syntax.
    std::string data;

    bool separate() const { return program != data; }
};

/// The directory of the running executable, ending in '/'.
std::string ExecutableDirectory();

/// $XDG_CONFIG_HOME/zenkel-html/ (an absolute XDG_CONFIG_HOME only), else
/// ~/.config/zenkel-html/ with the home directory from $HOME or the password database; empty
/// when neither is known.
std::string UserConfigDirectory();

/// overrideDir (--home) when given, else $ZENKEL_HOME when set and not empty: data and program
/// directory both, as given. Else the data beside the executable (a "styles" directory there),
/// written there too while that directory is writable; else ../share/zenkel-html relative to
/// the executable, an installed copy, which never writes into its data. In those two cases
/// without a writable data directory the program directory is UserConfigDirectory(). With no
/// data found at all, the executable's directory stands for both.
ProgramDirectories FindProgramDirectories(
    const std::string& overrideDir = {}, const std::string& executableDir = ExecutableDirectory());

/// Makes a separate program directory ready: creates it and copies into it every shipped style
/// it does not hold as a usable style, and trim.ini when it has none. Nothing the user has is
/// replaced; a style directory appears complete or not at all, so two programs starting at
/// once do no harm. True with nothing to do; false with *error naming what failed (the
/// program still runs on the shipped data then, but cannot save into its program directory).
[[nodiscard]] bool PrepareProgramDirectory(
    const ProgramDirectories& dirs, std::string* error = nullptr);

/// Lines for --help and "zenkel styles", each after indent: the program directory and, when
/// separate, the shipped data.
std::string DescribeDirectories(const ProgramDirectories& dirs, const std::string& indent = {});

} // namespace zenkel
