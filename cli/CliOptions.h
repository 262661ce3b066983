/// Command line of the zenkel tool: commands, options and the usage text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

enum class CliCommand
{
    None,
    Format,
    Compress,
    Trim,
    Restore,
    Styles,
};

struct CliOptions
{
    CliCommand command = CliCommand::None;
    std::string home; ///< --home; empty: $ZENKEL_HOME or as FindProgramDirectories finds it
    std::optional<std::string> style; ///< --style; none: StyleName of prg.ini
    bool toStdout = false; ///< --stdout
    std::optional<bool> backup; ///< --backup / --no-backup; none: DoCreateBackUps
    bool validate = false; ///< --validate
    bool help = false; ///< -h / --help
    std::optional<std::string> tree; ///< --tree DIR: a tree run over DIR
    int type = 0; ///< --type N: the file-type index 0..5 of a tree run
    bool noReport = false; ///< --no-report: report.txt is not saved
    bool quiet = false; ///< --quiet: only errors and the final summary
    bool check = false; ///< --check: list the files a run would change, write nothing
    bool diff = false; ///< --diff: show what a run would change, write nothing
    int jobs = 1; ///< --jobs N: worker threads of a list or tree run
    std::optional<std::string> eol; ///< --eol crlf|lf; none: LineEnds of prg.ini
    bool version = false; ///< --version
    std::vector<std::string> paths; ///< "-" stands for standard input and output
};

struct CliParseResult
{
    CliOptions options;
    std::string error; ///< empty when the command line is usable
    bool ok() const { return error.empty(); }
};

/// Parses the arguments after the program name. Options may come before or after the
/// command and between paths; "--" makes every later argument a path.
CliParseResult parseCliOptions(const std::vector<std::string>& args);

/// The text of -h / --help (the program adds the directories in use).
std::string_view cliUsage();

/// The line of --version.
std::string cliVersion();

/// The largest number --jobs takes.
constexpr int MaxJobs = 256;

} // namespace zenkel
